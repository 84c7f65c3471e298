# Cross toolchain for 64-bit Windows from Debian's g++-mingw-w64-x86-64; only
# the 64-bit updater stand-in of the tests is built with it.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
