list(APPEND KAV_PURE_SOURCES
  imagewin/zoom_fit.cpp
  imagewin/file_rules.cpp
  imagewin/indexed_picture.cpp
  imagewin/image_keys.cpp
  imagewin/metafile_check.cpp
  imagewin/windows_metafile_check.cpp)
list(APPEND KAV_WIN_SOURCES
  imagewin/image_table.cpp
  imagewin/image_window_proc.cpp
  imagewin/image_menus.cpp
  imagewin/image_commands.cpp
  imagewin/image_info_commands.cpp
  imagewin/image_draw_commands.cpp
  imagewin/image_files.cpp
  imagewin/file_stream.cpp
  imagewin/image_clipboard.cpp)
