list(APPEND KAV_WIN_SOURCES
  imagewin/imagewin_stub.cpp)
