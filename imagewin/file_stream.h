// file_stream.h - a whole image file read into memory and handed to the decoder as a stream.
#ifndef KAV_FILE_STREAM_H
#define KAV_FILE_STREAM_H

#include <windows.h>
#include <objidl.h>
#include <stdint.h>

// Reads the file whole (it is closed again before this returns) into a read-only stream.
// NULL when it cannot be read whole: missing, a folder, empty, larger than
// KAV_MAX_LOAD_FILE_BYTES, or memory is short.
IStream *open_file_stream(const wchar_t *path);

// The bytes held by a stream of open_file_stream, and their count.
const uint8_t *file_stream_bytes(IStream *stream, uint64_t *size);

// Drops the caller's reference and frees the bytes even when someone else still holds the
// stream: every later read of it gets nothing, so a reference the decoder failed to give back
// keeps only the small stream record.
void close_file_stream(IStream *stream);

#define KAV_MAX_LOAD_FILE_BYTES (1u << 30)  // largest image file read for loading: 1 GB, one ReadFile

#endif
