// colour_stack.h - the saved text and background colours of a text window: eight pairs, slot 0
// the most recent. Creation fills every slot, so popping more than was pushed gives back the
// creation colours, and a ninth nested push loses the oldest pair.
#ifndef KAV_COLOUR_STACK_H
#define KAV_COLOUR_STACK_H

#define KAV_SAVED_COLOURS 8  // pairs kept per text window

void fill_colour_stack(int saved_text[KAV_SAVED_COLOURS], int saved_back[KAV_SAVED_COLOURS], int text, int back);
void push_colours(int saved_text[KAV_SAVED_COLOURS], int saved_back[KAV_SAVED_COLOURS],
                  int *text, int *back, int new_text, int new_back);
void pop_colours(int saved_text[KAV_SAVED_COLOURS], int saved_back[KAV_SAVED_COLOURS], int *text, int *back);

#endif
