// imaging.h - what the image-processing files share inside the library: the pixel buffer of
// a live image window, through which every drawing and whole-image operation reaches it.
#ifndef KAV_IMAGING_H
#define KAV_IMAGING_H

#include "imaging/pixel_ops.h"

// Image window n's pixel memory; an empty buffer (width and height 0) when n is bad or free,
// so that every operation on it does nothing.
PixelBuffer window_buffer(int n);
PixelBuffer current_buffer(void);  // window_buffer of the current image window

#endif
