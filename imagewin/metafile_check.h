// metafile_check.h - a bounded walk over the records of an enhanced metafile held in memory,
// made before the file goes to the decoder. The platform's player trusts record sizes, counts
// and offsets, and draws curves at whatever size they claim: a damaged file can make it read
// far outside the file, or spend minutes (or fail) on a curve millions of pixels across.
// Platform-free.
#ifndef KAV_METAFILE_CHECK_H
#define KAV_METAFILE_CHECK_H

#include <stdint.h>

// Largest extent of a curve (ellipse, arc, chord, pie, rounded rectangle) in a metafile that
// keeps its logical units equal to the device's: half a million pixels, some ten times the
// longest side of a large plotter page at printer resolution.
#define KAV_METAFILE_CURVE_LIMIT (1 << 19)

// True when the bytes begin like an enhanced metafile (header record, " EMF" signature).
bool looks_like_enhanced_metafile(const uint8_t *bytes, uint64_t size);

// Checks an enhanced metafile of size bytes. 0 sound, or not an enhanced metafile at all
// (left to the decoder); 1 refused: the header is short or lies (sizes, inverted bounds or
// frame, description or pixel format outside it), a record is shorter than 8 bytes, not a
// multiple of 4 or runs past the end, a record's counted points, text, bitmaps, regions,
// palette entries or comment do not fit inside it, the end-of-file record is never reached,
// or a curve is larger than KAV_METAFILE_CURVE_LIMIT while the file keeps the device's units.
int check_metafile(const uint8_t *bytes, uint64_t size);

#endif
