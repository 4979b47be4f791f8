#include "core/edge_snap.h"

#include <stdlib.h>

void placement_begin(KAV_PlacementList *list, KAV_Rect a)
{
    list->count = 0;
    placement_append(list, {-KAV_WALL_DEPTH, a.top, a.left, a.bottom});
    placement_append(list, {a.left, -KAV_WALL_DEPTH, a.right, a.top});
    placement_append(list, {a.right, a.top, a.right + KAV_WALL_DEPTH, a.bottom});
    placement_append(list, {a.left, a.bottom, a.right, a.bottom + KAV_WALL_DEPTH});
}

void placement_append(KAV_PlacementList *list, KAV_Rect window)
{
    if (list->count >= KAV_PLACEMENT_ENTRIES) return;
    list->entries[list->count++] = window;
}

static bool same_rect(const KAV_Rect &a, const KAV_Rect &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static bool near(int a, int b) { return abs(a - b) < KAV_SNAP_DISTANCE; }

// Distances are measured from the rectangle as proposed (p); the shifts go into *out.
void snap_rectangle(const KAV_PlacementList *list, KAV_Rect current, KAV_Rect *out)
{
    const KAV_Rect p = *out;
    bool h_snapped = false, v_snapped = false;
    int dx = 0, dy = 0;
    for (int i = 0; i < list->count && !(h_snapped && v_snapped); i++) {
        const KAV_Rect &e = list->entries[i];
        if (same_rect(e, current)) continue;
        bool h_overlap = e.left <= p.right && e.right >= p.left;
        bool v_overlap = e.top <= p.bottom && e.bottom >= p.top;
        if (!h_snapped && v_overlap) {  // side by side
            if (near(e.right, p.left)) dx = e.right - p.left, h_snapped = true;
            else if (near(e.left, p.right)) dx = e.left - p.right, h_snapped = true;
        }
        if (!v_snapped && h_snapped && h_overlap) {  // aligned tops or bottoms
            if (near(e.top, p.top)) dy = e.top - p.top, v_snapped = true;
            else if (near(e.bottom, p.bottom)) dy = e.bottom - p.bottom, v_snapped = true;
        }
        if (!v_snapped && h_overlap) {  // stacked
            if (near(e.bottom, p.top)) dy = e.bottom - p.top, v_snapped = true;
            else if (near(e.top, p.bottom)) dy = e.top - p.bottom, v_snapped = true;
        }
        if (!h_snapped && v_snapped && v_overlap) {  // aligned lefts or rights
            if (near(e.left, p.left)) dx = e.left - p.left, h_snapped = true;
            else if (near(e.right, p.right)) dx = e.right - p.right, h_snapped = true;
        }
    }
    out->left = p.left + dx;
    out->right = p.right + dx;
    out->top = p.top + dy;
    out->bottom = p.bottom + dy;
}
