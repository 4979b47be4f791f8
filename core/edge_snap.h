// edge_snap.h - the placement list and the arithmetic of edge snapping. Platform-free.
#ifndef KAV_EDGE_SNAP_H
#define KAV_EDGE_SNAP_H

#define KAV_PLACEMENT_ENTRIES 520  // 4 walls + 256 image + 256 text windows + 2 boxes + Main window
#define KAV_SNAP_DISTANCE 8        // edges closer than this (strictly) snap together
#define KAV_WALL_DEPTH 1000        // the walls are bands this thick just outside the work area

struct KAV_Rect {
    int left, top, right, bottom;  // screen coordinates; right and bottom exclusive
};

// A snapshot of the rectangles a moving window snaps to: the four walls first, then windows.
struct KAV_PlacementList {
    KAV_Rect entries[KAV_PLACEMENT_ENTRIES];
    int count;
};

// Empties the list and appends the four walls around the work area.
void placement_begin(KAV_PlacementList *list, KAV_Rect work_area);
// Appends one window rectangle; ignored when the list is full.
void placement_append(KAV_PlacementList *list, KAV_Rect window);
// Moves proposed so that its edges meet nearby edges of the list's entries, skipping the
// entry equal to current (the moving window itself); each direction snaps at most once.
void snap_rectangle(const KAV_PlacementList *list, KAV_Rect current, KAV_Rect *proposed);

#endif
