// indexed_picture.cpp - see indexed_picture.h.
#include "imagewin/indexed_picture.h"

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

// Level of a channel value quantised to levels steps, and the value of that level.
static int level_of(int value, int levels) { return (value * (levels - 1) + 127) / 255; }
static uint32_t value_of_level(int level, int levels) { return (uint32_t)(level * 255 / (levels - 1)); }

static int fill_332(const uint32_t *words, int width, int height, uint8_t *indices,
                    int64_t index_stride, uint32_t palette[256])
{
    for (int i = 0; i < 256; i++)
        palette[i] = value_of_level(i >> 5, 8) << 16 | value_of_level((i >> 2) & 7, 8) << 8 |
                     value_of_level(i & 3, 4);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint32_t c = words[(int64_t)y * width + x];
            int r = level_of((c >> 16) & 0xFF, 8), g = level_of((c >> 8) & 0xFF, 8),
                b = level_of(c & 0xFF, 4);
            indices[(int64_t)y * index_stride + x] = (uint8_t)(r << 5 | g << 2 | b);
        }
    return 256;
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
            if (index < 0) return fill_332(words, width, height, indices, index_stride, palette);
            indices[(int64_t)y * index_stride + x] = (uint8_t)index;
        }
    return used > 0 ? used : 1;
}
