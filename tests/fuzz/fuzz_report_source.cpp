// The escaping of string literals in the generated layout source, and the list of lines it goes
// into. An input is a list of calls with labels of any bytes (section titles are the report's
// own). Every escaped literal must read back, as a C compiler reads it, to the very label, and
// be plain printable ASCII; a literal that does not fit must be refused with an empty result;
// writing stays within the given room. The list must stay within its size, hold only whole
// CR LF lines and end with the cut line once a line was left out.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "textwin/report_source.h"

#define FAIL(...) (fprintf(stderr, __VA_ARGS__), fputc('\n', stderr), abort())

struct Input {
    const uint8_t *p, *end;
    int byte() { return p < end ? *p++ : 0; }
};

// Reads a C string literal's body the way the compiler does; false on anything malformed.
static bool unescape(const char *s, std::string *out)
{
    for (; *s; s++) {
        unsigned char c = (unsigned char)*s;
        if (c < 0x20 || c >= 0x7F || c == '"') return false;
        if (c != '\\') {
            out->push_back((char)c);
            continue;
        }
        s++;
        if (*s == '\\' || *s == '"') out->push_back(*s);
        else if (*s == 'n') out->push_back('\n');
        else if (*s == 'r') out->push_back('\r');
        else if (*s == 't') out->push_back('\t');
        else if (*s >= '0' && *s <= '7') {
            int value = 0, digits = 0;
            for (; digits < 3 && s[digits] >= '0' && s[digits] <= '7'; digits++) value = value * 8 + (s[digits] - '0');
            if (value > 255) return false;
            out->push_back((char)value);
            s += digits - 1;
        } else {
            return false;
        }
    }
    return true;
}

static void check_escape(const std::string &label, int room)
{
    std::vector<char> out((size_t)room, '\x7f');  // exactly room bytes: ASan sees a write past them
    int answer = escape_literal(label.c_str(), out.data(), room);
    if (answer == 1) {
        if (out[0] != '\0') FAIL("a refused literal is not left empty");
        return;
    }
    if (answer != 0) FAIL("escape_literal answered %d", answer);
    std::string back;
    if (!unescape(out.data(), &back)) FAIL("the escaped literal is malformed: %s", out.data());
    if (back != label) FAIL("the escaped literal reads back as another text");
}

static void check_list(const SourceList &s)
{
    if (s.length < 0 || s.length > KAV_SOURCE_BYTES - 1 || (int)strlen(s.text) != s.length)
        FAIL("the list's length %d does not match its text", s.length);
    if (s.length < 2 || s.text[s.length - 2] != '\r' || s.text[s.length - 1] != '\n')
        FAIL("the list does not end with a whole line");
    static const char cut[] = "\t// [The list was cut here: the remaining lines did not fit]\r\n";
    bool ends_cut = s.length >= (int)sizeof cut - 1 && strcmp(s.text + s.length - (sizeof cut - 1), cut) == 0;
    if (ends_cut != (s.cut == 1)) FAIL("the cut line and the cut flag disagree");
}

// Section titles are the report's own, never outside text.
static const char *const SECTION_TITLES[5] = {"Image Window", "Text Window", "Input Box", "Button Box", "Main Window"};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in = {data, data + size};
    SourceList *s = new SourceList;  // 30 KB: on the heap, where ASan guards its end
    source_begin(s);
    while (in.p < in.end) {
        int op = in.byte() % 6;
        int number = (int8_t)in.byte() * 1000003;
        std::string label;
        for (int length = in.byte(); length > 0 && in.p < in.end; length--) {
            char c = (char)in.byte();
            if (c == '\0') c = (char)0x80;  // labels are C strings
            label.push_back(c);
        }
        check_escape(label, 1 + in.byte() * 4);
        check_escape(label, KAV_SOURCE_LINE_BYTES);
        int before = s->length;
        std::string kept(s->text, (size_t)s->length);
        for (int repeat = 1 + in.byte() % 32; repeat > 0; repeat--)  // long lists reach the cut
        switch (op) {
        case 0: source_image_window(s, number, number & 1 ? 8 : 32, number & 2, label.c_str(), number, -number, 640, 480, 100); break;
        case 1: source_input_title(s, number, label.c_str()); break;
        case 2: source_button_title(s, number, label.c_str()); break;
        case 3: source_section(s, SECTION_TITLES[(unsigned)number % 5]); break;
        case 4: source_text_window(s, number, number, number, number, number); break;
        case 5: source_button_box(s, number, number, number, number, number, number); break;
        }
        check_list(*s);
        if (!s->cut && (s->length < before || kept.compare(0, kept.size(), s->text, kept.size()) != 0))
            FAIL("a line added changed the lines before it");
    }
    source_end(s);
    check_list(*s);
    delete s;
    return 0;
}
