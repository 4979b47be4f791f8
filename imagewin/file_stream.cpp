// file_stream.cpp - see file_stream.h. The stream is a record whose first member points to a
// fixed table of procedures laid out as the stream interface expects; reads and seeks are
// bounded by the platform-free rules, so a file whose offsets point anywhere reads nothing
// beyond its end.
#include "imagewin/file_stream.h"

#include <stdlib.h>
#include <string.h>

#include "imagewin/file_rules.h"

struct StreamTable;

struct FileStream {
    const StreamTable *table;  // first: what the caller's interface pointer points to
    LONG references;           // the stream is freed when this reaches 0
    uint8_t *bytes;            // the file, or NULL once closed
    uint64_t size;             // bytes held; 0 once closed
    uint64_t position;         // may lie beyond the end after a seek
};

typedef HRESULT(STDMETHODCALLTYPE *QueryFn)(FileStream *, REFIID, void **);
typedef ULONG(STDMETHODCALLTYPE *CountFn)(FileStream *);
typedef HRESULT(STDMETHODCALLTYPE *ReadFn)(FileStream *, void *, ULONG, ULONG *);
typedef HRESULT(STDMETHODCALLTYPE *WriteFn)(FileStream *, const void *, ULONG, ULONG *);
typedef HRESULT(STDMETHODCALLTYPE *SeekFn)(FileStream *, LARGE_INTEGER, DWORD, ULARGE_INTEGER *);
typedef HRESULT(STDMETHODCALLTYPE *SetSizeFn)(FileStream *, ULARGE_INTEGER);
typedef HRESULT(STDMETHODCALLTYPE *CopyToFn)(FileStream *, IStream *, ULARGE_INTEGER, ULARGE_INTEGER *,
                                             ULARGE_INTEGER *);
typedef HRESULT(STDMETHODCALLTYPE *CommitFn)(FileStream *, DWORD);
typedef HRESULT(STDMETHODCALLTYPE *RevertFn)(FileStream *);
typedef HRESULT(STDMETHODCALLTYPE *RegionFn)(FileStream *, ULARGE_INTEGER, ULARGE_INTEGER, DWORD);
typedef HRESULT(STDMETHODCALLTYPE *StatFn)(FileStream *, STATSTG *, DWORD);
typedef HRESULT(STDMETHODCALLTYPE *CloneFn)(FileStream *, IStream **);

// The stream interface's procedures, in its order.
struct StreamTable {
    QueryFn query_interface;
    CountFn add_ref;
    CountFn release;
    ReadFn read;
    WriteFn write;
    SeekFn seek;
    SetSizeFn set_size;
    CopyToFn copy_to;
    CommitFn commit;
    RevertFn revert;
    RegionFn lock_region;
    RegionFn unlock_region;
    StatFn stat;
    CloneFn clone;
};

static FileStream *new_stream(uint8_t *bytes, uint64_t size);

static HRESULT STDMETHODCALLTYPE stream_query(FileStream *s, REFIID iid, void **out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(ISequentialStream)) ||
        IsEqualIID(iid, __uuidof(IStream))) {
        *out = s;
        InterlockedIncrement(&s->references);
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE stream_add_ref(FileStream *s) { return (ULONG)InterlockedIncrement(&s->references); }

static ULONG STDMETHODCALLTYPE stream_release(FileStream *s)
{
    LONG left = InterlockedDecrement(&s->references);
    if (left == 0) {
        free(s->bytes);
        free(s);
    }
    return (ULONG)left;
}

static HRESULT STDMETHODCALLTYPE stream_read(FileStream *s, void *into, ULONG wanted, ULONG *got)
{
    uint64_t n = memory_read_count(s->size, s->position, wanted);
    if (n > 0) memcpy(into, s->bytes + s->position, (size_t)n);
    s->position += n;
    if (got) *got = (ULONG)n;
    return n == wanted ? S_OK : S_FALSE;
}

static HRESULT STDMETHODCALLTYPE stream_write(FileStream *, const void *, ULONG, ULONG *got)
{
    if (got) *got = 0;
    return STG_E_ACCESSDENIED;
}

static HRESULT STDMETHODCALLTYPE stream_seek(FileStream *s, LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *now)
{
    if (memory_seek(s->size, &s->position, (int)origin, move.QuadPart) != 0) return STG_E_INVALIDFUNCTION;
    if (now) now->QuadPart = s->position;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE stream_set_size(FileStream *, ULARGE_INTEGER) { return STG_E_ACCESSDENIED; }

static HRESULT STDMETHODCALLTYPE stream_copy_to(FileStream *s, IStream *to, ULARGE_INTEGER wanted,
                                                ULARGE_INTEGER *read, ULARGE_INTEGER *written)
{
    uint64_t n = memory_read_count(s->size, s->position, wanted.QuadPart);
    ULONG put = 0;
    HRESULT result = S_OK;
    if (n > 0xFFFFFFFFu) n = 0xFFFFFFFFu;
    if (n > 0) result = to->Write(s->bytes + s->position, (ULONG)n, &put);
    s->position += n;
    if (read) read->QuadPart = n;
    if (written) written->QuadPart = put;
    return result;
}

static HRESULT STDMETHODCALLTYPE stream_commit(FileStream *, DWORD) { return S_OK; }
static HRESULT STDMETHODCALLTYPE stream_revert(FileStream *) { return S_OK; }
static HRESULT STDMETHODCALLTYPE stream_region(FileStream *, ULARGE_INTEGER, ULARGE_INTEGER, DWORD)
{
    return STG_E_INVALIDFUNCTION;
}

static HRESULT STDMETHODCALLTYPE stream_stat(FileStream *s, STATSTG *out, DWORD)
{
    if (!out) return STG_E_INVALIDPOINTER;
    memset(out, 0, sizeof *out);
    out->type = STGTY_STREAM;
    out->cbSize.QuadPart = s->size;
    out->grfMode = STGM_READ;
    return S_OK;
}

// A copy of the bytes with its own position, since the two are read independently.
static HRESULT STDMETHODCALLTYPE stream_clone(FileStream *s, IStream **out)
{
    if (!out) return E_POINTER;
    *out = NULL;
    uint8_t *copy = (uint8_t *)malloc(s->size ? (size_t)s->size : 1);
    if (!copy) return E_OUTOFMEMORY;
    if (s->size) memcpy(copy, s->bytes, (size_t)s->size);
    FileStream *twin = new_stream(copy, s->size);
    if (!twin) {
        free(copy);
        return E_OUTOFMEMORY;
    }
    twin->position = s->position;
    *out = (IStream *)twin;
    return S_OK;
}

static const StreamTable STREAM_TABLE = {
    stream_query,  stream_add_ref, stream_release, stream_read,   stream_write,
    stream_seek,   stream_set_size, stream_copy_to, stream_commit, stream_revert,
    stream_region, stream_region,  stream_stat,    stream_clone,
};

static FileStream *new_stream(uint8_t *bytes, uint64_t size)
{
    FileStream *s = (FileStream *)calloc(1, sizeof *s);
    if (!s) return NULL;
    s->table = &STREAM_TABLE;
    s->references = 1;
    s->bytes = bytes;
    s->size = size;
    return s;
}

IStream *open_file_stream(const wchar_t *path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return NULL;
    LARGE_INTEGER size;
    FileStream *s = NULL;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= KAV_MAX_LOAD_FILE_BYTES) {
        DWORD wanted = (DWORD)size.QuadPart;
        uint8_t *bytes = (uint8_t *)malloc(wanted);
        DWORD got = 0;
        if (bytes && ReadFile(file, bytes, wanted, &got, NULL) && got == wanted) s = new_stream(bytes, wanted);
        if (!s) free(bytes);
    }
    CloseHandle(file);
    return (IStream *)s;
}

const uint8_t *file_stream_bytes(IStream *stream, uint64_t *size)
{
    FileStream *s = (FileStream *)stream;
    *size = s ? s->size : 0;
    return s ? s->bytes : NULL;
}

void close_file_stream(IStream *stream)
{
    if (!stream) return;
    FileStream *s = (FileStream *)stream;
    if (InterlockedCompareExchange(&s->references, 0, 1) == 1) {  // the last reference
        free(s->bytes);
        free(s);
        return;
    }
    free(s->bytes);  // kept by someone who will never give it back: only the record stays
    s->bytes = NULL;
    s->size = 0;
    stream_release(s);
}
