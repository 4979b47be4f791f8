#include "core/status_field.h"

#include <string.h>

void format_status_field(char field[KAV_STATUS_FIELD_BYTES], const char *text)
{
    memset(field, ' ', KAV_STATUS_FIELD_BYTES - 1);
    field[KAV_STATUS_FIELD_BYTES - 1] = '\0';
    size_t len = strlen(text);
    long start = 18 - (long)(len / 2);
    if (start < 0) start = 0;
    size_t room = KAV_STATUS_FIELD_BYTES - 1 - (size_t)start;
    if (len > room) len = room;
    memcpy(field + start, text, len);
    field[start + len] = '\0';
}
