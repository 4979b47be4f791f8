// box_layout.cpp - see box_layout.h.
#include "boxes/box_layout.h"

// Sizing-edge codes of WM_SIZING (the same values the platform uses).
enum { EDGE_LEFT = 1, EDGE_TOPLEFT = 4, EDGE_BOTTOMLEFT = 7 };

bool button_grid_valid(int columns, int rows)
{
    if (columns <= 0 || rows <= 0) return false;
    if (columns > BUTTON_LIMIT || rows > BUTTON_LIMIT) return false;  // keeps the product small
    return columns * rows <= BUTTON_LIMIT;
}

void button_box_client_size(int columns, int rows, int button_width, int button_height,
                            int *client_width, int *client_height)
{
    *client_width = columns * (button_width + BUTTON_GAP) + BUTTON_GAP;
    *client_height = rows * (button_height + BUTTON_GAP) + BUTTON_GAP;
}

void button_position(int i, int columns, int button_width, int button_height, int *x, int *y)
{
    int row = i / columns;
    int column = i % columns;
    *x = column * (button_width + BUTTON_GAP) + BUTTON_GAP;
    *y = row * (button_height + BUTTON_GAP) + BUTTON_GAP;
}

int button_side_from_client(int client, int count)
{
    int free_pixels = client - (count * BUTTON_GAP + BUTTON_GAP);
    if (free_pixels < 1) free_pixels = 1;
    return free_pixels / count;
}

static int clamp(int v, int low, int high)
{
    if (v < low) return low;
    if (v > high) return high;
    return v;
}

int button_under_point(int px, int py, int columns, int rows, int button_width, int button_height)
{
    int column = clamp(px / (button_width + BUTTON_GAP), 0, columns - 1);
    int row = clamp(py / (button_height + BUTTON_GAP), 0, rows - 1);
    return row * columns + column;
}

int clamp_item_count(int count)
{
    return clamp(count, 1, ITEM_LIMIT);
}

void input_box_client_size(int count, int label_width, int edit_width, int *client_width,
                           int *client_height)
{
    *client_width = label_width + edit_width + 12;
    *client_height = count * ITEM_PITCH + 2;
}

int item_row_top(int i)
{
    return ITEM_TOP + ITEM_PITCH * i;
}

int edit_left(int label_width)
{
    return label_width + 8;
}

bool is_left_sizing_edge(int edge)
{
    return edge == EDGE_LEFT || edge == EDGE_TOPLEFT || edge == EDGE_BOTTOMLEFT;
}

void input_widths_after_size(int edge, int client_width, int *label_width, int *edit_width)
{
    if (is_left_sizing_edge(edge)) {
        int w = client_width - *edit_width - 12;
        *label_width = w < 1 ? 1 : w;
        return;
    }
    int w = client_width - *label_width - 12;
    *edit_width = w < 1 ? 1 : w;
}

int item_under_point(int y, int count)
{
    if (y < 0) return -1;
    int i = y / ITEM_PITCH;
    return i < count ? i : -1;
}
