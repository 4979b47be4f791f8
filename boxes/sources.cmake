list(APPEND KAV_PURE_SOURCES
  boxes/box_layout.cpp)
list(APPEND KAV_WIN_SOURCES
  boxes/box_dialogue.cpp
  boxes/button_box.cpp
  boxes/button_box_proc.cpp
  boxes/input_box.cpp
  boxes/input_box_proc.cpp)
