// graph_math.cpp - see graph_math.h.
#include "imaging/graph_math.h"

#include "kavlib.h"

int32_t profile_channel(const void *values, int32_t i, int32_t flags, int32_t *scale)
{
    *scale = 255;
    if (flags & PROFILE_BYTES) return ((const uint8_t *)values)[i];
    uint32_t c = ((const uint32_t *)values)[i];
    if (flags & PROFILE_RED) return (int32_t)(c >> 16 & 0xFF);
    if (flags & PROFILE_GREEN) return (int32_t)(c >> 8 & 0xFF);
    if (flags & PROFILE_BLUE) return (int32_t)(c & 0xFF);
    if (flags & PROFILE_HUE) {
        *scale = 359;
        return rgb_to_hsv(c).hue;
    }
    if (flags & PROFILE_SATURATION) return rgb_to_hsv(c).saturation;
    if (flags & PROFILE_VALUE) return rgb_to_hsv(c).value;
    if (flags & PROFILE_Y) return to_ycrcb(c).y;
    if (flags & PROFILE_CR) return to_ycrcb(c).cr + 128;
    if (flags & PROFILE_CB) return to_ycrcb(c).cb + 128;
    return 0;
}

int32_t profile_row(const void *values, int32_t i, int32_t flags)
{
    int32_t scale;
    int32_t v = profile_channel(values, i, flags, &scale);
    return (KAV_GRAPH_ROWS - 1) - v * (KAV_GRAPH_ROWS - 1) / scale;
}

void crcb_point(uint32_t colour, int32_t *x, int32_t *y)
{
    KAV_YCrCb c = to_ycrcb(colour);
    *x = c.cb + 128;
    *y = 128 - c.cr;
}
