// truetype_text.cpp - TrueType text drawn through GDI into the current image window's memory
// DC with the process-wide font, and the font's replacement by size and by style codes.
// Worker thread. The font is selected into the DC only for the one character being drawn, so
// replacing (and deleting) it never pulls a font out from under a DC.
#include <stdint.h>
#include <string.h>

#include "imaging/truetype_text.h"

#include "core/core.h"
#include "imagewin/imagewin.h"

#define KAV_FONT_FACE L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF"  // the start-up face

// The start-up font's description, for when there is no font to read one from.
static void start_font_description(LOGFONTW *lf)
{
    memset(lf, 0, sizeof *lf);
    lf->lfHeight = 16;
    lf->lfWidth = 8;
    lf->lfCharSet = DEFAULT_CHARSET;
    lf->lfOutPrecision = OUT_TT_ONLY_PRECIS;
    wcsncpy(lf->lfFaceName, KAV_FONT_FACE, LF_FACESIZE - 1);
}

void current_font_description(LOGFONTW *lf)
{
    if (!truetype_font || GetObjectW(truetype_font, sizeof *lf, lf) != (int)sizeof *lf)
        start_font_description(lf);
}

// The font in use is deleted only once its successor exists.
int replace_truetype_font(const LOGFONTW *lf)
{
    HFONT font = CreateFontIndirectW(lf);
    if (!font) return 1;
    if (truetype_font) DeleteObject(truetype_font);
    truetype_font = font;
    return 0;
}

int create_font(int width, int height)
{
    font_cell_width = width / 2;
    font_cell_height = height;
    LOGFONTW lf;
    current_font_description(&lf);
    lf.lfWidth = font_cell_width;
    lf.lfHeight = font_cell_height;
    return replace_truetype_font(&lf);
}

// Codes 1..6 switch italic, weight and underline; 10 is a newline; the rest do nothing.
static void apply_control_code(int code)
{
    if (code == '\n') {
        text_cursor.x = text_left_margin;
        // Far down (or, with a negative height, up) the page the cursor stays at the last
        // row rather than wrap around to the other end.
        int64_t y = (int64_t)text_cursor.y + font_cell_height;
        text_cursor.y = y > INT32_MAX ? INT32_MAX : y < INT32_MIN ? INT32_MIN : (int32_t)y;
        return;
    }
    if (code < 1 || code > 6) return;
    LOGFONTW lf;
    current_font_description(&lf);
    switch (code) {
    case 1: lf.lfItalic = TRUE; break;
    case 2: lf.lfItalic = FALSE; break;
    case 3: lf.lfWeight = FW_BOLD; break;
    case 4: lf.lfWeight = FW_NORMAL; break;
    case 5: lf.lfUnderline = TRUE; break;
    case 6: lf.lfUnderline = FALSE; break;
    }
    replace_truetype_font(&lf);
}

// How far the cursor moves after character ch in the DC's selected font.
static int advance_of(HDC dc, wchar_t ch)
{
    ABC abc;
    if (GetCharABCWidthsW(dc, ch, ch, &abc)) return abc.abcA + (int)abc.abcB + abc.abcC;
    INT width = 0;
    if (GetCharWidthW(dc, ch, ch, &width)) return width;  // not a TrueType font
    return 0;
}

void draw_truetype_char(int code)
{
    if (code < 32) {
        apply_control_code(code);
        return;
    }
    ImageWindowEntry *e = live_image_window(current_image_window);
    if (!e) return;
    char bytes[2];  // one byte, or a lead and a trail byte
    int length = 0;
    if (code >= 256) bytes[length++] = (char)((code >> 8) & 0xFF);
    bytes[length++] = (char)(code & 0xFF);
    wchar_t wide[2];
    if (MultiByteToWideChar(CP_ACP, 0, bytes, length, wide, 2) < 1) return;

    HDC dc = e->mem_dc;
    uint32_t c = kav_tttc;
    SetTextColor(dc, RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    SetBkMode(dc, TRANSPARENT);
    // Without a font (its creation failed) the DC's own font draws; the previous one is
    // selected back on every path.
    HGDIOBJ previous = truetype_font ? SelectObject(dc, truetype_font) : NULL;
    TextOutW(dc, text_cursor.x, text_cursor.y - font_cell_height + 1, wide, 1);
    text_cursor.x += advance_of(dc, wide[0]);
    if (previous) SelectObject(dc, previous);
    GdiFlush();
}

static bool is_lead_byte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void draw_truetype_text(const char *text)
{
    if (!text) return;
    for (const uint8_t *p = (const uint8_t *)text; *p; p++) {
        if (!is_lead_byte(*p)) {
            draw_truetype_char(*p);
            continue;
        }
        if (!p[1]) return;  // a lone lead byte at the end is not drawn
        draw_truetype_char(p[0] * 256 + p[1]);
        p++;
    }
}
