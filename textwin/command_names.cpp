// command_names.cpp - see command_names.h.
#include "textwin/command_names.h"

#include <string.h>

// Command words, in the order they are compared.
static const char *const command_words[] = {"exit", "start", "help", "ver", "color"};

int command_number(const char *line)
{
    int count = (int)(sizeof command_words / sizeof command_words[0]);
    for (int i = 0; i < count; i++)
        if (strcmp(line, command_words[i]) == 0) return i;
    return COMMAND_UNKNOWN;
}
