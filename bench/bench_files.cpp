// bench_files.cpp - see bench_files.h.
#include "bench/bench_files.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <chrono>
#include <time.h>

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

int compare_readers(const char *label, const char *path)
{
    uint16_t *grids[2] = {(uint16_t *)malloc(IMAGE_DATA_SAMPLES * 2), (uint16_t *)malloc(IMAGE_DATA_SAMPLES * 2)};
    uint8_t *bytes[2] = {(uint8_t *)malloc(IMAGE_DATA_SAMPLES), (uint8_t *)malloc(IMAGE_DATA_SAMPLES)};
    double reference[BENCH_RUNS], fast[BENCH_RUNS], reference_cpu[BENCH_RUNS], fast_cpu[BENCH_RUNS];
    int result = 0;
    for (int run = 0; run < BENCH_RUNS && result == 0; run++) {
        reference[run] = time_reference_read(path, grids[0], bytes[0], &reference_cpu[run]);
        fast[run] = time_fast_read(path, grids[1], bytes[1], &fast_cpu[run]);
        if (reference[run] < 0 || fast[run] < 0) result = 1;
        else if (memcmp(grids[0], grids[1], IMAGE_DATA_SAMPLES * 2) != 0 || memcmp(bytes[0], bytes[1], IMAGE_DATA_SAMPLES) != 0)
            result = 1;
    }
    if (result == 0) {
        double r = median(reference, BENCH_RUNS), q = median(fast, BENCH_RUNS);
        double rc = median(reference_cpu, BENCH_RUNS), qc = median(fast_cpu, BENCH_RUNS);
        printf("%-28s formatted input %8.2f ms   fast reader %7.2f ms   ratio %5.1f   same result: yes\n", label, r, q, r / q);
        printf("%-28s processor time  %8.2f ms               %7.2f ms   ratio %5.1f\n", "", rc, qc, qc > 0 ? rc / qc : 0.0);
    } else {
        printf("%-28s FAILED: %s\n", label, reference[0] < 0 ? "cannot read the file" : "the readers differ");
    }
    for (int i = 0; i < 2; i++) {
        free(grids[i]);
        free(bytes[i]);
    }
    return result;
}
