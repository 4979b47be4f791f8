// bench_files.h - image-data files for the benchmarks and the timing of reading them.
#ifndef KAV_BENCH_FILES_H
#define KAV_BENCH_FILES_H

#include <stdint.h>

#define BENCH_PATH_BYTES 260  // a file name, terminator included
#define BENCH_RUNS 9          // timed runs of the formatted-input loop; the median is reported
#define PASS_REPEATS 5        // timings of the byte passes and the fast reader per run of the loop

// Writes a triple for every one of the 640 x 480 points (about 3.5 MB). 0 written; 1 failed.
int write_full_grid_file(const char *path);
// Writes text that exercises the conversion's edges: signs, overflow, points off the grid,
// and a final stop at letters. 0 written; 1 failed.
int write_edge_file(const char *path);

// Reads the file with the formatted-input loop (reference) or the fast reader into grid, then
// renders at gain 5 into bytes. Wall milliseconds taken (processor milliseconds into *cpu), or a
// negative number when it cannot open.
double time_reference_read(const char *path, uint16_t *grid, uint8_t *bytes, double *cpu);
double time_fast_read(const char *path, uint16_t *grid, uint8_t *bytes, double *cpu);

// Byte passes over a file: read in 64 KB pieces into one reused buffer, then nothing more, every
// byte added one at a time, or 16 at a time.
enum { PASS_READ_ONLY = 0, PASS_ONE_BY_ONE = 1, PASS_VECTOR = 2, PASS_KINDS = 3 };
// One byte pass over the file; the bytes' sum into *sum. Wall milliseconds, negative when it
// cannot open.
double time_byte_pass(const char *path, int how, uint64_t *sum);

// Times, interleaved in one run on one file, the byte passes, the fast reader and the
// formatted-input loop; prints the medians and the ratios to the faster byte pass (the limit).
// 0 same result; 1 differ or could not read.
int compare_readers(const char *label, const char *path);

double bench_milliseconds(void);      // a monotonic clock in milliseconds
double bench_cpu_milliseconds(void);  // processor time of this process (Linux; wall time on Windows)
double median(double *values, int count);

#endif
