list(APPEND KAV_PURE_SOURCES
  imagewin/zoom_fit.cpp
  imagewin/file_rules.cpp
  imagewin/indexed_picture.cpp)
list(APPEND KAV_WIN_SOURCES
  imagewin/image_table.cpp
  imagewin/image_window_proc.cpp
  imagewin/image_files.cpp
  imagewin/image_clipboard.cpp)

# Image files are judged by an independent decoder: a shell step around the Wine test program.
if(WIN32)
  add_test(NAME wine_imagewin_files_check
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/imagewin_files_check.sh
            ${CMAKE_CURRENT_BINARY_DIR}/tests/wine/imagewin_files_test.exe)
  set_tests_properties(wine_imagewin_files_check PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
endif()
