// metafile_check.h - a bounded walk over the records of an enhanced metafile held in memory,
// made before the file goes to the decoder. The platform's player trusts record sizes, counts
// and offsets, and draws curves at whatever size they claim: a damaged file can make it read
// far outside the file, or spend minutes (or fail) on a curve millions of pixels across.
// Platform-free.
#ifndef KAV_METAFILE_CHECK_H
#define KAV_METAFILE_CHECK_H

#include <stdint.h>

// Largest extent, in device pixels, of a curve (ellipse, arc, chord, pie, rounded rectangle):
// half a million pixels, some ten times the longest side
// of a large plotter page at printer resolution. Logical sizes are scaled by an upper bound
// of what the file's mapping mode, extents and world transform make of them.
#define KAV_METAFILE_CURVE_LIMIT (1 << 19)

// Widest pen or region frame, in device pixels: its strokes cost the platform's player time
// that grows with the square of the width, a second for a few shapes 4096 pixels wide.
#define KAV_METAFILE_PEN_LIMIT 1024

// True when the bytes begin like an enhanced metafile (header record, " EMF" signature).
bool looks_like_enhanced_metafile(const uint8_t *bytes, uint64_t size);

// Checks an enhanced metafile of size bytes. 0 sound, or not an enhanced metafile at all
// (left to the decoder); 1 refused: the header is short or lies (sizes, inverted bounds or
// frame, description or pixel format outside the file), a record is shorter than 8 bytes,
// not a multiple of 4 or runs past the end, a record's counted points, text, bitmap, region,
// palette entries or comment do not fit inside it, a bitmap header is of no known kind, an
// object index lies outside the header's table, a curve exceeds KAV_METAFILE_CURVE_LIMIT or a
// pen KAV_METAFILE_PEN_LIMIT, or the end-of-file record is not the last record.
int check_metafile(const uint8_t *bytes, uint64_t size);

#define DIB_CORE_HEADER 12  // bytes of the old-style bitmap header
#define DIB_INFO_HEADER 40  // bytes of the bitmap header from which the larger ones grow

// Layout of a bitmap a metafile record carries: its header at info (info_bytes readable), its
// colour use (0 colour values, 1 palette indices, 2 monochrome) and the rows it must hold
// (< 0: as many as its height). 0 a known layout: header_bytes gets the header, masks and colour
// table, bits_bytes the pixel bytes it needs; 1 an unknown use, header size, plane count, depth
// or compression, which the platform's player would take on trust.
int metafile_bitmap_layout(const uint8_t *info, uint64_t info_bytes, uint32_t usage, int64_t rows,
                           uint64_t *header_bytes, uint64_t *bits_bytes);

// Checks an old-style Windows metafile (placeable or not) of size bytes. 0 sound, or not such
// a metafile (left to the decoder); 1 refused: the placeable or the metafile header lies (key,
// box, units per inch, header size, type, size beyond the file), a record is shorter than
// 3 words or runs past the end, a record's counted points, text, palette entries or bitmap do
// not fit inside it, an object index lies outside the header's table, a pen or region frame
// is wider than the picture's own box or window (and KAV_METAFILE_PEN_LIMIT), or the end
// record is not the last.
int check_windows_metafile(const uint8_t *bytes, uint64_t size);

// The check of a file's bytes before they go to the decoder, for every way in (loading,
// dropped files): both metafile walks. 0 let the decoder judge; 1 refuse.
int check_before_decoding(const uint8_t *bytes, uint64_t size);

#endif
