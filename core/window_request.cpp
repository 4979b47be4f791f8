// window_request.cpp - the single-slot window request through which the Main window (GUI
// thread) has user windows made on the worker thread, which then owns them.
#include "core/core.h"

#include "boxes/boxes.h"
#include "imagewin/imagewin.h"
#include "textwin/textwin.h"

KAV_WindowRequest window_request;  // arguments: GUI thread while kind is 0, worker while it is set

// The poster's messages are pumped while it waits, so the Main window keeps answering; the
// worker wakes the waiting threads when it has served a request. Once the worker thread has
// finished nobody will serve the slot, and the wait gives up.
static void wait_for_empty_slot(void)
{
    while (window_request.kind != 0 && run_state.exit_state != 2) {
        gui_pump();
        KAV_WaitMessage();
    }
}

// Publishes the request (its arguments are written already) and waits until it is served;
// the answer of this post comes back in its own record.
static int post_and_wait(int kind)
{
    KAV_RequestAnswer answer;
    answer.done = 0;
    answer.result = 0;
    window_request.answer = &answer;
    window_request.done = 0;
    window_request.kind = kind;
    wake_waiters();  // the idle worker serves it
    while (answer.done != 1 && run_state.exit_state != 2) {
        gui_pump();
        KAV_WaitMessage();
    }
    return answer.result;
}

int post_create_image_window(int n, const char *name, int width, int height, int bits_per_pixel)
{
    wait_for_empty_slot();
    window_request.window_number = n;
    window_request.name = name;
    window_request.width = width;
    window_request.height = height;
    window_request.bits_per_pixel = bits_per_pixel;
    window_request.x = -1;
    window_request.y = -1;
    window_request.zoom = 100;
    return post_and_wait(REQ_CREATE_IMAGE);
}

void post_redraw_image_window(int n)
{
    wait_for_empty_slot();
    window_request.window_number = n;
    window_request.answer = NULL;
    window_request.kind = REQ_REDRAW_IMAGE;
    wake_waiters();
}

int post_load_image_file(int n, const char *path)
{
    wait_for_empty_slot();
    window_request.window_number = n;
    window_request.file_name = path;
    window_request.x = 0;
    window_request.y = 0;
    return post_and_wait(REQ_LOAD_IMAGE);
}

void post_paste_bitmap(HBITMAP bitmap)
{
    wait_for_empty_slot();
    window_request.bitmap = bitmap;
    post_and_wait(REQ_PASTE_BITMAP);
}

void post_open_text_window(int n)
{
    if (front_text_window(n)) return;  // an existing window is made current, as a new one is
    wait_for_empty_slot();
    window_request.window_number = n;
    window_request.x = -1;
    window_request.y = -1;
    window_request.width = -1;
    window_request.height = -1;
    post_and_wait(REQ_OPEN_TEXT_WINDOW);
}

void post_open_input_box(int x, int y, int count)
{
    wait_for_empty_slot();
    window_request.window_number = count;
    window_request.x = x;
    window_request.y = y;
    post_and_wait(REQ_OPEN_INPUT_BOX);
}

void post_open_button_box(int columns, int rows)
{
    wait_for_empty_slot();
    window_request.width = columns;
    window_request.height = rows;
    window_request.x = 0;
    window_request.y = 0;
    post_and_wait(REQ_OPEN_BUTTON_BOX);
}

static void serve(int kind)
{
    KAV_WindowRequest &r = window_request;
    switch (kind) {
    case REQ_CREATE_IMAGE:
        r.result = r.window_number >= KAV_MAX_IMAGE_WINDOWS || r.window_number < 0
                       ? 4
                       : create_image_window(r.window_number, r.name, r.x, r.y, r.width, r.height,
                                             r.bits_per_pixel, r.zoom, 1);
        break;
    case REQ_REDRAW_IMAGE:
        paint_image_window(r.window_number);
        break;
    case REQ_LOAD_IMAGE:
        select_current_window(r.window_number);
        r.result = load_image_file(r.file_name, r.x, r.y);
        restore_previous_window();
        break;
    case REQ_PASTE_BITMAP:
        draw_handed_bitmap(r.bitmap);
        break;
    case REQ_OPEN_TEXT_WINDOW:
        if (r.window_number >= 0 && r.window_number < KAV_MAX_TEXT_WINDOWS)
            KAV_OpenTextWindow(r.window_number, r.x, r.y, r.width, r.height);
        break;
    case REQ_OPEN_INPUT_BOX:
        if (input_box_window) KAV_CloseInputBox();
        create_input_box(r.x, r.y, r.window_number);
        break;
    case REQ_OPEN_BUTTON_BOX:
        if (button_box_window) KAV_CloseButtonBox();
        KAV_OpenButtonBox(r.x, r.y, r.width, r.height);
        break;
    default:
        break;
    }
}

void serve_window_request(void)
{
    int kind = window_request.kind;
    if (kind == 0) return;
    KAV_RequestAnswer *answer = window_request.answer;
    serve(kind);
    if (answer) {
        answer->result = window_request.result;
        answer->done = 1;
    }
    window_request.done = 1;
    window_request.kind = 0;
    wake_waiters();  // the poster, and any post waiting for the slot to empty
}
