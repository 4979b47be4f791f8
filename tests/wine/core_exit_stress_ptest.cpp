// Exit under load on both threads, fifty times: the worker prints numbered lines into the
// logging Text window 0 and makes and destroys image windows, while the Main window's
// dialogues (Image Window, Input Box, Button Box) print into the same window and read answers
// on the GUI thread. Exit comes by its command, by Esc and by closing the Main window, while
// the GUI thread reads a line or waits for a window request. Every run must end promptly with
// the worker returning by itself, and the log must hold every line printed before Exit, whole.
// In every tenth run the main routine ignores Stop: Exit then ends the worker thread after its
// wait, and the log must still hold every line.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "process.h"
#include "stress_shared.h"

using namespace kavproc;

#define STRESS_RUNS 50
#define EXIT_LIMIT_MS 2500  // Exit to the end of the process, the worker included
#define EXIT_WAIT_MS 2000   // how long Exit gives a worker that ignores Stop

static const char LINE_HEAD[] = "line ";
static const char LINE_TAIL[] = " of the stress loop\r\n";

static std::wstring log_folder(void)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    wcscat(dir, L"kav_exit_stress");
    CreateDirectoryW(dir, NULL);
    return dir;
}

// Deletes every log in dir; with keep, returns the bytes of the one found first instead.
static std::string take_logs(const std::wstring &dir, bool keep, int *count)
{
    std::string bytes;
    *count = 0;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((dir + L"\\KAVLIB*.LOG").c_str(), &found);
    while (h != INVALID_HANDLE_VALUE) {
        std::wstring path = dir + L"\\" + found.cFileName;
        if (keep && (*count)++ == 0) {
            FILE *f = _wfopen(path.c_str(), L"rb");
            char chunk[4096];
            size_t got;
            while (f && (got = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
            if (f) fclose(f);
        }
        DeleteFileW(path.c_str());
        if (!FindNextFileW(h, &found)) {
            FindClose(h);
            h = INVALID_HANDLE_VALUE;
        }
    }
    return bytes;
}

struct LogCheck {
    long whole = 0;          // numbered lines found whole, 0, 1, 2 ... in order
    long out_of_order = -1;  // the first number found where another was due, or -1
    bool cut_tail = false;   // a numbered line begins after the last whole one
    bool dialogue = false;   // a dialogue's heading printed on the GUI thread is there
};

// Finds the numbered lines among whatever else the log holds (the dialogue's prompts and the
// answers typed to it, which may stand before a numbered line on the same row).
static LogCheck check_log(const std::string &bytes)
{
    LogCheck c;
    c.dialogue = bytes.find("...\r\n") != std::string::npos;  // "Creating ImageWindow...", ...
    size_t at = 0;
    size_t end_of_last = 0;
    for (;;) {
        size_t head = bytes.find(LINE_HEAD, at);
        if (head == std::string::npos) break;
        size_t digits = head + strlen(LINE_HEAD);
        size_t after = digits;
        while (after < bytes.size() && isdigit((unsigned char)bytes[after])) after++;
        at = digits;
        if (after == digits || bytes.compare(after, strlen(LINE_TAIL), LINE_TAIL) != 0) continue;
        long number = atol(bytes.substr(digits, after - digits).c_str());
        if (number != c.whole && c.out_of_order < 0) c.out_of_order = number;
        c.whole++;
        at = after + strlen(LINE_TAIL);
        end_of_last = at;
    }
    // After the last whole line nothing may be left of another: neither its beginning nor a
    // piece of its head at the very end of the file.
    std::string tail = bytes.substr(end_of_last);
    c.cut_tail = tail.find(LINE_HEAD) != std::string::npos;
    for (size_t k = 1; k < strlen(LINE_HEAD) && !c.cut_tail; k++)
        c.cut_tail = tail.size() >= k && tail.compare(tail.size() - k, k, LINE_HEAD, k) == 0;
    return c;
}

static void type_text(HWND window, const char *text)
{
    for (const char *p = text; *p; p++) PostMessageW(window, WM_CHAR, (WPARAM)(unsigned char)*p, 0);
}

struct RunResult {
    int exit_ms = -1;
    long printed_before_exit = 0;
    bool stubborn = false;  // the main routine ignored Stop
};

// One run: start, load both threads for a while, Exit, judge the log.
static RunResult stress_run(int run, const std::wstring &dir)
{
    RunResult result;
    int logs = 0;
    take_logs(dir, false, &logs);
    Program p;
    EXPECT_TRUE(start(p, dir.c_str(), L"" KAV_STRESS_APP_WIN));
    if (!p.started) return result;
    HWND main = wait_window(p, L"kavlib_mw0", NULL, 15000);
    HWND text = wait_window(p, L"kav_twi", L"TextWindow 0", 15000);
    EXPECT_TRUE(main && text) << "run " << run;
    if (!main || !text) return result;

    char name[STRESS_SHARED_NAME_BYTES];
    stress_shared_name(name, p.info.dwProcessId);
    HANDLE map = NULL;
    wait_until([&] { return (map = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name)) != NULL; }, 15000);
    EXPECT_TRUE(map != NULL) << "run " << run;
    if (!map) return result;
    StressShared *shared = (StressShared *)MapViewOfFile(map, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(StressShared));
    EXPECT_TRUE(wait_until([&] { return shared->printed > 0; }, 15000)) << "run " << run << ": the loop prints";

    // Image Window's third answer either ends it (16 bits) or has it post a window request,
    // which waits until the main routine returns, as the two box dialogues always do: the
    // dialogues that follow then run nested inside that wait.
    static const int dialogues[] = {1027, 1044, 1051};  // Image Window, Input Box, Button Box
    int dialogue = dialogues[run % 3];
    const char *bits = run % 2 ? "32\r" : "16\r";
    DWORD load_ms = 100 + (DWORD)(run * 53) % 400;
    DWORD t = GetTickCount();
    while (GetTickCount() - t < load_ms) {
        PostMessageW(main, WM_COMMAND, dialogue, 0);
        Sleep(5);
        type_text(text, "12\r");
        Sleep(5);
        type_text(text, "9\r");
        Sleep(5);
        type_text(text, bits);
        Sleep(5);
    }

    bool stubborn = result.stubborn = run % 10 == 9;
    if (stubborn) InterlockedExchange(&shared->ignore_stop, 1);
    result.printed_before_exit = shared->printed;
    DWORD exit_at = GetTickCount();
    switch (run % 4) {
    case 2: PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0); break;
    case 3: PostMessageW(main, WM_CLOSE, 0, 0); break;
    default: PostMessageW(main, WM_COMMAND, 1002, 0); break;
    }
    int code = wait_exit(p, 10000);
    if (code != -1) result.exit_ms = (int)(GetTickCount() - exit_at);
    EXPECT_EQ(0, code) << "run " << run << ": the program ends by itself, in order";
    if (stubborn) {
        EXPECT_EQ(0, shared->returned) << "run " << run << ": the main routine went on";
        EXPECT_GE(result.exit_ms, (int)EXIT_WAIT_MS - 100) << "run " << run << ": Exit waited for the worker first";
    } else {
        EXPECT_EQ(1, shared->returned) << "run " << run << ": the worker returned, it was not ended";
    }
    stop(p);
    UnmapViewOfFile(shared);
    CloseHandle(map);

    std::string bytes = take_logs(dir, true, &logs);
    EXPECT_EQ(1, logs) << "run " << run;
    LogCheck c = check_log(bytes);
    EXPECT_EQ(-1, c.out_of_order) << "run " << run << ": no line is lost between others";
    EXPECT_GE(c.whole, result.printed_before_exit) << "run " << run << ": every line printed before Exit is there";
    EXPECT_FALSE(c.cut_tail) << "run " << run << ": the log ends with a whole line";
    EXPECT_TRUE(c.dialogue) << "run " << run << ": the dialogue printed into the log meanwhile";
    if (::testing::Test::HasFailure())
        printf("run %d: %ld lines printed before Exit, %ld whole in the log, which ends with:\n%s\n", run,
               result.printed_before_exit, c.whole, bytes.substr(bytes.size() > 300 ? bytes.size() - 300 : 0).c_str());
    return result;
}

TEST(ExitStress, EveryRunEndsPromptlyAndKeepsItsWholeLog)
{
    std::wstring dir = log_folder();
    std::vector<int> times;         // runs whose worker returned
    std::vector<int> forced_times;  // runs whose worker Exit had to end
    long lines = 0;
    for (int run = 0; run < STRESS_RUNS; run++) {
        RunResult r = stress_run(run, dir);
        if (r.exit_ms >= 0) (r.stubborn ? forced_times : times).push_back(r.exit_ms);
        lines += r.printed_before_exit;
        EXPECT_GE(r.exit_ms, 0) << "run " << run << " ended";
        EXPECT_LE(r.exit_ms, EXIT_LIMIT_MS) << "run " << run;
        if (HasFailure()) break;
    }
    std::sort(times.begin(), times.end());
    std::sort(forced_times.begin(), forced_times.end());
    if (!times.empty() && !forced_times.empty())
        printf("Exit to process end: %d ms median, %d ms most over %d runs; %d ms median, %d ms most over %d runs "
               "that ended the worker; %ld logged lines checked\n",
               times[times.size() / 2], times.back(), (int)times.size(), forced_times[forced_times.size() / 2],
               forced_times.back(), (int)forced_times.size(), lines);
}
