# Cross toolchain for 32-bit Windows from Debian's g++-mingw-w64-i686.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
