// windows_metafile_check.cpp - the bounded walk over an old-style Windows metafile (see
// metafile_check.h). Record sizes are counted in 16-bit words; a record of size 0 would make
// the platform's player read the same record for ever. Platform-free.
#include "imagewin/metafile_check.h"

#define PLACEABLE_KEY 0x9AC6CDD7u  // first word of the placeable header
#define PLACEABLE_BYTES 22         // the placeable header before the metafile header
#define WMF_HEADER_WORDS 9         // the metafile header
#define WMF_RECORD_MIN_WORDS 3     // size and function: the end record is no more

// Record functions the walk looks into.
enum {
    META_EOF = 0x0000,
    META_SETPALENTRIES = 0x0037,
    META_CREATEPALETTE = 0x00F7,
    META_INVERTREGION = 0x012A,
    META_PAINTREGION = 0x012B,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_DELETEOBJECT = 0x01F0,
    META_FILLREGION = 0x0228,
    META_SETWINDOWEXT = 0x020C,
    META_SELECTPALETTE = 0x0234,
    META_CREATEPENINDIRECT = 0x02FA,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_FRAMEREGION = 0x0429,
    META_ANIMATEPALETTE = 0x0436,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};

#define ETO_RECTANGLE_FLAGS 0x0006  // opaque or clipped: a rectangle precedes the string
#define BS_PATTERN_STYLE 3          // a pattern brush whose bitmap has its own colours

struct WmfRecord {
    const uint8_t *at;  // first byte of the record
    uint32_t function;
    uint64_t bytes;     // already checked: at least 6, inside the file
};

static uint32_t u32(const uint8_t *b)
{
    return (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24;
}
static uint16_t u16(const uint8_t *b) { return (uint16_t)(b[0] | b[1] << 8); }
static int16_t s16(const uint8_t *b) { return (int16_t)u16(b); }

// The 16-bit parameter i of a record (0 is the first after the function), or 0 beyond it.
static uint16_t parameter(const WmfRecord &r, uint64_t i) { return 6 + 2 * i + 2 <= r.bytes ? u16(r.at + 6 + 2 * i) : 0; }

// Polygons: a count of points and the points (4 bytes each).
static bool points_fit(const WmfRecord &r) { return r.bytes >= 8 && 8 + 4 * (uint64_t)parameter(r, 0) <= r.bytes; }

// Polygon count, the count of each, then all their points.
static bool polygons_fit(const WmfRecord &r)
{
    uint64_t polygons = parameter(r, 0), points = 0;
    if (r.bytes < 8 || 8 + 2 * polygons > r.bytes) return false;
    for (uint64_t i = 0; i < polygons; i++) points += parameter(r, 1 + i);
    return 8 + 2 * polygons + 4 * points <= r.bytes;
}

// A text of count bytes (padded to a word) followed by its position.
static bool text_fits(const WmfRecord &r)
{
    uint64_t count = parameter(r, 0);
    return r.bytes >= 8 && 8 + ((count + 1) & ~1ull) + 4 <= r.bytes;
}

// Position, count, options, the rectangle when the options name one, then the string.
static bool extended_text_fits(const WmfRecord &r)
{
    uint64_t count = parameter(r, 2), rectangle = (parameter(r, 3) & ETO_RECTANGLE_FLAGS) ? 8 : 0;
    return r.bytes >= 14 && 14 + rectangle + count <= r.bytes;
}

// Palette entries: a start, a count and that many 4-byte entries.
static bool entries_fit(const WmfRecord &r) { return r.bytes >= 10 && 10 + 4 * (uint64_t)parameter(r, 1) <= r.bytes; }

// A bitmap from byte info of the record to its end (header, colour table and bits), holding
// rows rows (< 0: as many as its height).
static bool bitmap_fits(const WmfRecord &r, uint64_t info, uint32_t usage, int64_t rows)
{
    if (info >= r.bytes) return false;
    uint64_t header = 0, needed = 0, room = r.bytes - info;
    if (metafile_bitmap_layout(r.at + info, room, usage, rows, &header, &needed) != 0) return false;
    return header <= room && needed <= room - header;
}

// A record that copies a bitmap may carry none (a pattern or plain operation): it then holds
// just the parameters its function's high byte counts.
static bool blit_fits(const WmfRecord &r, uint64_t info)
{
    if (r.bytes == 2 * (uint64_t)((r.function >> 8) + WMF_RECORD_MIN_WORDS)) return true;
    return bitmap_fits(r, info, 0, -1);
}

static bool record_fits(const WmfRecord &r)
{
    switch (r.function) {
    case META_POLYGON:
    case META_POLYLINE: return points_fit(r);
    case META_POLYPOLYGON: return polygons_fit(r);
    case META_TEXTOUT: return text_fits(r);
    case META_EXTTEXTOUT: return extended_text_fits(r);
    case META_CREATEPALETTE: return r.bytes >= 10 && 10 + 4 * (uint64_t)parameter(r, 1) <= r.bytes;
    case META_SETPALENTRIES:
    case META_ANIMATEPALETTE: return entries_fit(r);
    case META_DIBBITBLT: return blit_fits(r, 22);
    case META_DIBSTRETCHBLT: return blit_fits(r, 26);
    case META_STRETCHDIB: return bitmap_fits(r, 28, parameter(r, 2), -1);
    case META_SETDIBTODEV: return bitmap_fits(r, 24, parameter(r, 0), parameter(r, 1));  // its scan lines
    case META_DIBCREATEPATTERNBRUSH:  // a plain pattern's colour use means nothing
        return bitmap_fits(r, 10, parameter(r, 0) == BS_PATTERN_STYLE ? 0 : parameter(r, 1), -1);
    default: return true;
    }
}

// Object indices a record names (regions, brushes, palettes): slots of the header's table.
static bool objects_sane(const WmfRecord &r, uint32_t objects)
{
    int count = 0;
    switch (r.function) {
    case META_SELECTOBJECT:
    case META_DELETEOBJECT:
    case META_SELECTPALETTE:
    case META_SELECTCLIPREGION:
    case META_INVERTREGION:
    case META_PAINTREGION: count = 1; break;
    case META_FILLREGION:
    case META_FRAMEREGION: count = 2; break;  // the region and the brush
    default: return true;
    }
    for (int i = 0; i < count; i++) {
        if (6 + 2 * (uint64_t)i + 2 > r.bytes) return false;
        if (parameter(r, (uint64_t)i) >= objects) return false;
    }
    return true;
}

static int magnitude(int16_t v) { return v < 0 ? -(int)v : v; }

// The width of a pen or of a region's frame, in logical units: no wider than picture, the
// larger side of the picture's box or window, and at most the pen limit unless the picture
// is larger (a pen as wide as the whole picture is the most any drawing uses).
static bool widths_sane(const WmfRecord &r, int picture)
{
    int limit = picture > KAV_METAFILE_PEN_LIMIT ? picture : KAV_METAFILE_PEN_LIMIT;
    if (r.function == META_CREATEPENINDIRECT) return magnitude((int16_t)parameter(r, 1)) <= limit;
    if (r.function == META_FRAMEREGION)
        return magnitude((int16_t)parameter(r, 2)) <= limit && magnitude((int16_t)parameter(r, 3)) <= limit;
    return true;
}

int check_windows_metafile(const uint8_t *bytes, uint64_t size)
{
    if (!bytes || size < 2 * WMF_HEADER_WORDS) return 0;
    uint64_t start = 0;
    if (u32(bytes) == PLACEABLE_KEY) {
        if (size < PLACEABLE_BYTES + 2 * WMF_HEADER_WORDS) return 1;
        bool upright = s16(bytes + 10) >= s16(bytes + 6) && s16(bytes + 12) >= s16(bytes + 8);
        if (!upright || u16(bytes + 14) == 0) return 1;  // box, units per inch
        start = PLACEABLE_BYTES;
    }
    int picture = 0;  // the larger side of the placeable box, then of any window the file sets
    if (start) {
        picture = s16(bytes + 10) - s16(bytes + 6);
        if (s16(bytes + 12) - s16(bytes + 8) > picture) picture = s16(bytes + 12) - s16(bytes + 8);
    }
    const uint8_t *h = bytes + start;
    uint32_t type = u16(h);
    bool header = (type == 1 || type == 2) && u16(h + 2) == WMF_HEADER_WORDS;
    if (!header) return start ? 1 : 0;  // no metafile at all unless it was announced
    uint64_t end = start + 2 * (uint64_t)u32(h + 6);
    if (end > size || end < start + 2 * WMF_HEADER_WORDS) return 1;
    uint32_t objects = u16(h + 10);
    for (uint64_t at = start + 2 * WMF_HEADER_WORDS; at + 2 * WMF_RECORD_MIN_WORDS <= end;) {
        WmfRecord r = {bytes + at, u16(bytes + at + 4), 2 * (uint64_t)u32(bytes + at)};
        if (r.bytes < 2 * WMF_RECORD_MIN_WORDS || r.bytes > end - at) return 1;
        if (!record_fits(r) || !objects_sane(r, objects)) return 1;
        if (r.function == META_SETWINDOWEXT)
            for (int i = 0; i < 2; i++)
                if (magnitude((int16_t)parameter(r, (uint64_t)i)) > picture) picture = magnitude((int16_t)parameter(r, (uint64_t)i));
        if (!widths_sane(r, picture)) return 1;
        if (r.function == META_EOF) return at + r.bytes == end ? 0 : 1;
        at += r.bytes;
    }
    return 1;  // the end record was never reached
}
