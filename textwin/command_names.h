// command_names.h - the commands of the one-shot command prompt, matched exactly.
#ifndef KAV_COMMAND_NAMES_H
#define KAV_COMMAND_NAMES_H

enum {
    COMMAND_UNKNOWN = -1,
    COMMAND_EXIT = 0,
    COMMAND_START,
    COMMAND_HELP,
    COMMAND_VER,
    COMMAND_COLOR,
};

// The command a typed line names (case-sensitive, the whole line), or COMMAND_UNKNOWN.
int command_number(const char *line);

#endif
