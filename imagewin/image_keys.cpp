// image_keys.cpp - see image_keys.h.
#include "imagewin/image_keys.h"

// The virtual-key codes the tables use.
enum {
    KEY_TAB = 0x09,
    KEY_ESCAPE = 0x1B,
    KEY_NUMPAD0 = 0x60,
    KEY_NUMPAD_ADD = 0x6B,
    KEY_NUMPAD_SUBTRACT = 0x6D,
};

struct CtrlKey {
    unsigned key;
    int action;
    int id;
};

// With Ctrl held. The command ids are the Image window's (image_commands.h).
static const CtrlKey ctrl_keys[] = {
    {'X', KEY_POST_COMMAND, 1011},  // Cut
    {'C', KEY_POST_COMMAND, 1012},  // Copy
    {'V', KEY_POST_COMMAND, 1014},  // Paste at the top-left corner
    {'Q', KEY_POST_COMMAND, 1005},  // Destroy
    {'R', KEY_POST_COMMAND, 1019},  // Clipping
    {KEY_NUMPAD_ADD, KEY_ZOOM_IN, 0},
    {KEY_NUMPAD_SUBTRACT, KEY_ZOOM_OUT, 0},
    {KEY_NUMPAD0, KEY_ZOOM_100, 0},
};

int image_key_action(unsigned key, bool ctrl, int *id)
{
    *id = 0;
    if (ctrl) {
        for (const CtrlKey &k : ctrl_keys) {
            if (k.key != key) continue;
            *id = k.id;
            return k.action;
        }
    }
    switch (key) {
    case KEY_TAB: return KEY_TOGGLE_STRETCH;
    case KEY_ESCAPE:
    case 'S':
    case 'C':
    case 'X': return KEY_TO_MAIN;
    default: return KEY_NOTHING;
    }
}

// Below 5 % the step alone would not move the zoom: it then grows by one.
int zoom_step_in(int zoom)
{
    int next = (10 * zoom + 4) / 9;
    return next > zoom ? next : zoom + 1;
}
int zoom_step_out(int zoom) { return (9 * zoom + 5) / 10; }
