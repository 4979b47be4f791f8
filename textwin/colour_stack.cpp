// colour_stack.cpp - see colour_stack.h.
#include "textwin/colour_stack.h"

void fill_colour_stack(int saved_text[KAV_SAVED_COLOURS], int saved_back[KAV_SAVED_COLOURS], int text, int back)
{
    for (int i = 0; i < KAV_SAVED_COLOURS; i++) {
        saved_text[i] = text;
        saved_back[i] = back;
    }
}

void push_colours(int saved_text[KAV_SAVED_COLOURS], int saved_back[KAV_SAVED_COLOURS],
                  int *text, int *back, int new_text, int new_back)
{
    for (int i = KAV_SAVED_COLOURS - 1; i > 0; i--) {
        saved_text[i] = saved_text[i - 1];
        saved_back[i] = saved_back[i - 1];
    }
    saved_text[0] = *text;
    saved_back[0] = *back;
    *text = new_text;
    *back = new_back;
}

void pop_colours(int saved_text[KAV_SAVED_COLOURS], int saved_back[KAV_SAVED_COLOURS], int *text, int *back)
{
    *text = saved_text[0];
    *back = saved_back[0];
    for (int i = 0; i < KAV_SAVED_COLOURS - 1; i++) {
        saved_text[i] = saved_text[i + 1];
        saved_back[i] = saved_back[i + 1];
    }
}
