# What the MinGW-w64 cross toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR
# and _triplet first. Debian's clang and lld, with Debian's MinGW-w64 runtime
# and GCC's C++ library. Everything of GCC's comes from one folder, the posix
# thread model's: GoogleTest needs std::mutex, which the win32 model lacks,
# and clang left to itself may take the win32 model's headers or
# crtbegin.o, a silent mismatch.
set(CMAKE_SYSTEM_NAME Windows)

file(GLOB _gcc LIST_DIRECTORIES true /usr/lib/gcc/${_triplet}/*-posix)
list(LENGTH _gcc _found)
if(NOT _found EQUAL 1)
    message(FATAL_ERROR "Expected one folder /usr/lib/gcc/${_triplet}/*-posix (Debian's "
                        "g++-mingw-w64 packages), found ${_found}: ${_gcc}")
endif()

# The LLVM given with -DUL_LLVM=/usr/lib/llvm-<version>, else the one of this
# Debian release (scripts/lib/releases.env).
if(NOT UL_LLVM)
    file(STRINGS /etc/os-release _os REGEX "^(ID|VERSION_ID)=")
    string(REGEX REPLACE "\"" "" _os "${_os}")
    file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/releases.env _releases
         REGEX "^UL_[A-Z_0-9]+='")
    foreach(_line IN LISTS _releases)
        string(REGEX MATCH "^(UL_[A-Z_0-9]+)='(.*)'$" _match "${_line}")
        set(_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endforeach()
    string(REGEX MATCH "VERSION_ID=([0-9]+)" _match "${_os}")
    set(_version "${CMAKE_MATCH_1}")
    if(NOT "${_os}" MATCHES "ID=debian" OR NOT _UL_LLVM_${_version})
        message(FATAL_ERROR "UnzipLauncher builds on Debian ${_UL_RELEASES} only (this is "
                            "${_os}); elsewhere give the LLVM with -DUL_LLVM=<folder>")
    endif()
    set(UL_LLVM /usr/lib/llvm-${_UL_LLVM_${_version}})
endif()
set(_llvm ${UL_LLVM}/bin)
if(NOT EXISTS ${_llvm}/clang OR NOT EXISTS ${_llvm}/ld.lld)
    message(FATAL_ERROR "No clang and ld.lld in ${_llvm}: run scripts/install-deps")
endif()
# The LLVM programs the build itself runs (llvm-objcopy); the compiler
# checks' own projects take the same LLVM.
set(UL_LLVM_BIN ${_llvm})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES UL_LLVM)

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
