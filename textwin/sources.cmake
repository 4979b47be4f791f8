list(APPEND KAV_WIN_SOURCES
  textwin/textwin_stub.cpp)
