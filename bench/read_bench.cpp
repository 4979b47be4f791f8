// read_bench.cpp - reading and rendering a full image-data file: the fast reader against the
// formatted-input loop on the same files in the same run, and the render of one gain change.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "app/imagedata.h"
#include "bench/bench_files.h"

int main(void)
{
    char full[BENCH_PATH_BYTES], edges[BENCH_PATH_BYTES];
    snprintf(full, sizeof full, "/tmp/kav_bench_full_%d.txt", (int)getpid());
    snprintf(edges, sizeof edges, "/tmp/kav_bench_edges_%d.txt", (int)getpid());
    if (write_full_grid_file(full) != 0 || write_edge_file(edges) != 0) {
        printf("cannot write the benchmark files in /tmp\n");
        return 1;
    }
    FILE *f = fopen(full, "rb");
    fseek(f, 0, SEEK_END);
    printf("full grid file: 307,200 triples, %ld bytes; medians of %d runs (formatted input) and %d (the others)\n", ftell(f),
           BENCH_RUNS, BENCH_RUNS * PASS_REPEATS);
    fclose(f);
    int failed = compare_readers("full 640 x 480 grid", full);
    failed |= compare_readers("edge cases (20,000 triples)", edges);

    uint16_t *grid = (uint16_t *)calloc(IMAGE_DATA_SAMPLES, 2);
    uint8_t *bytes = (uint8_t *)malloc(IMAGE_DATA_SAMPLES);
    f = fopen(full, "rb");
    read_image_data_file(f, grid);
    fclose(f);
    double times[BENCH_RUNS * 3];
    for (int i = 0; i < BENCH_RUNS * 3; i++) {
        double start = bench_milliseconds();
        render_grid(grid, i % 8, bytes);
        times[i] = bench_milliseconds() - start;
    }
    printf("render of one gain change (307,200 samples): median %.3f ms\n", median(times, BENCH_RUNS * 3));
    free(grid);
    free(bytes);
    remove(full);
    remove(edges);
    return failed;
}
