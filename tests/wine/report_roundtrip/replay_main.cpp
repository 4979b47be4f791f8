// replay_main.cpp - the main routine of the program built from the generated layout source:
// it writes the layout that the source made (replayed.txt) and ends the program.
#include "layout_dump.h"

void KAV_Main(void)
{
    wait_for_main_window_away_from_rest(5000);
    dump_layout("replayed.txt");
    exit_program();
}
