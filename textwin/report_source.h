// report_source.h - the layout source written by the window information report: one library
// call per window, tab-indented, CR LF line ends, every string literal escaped. Platform-free.
#ifndef KAV_REPORT_SOURCE_H
#define KAV_REPORT_SOURCE_H

#define KAV_SOURCE_BYTES 30000      // the whole source: at most 29999 characters and the terminator
#define KAV_SOURCE_LINE_BYTES 4096  // one line; a label of 254 units is at most 508 bytes, 2032 escaped

// The source being written. Only whole lines are added; once a line does not fit, the list
// ends with a comment line saying so and every later line is left out.
struct SourceList {
    char text[KAV_SOURCE_BYTES];  // terminated after every line
    int length;                   // characters in text
    int cut;                      // 1 once a line was left out
};

// Escapes text for a C string literal into out (bytes, terminator included): backslash,
// double quote and control characters become escapes, and so do bytes above 127, so that the
// literal holds the same bytes whatever character set the compiler reads. 0; 1 no room.
int escape_literal(const char *text, char *out, int bytes);

void source_begin(SourceList *s);                      // empty list and its first comment line
void source_section(SourceList *s, const char *title); // "\t// [title]\r\n"
// The creating call of an image window: KAV_CreateImage, ...8, ...FL or ...8FL by bits and limit.
void source_image_window(SourceList *s, int n, int bits_per_pixel, int size_limit, const char *name,
                         int x, int y, int width, int height, int zoom);
void source_text_window(SourceList *s, int n, int x, int y, int width, int height);
void source_input_box(SourceList *s, int x, int y, int items, int label_width, int edit_width);
void source_input_title(SourceList *s, int i, const char *label);
void source_button_box(SourceList *s, int x, int y, int columns, int rows, int width, int height);
void source_button_title(SourceList *s, int i, const char *label);
void source_place_main(SourceList *s, int x, int y);   // the Main window's screen position
void source_end(SourceList *s);                        // brings the Main window to the front

#endif
