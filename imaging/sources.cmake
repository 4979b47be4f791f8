list(APPEND KAV_PURE_SOURCES
  imaging/drawing_state.cpp
  imaging/pixel_ops.cpp
  imaging/color_models.cpp
  imaging/glyph_table.cpp
  imaging/raster.cpp
  imaging/whole_image.cpp)
list(APPEND KAV_WIN_SOURCES
  imaging/pixel_access.cpp
  imaging/drawing.cpp
  imaging/truetype_text.cpp
  imaging/image_operations.cpp)
