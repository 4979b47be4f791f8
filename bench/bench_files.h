// bench_files.h - image-data files for the benchmarks and the timing of reading them.
#ifndef KAV_BENCH_FILES_H
#define KAV_BENCH_FILES_H

#include <stdint.h>

#define BENCH_PATH_BYTES 260  // a file name, terminator included
#define BENCH_RUNS 9          // timed runs of each reader; the median is reported

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

// Compares both readers on one file: prints the medians and the ratio. 0 same result; 1 differ
// or could not read.
int compare_readers(const char *label, const char *path);

double bench_milliseconds(void);      // a monotonic clock in milliseconds
double bench_cpu_milliseconds(void);  // processor time of this process (Linux; wall time on Windows)
double median(double *values, int count);

#endif
