// indexed_picture.cpp - see indexed_picture.h.
//
// A richer picture is reduced in three steps:
// 1. a histogram of the colours on a grid of 64 levels per channel (a cell holds the pixel
//    count and the exact channel sums of the colours that fell into it);
// 2. the occupied cells are split into up to 256 boxes: the box whose colours lie farthest
//    from their mean (largest sum of squared errors) is cut in two, across the channel and at
//    the level that lowers that sum the most; each box's mean colour becomes a palette entry,
//    and each entry is then moved, twice over, to the mean of the cells lying nearest to it;
// 3. every pixel takes the palette entry nearest to its own colour, found through a cache of
//    recent colours and a search that visits the entries in order of green.
#include "imagewin/indexed_picture.h"

#include <stdlib.h>
#include <string.h>

#define EXACT_SLOTS 1024  // open-addressing table of distinct colours: 4 x 256 slots

struct ColourSlot {
    uint32_t colour;
    int16_t index;  // -1: empty
};

static uint32_t slot_hash(uint32_t c) { return (c * 2654435761u) >> 22; }  // 0..1023

// Index of colour in the slot table, adding it as the next palette entry when new.
// -1 when the palette is full and the colour is new.
static int exact_index(ColourSlot *slots, uint32_t colour, uint32_t palette[256], int *used)
{
    uint32_t at = slot_hash(colour);
    for (int probe = 0; probe < EXACT_SLOTS; probe++, at = (at + 1) % EXACT_SLOTS) {
        if (slots[at].index >= 0 && slots[at].colour == colour) return slots[at].index;
        if (slots[at].index >= 0) continue;
        if (*used >= 256) return -1;
        slots[at].colour = colour;
        slots[at].index = (int16_t)*used;
        palette[*used] = colour;
        return (*used)++;
    }
    return -1;
}

static int channel(uint32_t c, int k) { return (int)(c >> (16 - 8 * k) & 0xFF); }  // k: 0 red, 1 green, 2 blue

//------------------------------------------------------------------------------------------------
// Histogram and box splitting
//------------------------------------------------------------------------------------------------
#define LEVEL_BITS 6                        // grid levels per channel: 64
#define LEVELS (1 << LEVEL_BITS)
#define CELLS (LEVELS * LEVELS * LEVELS)    // 262,144 cells
#define PALETTE_SIZE 256

struct Cell {
    uint64_t count;   // pixels whose colour fell into the cell
    uint64_t sum[3];  // their red, green and blue values added up
};

struct Box {
    int begin, end;   // occupied cells order[begin..end)
    uint64_t count;
    double sum[3];
    double spread;    // sum of squared errors around the mean, over the cells' means
};

static int cell_of(uint32_t c)
{
    return (channel(c, 0) >> (8 - LEVEL_BITS)) << (2 * LEVEL_BITS) |
           (channel(c, 1) >> (8 - LEVEL_BITS)) << LEVEL_BITS | channel(c, 2) >> (8 - LEVEL_BITS);
}

static int level_of(int cell, int k) { return cell >> (LEVEL_BITS * (2 - k)) & (LEVELS - 1); }

// Sum of sum^2 / count over the three channels: the part of a box's spread that its mean removes.
static double mean_energy(uint64_t count, const double sum[3])
{
    if (count == 0) return 0;
    return (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / (double)count;
}

// Counts, sums and spread of the cells order[begin..end).
static void measure_box(const Cell *cells, const int *order, Box *box)
{
    box->count = 0;
    box->sum[0] = box->sum[1] = box->sum[2] = 0;
    double energy = 0;
    for (int i = box->begin; i < box->end; i++) {
        const Cell &c = cells[order[i]];
        box->count += c.count;
        double s[3] = {(double)c.sum[0], (double)c.sum[1], (double)c.sum[2]};
        for (int k = 0; k < 3; k++) box->sum[k] += s[k];
        energy += mean_energy(c.count, s);
    }
    box->spread = box->end - box->begin > 1 ? energy - mean_energy(box->count, box->sum) : 0;
}

// Cuts box in two where the spread drops most: below-or-at the chosen level of the chosen
// channel goes to the first half. False when the box cannot be cut.
static bool split_box(const Cell *cells, int *order, Box *box, Box *second)
{
    double best_gain = -1;
    int best_k = -1, best_level = -1;
    for (int k = 0; k < 3; k++) {
        uint64_t count[LEVELS] = {};
        double sum[LEVELS][3] = {};
        for (int i = box->begin; i < box->end; i++) {
            const Cell &c = cells[order[i]];
            int level = level_of(order[i], k);
            count[level] += c.count;
            for (int j = 0; j < 3; j++) sum[level][j] += (double)c.sum[j];
        }
        uint64_t left_count = 0;
        double left[3] = {0, 0, 0};
        for (int level = 0; level < LEVELS - 1; level++) {
            left_count += count[level];
            for (int j = 0; j < 3; j++) left[j] += sum[level][j];
            if (left_count == 0 || left_count == box->count) continue;
            double right[3] = {box->sum[0] - left[0], box->sum[1] - left[1], box->sum[2] - left[2]};
            double gain = mean_energy(left_count, left) + mean_energy(box->count - left_count, right);
            if (gain > best_gain) {
                best_gain = gain;
                best_k = k;
                best_level = level;
            }
        }
    }
    if (best_k < 0) return false;
    int at = box->begin;  // partition: cells at or below the level first
    for (int i = box->begin; i < box->end; i++)
        if (level_of(order[i], best_k) <= best_level) {
            int t = order[at];
            order[at++] = order[i];
            order[i] = t;
        }
    second->begin = at;
    second->end = box->end;
    box->end = at;
    measure_box(cells, order, box);
    measure_box(cells, order, second);
    return true;
}

//------------------------------------------------------------------------------------------------
// Nearest palette entry
//------------------------------------------------------------------------------------------------
#define CACHE_SLOTS 65536  // direct-mapped cache of colours already matched

struct NearestSearch {
    int count;                          // palette entries
    uint32_t palette[PALETTE_SIZE];     // the entries by index
    uint32_t by_green[PALETTE_SIZE];    // the entries sorted by green
    uint8_t index[PALETTE_SIZE];        // palette index of each sorted entry
    uint32_t cached[CACHE_SLOTS];       // colour | 1 << 24 when the slot is filled
    uint8_t cached_index[CACHE_SLOTS];  // the entry found for it
};

static int squared_distance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int k = 0; k < 3; k++) {
        int e = channel(a, k) - channel(b, k);
        d += e * e;
    }
    return d;
}

static void begin_search(NearestSearch *s, const uint32_t *palette, int count)
{
    s->count = count;
    memcpy(s->palette, palette, (size_t)count * sizeof palette[0]);
    for (int i = 0; i < count; i++) {  // insertion by green: 256 entries at most
        int at = i;
        while (at > 0 && channel(s->by_green[at - 1], 1) > channel(palette[i], 1)) {
            s->by_green[at] = s->by_green[at - 1];
            s->index[at] = s->index[at - 1];
            at--;
        }
        s->by_green[at] = palette[i];
        s->index[at] = (uint8_t)i;
    }
    memset(s->cached, 0, sizeof s->cached);
}

// The entry nearest to colour, starting from a guess (the entry of its histogram cell). The
// search walks outwards from the entries of the same green and stops on each side once the
// green difference alone is as far as the best found.
static uint8_t nearest_entry(NearestSearch *s, uint32_t colour, uint8_t guess)
{
    uint32_t slot = (colour * 2654435761u) >> 16;
    if (s->cached[slot] == (colour | 1u << 24)) return s->cached_index[slot];
    int best = guess, best_distance = squared_distance(colour, s->palette[guess]);
    int green = channel(colour, 1);
    int low = 0, high = s->count;  // first sorted entry whose green is not below the colour's
    while (low < high) {
        int mid = (low + high) / 2;
        if (channel(s->by_green[mid], 1) < green) low = mid + 1; else high = mid;
    }
    for (int up = low; up < s->count; up++) {
        int dg = channel(s->by_green[up], 1) - green;
        if (dg * dg >= best_distance) break;
        int d = squared_distance(colour, s->by_green[up]);
        if (d < best_distance) best_distance = d, best = s->index[up];
    }
    for (int down = low - 1; down >= 0; down--) {
        int dg = green - channel(s->by_green[down], 1);
        if (dg * dg >= best_distance) break;
        int d = squared_distance(colour, s->by_green[down]);
        if (d < best_distance) best_distance = d, best = s->index[down];
    }
    s->cached[slot] = colour | 1u << 24;
    s->cached_index[slot] = (uint8_t)best;
    return (uint8_t)best;
}

//------------------------------------------------------------------------------------------------
// The reduction
//------------------------------------------------------------------------------------------------
#define REFINE_PASSES 2  // rounds in which each entry moves to the mean of the cells nearest to it

struct Reduction {
    Cell cells[CELLS];          // histogram
    int order[CELLS];           // occupied cells, grouped by box
    uint8_t cell_entry[CELLS];  // palette entry of each occupied cell
    NearestSearch search;
};

static void fill_histogram(Reduction *r, const uint32_t *words, int width, int height)
{
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint32_t c = words[(int64_t)y * width + x];
            Cell &cell = r->cells[cell_of(c)];
            cell.count++;
            for (int k = 0; k < 3; k++) cell.sum[k] += (uint64_t)channel(c, k);
        }
}

static uint32_t mean_colour(uint64_t count, const double sum[3])
{
    uint32_t colour = 0;
    for (int k = 0; k < 3; k++) colour = colour << 8 | (uint32_t)(count ? sum[k] / (double)count + 0.5 : 0);
    return colour;
}

static uint32_t cell_colour(const Cell &c)
{
    double sum[3] = {(double)c.sum[0], (double)c.sum[1], (double)c.sum[2]};
    return mean_colour(c.count, sum);
}

// Splits the occupied cells into up to 256 boxes, whose means become the palette; each cell
// learns its box. Answers the entries made.
static int median_cut(Reduction *r, int occupied, uint32_t palette[256])
{
    Box boxes[PALETTE_SIZE];
    int box_count = 1;
    boxes[0].begin = 0;
    boxes[0].end = occupied;
    measure_box(r->cells, r->order, &boxes[0]);
    while (box_count < PALETTE_SIZE) {
        int widest = -1;
        for (int b = 0; b < box_count; b++)
            if (boxes[b].spread > 0 && (widest < 0 || boxes[b].spread > boxes[widest].spread)) widest = b;
        if (widest < 0) break;
        if (!split_box(r->cells, r->order, &boxes[widest], &boxes[box_count]))
            boxes[widest].spread = 0;  // cannot be cut: leave it whole
        else
            box_count++;
    }
    for (int b = 0; b < box_count; b++) {
        palette[b] = mean_colour(boxes[b].count, boxes[b].sum);
        for (int i = boxes[b].begin; i < boxes[b].end; i++) r->cell_entry[r->order[i]] = (uint8_t)b;
    }
    return box_count;
}

// Moves each entry to the mean of the cells that lie nearest to it, a few times over.
static void refine_palette(Reduction *r, int occupied, uint32_t *palette, int count)
{
    for (int pass = 0; pass < REFINE_PASSES; pass++) {
        begin_search(&r->search, palette, count);
        uint64_t counts[PALETTE_SIZE] = {};
        double sums[PALETTE_SIZE][3] = {};
        for (int i = 0; i < occupied; i++) {
            int cell = r->order[i];
            const Cell &c = r->cells[cell];
            uint8_t entry = nearest_entry(&r->search, cell_colour(c), r->cell_entry[cell]);
            r->cell_entry[cell] = entry;
            counts[entry] += c.count;
            for (int k = 0; k < 3; k++) sums[entry][k] += (double)c.sum[k];
        }
        for (int e = 0; e < count; e++)
            if (counts[e]) palette[e] = mean_colour(counts[e], sums[e]);
    }
}

// Builds a palette of up to 256 entries for the picture and maps every pixel to its nearest
// entry. Answers the entries, or 0 when memory is short.
static int reduce_colours(const uint32_t *words, int width, int height, uint8_t *indices,
                          int64_t index_stride, uint32_t palette[256])
{
    Reduction *r = (Reduction *)calloc(1, sizeof(Reduction));  // about 10 MB
    if (!r) return 0;
    fill_histogram(r, words, width, height);
    int occupied = 0;
    for (int i = 0; i < CELLS; i++)
        if (r->cells[i].count) r->order[occupied++] = i;
    int count = median_cut(r, occupied, palette);
    refine_palette(r, occupied, palette, count);
    begin_search(&r->search, palette, count);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint32_t c = words[(int64_t)y * width + x] & 0xFFFFFFu;
            indices[(int64_t)y * index_stride + x] = nearest_entry(&r->search, c, r->cell_entry[cell_of(c)]);
        }
    free(r);
    return count;
}

int index_true_colour(const uint32_t *words, int width, int height, uint8_t *indices,
                      int64_t index_stride, uint32_t palette[256])
{
    static ColourSlot slots[EXACT_SLOTS];  // worker thread only; refilled on every call
    for (int i = 0; i < EXACT_SLOTS; i++) slots[i].index = -1;
    memset(palette, 0, 256 * sizeof palette[0]);
    int used = 0;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            int index = exact_index(slots, words[(int64_t)y * width + x] & 0xFFFFFFu, palette, &used);
            if (index < 0) {
                memset(palette, 0, 256 * sizeof palette[0]);
                return reduce_colours(words, width, height, indices, index_stride, palette);
            }
            indices[(int64_t)y * index_stride + x] = (uint8_t)index;
        }
    return used > 0 ? used : 1;
}
