list(APPEND KAV_PURE_SOURCES
  core/status_field.cpp
  core/edge_snap.cpp)
list(APPEND KAV_WIN_SOURCES
  core/startup.cpp
  core/worker.cpp
  core/window_request.cpp
  core/main_window.cpp
  core/ui_helpers.cpp
  core/placement.cpp
  core/main_commands.cpp
  core/main_place.cpp)
