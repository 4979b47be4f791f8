// Damaged and lying image files loaded into real image windows. imagewin_hostile_check.sh
// makes sound pictures of every kind the open dialog offers (KAV_HOSTILE_DIR\base); this test
// draws the two metafiles itself, mutates every picture with a seeded generator (cuts, bit
// flips, stomped header words), adds BMPs whose headers lie and a few files that are no
// pictures at all, and loads each into an 8-bit and a 32-bit window. Every load must answer 0
// or 1 within a bound, a refused file must leave the window as it was, and the process's heap,
// private bytes and GDI and USER objects must end where they started.
#include "harness.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "gui_counts.h"
#include "imagewin/file_rules.h"
#include "imagewin/file_stream.h"
#include "imagewin/gdiplus_flat.h"
#include "imagewin/imagewin.h"
#include "imagewin/metafile_check.h"

using namespace kavtest;

namespace {

typedef std::vector<uint8_t> Bytes;

std::string folder(void)
{
    const char *dir = getenv("KAV_HOSTILE_DIR");
    return dir ? std::string(dir) : std::string();
}

Bytes read_file(const std::string &path)
{
    Bytes data;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return data;
    uint8_t chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + got);
    fclose(f);
    return data;
}

bool write_file(const std::string &path, const Bytes &data)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = data.empty() || fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

// Seeded generator (splitmix64): the same files on every run.
struct Seeded {
    uint64_t state;
    uint32_t next(void)
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return (uint32_t)((z ^ (z >> 31)) >> 32);
    }
    uint32_t below(uint32_t n) { return n ? next() % n : 0; }
};

void put16(Bytes &b, size_t at, uint32_t v)
{
    b[at] = (uint8_t)v;
    b[at + 1] = (uint8_t)(v >> 8);
}

void put32(Bytes &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++) b[at + i] = (uint8_t)(v >> (8 * i));
}

// A BMP with a 40-byte header whose fields say what they are told; colours palette entries
// (grey) and data bytes of pixel data follow. off_bits 0 means the true offset.
Bytes lying_bmp(int32_t width, int32_t height, uint32_t bits, uint32_t compression, uint32_t colours_used,
                uint32_t palette, const Bytes &data, uint32_t off_bits = 0, uint32_t size_image = 0,
                uint32_t header_size = 40)
{
    Bytes b(54 + palette * 4, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, off_bits ? off_bits : 54 + palette * 4);
    put32(b, 14, header_size);
    put32(b, 18, (uint32_t)width);
    put32(b, 22, (uint32_t)height);
    put16(b, 26, 1);
    put16(b, 28, bits);
    put32(b, 30, compression);
    put32(b, 34, size_image);
    put32(b, 46, colours_used);
    for (uint32_t i = 0; i < palette; i++)
        for (int k = 0; k < 3; k++) b[54 + i * 4 + k] = (uint8_t)(i * 255 / (palette > 1 ? palette - 1 : 1));
    if (!data.empty()) b.insert(b.end(), data.begin(), data.end());
    put32(b, 2, (uint32_t)b.size());
    return b;
}

// A sound uncompressed BMP of width x height (24 bits: a gradient; 8 bits: grey indices).
Bytes sound_bmp(int width, int height, int bits)
{
    size_t row = (((size_t)width * bits + 31) / 32) * 4;
    Bytes data(row * height);
    for (size_t i = 0; i < data.size(); i++) data[i] = (uint8_t)(i * 7);
    return lying_bmp(width, height, bits, 0, 0, bits == 8 ? 256 : 0, data);
}

void add(std::vector<std::string> &names, const std::string &name, const Bytes &data)
{
    std::string path = folder() + "\\cases\\" + name;
    ASSERT_TRUE(write_file(path, data)) << path;
    names.push_back(path);
}

// BMPs whose headers lie about sizes, depths, palettes, offsets and compressed runs.
void add_lying_bmps(std::vector<std::string> &names)
{
    Bytes small(64, 0x55);
    Bytes row3(4 * 3, 0x80);
    add(names, "width0.bmp", lying_bmp(0, 4, 24, 0, 0, 0, small));
    add(names, "height0.bmp", lying_bmp(4, 0, 24, 0, 0, 0, small));
    add(names, "width_negative.bmp", lying_bmp(-5, 4, 24, 0, 0, 0, small));
    add(names, "height_min.bmp", lying_bmp(4, INT32_MIN, 24, 0, 0, 0, small));
    add(names, "width_max.bmp", lying_bmp(INT32_MAX, 1, 24, 0, 0, 0, small));
    add(names, "height_max.bmp", lying_bmp(1, INT32_MAX, 8, 0, 0, 256, small));
    add(names, "huge_claim.bmp", lying_bmp(100000, 100000, 24, 0, 0, 0, small));
    add(names, "square_wraps.bmp", lying_bmp(46341, 46341, 8, 0, 0, 256, small));
    add(names, "row_wraps.bmp", lying_bmp(0x40000001, 2, 32, 0, 0, 0, small));
    add(names, "top_down_short.bmp", lying_bmp(30, -30, 24, 0, 0, 0, small));
    add(names, "bits0.bmp", lying_bmp(4, 4, 0, 0, 0, 0, small));
    add(names, "bits3.bmp", lying_bmp(4, 4, 3, 0, 0, 8, small));
    add(names, "bits64.bmp", lying_bmp(4, 4, 64, 0, 0, 0, small));
    add(names, "rle_with_24bits.bmp", lying_bmp(4, 4, 24, 1, 0, 0, small));
    add(names, "bitfields_zero_masks.bmp", lying_bmp(4, 4, 32, 3, 0, 0, small));
    add(names, "embedded_jpeg_garbage.bmp", lying_bmp(4, 4, 0, 4, 0, 0, small));
    add(names, "embedded_png_garbage.bmp", lying_bmp(4, 4, 0, 5, 0, 0, small));
    add(names, "compression99.bmp", lying_bmp(4, 4, 8, 99, 0, 256, small));
    add(names, "colours_used_max.bmp", lying_bmp(4, 4, 8, 0, 0xFFFFFFFF, 16, small));
    add(names, "colours_used_1000.bmp", lying_bmp(4, 4, 8, 0, 1000, 256, small));
    add(names, "colours_used_300_4bit.bmp", lying_bmp(4, 4, 4, 0, 300, 16, small));
    add(names, "palette_short.bmp", lying_bmp(8, 8, 8, 0, 256, 3, Bytes()));
    add(names, "offset_past_end.bmp", lying_bmp(4, 4, 24, 0, 0, 0, small, 0x7FFFFFF0));
    add(names, "offset_into_header.bmp", lying_bmp(4, 4, 24, 0, 0, 0, small, 14));
    add(names, "offset_zero.bmp", lying_bmp(4, 4, 24, 0, 0, 0, small, 0xFFFFFFFF));
    add(names, "header_size_max.bmp", lying_bmp(4, 4, 24, 0, 0, 0, small, 0, 0, 0x7FFFFFFF));
    add(names, "header_size_200.bmp", lying_bmp(4, 4, 24, 0, 0, 0, small, 0, 0, 200));
    add(names, "header_size_13.bmp", lying_bmp(4, 4, 24, 0, 0, 0, small, 0, 0, 13));
    add(names, "pixels_short.bmp", lying_bmp(64, 48, 24, 0, 0, 0, row3));
    // Compressed runs that overrun the row and the picture, jump away, or never end.
    Bytes overrun = {255, 7, 255, 9, 0, 0, 255, 1, 0, 1};
    add(names, "rle8_overrun.bmp", lying_bmp(4, 2, 8, 1, 0, 256, overrun, 0, (uint32_t)overrun.size()));
    Bytes jump = {0, 2, 255, 255, 3, 5, 0, 2, 200, 200, 2, 1, 0, 1};
    add(names, "rle8_delta_away.bmp", lying_bmp(8, 8, 8, 1, 0, 256, jump, 0, (uint32_t)jump.size()));
    Bytes literal = {0, 255, 1, 2, 3};
    add(names, "rle8_literal_short.bmp", lying_bmp(8, 8, 8, 1, 0, 256, literal, 0, 1000));
    Bytes endless(4000);
    for (size_t i = 0; i < endless.size(); i += 2) {
        endless[i] = 0;
        endless[i + 1] = 0;  // end of line, forever: the rows run out first
    }
    add(names, "rle8_only_line_ends.bmp", lying_bmp(8, 8, 8, 1, 0, 256, endless, 0, (uint32_t)endless.size()));
    add(names, "rle4_overrun.bmp", lying_bmp(3, 2, 4, 2, 0, 16, overrun, 0, (uint32_t)overrun.size()));
    add(names, "rle4_delta_away.bmp", lying_bmp(8, 8, 4, 2, 0, 16, jump, 0, (uint32_t)jump.size()));
    add(names, "rle8_size_image_max.bmp", lying_bmp(8, 8, 8, 1, 0, 256, overrun, 0, 0xFFFFFFF0));
    // Long and tall sound pictures.
    add(names, "long_65536x1.bmp", sound_bmp(65536, 1, 24));
    add(names, "tall_1x65536.bmp", sound_bmp(1, 65536, 8));
}

// Files that are no pictures: nothing, a bare signature, text.
void add_non_pictures(std::vector<std::string> &names)
{
    add(names, "empty.bmp", Bytes());
    add(names, "empty.png", Bytes());
    add(names, "bm_only.bmp", Bytes{'B', 'M'});
    add(names, "png_signature_only.png", Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    add(names, "gif_header_only.gif", Bytes{'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0xF7, 0, 0});
    const char *text = "column row value\r\n1 2 3\r\n";
    add(names, "text.jpg", Bytes(text, text + strlen(text)));
    std::string directory = folder() + "\\cases\\a_folder.png";
    ASSERT_TRUE(CreateDirectoryA(directory.c_str(), NULL));
    names.push_back(directory);
}

// The two metafile kinds, drawn through GDI: an enhanced metafile, and a placeable metafile
// (the 22-byte header before the old-style records).
void make_metafiles(const std::string &base)
{
    RECT frame = {0, 0, 2000, 1500};  // 0.01 mm
    std::wstring emf_path(base.begin(), base.end());
    emf_path += L"\\drawn.emf";
    HDC dc = CreateEnhMetaFileW(NULL, emf_path.c_str(), &frame, NULL);
    ASSERT_TRUE(dc != NULL);
    Rectangle(dc, 2, 2, 60, 40);
    Ellipse(dc, 10, 10, 50, 30);
    TextOutW(dc, 4, 4, L"emf", 3);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));

    HDC old = CreateMetaFileW(NULL);
    ASSERT_TRUE(old != NULL);
    Rectangle(old, 2, 2, 60, 40);
    Ellipse(old, 10, 10, 50, 30);
    HMETAFILE metafile = CloseMetaFile(old);
    UINT size = GetMetaFileBitsEx(metafile, 0, NULL);
    Bytes records(size);
    GetMetaFileBitsEx(metafile, size, records.data());
    DeleteMetaFile(metafile);
    Bytes wmf(22, 0);
    put32(wmf, 0, 0x9AC6CDD7);  // placeable key
    put16(wmf, 10, 64);         // right
    put16(wmf, 12, 48);         // bottom
    put16(wmf, 14, 1440);       // units per inch
    uint16_t sum = 0;
    for (int i = 0; i < 10; i++) sum ^= (uint16_t)(wmf[2 * i] | wmf[2 * i + 1] << 8);
    put16(wmf, 20, sum);
    wmf.insert(wmf.end(), records.begin(), records.end());
    ASSERT_TRUE(write_file(base + "\\drawn.wmf", wmf));
}

// Where the first record of the type begins in a sound enhanced metafile; 0 when it has none.
size_t emf_record(const Bytes &emf, uint32_t type)
{
    for (size_t at = 0; at + 8 <= emf.size();) {
        uint32_t t = emf[at] | emf[at + 1] << 8 | emf[at + 2] << 16 | (uint32_t)emf[at + 3] << 24;
        uint32_t size = emf[at + 4] | emf[at + 5] << 8 | emf[at + 6] << 16 | (uint32_t)emf[at + 7] << 24;
        if (t == type) return at;
        if (size < 8) return 0;
        at += size;
    }
    return 0;
}

// Damaged copies of the drawn enhanced metafile that made the platform's player hang for more
// than the load bound or read outside the file, kept whatever the seeded mutants happen to hit.
void add_damaged_metafiles(std::vector<std::string> &names, const Bytes &emf)
{
    size_t ellipse = emf_record(emf, 42), rectangle = emf_record(emf, 43), text = emf_record(emf, 84);
    ASSERT_TRUE(ellipse && rectangle && text) << "the drawn metafile holds an ellipse, a rectangle and a text";
    Bytes b = emf;
    put32(b, ellipse + 16, 0x04000031);  // an ellipse 67 million pixels wide
    add(names, "emf_ellipse_wide.emf", b);
    b = emf;
    put32(b, ellipse + 16, 0x00100000);  // a million pixels wide and high
    put32(b, ellipse + 20, 0x00100000);
    add(names, "emf_ellipse_huge.emf", b);
    b = emf;
    put32(b, rectangle, 11);  // the rectangle turned into a viewport extent of 2 by 536870914
    put32(b, rectangle + 12, 0x20000002);
    add(names, "emf_viewport_blown_up.emf", b);
    b = emf;
    put32(b, text + 48, 0x0100004C);  // the string 16 MB beyond the record
    add(names, "emf_text_string_away.emf", b);
    b = emf;
    put32(b, text + 44, 0x04000003);  // 67 million characters in a record of 96 bytes
    add(names, "emf_text_count_lies.emf", b);
    b = emf;
    put32(b, ellipse, 40);  // the ellipse turned into deleting object 16777226 of a table of one
    put32(b, ellipse + 8, 0x0100000A);
    add(names, "emf_delete_far_object.emf", b);
}

const char *const BASES[] = {
    "rgb24.bmp", "pal8.bmp", "rle8.bmp",  "pal4.bmp",  "mono.bmp",  "argb.bmp", "rgb.png",
    "pal.png",   "inter.png", "plain.gif", "inter.gif", "anim.gif",  "plain.jpg", "prog.jpg",
    "grey.jpg",  "plain.tif", "lzw.tif",  "pal.tif",   "one.ico",   "multi.ico", "drawn.emf",
    "drawn.wmf",
};
const int BASE_COUNT = sizeof BASES / sizeof BASES[0];
const int MUTANTS_PER_BASE = 16;

// Sixteen damaged copies of one sound file: six cuts, six runs of bit flips (half of them in
// the header region), four 32-bit header words replaced by boundary values.
void add_mutants(std::vector<std::string> &names, int base_index, const Bytes &sound)
{
    Seeded rng = {0x6B61766Cull * 977 + (uint64_t)base_index};
    std::string stem = BASES[base_index];
    size_t n = sound.size();
    ASSERT_GT(n, 64u) << stem;
    size_t cuts[6] = {1, 8, 30, n / 3, n / 2 + rng.below((uint32_t)(n / 2)), n - 1};
    int made = 0;
    char name[128];
    for (size_t cut : cuts) {
        snprintf(name, sizeof name, "m%02d_cut%zu_%s", made++, cut, stem.c_str());
        add(names, name, Bytes(sound.begin(), sound.begin() + cut));
    }
    for (int k = 0; k < 6; k++) {
        Bytes b = sound;
        int flips = 1 + (int)rng.below(8);
        size_t span = k % 2 == 0 && n > 256 ? 256 : n;
        for (int f = 0; f < flips; f++) b[rng.below((uint32_t)span)] ^= (uint8_t)(1u << rng.below(8));
        snprintf(name, sizeof name, "m%02d_flip_%s", made++, stem.c_str());
        add(names, name, b);
    }
    static const uint32_t WORDS[] = {0, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x0000FFFF, 0x00010000, 0x7FFF};
    for (int k = 0; k < 4; k++) {
        Bytes b = sound;
        size_t at = rng.below((uint32_t)(n < 132 ? n - 4 : 128));
        put32(b, at, WORDS[rng.below(sizeof WORDS / sizeof WORDS[0])]);
        snprintf(name, sizeof name, "m%02d_word%zu_%s", made++, at, stem.c_str());
        add(names, name, b);
    }
}

// Heap bytes in use over every heap of the process.
uint64_t heap_bytes(void)
{
    HANDLE heaps[64];  // more heaps than any run here makes
    DWORD count = GetProcessHeaps(64, heaps);
    if (count > 64) count = 64;
    uint64_t total = 0;
    for (DWORD i = 0; i < count; i++) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry;
        entry.lpData = NULL;
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

// Committed private memory of the process (what the system counts as private bytes).
uint64_t private_bytes(void)
{
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION m;
    for (uintptr_t at = 0; VirtualQuery((void *)at, &m, sizeof m) == sizeof m;) {
        if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE) total += m.RegionSize;
        uintptr_t next = (uintptr_t)m.BaseAddress + m.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

struct Usage {
    GuiCounts gui;
    uint64_t heap, private_bytes;
};

Usage usage(void)
{
    Usage u = {};
    on_worker([&] {
        KAV_PumpMessages();
        u.gui = gui_counts();
        u.heap = heap_bytes();
        u.private_bytes = private_bytes();
    });
    return u;
}

const int EIGHT = 40, TRUE_COLOUR = 41, SIDE_W = 64, SIDE_H = 48;

// Gives both windows their marker pixels and the 8-bit one a marker colour table.
void mark_windows(void)
{
    uint32_t table[256];
    for (int i = 0; i < 256; i++) table[i] = (uint32_t)(255 - i) * 0x010101u ^ 0x00400000u;
    KAV_SelectImage(EIGHT);
    set_colour_table(table, 256);
    for (int y = 0; y < SIDE_H; y++)
        for (int x = 0; x < SIDE_W; x++) pixels[EIGHT].bytes[y * SIDE_W + x] = (uint8_t)(x * 3 + y);
    for (int i = 0; i < SIDE_W * SIDE_H; i++) pixels[TRUE_COLOUR].words[i] = 0x00A5C3E1u ^ (uint32_t)i;
}

// True when both windows still hold exactly the marker.
bool windows_marked(int window)
{
    if (window == EIGHT) {
        uint32_t table[256];
        KAV_SelectImage(EIGHT);
        get_colour_table(table);
        for (int i = 0; i < 256; i++)
            if ((table[i] & 0xFFFFFF) != ((uint32_t)(255 - i) * 0x010101u ^ 0x00400000u)) return false;
        for (int y = 0; y < SIDE_H; y++)
            for (int x = 0; x < SIDE_W; x++)
                if (pixels[EIGHT].bytes[y * SIDE_W + x] != (uint8_t)(x * 3 + y)) return false;
        return true;
    }
    for (int i = 0; i < SIDE_W * SIDE_H; i++)
        if (pixels[TRUE_COLOUR].words[i] != (0x00A5C3E1u ^ (uint32_t)i)) return false;
    return true;
}

const int LOAD_BOUND_MS = 20000;  // a load that takes longer than this is taken as hung

// Loads one file into one window at (x, y) on the worker; -1 when it did not come back.
int bounded_load(const std::string &path, int window, int x, int y, bool *kept)
{
    int result = -2;
    bool unchanged = false;
    on_worker_async([&] {
        mark_windows();
        KAV_SelectImage(window);
        result = KAV_LoadImage(path.c_str(), x, y);
        unchanged = windows_marked(window);
    });
    if (!wait_worker(LOAD_BOUND_MS)) return -1;
    *kept = unchanged;
    return result;
}

// Heap bytes that the platform's decoder keeps of this file when it alone loads it from the
// library's memory stream and the image is disposed: what no caller can give back.
uint64_t platform_keeps(const std::string &path)
{
    uint64_t kept = 0;
    on_worker([&] {
        std::wstring wide(path.begin(), path.end());
        IStream *stream = open_file_stream(wide.c_str());
        if (!stream) return;
        uint64_t size = 0;
        const uint8_t *bytes = file_stream_bytes(stream, &size);
        if (check_before_decoding(bytes, size) != 0) {  // never handed to the decoder: some would hang it
            close_file_stream(stream);
            return;
        }
        uint64_t start = heap_bytes();
        GpImage *image = NULL;
        if (GdipLoadImageFromStream(stream, &image) == 0 && image) GdipDisposeImage(image);
        uint64_t end = heap_bytes();
        close_file_stream(stream);
        kept = end > start ? end - start : 0;
    });
    return kept;
}

Seeded place = {42};  // where a load puts the picture: mostly (0, 0), now and then off the corner
int answered[2];      // loads that answered 0 and 1

// Loads one file into both windows: each answers 0 or 1 within the bound, a refusal leaves
// the window as it was, and the file is not kept open afterwards.
void check_loads(const std::string &path)
{
    for (int window : {EIGHT, TRUE_COLOUR}) {
        int x = 0, y = 0;
        if (place.below(4) == 0) {
            x = (int)place.below(100) - 50;
            y = (int)place.below(80) - 40;
        }
        bool kept = false;
        int r = bounded_load(path, window, x, y, &kept);
        ASSERT_NE(-1, r) << path << " hung the load";
        ASSERT_TRUE(r == 0 || r == 1) << path << " answered " << r;
        answered[r]++;
        if (r == 1) {
            EXPECT_TRUE(kept) << path << ": refused, yet the window changed";
        }
    }
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) return;
    HANDLE alone = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_NE(INVALID_HANDLE_VALUE, alone) << path << " is still open after its load";
    if (alone != INVALID_HANDLE_VALUE) CloseHandle(alone);
}

}  // namespace

TEST(HostileFiles, EveryDamagedOrLyingFileAnswersZeroOrOneAndLeavesNothingBehind)
{
    if (folder().empty()) GTEST_SKIP() << "run through imagewin_hostile_check.sh";
    std::string base = folder() + "\\base";
    ASSERT_TRUE(CreateDirectoryA((folder() + "\\cases").c_str(), NULL));
    make_metafiles(base);

    std::vector<std::string> sound;
    std::vector<std::string> names;
    for (int i = 0; i < BASE_COUNT; i++) {
        std::string path = base + "\\" + BASES[i];
        Bytes data = read_file(path);
        ASSERT_FALSE(data.empty()) << path;
        sound.push_back(path);
        add_mutants(names, i, data);
        if (std::string(BASES[i]) == "drawn.emf") {
            add_damaged_metafiles(names, data);
            put32(data, 28, 0x20000);  // frame top far below its bottom: playback spans a huge area
            add(names, "emf_frame_inverted.emf", data);
        }
        if (std::string(BASES[i]) == "drawn.wmf") {
            // The second record (after the placeable and metafile headers and the rectangle) said
            // to be 2^31 words long, a byte count that wraps to nothing: the player read it for ever.
            size_t second = 22 + 18 + 2 * (data[40] | data[41] << 8);
            ASSERT_LT(second + 4, data.size());
            put32(data, second, 0x80000000u);
            add(names, "wmf_record_size_wraps.wmf", data);
        }
    }
    add_lying_bmps(names);
    add_non_pictures(names);
    ASSERT_GE(names.size(), 300u);

    on_worker([] {
        KAV_CreateImage8(EIGHT, "hostile8", 0, 0, SIDE_W, SIDE_H, 100);
        KAV_CreateImage(TRUE_COLOUR, "hostile32", 100, 0, SIDE_W, SIDE_H, 100);
    });
    // The sound files load (every kind is really read), and warm what the system keeps once
    // used: codecs, their tables, the metafile players.
    for (int pass = 0; pass < 2; pass++)
        for (const std::string &path : sound)
            for (int window : {EIGHT, TRUE_COLOUR}) {
                bool kept = false;
                int r = bounded_load(path, window, 0, 0, &kept);
                ASSERT_NE(-1, r) << path << " hung";
                EXPECT_EQ(0, r) << path << " into the " << (window == EIGHT ? 8 : 32) << "-bit window";
            }

    // Files on which the platform's decoder itself keeps memory go through every check but the
    // memory count; all the others must leave the heap and private bytes where they were.
    std::vector<std::string> measured, decoder_keeps;
    uint64_t decoder_total = 0;
    for (const std::string &path : names) {
        uint64_t k = platform_keeps(path);
        (k > 0 ? decoder_keeps : measured).push_back(path);
        decoder_total += k;
    }
    for (const std::string &path : decoder_keeps) {
        check_loads(path);
        if (HasFatalFailure()) return;
    }
    Usage before = usage();
    for (const std::string &path : measured) {
        check_loads(path);
        if (HasFatalFailure()) return;
    }
    Usage after = usage();
    printf("%zu files, %d loads answered 0 and %d answered 1\n", names.size(), answered[0], answered[1]);
    printf("the decoder alone keeps %llu bytes of %zu files; counted over the other %zu files:\n",
           (unsigned long long)decoder_total, decoder_keeps.size(), measured.size());
    printf("heap %llu -> %llu bytes, private %llu -> %llu bytes, GDI %lu -> %lu, USER %lu -> %lu\n",
           (unsigned long long)before.heap, (unsigned long long)after.heap,
           (unsigned long long)before.private_bytes, (unsigned long long)after.private_bytes,
           before.gui.gdi, after.gui.gdi, before.gui.user, after.gui.user);
    EXPECT_EQ(before.gui.gdi, after.gui.gdi) << "GDI objects";
    EXPECT_EQ(before.gui.user, after.gui.user) << "USER objects";
    // One picture left behind per load would be a megabyte or more over these loads.
    EXPECT_LT((int64_t)(after.heap - before.heap), 64 * 1024) << "heap bytes";
    EXPECT_LT((int64_t)(after.private_bytes - before.private_bytes), 1024 * 1024) << "private bytes";

    on_worker([] {
        KAV_DestroyImage(EIGHT);
        KAV_DestroyImage(TRUE_COLOUR);
    });
}
