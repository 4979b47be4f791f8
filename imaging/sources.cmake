list(APPEND KAV_PURE_SOURCES
  imaging/drawing_state.cpp)
