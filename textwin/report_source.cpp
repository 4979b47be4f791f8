// report_source.cpp - see report_source.h.
#include "textwin/report_source.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const char CUT_LINE[] = "\t// [The list was cut here: the remaining lines did not fit]\r\n";

int escape_literal(const char *text, char *out, int bytes)
{
    int used = 0;
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        char piece[8];  // the longest escape, "\ooo", and its terminator
        switch (*p) {
        case '\\': strcpy(piece, "\\\\"); break;
        case '"': strcpy(piece, "\\\""); break;
        case '\n': strcpy(piece, "\\n"); break;
        case '\r': strcpy(piece, "\\r"); break;
        case '\t': strcpy(piece, "\\t"); break;
        default:
            // Three octal digits always, so that a following digit is never read into the escape.
            if (*p < 0x20 || *p >= 0x7F) snprintf(piece, sizeof piece, "\\%03o", *p);
            else {
                piece[0] = (char)*p;
                piece[1] = '\0';
            }
            break;
        }
        int length = (int)strlen(piece);
        if (used + length >= bytes) {
            out[0] = '\0';
            return 1;
        }
        memcpy(out + used, piece, (size_t)length);
        used += length;
    }
    out[used] = '\0';
    return 0;
}

// Ends the list: drops whole lines from its end until the cut line fits, then adds it.
static void cut_list(SourceList *s)
{
    int room = KAV_SOURCE_BYTES - 1;
    int cut_length = (int)sizeof CUT_LINE - 1;
    while (s->length > 0 && s->length + cut_length > room) {
        int end = s->length - 1;  // the '\n' of the last line
        while (end > 0 && s->text[end - 1] != '\n') end--;
        s->length = end;
    }
    memcpy(s->text + s->length, CUT_LINE, sizeof CUT_LINE);
    s->length += cut_length;
    s->cut = 1;
}

// Adds one whole line (the format ends in "\r\n"), or ends the list when it does not fit.
static void add_line(SourceList *s, const char *format, ...)
{
    if (s->cut) return;
    char line[KAV_SOURCE_LINE_BYTES];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (length < 0 || length >= (int)sizeof line || s->length + length > KAV_SOURCE_BYTES - 1) {
        cut_list(s);
        return;
    }
    memcpy(s->text + s->length, line, (size_t)length + 1);
    s->length += length;
}

// Adds a call whose format takes the escaped literal as its only string; a literal too long
// for one line ends the list rather than being cut into another name.
static void add_call_with_literal(SourceList *s, const char *format, int number, const char *literal,
                                  int x, int y, int width, int height, int zoom)
{
    char escaped[KAV_SOURCE_LINE_BYTES];
    if (escape_literal(literal ? literal : "", escaped, sizeof escaped) != 0) {
        if (!s->cut) cut_list(s);
        return;
    }
    add_line(s, format, number, escaped, x, y, width, height, zoom);
}

void source_begin(SourceList *s)
{
    s->length = 0;
    s->cut = 0;
    s->text[0] = '\0';
    add_line(s, "\t// KAVLIB --- Automatic Source Generator\r\n");
}

void source_section(SourceList *s, const char *title)
{
    add_line(s, "\t// [%s]\r\n", title);
}

void source_image_window(SourceList *s, int n, int bits_per_pixel, int size_limit, const char *name,
                         int x, int y, int width, int height, int zoom)
{
    const char *call = bits_per_pixel == 32 ? (size_limit ? "KAV_CreateImage" : "KAV_CreateImageFL")
                                            : (size_limit ? "KAV_CreateImage8" : "KAV_CreateImage8FL");
    char format[64];  // the call's name and its argument list
    snprintf(format, sizeof format, "\t%s(%%d,\"%%s\",%%d,%%d,%%d,%%d,%%d);\r\n", call);
    add_call_with_literal(s, format, n, name, x, y, width, height, zoom);
}

void source_text_window(SourceList *s, int n, int x, int y, int width, int height)
{
    add_line(s, "\tKAV_OpenTextWindow(%d,%d,%d,%d,%d);\r\n", n, x, y, width, height);
}

void source_input_box(SourceList *s, int x, int y, int items, int label_width, int edit_width)
{
    add_line(s, "\tKAV_OpenInputBox(%d,%d,%d);\r\n", x, y, items);
    add_line(s, "\tKAV_ResizeInputBox(%d,%d);\r\n", label_width, edit_width);
}

void source_input_title(SourceList *s, int i, const char *label)
{
    add_call_with_literal(s, "\tKAV_SetInputBoxTitle(%d,\"%s\");\r\n", i, label, 0, 0, 0, 0, 0);
}

void source_button_box(SourceList *s, int x, int y, int columns, int rows, int width, int height)
{
    add_line(s, "\tKAV_OpenButtonBox(%d,%d,%d,%d);\r\n", x, y, columns, rows);
    add_line(s, "\tKAV_ResizeButtonBox(%d,%d);\r\n", width, height);
}

void source_button_title(SourceList *s, int i, const char *label)
{
    add_call_with_literal(s, "\tKAV_SetButtonBoxTitle(%d,\"%s\");\r\n", i, label, 0, 0, 0, 0, 0);
}

void source_place_main(SourceList *s, int x, int y)
{
    add_line(s, "\tKAV_PlaceMain(%d,%d);\r\n", x, y);
}

void source_end(SourceList *s)
{
    add_line(s, "\tKAV_SetForeground(KAVMAINWINDOW);\r\n");
}
