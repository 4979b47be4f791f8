// log_names.cpp - see log_names.h.
#include "textwin/log_names.h"

#include <stdio.h>

int format_log_name(char out[KAV_LOG_NAME_BYTES], const char *directory, int instance, int window,
                    const LogStamp *stamp, int attempt)
{
    char suffix[16] = "";  // "-k" for a taken name; 16 bytes hold any int
    if (attempt > 0) snprintf(suffix, sizeof suffix, "-%d", attempt);
    int used = snprintf(out, KAV_LOG_NAME_BYTES, "%sKAVLIB%d%d-%d%02d%02d-%02d%02d%02d%s.LOG", directory,
                        instance, window, stamp->year, stamp->month, stamp->day, stamp->hour,
                        stamp->minute, stamp->second, suffix);
    if (used < 0 || used >= KAV_LOG_NAME_BYTES) {
        out[0] = '\0';
        return 1;
    }
    return 0;
}
