// file_rules.cpp - see file_rules.h.
#include "imagewin/file_rules.h"

static const wchar_t *const KIND_MIME[KAV_SAVE_KINDS] = {
    L"image/bmp", L"image/jpeg", L"image/gif", L"image/png", L"image/tiff"};
static const wchar_t *const KIND_EXTENSION[KAV_SAVE_KINDS] = {L".bmp", L".jpg", L".gif", L".png",
                                                              L".tif"};

const wchar_t *save_kind_mime(int kind)
{
    if (kind < 0 || kind >= KAV_SAVE_KINDS) return nullptr;
    return KIND_MIME[kind];
}

const wchar_t *save_kind_extension(int kind)
{
    if (kind < 0 || kind >= KAV_SAVE_KINDS) return nullptr;
    return KIND_EXTENSION[kind];
}

static wchar_t ascii_lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

int name_with_extension(const wchar_t *name, int kind, wchar_t *out, int units)
{
    const wchar_t *ext = save_kind_extension(kind);
    if (!ext || !name || !out || units < 1) return 1;
    size_t length = wcslen(name);
    bool has_it = length >= 4;
    for (size_t i = 0; has_it && i < 4; i++)
        if (ascii_lower(name[length - 4 + i]) != ext[i]) has_it = false;
    size_t total = length + (has_it ? 0 : 4);
    if (total + 1 > (size_t)units) return 1;
    for (size_t i = 0; i < length; i++) out[i] = name[i];
    if (!has_it)
        for (size_t i = 0; i < 4; i++) out[length + i] = ext[i];
    out[total] = L'\0';
    return 0;
}

int palette_entry_count(int64_t size_bytes)
{
    if (size_bytes <= 8) return 0;
    int64_t count = (size_bytes - 8) / 4;
    return count > KAV_PALETTE_MAX ? KAV_PALETTE_MAX : (int)count;
}

// Bytes of the pixel bits of an uncompressed DIB: rows padded to 4 bytes.
static uint64_t uncompressed_size(const DibHeaderFields &h)
{
    uint64_t row = (((uint64_t)(uint32_t)h.width * h.bit_count + 31) / 32) * 4;
    int64_t rows = h.height < 0 ? -(int64_t)h.height : h.height;
    return row * (uint64_t)rows;
}

int check_packed_dib(const DibHeaderFields &h, uint64_t block_size, DibLayout *out)
{
    if (h.header_size < 40 || h.width <= 0 || h.height == 0) return 1;
    uint32_t b = h.bit_count;
    if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) return 1;
    if (h.compression > 3) return 1;
    if (h.header_size > block_size) return 2;
    uint64_t masks = (h.compression == 3 && h.header_size == 40) ? 12 : 0;
    uint64_t table = h.colours_used;
    if (b <= 8 && table == 0) table = 1u << b;
    uint64_t table_offset = h.header_size + masks;
    uint64_t bits_offset = table_offset + table * 4;
    uint64_t bits_size = h.compression == 1 || h.compression == 2 ? h.size_image : uncompressed_size(h);
    if (bits_size == 0 || bits_offset > block_size || bits_size > block_size - bits_offset) return 2;
    out->palette_colours = b <= 8 ? (int)(table > KAV_PALETTE_MAX ? KAV_PALETTE_MAX : table) : 0;
    out->table_offset = table_offset;
    out->bits_offset = bits_offset;
    return 0;
}

void paste_dib_indices(const uint8_t *bits, int32_t dib_width, int32_t dib_height, uint8_t *image,
                       int image_width, int image_height, int64_t image_stride, int x, int y)
{
    int64_t dib_stride = ((int64_t)dib_width + 3) & ~(int64_t)3;
    int64_t rows = dib_height < 0 ? -(int64_t)dib_height : dib_height;
    int64_t left = x < 0 ? 0 : x, right = (int64_t)x + dib_width;
    if (right > image_width) right = image_width;
    for (int64_t j = 0; j < rows; j++) {
        int64_t target = (int64_t)y + j;
        if (target < 0 || target >= image_height || left >= right) continue;
        int64_t source_row = dib_height < 0 ? j : rows - 1 - j;  // bottom-up: the last row is the top
        const uint8_t *from = bits + source_row * dib_stride + (left - x);
        uint8_t *to = image + target * image_stride + left;
        for (int64_t i = 0; i < right - left; i++) to[i] = from[i];
    }
}

uint64_t memory_read_count(uint64_t size, uint64_t position, uint64_t wanted)
{
    if (position >= size) return 0;
    return wanted < size - position ? wanted : size - position;
}

#define MEMORY_POSITION_LIMIT ((int64_t)1 << 62)  // far beyond any file held; keeps sums exact

int memory_seek(uint64_t size, uint64_t *position, int origin, int64_t move)
{
    int64_t from;
    if (origin == 0)
        from = 0;
    else if (origin == 1)
        from = (int64_t)*position;
    else if (origin == 2)
        from = (int64_t)size;
    else
        return 1;
    if (from > MEMORY_POSITION_LIMIT || move > MEMORY_POSITION_LIMIT || move < -MEMORY_POSITION_LIMIT) return 1;
    int64_t to = from + move;
    if (to < 0 || to > MEMORY_POSITION_LIMIT) return 1;
    *position = (uint64_t)to;
    return 0;
}
