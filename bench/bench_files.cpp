// bench_files.cpp - see bench_files.h.
#include "bench/bench_files.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <chrono>
#include <time.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "app/imagedata.h"
#include "bench/reference_reader.h"

double bench_milliseconds(void)
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double bench_cpu_milliseconds(void) { return (double)clock() * 1000.0 / CLOCKS_PER_SEC; }

double median(double *values, int count)
{
    for (int i = 1; i < count; i++)
        for (int j = i; j > 0 && values[j - 1] > values[j]; j--) {
            double t = values[j];
            values[j] = values[j - 1];
            values[j - 1] = t;
        }
    return values[count / 2];
}

int write_full_grid_file(const char *path)
{
    FILE *f = fopen(path, "wb");
    if (!f) return 1;
    for (int y = 0; y < IMAGE_DATA_HEIGHT; y++)
        for (int x = 0; x < IMAGE_DATA_WIDTH; x++) fprintf(f, "%d %d %d\n", x, y, (x * 7 + y * 13) % 1000);
    return fclose(f) == 0 ? 0 : 1;
}

int write_edge_file(const char *path)
{
    FILE *f = fopen(path, "wb");
    if (!f) return 1;
    fprintf(f, "+1 -0 -1\n640 0 9\n0 480 9\n-1 5 9\n2 2 65536 3 3 65537\n");
    fprintf(f, "4294967296 4 7\n4 4294967300 8\n5 5 99999999999999999999\n6 6 -99999999999999999999\n");
    fprintf(f, "7\t7\r\n-9223372036854775808\n0008 0008 2147483648\n");
    for (int i = 0; i < 20000; i++) fprintf(f, "%d %d %d\n", (i * 37) % 700 - 30, (i * 11) % 520 - 20, i - 10000);
    fprintf(f, "9 9 +\n1 1 1\n");
    return fclose(f) == 0 ? 0 : 1;
}

static double timed_read(const char *path, uint16_t *grid, uint8_t *bytes, bool fast, double *cpu)
{
    double cpu_start = bench_cpu_milliseconds();
    double start = bench_milliseconds();
    FILE *f = fopen(path, fast ? "rb" : "r");
    if (!f) return -1;
    memset(grid, 0, IMAGE_DATA_SAMPLES * sizeof *grid);
    if (fast) read_image_data_file(f, grid);
    else reference_read_image_data(f, grid);
    fclose(f);
    render_grid(grid, 5, bytes);
    *cpu = bench_cpu_milliseconds() - cpu_start;
    return bench_milliseconds() - start;
}

double time_reference_read(const char *path, uint16_t *grid, uint8_t *bytes, double *cpu)
{
    return timed_read(path, grid, bytes, false, cpu);
}
double time_fast_read(const char *path, uint16_t *grid, uint8_t *bytes, double *cpu)
{
    return timed_read(path, grid, bytes, true, cpu);
}

//------------------------------------------------------------------------------------------------
// The byte pass: the file read in pieces into one reused buffer (main thread)
//------------------------------------------------------------------------------------------------
#define PASS_PIECE_BYTES 65536                   // bytes asked of each read
static unsigned char pass_piece[PASS_PIECE_BYTES];  // PASS_PIECE_BYTES bytes, reused by every pass

// Adds up n bytes one at a time; the empty statement in the loop keeps it from being turned into
// vector code, so that it stands for a plain pass.
static uint64_t add_bytes_one_by_one(const unsigned char *p, size_t n)
{
    uint64_t sum = 0;
    for (size_t i = 0; i < n; i++) {
        sum += p[i];
        __asm__("" : "+r"(sum));
    }
    return sum;
}

// Adds up n bytes 16 at a time (sums of absolute differences against zero).
static uint64_t add_bytes_by_vector(const unsigned char *p, size_t n)
{
    uint64_t sum = 0;
    size_t i = 0;
#if defined(__SSE2__)
    __m128i total = _mm_setzero_si128();
    for (; i + 64 <= n; i += 64) {
        __m128i a = _mm_sad_epu8(_mm_loadu_si128((const __m128i *)(p + i)), _mm_setzero_si128());
        __m128i b = _mm_sad_epu8(_mm_loadu_si128((const __m128i *)(p + i + 16)), _mm_setzero_si128());
        __m128i c = _mm_sad_epu8(_mm_loadu_si128((const __m128i *)(p + i + 32)), _mm_setzero_si128());
        __m128i d = _mm_sad_epu8(_mm_loadu_si128((const __m128i *)(p + i + 48)), _mm_setzero_si128());
        total = _mm_add_epi64(total, _mm_add_epi64(_mm_add_epi64(a, b), _mm_add_epi64(c, d)));
    }
    uint64_t halves[2];
    _mm_storeu_si128((__m128i *)halves, total);
    sum = halves[0] + halves[1];
#endif
    for (; i < n; i++) sum += p[i];
    return sum;
}

double time_byte_pass(const char *path, int how, uint64_t *sum)
{
    double start = bench_milliseconds();
    uint64_t total = 0;
#if defined(_WIN32)
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return -1;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, pass_piece, PASS_PIECE_BYTES, &got, NULL) || got == 0) break;
#else
    int file = open(path, O_RDONLY);
    if (file < 0) return -1;
    for (;;) {
        ssize_t got = read(file, pass_piece, PASS_PIECE_BYTES);
        if (got <= 0) break;
#endif
        if (how == PASS_ONE_BY_ONE) total += add_bytes_one_by_one(pass_piece, (size_t)got);
        else if (how == PASS_VECTOR) total += add_bytes_by_vector(pass_piece, (size_t)got);
    }
#if defined(_WIN32)
    CloseHandle(file);
#else
    close(file);
#endif
    *sum = total;
    return bench_milliseconds() - start;
}


int compare_readers(const char *label, const char *path)
{
    uint16_t *grids[2] = {(uint16_t *)malloc(IMAGE_DATA_SAMPLES * 2), (uint16_t *)malloc(IMAGE_DATA_SAMPLES * 2)};
    uint8_t *bytes[2] = {(uint8_t *)malloc(IMAGE_DATA_SAMPLES), (uint8_t *)malloc(IMAGE_DATA_SAMPLES)};
    double reference[BENCH_RUNS], reference_cpu[BENCH_RUNS];
    double fast[BENCH_RUNS * PASS_REPEATS], fast_cpu[BENCH_RUNS * PASS_REPEATS];
    double passes[PASS_KINDS][BENCH_RUNS * PASS_REPEATS];
    uint64_t sums[PASS_KINDS] = {0, 0, 0};
    int result = 0;
    for (int run = 0; run < BENCH_RUNS && result == 0; run++) {
        reference[run] = time_reference_read(path, grids[0], bytes[0], &reference_cpu[run]);
        if (reference[run] < 0) result = 1;
        for (int r = run * PASS_REPEATS; r < (run + 1) * PASS_REPEATS && result == 0; r++) {
            for (int how = 0; how < PASS_KINDS; how++) passes[how][r] = time_byte_pass(path, how, &sums[how]);
            fast[r] = time_fast_read(path, grids[1], bytes[1], &fast_cpu[r]);
            if (fast[r] < 0 || passes[0][r] < 0) result = 1;
            else if (memcmp(grids[0], grids[1], IMAGE_DATA_SAMPLES * 2) != 0 || memcmp(bytes[0], bytes[1], IMAGE_DATA_SAMPLES) != 0)
                result = 2;
        }
    }
    if (result == 0 && sums[PASS_ONE_BY_ONE] != sums[PASS_VECTOR]) result = 3;
    if (result == 0) {
        int n = BENCH_RUNS * PASS_REPEATS;
        double r = median(reference, BENCH_RUNS), q = median(fast, n);
        double rc = median(reference_cpu, BENCH_RUNS), qc = median(fast_cpu, n);
        double read_only = median(passes[PASS_READ_ONLY], n), one_by_one = median(passes[PASS_ONE_BY_ONE], n);
        double vector = median(passes[PASS_VECTOR], n);
        double limit = one_by_one < vector ? one_by_one : vector;
        // median() sorts, so the first of each is its fastest run: what a run costs when no other
        // process takes the processor away in the middle of it.
        double limit_fastest = one_by_one < vector ? passes[PASS_ONE_BY_ONE][0] : passes[PASS_VECTOR][0];
        printf("%s\n", label);
        printf("  byte pass: read in 64 KB pieces %6.2f ms; and every byte added: one by one %6.2f ms, 16 at a time %6.2f ms\n",
               read_only, one_by_one, vector);
        printf("  limit (the faster byte pass)          %8.2f ms   (fastest run %.2f ms)\n", limit, limit_fastest);
        printf("  converter's reader, read + render     %8.2f ms   %5.2f x limit   %5.2f x the one-by-one pass   (fastest run %.2f ms, %.2f x)\n",
               q, q / limit, q / one_by_one, fast[0], fast[0] / limit_fastest);
        printf("  formatted-input loop, read + render   %8.2f ms   %5.1f x the reader   same result: yes\n", r, r / q);
#if !defined(_WIN32)  // the C library of Windows gives wall time only
        printf("  processor time: reader %.2f ms, formatted-input loop %.2f ms\n", qc, rc);
#else
        (void)qc;
        (void)rc;
#endif
    } else {
        static const char *const why[] = {"", "cannot read the file", "the readers differ", "the byte passes differ"};
        printf("%-28s FAILED: %s\n", label, why[result]);
    }
    for (int i = 0; i < 2; i++) {
        free(grids[i]);
        free(bytes[i]);
    }
    return result != 0;
}
