// boxes.h - the Input box and the Button box inside the library. The globals are read by the
// placement list and the window information report; only the box code writes them.
#ifndef KAV_BOXES_H
#define KAV_BOXES_H

#include <windows.h>
#include "kavlib.h"
#include "boxes/box_layout.h"

// The layout rules and the public tables must agree on how many items and buttons there are.
static_assert(ITEM_LIMIT == KAV_MAX_ITEMS, "Input box item limit differs from item_values");
static_assert(BUTTON_LIMIT == KAV_MAX_BUTTONS, "Button box limit differs from button_presses");

//------------------------------------------------------------------------------------------------
// Input box globals (worker thread)
//------------------------------------------------------------------------------------------------
extern HWND input_box_window;             // the Input box, NULL when there is none
extern int input_item_count;              // its items, 1..30; 0 when there is no box
extern int label_width;                   // ISIZE: width of every label; outlives the box
extern int edit_width;                    // ESIZE: width of every edit field; outlives the box
extern HWND item_labels[KAV_MAX_ITEMS];   // STATIC control of item i
extern HWND item_edits[KAV_MAX_ITEMS];    // EDIT control of item i

//------------------------------------------------------------------------------------------------
// Button box globals (worker thread)
//------------------------------------------------------------------------------------------------
extern HWND button_box_window;            // the Button box, NULL when there is none
extern int button_columns;                // NX
extern int button_rows;                   // NY
extern int button_count;                  // NX x NY while the box exists, 0 without a box
extern int button_width;                  // width of every button; outlives the box
extern int button_height;                 // height of every button; outlives the box
extern HWND buttons[KAV_MAX_BUTTONS];     // button i, control id 3000 + i

void create_input_box(int x, int y, int count);  // makes the box unless one exists
void commit_item_edit(HWND edit);                // copies the field's text into item_values
void lay_out_input_box(void);                    // places labels and fields for the current widths
void lay_out_button_box(void);                   // places every button for the current size
void show_one_item_menu(HWND hwnd, int id, const char *text);  // popup at the cursor; WM_COMMAND to hwnd
// Prints "%d '%s' ->" with i and label's text, reads a line into line; false for an empty line
// or while another rename reads. Callers check their box again: the line input pumps messages.
bool ask_new_label(int i, HWND label, int label_units, char line[KAV_LINE_BYTES]);
LRESULT CALLBACK input_box_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK button_box_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

#endif
