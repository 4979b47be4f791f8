// truetype_text.h - the process-wide TrueType font for the library's own commands (the Image
// window's font dialogue). Worker thread.
#ifndef KAV_TRUETYPE_TEXT_H
#define KAV_TRUETYPE_TEXT_H

#include <windows.h>

// The current font's description; the start-up font's when there is no font.
void current_font_description(LOGFONTW *lf);
// Makes the described font the TrueType font: 0; 1 it could not be made (the old one stays).
// The font cell is not changed.
int  replace_truetype_font(const LOGFONTW *lf);

#endif
