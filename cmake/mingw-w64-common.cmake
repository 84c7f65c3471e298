# What the MinGW-w64 cross toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR
# and _triplet first. The posix thread model is used for everything: GoogleTest
# needs std::mutex, which the win32 model lacks, and one compiler keeps product
# and tests alike.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_triplet}-windres)
set(CMAKE_OBJDUMP ${_triplet}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
