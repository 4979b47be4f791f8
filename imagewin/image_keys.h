// image_keys.h - what a key does in an Image window, and the zoom steps of keys and the wheel.
// Platform-free: key codes are the virtual-key values.
#ifndef KAV_IMAGE_KEYS_H
#define KAV_IMAGE_KEYS_H

enum ImageKeyAction {
    KEY_NOTHING,
    KEY_POST_COMMAND,   // post WM_COMMAND with the answered id to the window
    KEY_ZOOM_IN,        // one zoom step in
    KEY_ZOOM_OUT,       // one zoom step out
    KEY_ZOOM_100,       // zoom 100 %
    KEY_TOGGLE_STRETCH, // COLORONCOLOR <-> HALFTONE
    KEY_TO_MAIN,        // post the same key to the Main window
};

// The action of a key pressed with or without Ctrl; *id receives the command of KEY_POST_COMMAND.
// A Ctrl key outside the Ctrl table acts as the plain key.
int image_key_action(unsigned key, bool ctrl, int *id);

int zoom_step_in(int zoom);   // (10 * zoom + 4) / 9, at least zoom + 1: 100 -> 111
int zoom_step_out(int zoom);  // (9 * zoom + 5) / 10: 100 -> 90

#endif
