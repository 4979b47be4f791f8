// placement.cpp - the placement list and edge snapping. Until windows snap to each other the
// list is not kept and a moving window goes where it is dragged.
#include "core/core.h"

void rebuild_placement_list(void) {}
void edge_snapping(RECT *proposed, HWND moving) {}
