// log_files.cpp - the log of a text window: a text file that receives everything printed into
// the window and every line typed into it while logging is on; copied whole to the clipboard.
//
// The streams live in the text window entries and are written by KAV_Printf and line input
// under text_table_lock; starting, stopping, copying and closing take the same lock, so Exit
// on the GUI thread never closes a stream that a print on the worker thread is writing.
#include "textwin/text_table.h"

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <string.h>
#include <sys/stat.h>

#include "core/core.h"

//------------------------------------------------------------------------------------------------
// Log names (both threads, under text_table_lock): the file of each window's open log, which
// the copy reads back.
//------------------------------------------------------------------------------------------------
static char log_names[KAV_MAX_TEXT_WINDOWS][KAV_LOG_NAME_BYTES];

// Creates a new log file for window n and opens it for writing and reading in text mode. A
// name that is taken (by another file, or this window's log started again within the second)
// is never emptied: the next suffix is tried. NULL when no name could be created.
static FILE *create_log_file(int n, char name[KAV_LOG_NAME_BYTES])
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    LogStamp stamp = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    for (int attempt = 0; attempt < KAV_LOG_NAME_TRIES; attempt++) {
        if (format_log_name(name, log_directory, instance_number, n, &stamp, attempt) != 0) return NULL;
        int fd = _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_TEXT, _S_IREAD | _S_IWRITE);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return NULL;
        }
        FILE *file = _fdopen(fd, "w+t");
        if (!file) _close(fd);
        return file;
    }
    return NULL;
}

int KAV_StartLog(int n)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    if (!e) {
        unlock_text_table();
        return 3;
    }
    int result = 0;
    if (e->log_state == 1) {
        result = 1;
    } else if (e->log_state == 2) {
        e->log_state = 1;
    } else {
        e->log_file = create_log_file(n, log_names[n]);
        e->log_state = e->log_file ? 1 : 0;
        if (!e->log_file) result = 2;
    }
    unlock_text_table();
    if (result == 2) MessageBoxW(NULL, L"Can't create log file!", L"Error", MB_OK);
    return result;
}

int KAV_StopLog(int n)
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    int result = !e ? 2 : e->log_state == 0 ? 1 : 0;
    if (result == 0) e->log_state = 2;
    unlock_text_table();
    return result;
}

int log_file_name(int n, char name[KAV_LOG_NAME_BYTES])
{
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    int result = (e && e->log_state != 0) ? 0 : 1;
    strcpy(name, result == 0 ? log_names[n] : "");
    unlock_text_table();
    return result;
}

// Reads the first size bytes of the file into memory of size + 1 bytes and terminates them.
// The file is read as bytes, so a printed Ctrl+Z or a lone carriage return is copied like any
// other byte and the copy ends at the end of the file.
static void read_log_bytes(const char *name, char *memory, long size)
{
    long stored = 0;
    FILE *file = fopen(name, "rb");
    if (file) {
        stored = (long)fread(memory, 1, (size_t)size, file);
        fclose(file);
    }
    memory[stored] = '\0';
}

int KAV_CopyLog(int n)
{
    if (!text_window_handle(n)) return 4;
    if (!OpenClipboard(NULL)) return 1;
    char name[KAV_LOG_NAME_BYTES];
    long size = 0;
    lock_text_table();
    TextWindowEntry *e = live_text_window(n);
    int result = !e ? 4 : e->log_state == 0 ? 2 : 0;
    if (result == 0) {
        fflush(e->log_file);
        fseek(e->log_file, 0, SEEK_END);  // further output goes after the copied text
        size = ftell(e->log_file);
        if (size < 0) size = 0;
        memcpy(name, log_names[n], sizeof name);
    }
    unlock_text_table();
    if (result != 0) {
        CloseClipboard();
        return result;
    }

    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, (SIZE_T)size + 1);
    char *bytes = memory ? (char *)GlobalLock(memory) : NULL;
    if (!bytes) {
        if (memory) GlobalFree(memory);
        CloseClipboard();
        KAV_Pause("No enough memory (copy log)");
        return 3;
    }
    read_log_bytes(name, bytes, size);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    CloseClipboard();
    return 0;
}

void KAV_CloseAllLogs(void)
{
    lock_text_table();
    for (int n = 0; n < KAV_MAX_TEXT_WINDOWS; n++) {
        TextWindowEntry *e = live_text_window(n);
        if (!e || e->log_state == 0) continue;
        if (e->log_file) fclose(e->log_file);
        e->log_file = NULL;
        e->log_state = 0;
    }
    unlock_text_table();
}
