# What the MinGW-w64 cross toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR
# and _triplet first. Debian's clang-16 and lld-16, with Debian's MinGW-w64
# runtime and GCC's C++ library. Everything of GCC's comes from one folder,
# the posix thread model's: GoogleTest needs std::mutex, which the win32
# model lacks, and clang left to itself may take 12-win32's headers or
# crtbegin.o, a silent mismatch.
set(CMAKE_SYSTEM_NAME Windows)
set(_gcc /usr/lib/gcc/${_triplet}/12-posix)
set(_llvm /usr/lib/llvm-16/bin)

set(CMAKE_C_COMPILER ${_llvm}/clang)
set(CMAKE_C_COMPILER_TARGET ${_triplet})
set(CMAKE_CXX_COMPILER ${_llvm}/clang++)
set(CMAKE_CXX_COMPILER_TARGET ${_triplet})
set(CMAKE_RC_COMPILER ${_triplet}-windres)
set(CMAKE_OBJDUMP ${_triplet}-objdump)
set(CMAKE_AR ${_llvm}/llvm-ar)
set(CMAKE_RANLIB ${_llvm}/llvm-ranlib)

# GCC's start and end objects and C++ library are linked as Debian installed
# them, from the folder above: nothing is copied or rewritten, and nothing
# is read from a shared folder such as /tmp. No code of ours throws or
# catches, so everything builds without exceptions: no unwinding through the
# C++ library is needed, and a try or an EXPECT_THROW cannot compile.
set(_cxx_flags "-fno-exceptions -nostdinc++ -isystem ${_gcc}/include/c++ -isystem ${_gcc}/include/c++/${_triplet} -isystem ${_gcc}/include/c++/backward")
set(_link_flags "--ld-path=${_llvm}/ld.lld -B${_gcc}/ -L${_gcc} -Wno-unused-command-line-argument")
set(CMAKE_CXX_FLAGS_INIT "${_cxx_flags}")
# As GCC's driver links every program: its threads library.
set(CMAKE_C_STANDARD_LIBRARIES "-lpthread")
set(CMAKE_CXX_STANDARD_LIBRARIES "-lpthread")
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "${_link_flags}")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
