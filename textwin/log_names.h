// log_names.h - names of log files: the time-stamped pattern and the free name chosen when a
// name is taken. Platform-free.
#ifndef KAV_LOG_NAMES_H
#define KAV_LOG_NAMES_H

#define KAV_LOG_NAME_BYTES 260   // a log file name: at most 259 characters and the terminator
#define KAV_LOG_NAME_TRIES 100   // names tried for one start: the plain one and suffixes -1..-99

// Local time at which a log is started.
struct LogStamp {
    int year, month, day, hour, minute, second;
};

// Formats "%sKAVLIB%d%d-%d%02d%02d-%02d%02d%02d.LOG" from the directory (with its trailing
// backslash), the instance number, the window number and the stamp. Try 0 gives that name; try
// k > 0 puts "-k" before ".LOG", for when the plain name is taken. 0 formatted; 1 the name
// does not fit (out is then empty).
int format_log_name(char out[KAV_LOG_NAME_BYTES], const char *directory, int instance, int window,
                    const LogStamp *stamp, int attempt);

#endif
