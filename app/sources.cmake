list(APPEND KAV_APP_WIN_SOURCES
  app/app_stub.cpp)
