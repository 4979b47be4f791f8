// The process-wide drawing state shared by every image window. Written by the worker thread
// (drawing commands); start-up writes the start values before the worker thread exists.
#include "kavlib.h"

uint32_t drawing_colour = 0xFFFFFF;
uint32_t kav_tc = 0x000000;
uint32_t kav_tttc = 0xFFFFFF;
KAV_Point pen_position = {0, 0};
KAV_Point text_cursor = {0, 0};
int32_t text_left_margin = 0;
