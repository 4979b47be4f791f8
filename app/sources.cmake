list(APPEND KAV_APP_PURE_SOURCES
  app/imagedata.cpp)
list(APPEND KAV_APP_WIN_SOURCES
  app/converter.cpp)
