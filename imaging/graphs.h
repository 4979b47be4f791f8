// graphs.h - the profile graphs of the Image window's "Information..." commands.
#ifndef KAV_GRAPHS_H
#define KAV_GRAPHS_H

#include "kavlib.h"
#include "imaging/graph_math.h"

// The four profile graphs: their curves (flags, colours), first sample column and labels.
enum ProfileKind { PROFILE_RGB_GRAPH, PROFILE_HSV_GRAPH, PROFILE_YCRCB_GRAPH, PROFILE_LUMI_GRAPH };

#define KAV_CRCB_GRAPH_SIZE 256  // the Cb-Cr graphs are 256 x 256

int32_t profile_graph_margin(int kind);  // columns left of the first sample (12, or 20 for YCrCb)
// Draws the curves and labels of one profile graph of count row elements into the current window.
void draw_profile_graph(int kind, const void *values, int32_t count);

#endif
