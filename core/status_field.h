// status_field.h - the fixed-width field in which the Main window's status line shows a text.
// Platform-free.
#ifndef KAV_STATUS_FIELD_H
#define KAV_STATUS_FIELD_H

#define KAV_STATUS_FIELD_BYTES 64  // the field, terminator included

// Fills field with spaces and places text so that short texts centre around column 18:
// start = 18 - len / 2, at least 0. Texts longer than 63 characters are cut at the field's end.
void format_status_field(char field[KAV_STATUS_FIELD_BYTES], const char *text);

#endif
