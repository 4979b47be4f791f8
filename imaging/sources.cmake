list(APPEND KAV_PURE_SOURCES
  imaging/drawing_state.cpp
  imaging/pixel_ops.cpp
  imaging/color_models.cpp)
list(APPEND KAV_WIN_SOURCES
  imaging/pixel_access.cpp)
