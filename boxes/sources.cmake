list(APPEND KAV_WIN_SOURCES
  boxes/boxes_stub.cpp)
