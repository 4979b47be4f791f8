// metafile_check.cpp - see metafile_check.h. Every field is read only after the record has
// been found long enough to hold it; sums and products are formed in 64 bits, so no count or
// offset a file claims can wrap.
#include "imagewin/metafile_check.h"

#include <math.h>
#include <stddef.h>
#include <string.h>

#define EMF_HEADER_MIN 88                // the header record's fixed part
#define EMF_HEADER_PIXEL_FORMAT 100      // header size from which the pixel format fields exist
#define EMF_COORDINATE_LIMIT (1 << 27)   // coordinates the platform's drawing accepts at all

// Record types the walk looks into.
enum {
    EMR_HEADER = 1,
    EMR_POLYBEZIER = 2,  // to EMR_POLYLINETO: points of 8 bytes
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_EOF = 14,
    EMR_SETMAPMODE = 17,
    EMR_SCALEVIEWPORTEXTEX = 31,
    EMR_SCALEWINDOWEXTEX = 32,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ANGLEARC = 41,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_ARC = 45,
    EMR_CHORD = 46,
    EMR_PIE = 47,
    EMR_SELECTPALETTE = 48,
    EMR_CREATEPALETTE = 49,
    EMR_SETPALETTEENTRIES = 50,
    EMR_RESIZEPALETTE = 51,
    EMR_ARCTO = 55,
    EMR_POLYDRAW = 56,
    EMR_GDICOMMENT = 70,
    EMR_FILLRGN = 71,
    EMR_FRAMERGN = 72,
    EMR_INVERTRGN = 73,
    EMR_PAINTRGN = 74,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_MASKBLT = 78,
    EMR_PLGBLT = 79,
    EMR_SETDIBITSTODEVICE = 80,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85,  // to EMR_POLYLINETO16: points of 4 bytes
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_POLYDRAW16 = 92,
    EMR_CREATEMONOBRUSH = 93,
    EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95,
    EMR_POLYTEXTOUTA = 96,
    EMR_POLYTEXTOUTW = 97,
    EMR_CREATECOLORSPACE = 99,
    EMR_SETCOLORSPACE = 100,
    EMR_DELETECOLORSPACE = 101,
    EMR_ALPHABLEND = 114,
    EMR_TRANSPARENTBLT = 116,
    EMR_CREATECOLORSPACEW = 122,
};

#define MM_ISOTROPIC_MODE 7  // this and the next mode take their scale from the two extents
#define STOCK_OBJECT_FLAG 0x80000000u  // an object index naming a stock object, not a table slot
#define ETO_PDY_FLAG 0x2000  // text options: the spacing array holds x and y for each character

struct Record {
    const uint8_t *at;  // first byte of the record
    uint32_t type;
    uint32_t size;      // already checked: at least 8, a multiple of 4, inside the file
};

static uint32_t u32(const uint8_t *b)
{
    return (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24;
}
static int32_t s32(const uint8_t *b) { return (int32_t)u32(b); }
static uint16_t u16(const uint8_t *b) { return (uint16_t)(b[0] | b[1] << 8); }

// True when count items of item bytes starting at offset lie inside the record.
static bool fits(const Record &r, uint64_t offset, uint64_t count, uint64_t item)
{
    if (offset > r.size) return false;
    return count <= (r.size - offset) / (item ? item : 1);
}

bool looks_like_enhanced_metafile(const uint8_t *bytes, uint64_t size)
{
    if (!bytes || size < 44) return false;
    return u32(bytes) == EMR_HEADER && bytes[40] == ' ' && bytes[41] == 'E' && bytes[42] == 'M' && bytes[43] == 'F';
}

// A rectangle of four 32-bit fields (left, top, right, bottom) that is not inverted.
static bool upright(const uint8_t *b) { return s32(b + 8) >= s32(b) && s32(b + 12) >= s32(b + 4); }

static int check_header(const uint8_t *bytes, uint64_t size, uint64_t *walk_end)
{
    uint32_t header_size = u32(bytes + 4);
    if (size < EMF_HEADER_MIN || header_size < EMF_HEADER_MIN || header_size % 4 != 0 || header_size > size) return 1;
    if (!upright(bytes + 8) || !upright(bytes + 24)) return 1;  // bounds, frame
    uint32_t total = u32(bytes + 48);  // the player walks this many bytes
    if (total < header_size || total > size) return 1;
    Record whole = {bytes, EMR_HEADER, total};  // the description may follow the header record
    uint32_t description = u32(bytes + 60);
    if (description > 0 && !fits(whole, u32(bytes + 64), description, 2)) return 1;
    if (header_size >= EMF_HEADER_PIXEL_FORMAT) {
        uint32_t format_bytes = u32(bytes + 88);
        if (format_bytes > 0 && !fits(whole, u32(bytes + 92), format_bytes, 1)) return 1;
    }
    *walk_end = total;
    return 0;
}

// A block of bytes (offset, count) at the two fields given; an empty one is always sound.
static bool block_fits(const Record &r, uint32_t offset_field, uint32_t count_field)
{
    uint32_t count = u32(r.at + count_field);
    return count == 0 || fits(r, u32(r.at + offset_field), count, 1);
}

// Bytes of the colour table of a bitmap header: entries of 4 bytes (3 after an old-style
// header), or 2 when they index the palette; only depths of 8 bits or fewer need one.
static uint64_t colour_table_bytes(uint32_t bits, uint32_t used, uint32_t usage, bool core)
{
    if (bits > 8 || usage == 2) return 0;  // a monochrome bitmap takes the current colours
    uint64_t entries = used > 0 && used < (1u << bits) ? used : (1u << bits);
    return entries * (usage == 1 ? 2 : core ? 3 : 4);
}

int metafile_bitmap_layout(const uint8_t *info, uint64_t info_bytes, uint32_t usage, int64_t rows,
                           uint64_t *header_bytes, uint64_t *bits_bytes)
{
    if (usage > 2 || info_bytes < DIB_CORE_HEADER) return 1;  // colour values, palette indices, monochrome
    uint32_t info_size = u32(info);
    bool core = info_size == DIB_CORE_HEADER;
    if (!core && (info_size < DIB_INFO_HEADER || info_size > info_bytes)) return 1;
    int64_t width = core ? u16(info + 4) : s32(info + 4), height = core ? u16(info + 6) : s32(info + 8);
    uint32_t bits = u16(info + (core ? 10 : 14)), compression = core ? 0 : u32(info + 16);
    uint32_t image_bytes = core ? 0 : u32(info + 20), used = core ? 0 : u32(info + 32);
    bool depth_known = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (width < 0 || u16(info + (core ? 8 : 12)) != 1) return 1;  // one plane, always
    if ((compression == 0 || compression == 3) && !depth_known) return 1;
    if ((compression == 1 && bits != 8) || (compression == 2 && bits != 4) || compression > 5) return 1;
    uint64_t masks = compression == 3 && info_size == DIB_INFO_HEADER ? 12 : 0;
    *header_bytes = info_size + masks + colour_table_bytes(bits, used, usage, core);
    if (compression != 0 && compression != 3) {  // runs or an embedded picture: as many bytes as it says
        *bits_bytes = image_bytes;
        return 0;
    }
    if (rows < 0) rows = height < 0 ? -height : height;
    uint64_t row = (((uint64_t)width * bits + 31) / 32) * 4;  // at most 2^34
    *bits_bytes = rows > 0 && row > UINT64_MAX / (uint64_t)rows ? UINT64_MAX : row * (uint64_t)rows;
    return 0;
}

// A bitmap of a record, its fields from fields (header offset and size, bits offset and size)
// and its colour use at usage_field: both blocks inside the record and the bitmap laid out as
// metafile_bitmap_layout requires, with rows rows (< 0: its height). None at all is sound.
static bool bitmap_fits(const Record &r, uint32_t fields, uint32_t usage_field, int64_t rows)
{
    uint32_t info_bytes = u32(r.at + fields + 4), bits_bytes = u32(r.at + fields + 12);
    if (!block_fits(r, fields, fields + 4) || !block_fits(r, fields + 8, fields + 12)) return false;
    if (info_bytes == 0) return true;
    uint64_t header = 0, needed = 0;
    if (metafile_bitmap_layout(r.at + u32(r.at + fields), info_bytes, u32(r.at + usage_field), rows, &header,
                               &needed) != 0)
        return false;
    return header <= info_bytes && needed <= bits_bytes;
}

// Region data (its byte count at count_field, its bytes from data): a 32-byte header and the
// rectangles it counts, inside the record.
static bool region_fits(const Record &r, uint32_t count_field, uint32_t data, bool may_be_empty)
{
    uint32_t count = u32(r.at + count_field);
    if (count == 0) return may_be_empty;
    if (count < 32 || !fits(r, data, count, 1)) return false;
    uint32_t rectangles = u32(r.at + data + 8);
    return rectangles <= (count - 32) / 16;
}

// Points of a poly record: count at 24, points of point_bytes from 28, and for a poly-draw
// one type byte per point after them.
static bool points_fit(const Record &r, uint64_t point_bytes, bool types)
{
    if (r.size < 28) return false;
    uint64_t count = u32(r.at + 24);
    return fits(r, 28, count, point_bytes + (types ? 1 : 0));
}

// A poly-poly record: polygon count at 24, point count at 28, the polygons' counts from 32,
// then the points; the counts may not add up to more points than there are.
static bool poly_points_fit(const Record &r, uint64_t point_bytes)
{
    if (r.size < 32) return false;
    uint64_t polygons = u32(r.at + 24), points = u32(r.at + 28);
    if (!fits(r, 32, polygons, 4) || !fits(r, 32 + polygons * 4, points, point_bytes)) return false;
    uint64_t sum = 0;
    for (uint64_t i = 0; i < polygons; i++) sum += u32(r.at + 32 + i * 4);
    return sum <= points;
}

// One text block of a record at block (reference point, count, string offset, options,
// rectangle, spacing offset: 40 bytes); wide characters take two bytes.
static bool text_fits(const Record &r, uint32_t block, bool wide)
{
    if (!fits(r, block, 1, 40)) return false;
    uint64_t chars = u32(r.at + block + 8);
    if (chars == 0) return true;
    if (!fits(r, u32(r.at + block + 12), chars, wide ? 2 : 1)) return false;
    uint32_t spacing = u32(r.at + block + 36);
    uint64_t values = chars * ((u32(r.at + block + 16) & ETO_PDY_FLAG) ? 2 : 1);
    return spacing == 0 || fits(r, spacing, values, 4);
}

static bool poly_text_fits(const Record &r, bool wide)
{
    if (r.size < 40) return false;
    uint64_t strings = u32(r.at + 36);
    if (!fits(r, 40, strings, 40)) return false;
    for (uint64_t i = 0; i < strings; i++)
        if (!text_fits(r, (uint32_t)(40 + i * 40), wide)) return false;
    return true;
}

// A pen made with a pattern bitmap and a dash table: both inside the record.
static bool extended_pen_fits(const Record &r)
{
    if (r.size < 52) return false;
    if (!bitmap_fits(r, 12, 40, -1)) return false;  // the brush's colour use stands for the bitmap's
    return fits(r, 52, u32(r.at + 48), 4);
}

// The fixed part and the counted contents of one record fit inside it.
static bool record_fits(const Record &r)
{
    uint32_t t = r.type;
    if (t >= EMR_POLYBEZIER && t <= EMR_POLYLINETO) return points_fit(r, 8, false);
    if (t >= EMR_POLYBEZIER16 && t <= EMR_POLYLINETO16) return points_fit(r, 4, false);
    switch (t) {
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON: return poly_points_fit(r, 8);
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: return poly_points_fit(r, 4);
    case EMR_POLYDRAW: return points_fit(r, 8, true);
    case EMR_POLYDRAW16: return points_fit(r, 4, true);
    case EMR_EXTTEXTOUTA: return r.size >= 76 && text_fits(r, 36, false);
    case EMR_EXTTEXTOUTW: return r.size >= 76 && text_fits(r, 36, true);
    case EMR_POLYTEXTOUTA: return poly_text_fits(r, false);
    case EMR_POLYTEXTOUTW: return poly_text_fits(r, true);
    case EMR_BITBLT: return r.size >= 100 && bitmap_fits(r, 84, 80, -1);
    case EMR_STRETCHBLT:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT: return r.size >= 108 && bitmap_fits(r, 84, 80, -1);
    case EMR_MASKBLT: return r.size >= 128 && bitmap_fits(r, 84, 80, -1) && bitmap_fits(r, 112, 108, -1);
    case EMR_PLGBLT: return r.size >= 140 && bitmap_fits(r, 96, 92, -1) && bitmap_fits(r, 124, 120, -1);
    case EMR_SETDIBITSTODEVICE: return r.size >= 76 && bitmap_fits(r, 48, 64, u32(r.at + 72));  // its rows only
    case EMR_STRETCHDIBITS: return r.size >= 80 && bitmap_fits(r, 48, 64, -1);
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: return r.size >= 32 && bitmap_fits(r, 16, 12, -1);
    case EMR_EXTCREATEPEN: return extended_pen_fits(r);
    case EMR_CREATEPEN: return r.size >= 28;
    case EMR_EXTCREATEFONTINDIRECTW: return r.size >= 12 + 92;  // handle and a whole wide logical font
    case EMR_GDICOMMENT: return r.size >= 12 && fits(r, 12, u32(r.at + 8), 1);
    case EMR_FILLRGN: return r.size >= 32 && region_fits(r, 24, 32, false);
    case EMR_FRAMERGN: return r.size >= 40 && region_fits(r, 24, 40, false);
    case EMR_INVERTRGN:
    case EMR_PAINTRGN: return r.size >= 28 && region_fits(r, 24, 28, false);
    case EMR_EXTSELECTCLIPRGN: return r.size >= 16 && region_fits(r, 8, 16, true);  // none: the default clip
    case EMR_CREATEPALETTE: return r.size >= 16 && fits(r, 16, u16(r.at + 14), 4);
    case EMR_SETPALETTEENTRIES: return r.size >= 20 && fits(r, 20, u32(r.at + 16), 4);
    case EMR_EOF: return r.size >= 20 && (u32(r.at + 8) == 0 || fits(r, u32(r.at + 12), u32(r.at + 8), 4));
    case EMR_ANGLEARC: return r.size >= 28;
    case EMR_ELLIPSE:
    case EMR_RECTANGLE: return r.size >= 24;
    case EMR_ROUNDRECT: return r.size >= 32;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO: return r.size >= 40;
    default: return true;
    }
}

// What decides how many device pixels one logical unit spans, as far as the walk follows it:
// magnitudes only, each an upper bound of the player's.
struct Scale {
    double fixed;               // pixels per unit of the mapping mode; 1 for the device's units
    bool free_mode;             // isotropic or anisotropic: the extents below decide
    double viewport[2], window[2];
    double world;               // stretch of the world transform
};

#define SAVED_SCALES 16  // saved states followed; one restored from deeper takes the worst seen

struct ScaleTrack {
    double pixels_per_mm;       // the reference device's, from the header
    Scale now, worst;           // worst: the largest factors and smallest windows ever seen
    Scale saved[SAVED_SCALES];
    int depth;                  // states saved, possibly more than followed
};

static double magnitude(int32_t v) { return v < 0 ? -(double)v : (double)v; }

// A bound of the stretch of the transform whose matrix is the four floats at b.
static double stretch(const uint8_t *b)
{
    float m[4];
    for (int i = 0; i < 4; i++) {
        uint32_t word = u32(b + 4 * i);
        memcpy(&m[i], &word, 4);
    }
    double rows = fabs(m[0]) + fabs(m[2]), columns = fabs(m[1]) + fabs(m[3]);
    double s = rows > columns ? rows : columns;
    return s == s ? s : HUGE_VAL;  // not a number: no bound
}

static double pixels_per_unit(const Scale &k)
{
    if (!k.free_mode) return k.fixed * k.world;
    double page = 0;
    for (int i = 0; i < 2; i++)
        if (k.viewport[i] / k.window[i] > page) page = k.viewport[i] / k.window[i];
    return page * k.world;
}

static void take_worst(ScaleTrack *t)
{
    Scale &w = t->worst, &n = t->now;
    if (n.fixed > w.fixed) w.fixed = n.fixed;
    w.free_mode = w.free_mode || n.free_mode;
    for (int i = 0; i < 2; i++) {
        if (n.viewport[i] > w.viewport[i]) w.viewport[i] = n.viewport[i];
        if (n.window[i] < w.window[i]) w.window[i] = n.window[i];
    }
    if (n.world > w.world) w.world = n.world;
}

// Millimetres per logical unit of the fixed mapping modes 2..6.
static const double MODE_MM[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};

static void set_mapping_mode(ScaleTrack *t, uint32_t mode)
{
    Scale &n = t->now;
    if (mode >= MM_ISOTROPIC_MODE && mode <= MM_ISOTROPIC_MODE + 1) {
        if (!n.free_mode) {  // the extents start as the previous mode's
            n.viewport[0] = n.viewport[1] = n.fixed;
            n.window[0] = n.window[1] = 1;
        }
        n.free_mode = true;
        return;
    }
    n.free_mode = false;
    n.fixed = mode >= 2 && mode <= 6 ? t->pixels_per_mm * MODE_MM[mode - 2] : 1;
    if (n.fixed < 1) n.fixed = 1;
}

static void follow_scale(ScaleTrack *t, const Record &r)
{
    Scale &n = t->now;
    uint32_t type = r.type;
    if (type == EMR_SETMAPMODE && r.size >= 12) set_mapping_mode(t, u32(r.at + 8));
    if ((type == EMR_SETWINDOWEXTEX || type == EMR_SETVIEWPORTEXTEX) && r.size >= 16 && n.free_mode)
        for (int i = 0; i < 2; i++) {
            double v = magnitude(s32(r.at + 8 + 4 * i));
            if (v == 0) continue;  // refused by the player: the extent stays as it was
            (type == EMR_SETVIEWPORTEXTEX ? n.viewport : n.window)[i] = v;
        }
    if ((type == EMR_SCALEVIEWPORTEXTEX || type == EMR_SCALEWINDOWEXTEX) && r.size >= 24 && n.free_mode)
        for (int i = 0; i < 2; i++) {
            double num = magnitude(s32(r.at + 8 + 8 * i)), den = magnitude(s32(r.at + 12 + 8 * i));
            if (den == 0 || num == 0) continue;
            (type == EMR_SCALEVIEWPORTEXTEX ? n.viewport : n.window)[i] *= num / den;
        }
    if (type == EMR_SETWORLDTRANSFORM && r.size >= 32) n.world = stretch(r.at + 8);
    if (type == EMR_MODIFYWORLDTRANSFORM && r.size >= 36) {
        uint32_t how = u32(r.at + 32);  // 1 identity, 2 and 3 multiply, 4 set
        n.world = how == 1 ? 1 : how == 4 ? stretch(r.at + 8) : n.world * stretch(r.at + 8);
    }
    if (type == EMR_SAVEDC) {
        if (t->depth < SAVED_SCALES) t->saved[t->depth] = n;
        t->depth++;
    }
    if (type == EMR_RESTOREDC && r.size >= 12 && t->depth > 0) {
        int32_t which = s32(r.at + 8);  // negative: so many back; positive: that level
        int64_t level = which < 0 ? (int64_t)t->depth + which : (int64_t)which - 1;
        if (level >= 0 && level < t->depth) {
            n = level < SAVED_SCALES ? t->saved[level] : t->worst;
            t->depth = (int)level;
        }
    }
    take_worst(t);
}

static bool coordinate_sane(int64_t c) { return c >= -EMF_COORDINATE_LIMIT && c <= EMF_COORDINATE_LIMIT; }

// A curve's box (at 8) and, for a rounded rectangle, its corner size: neither wider nor taller
// than the curve limit in device pixels, and inside the coordinates drawing accepts; the width
// of a pen or of a region's frame within the pen limit. The platform draws them at a cost that
// grows with their size. A rectangle's corners lie inside the coordinates drawing accepts.
static bool curve_sane(const Record &r, double scale)
{
    double limit = scale > 0 ? KAV_METAFILE_CURVE_LIMIT / scale : HUGE_VAL;
    if (scale != scale) limit = 0;  // factors that made no number (infinite times none): no bound
    if (r.type == EMR_ANGLEARC) {
        int64_t x = s32(r.at + 8), y = s32(r.at + 12), radius = u32(r.at + 16);
        return coordinate_sane(x) && coordinate_sane(y) && radius <= limit / 2;
    }
    double pen = scale > 0 ? KAV_METAFILE_PEN_LIMIT / scale : HUGE_VAL;
    if (scale != scale) pen = 0;
    if (r.type == EMR_CREATEPEN) return magnitude(s32(r.at + 16)) <= pen;  // its width
    if (r.type == EMR_EXTCREATEPEN) return u32(r.at + 32) <= pen;
    if (r.type == EMR_FRAMERGN) return magnitude(s32(r.at + 32)) <= pen && magnitude(s32(r.at + 36)) <= pen;
    if (r.type == EMR_RECTANGLE)  // filled with a pattern, one 2^31 pixels across takes seconds
        return coordinate_sane(s32(r.at + 8)) && coordinate_sane(s32(r.at + 12)) &&
               coordinate_sane(s32(r.at + 16)) && coordinate_sane(s32(r.at + 20));
    bool curve = r.type == EMR_ELLIPSE || r.type == EMR_ROUNDRECT || r.type == EMR_ARC ||
                 r.type == EMR_CHORD || r.type == EMR_PIE || r.type == EMR_ARCTO;
    if (!curve) return true;
    int64_t left = s32(r.at + 8), top = s32(r.at + 12), right = s32(r.at + 16), bottom = s32(r.at + 20);
    if (!coordinate_sane(left) || !coordinate_sane(top) || !coordinate_sane(right) || !coordinate_sane(bottom))
        return false;
    int64_t width = right > left ? right - left : left - right;
    int64_t height = bottom > top ? bottom - top : top - bottom;
    if (width > limit || height > limit) return false;
    if (r.type != EMR_ROUNDRECT) return true;
    return magnitude(s32(r.at + 24)) <= limit && magnitude(s32(r.at + 28)) <= limit;  // the corner
}

// The object-table index of a record that makes, selects or deletes an object: a slot of the
// table the header sizes, or a stock object where one may be selected.
static bool handle_sane(const Record &r, uint32_t handles)
{
    uint32_t field = 8;
    bool stock_allowed = false;
    switch (r.type) {
    case EMR_SELECTOBJECT:
    case EMR_SELECTPALETTE:
    case EMR_SETCOLORSPACE: stock_allowed = true; break;
    case EMR_DELETEOBJECT: case EMR_CREATEPEN: case EMR_CREATEBRUSHINDIRECT: case EMR_CREATEPALETTE:
    case EMR_SETPALETTEENTRIES: case EMR_RESIZEPALETTE: case EMR_EXTCREATEFONTINDIRECTW:
    case EMR_CREATEMONOBRUSH: case EMR_CREATEDIBPATTERNBRUSHPT: case EMR_EXTCREATEPEN:
    case EMR_CREATECOLORSPACE: case EMR_DELETECOLORSPACE: case EMR_CREATECOLORSPACEW: break;
    case EMR_FILLRGN:
    case EMR_FRAMERGN: field = 28; break;
    default: return true;
    }
    if (r.size < field + 4) return false;
    uint32_t index = u32(r.at + field);
    if (index & STOCK_OBJECT_FLAG) return stock_allowed;
    return index < handles;
}

int check_metafile(const uint8_t *bytes, uint64_t size)
{
    if (!looks_like_enhanced_metafile(bytes, size)) return 0;
    uint64_t end = 0;
    if (check_header(bytes, size, &end) != 0) return 1;
    ScaleTrack scale;
    memset(&scale, 0, sizeof scale);
    scale.now = {1, false, {1, 1}, {1, 1}, 1};
    scale.worst = scale.now;
    for (int i = 0; i < 2; i++) {  // the reference device's size in pixels and millimetres
        double device = magnitude(s32(bytes + 72 + 4 * i));
        double mm = magnitude(s32(bytes + 80 + 4 * i));
        double per_mm = device / (mm < 1 ? 1 : mm);
        if (per_mm > scale.pixels_per_mm) scale.pixels_per_mm = per_mm;
    }
    uint32_t handles = u16(bytes + 56);
    for (uint64_t at = u32(bytes + 4); at + 8 <= end;) {
        Record r = {bytes + at, u32(bytes + at), u32(bytes + at + 4)};
        if (r.size < 8 || r.size % 4 != 0 || r.size > end - at) return 1;
        if (r.type == EMR_HEADER || !record_fits(r)) return 1;
        if (!handle_sane(r, handles)) return 1;
        follow_scale(&scale, r);
        if (!curve_sane(r, pixels_per_unit(scale.now))) return 1;
        if (r.type == EMR_EOF) return at + r.size == end ? 0 : 1;  // the last record, as the player expects
        at += r.size;
    }
    return 1;  // the end-of-file record was never reached
}

int check_before_decoding(const uint8_t *bytes, uint64_t size)
{
    if (check_metafile(bytes, size) != 0) return 1;
    return check_windows_metafile(bytes, size);
}
