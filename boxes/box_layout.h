// box_layout.h - geometry of the Button box grid and the Input box column. No window calls:
// every rule here works on plain numbers so that it can be checked without a display.
#ifndef KAV_BOX_LAYOUT_H
#define KAV_BOX_LAYOUT_H

// Button box ----------------------------------------------------------------------------------
#define BUTTON_GAP 4             // pixels around and between the buttons
#define BUTTON_LIMIT 256         // most buttons a box can hold
#define BUTTON_START_WIDTH 98    // button size of the first box of the run
#define BUTTON_START_HEIGHT 26

// True when a grid of columns x rows can be opened: both positive, at most BUTTON_LIMIT buttons.
bool button_grid_valid(int columns, int rows);

// Client size of a box whose buttons are button_width x button_height.
void button_box_client_size(int columns, int rows, int button_width, int button_height,
                            int *client_width, int *client_height);

// Top-left corner of button i in the client area.
void button_position(int i, int columns, int button_width, int button_height, int *x, int *y);

// One side of a button after the box's client area became client pixels along that side with
// count buttons in the direction: max(client - (count x 4 + 4), 1) / count. count must be > 0.
int button_side_from_client(int client, int count);

// Index of the button under the client point (px, py); row and column clamped into the grid.
int button_under_point(int px, int py, int columns, int rows, int button_width, int button_height);

// Input box -----------------------------------------------------------------------------------
#define ITEM_LIMIT 30            // most items a box can hold
#define ITEM_PITCH 28            // pixels from one item's top to the next
#define ITEM_TOP 4               // top of item 0
#define ITEM_HEIGHT 24           // height of a label and of an edit field
#define LABEL_START_WIDTH 80     // label width of the first box of the run
#define EDIT_START_WIDTH 70      // edit width of the first box of the run

// Item count after clamping: 0 or less gives 1, more than ITEM_LIMIT gives ITEM_LIMIT.
int clamp_item_count(int count);

// Client size of a box with count items and the given widths.
void input_box_client_size(int count, int label_width, int edit_width, int *client_width,
                           int *client_height);

int item_row_top(int i);          // top of item i's edit field; its label sits 3 pixels lower
int edit_left(int label_width);   // left of every edit field

// True for the sizing-edge codes of a left border (left, top-left, bottom-left).
bool is_left_sizing_edge(int edge);

// New widths after the client width became client_width while the given edge was dragged: a left
// edge changes the label width, any other the edit width; the changed width is at least 1.
void input_widths_after_size(int edge, int client_width, int *label_width, int *edit_width);

// Item under a client point's y, or -1 when the point is above item 0's row or below the last.
int item_under_point(int y, int count);

#endif
