// imaging_helpers.h - reading and preparing the pixels of real image windows in the imaging
// tests (worker thread, inside on_worker).
#ifndef KAV_IMAGING_HELPERS_H
#define KAV_IMAGING_HELPERS_H

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "harness.h"
#include "imagewin/imagewin.h"

namespace imgtest {

typedef std::set<std::pair<int, int>> PointSet;

// Destroys every image window (from the test thread).
inline void destroy_all(void)
{
    kavtest::on_worker([] {
        for (int n = 0; n < KAV_MAX_IMAGE_WINDOWS; n++) destroy_image_window(n);
    });
}

// Pixel (x, y) of live window n, read straight from its memory (worker thread).
inline uint32_t pixel_of(int n, int x, int y)
{
    const ImageWindowEntry &e = image_windows[n];
    if (e.bits_per_pixel == 32) return pixels[n].words[x + y * e.width];
    return pixels[n].bytes[x + y * ((e.width + 3) & ~3)];
}

// Every pixel of live window n, row by row.
inline std::vector<uint32_t> picture_of(int n)
{
    std::vector<uint32_t> p;
    for (int y = 0; y < image_windows[n].height; y++)
        for (int x = 0; x < image_windows[n].width; x++) p.push_back(pixel_of(n, x, y));
    return p;
}

// Random pixels for window n (colour words with a zero top byte on 32 bits).
inline void scramble(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    const ImageWindowEntry &e = image_windows[n];
    for (int y = 0; y < e.height; y++)
        for (int x = 0; x < e.width; x++) {
            if (e.bits_per_pixel == 32) pixels[n].words[x + y * e.width] = rng() & 0xFFFFFF;
            else pixels[n].bytes[x + y * ((e.width + 3) & ~3)] = (uint8_t)rng();
        }
}

// The pixels of window n that are not 0, from row from_row down.
inline PointSet lit_pixels(int n, int from_row)
{
    PointSet s;
    for (int y = from_row; y < image_windows[n].height; y++)
        for (int x = 0; x < image_windows[n].width; x++)
            if (pixel_of(n, x, y) != 0) s.insert({x, y});
    return s;
}

}  // namespace imgtest

#endif
