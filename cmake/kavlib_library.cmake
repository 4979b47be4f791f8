# KAVLIB as a library for other programs: the target KAVLIB::KAVLIB gives an application the
# library, its process entry (WinMain) and the public header kavlib.h. The application supplies
# KAV_Setup and KAV_Main. Works the same after add_subdirectory() of this source tree and after
# find_package(KAVLIB) of an installed copy:
#   add_executable(myprogram WIN32 myprogram.cpp)
#   target_link_libraries(myprogram PRIVATE KAVLIB::KAVLIB)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

add_library(kavlib_winmain STATIC ${PROJECT_SOURCE_DIR}/core/winmain.cpp)
target_link_libraries(kavlib_winmain PRIVATE kavlib_lib)

add_library(kavlib_application INTERFACE)
# The entry comes first: it needs the library, and the linker reads the archives in order.
target_link_libraries(kavlib_application INTERFACE kavlib_winmain kavlib_lib)
# WinMain is asked for before any archive is read: the C runtime's own reference to it comes
# after the application's libraries, too late to take it from an archive. Programs carry
# their C++ runtime inside, so the one .exe runs wherever it is copied.
target_link_options(kavlib_application INTERFACE -Wl,--undefined=WinMain -static -static-libgcc -static-libstdc++)
add_library(KAVLIB::KAVLIB ALIAS kavlib_application)

set_target_properties(kavlib_lib PROPERTIES EXPORT_NAME library)
set_target_properties(kavlib_winmain PROPERTIES EXPORT_NAME entry)
set_target_properties(kavlib_application PROPERTIES EXPORT_NAME KAVLIB)
install(TARGETS kavlib_lib kavlib_winmain kavlib_application EXPORT KAVLIBTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/kavlib.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT KAVLIBTargets NAMESPACE KAVLIB:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KAVLIB)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KAVLIBConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KAVLIBConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KAVLIB)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KAVLIBConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KAVLIBConfig.cmake ${PROJECT_BINARY_DIR}/KAVLIBConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KAVLIB)
