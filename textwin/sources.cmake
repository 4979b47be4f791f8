list(APPEND KAV_PURE_SOURCES
  textwin/text_layout.cpp
  textwin/key_ring.cpp
  textwin/colour_stack.cpp
  textwin/command_names.cpp
  textwin/log_names.cpp
  textwin/report_source.cpp)
list(APPEND KAV_WIN_SOURCES
  textwin/text_table.cpp
  textwin/line_input.cpp
  textwin/text_window_proc.cpp
  textwin/command_prompt.cpp
  textwin/log_files.cpp
  textwin/window_report.cpp)
