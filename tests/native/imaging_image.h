// imaging_image.h - a small image of either depth for the imaging tests, with its buffer
// description and readers of its pixels.
#ifndef KAV_IMAGING_IMAGE_H
#define KAV_IMAGING_IMAGE_H

#include <set>
#include <utility>
#include <vector>

#include "imaging/pixel_ops.h"

typedef std::set<std::pair<int, int>> PointSet;

// A black image; 8-bit rows padded to 4 bytes as in an image window.
struct Image {
    std::vector<uint32_t> store;
    PixelBuffer b;
    Image(int width, int height, int bits = 32) : store((size_t)((width + 3) & ~3) * height + 1, 0)
    {
        b = {bits, width, height, store.data(), (uint8_t *)store.data()};
    }
    int32_t at(int x, int y) const { return buffer_get(b, x, y, -1); }
    uint32_t word(int x, int y) const { return (uint32_t)at(x, y); }
    PointSet lit() const  // every pixel that is not 0
    {
        PointSet s;
        for (int y = 0; y < b.height; y++)
            for (int x = 0; x < b.width; x++)
                if (at(x, y) != 0) s.insert({x, y});
        return s;
    }
};

#endif
