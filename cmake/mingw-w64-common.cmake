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

# GCC's start and end objects and C++ library as GCC's driver takes them,
# with two changes for lld 16, made once into a folder whose name is the
# hash of what it is made from, the same in every checkout (the PDB names
# the paths of what was linked):
# - crtend.o's .eh_frame, which ends the frame list libgcc walks, renamed
#   .eh_frame$zzz, which lld places last: lld appends archive members after
#   the command line's objects, so the original would end the list before
#   libstdc++'s frames;
# - libstdc++.a with its COMDAT frame sections (.eh_frame$<function>) made
#   plain: lld 16 drops them, so an exception could not pass through the
#   library's template instances (scripts/frames-kept).
set(_frames_kept ${CMAKE_CURRENT_LIST_DIR}/../scripts/frames-kept)
set(_key "")
foreach(input ${_gcc}/crtbegin.o ${_gcc}/crtend.o ${_gcc}/libstdc++.a ${_frames_kept})
    file(SHA256 ${input} _sum)
    string(APPEND _key ${_sum})
endforeach()
string(SHA256 _key "${_key}")
string(SUBSTRING ${_key} 0 16 _key)
set(_runtime /tmp/UnzipLauncher-gcc-${_triplet}-${_key})
if(NOT EXISTS ${_runtime}/libstdc++.a)
    string(RANDOM LENGTH 8 _random)
    set(_made ${_runtime}.${_random})
    file(MAKE_DIRECTORY ${_made})
    file(COPY_FILE ${_gcc}/crtbegin.o ${_made}/crtbegin.o)
    execute_process(COMMAND ${_triplet}-objcopy --rename-section .eh_frame=.eh_frame$zzz
                            ${_gcc}/crtend.o ${_made}/crtend.o COMMAND_ERROR_IS_FATAL ANY)
    if(_triplet STREQUAL "i686-w64-mingw32")
        execute_process(COMMAND ${_frames_kept} ${_gcc}/libstdc++.a ${_made}/libstdc++.a
                        COMMAND_ERROR_IS_FATAL ANY)
    else()
        # 64-bit code unwinds with SEH tables, which lld keeps.
        file(COPY_FILE ${_gcc}/libstdc++.a ${_made}/libstdc++.a)
    endif()
    # Whole or not at all, when two builds make it at once: the loser's
    # rename fails (RESULT keeps that quiet) and its copy is removed.
    file(RENAME ${_made} ${_runtime} RESULT _renamed)
    file(REMOVE_RECURSE ${_made})
endif()
set(_cxx_flags "-nostdinc++ -isystem ${_gcc}/include/c++ -isystem ${_gcc}/include/c++/${_triplet} -isystem ${_gcc}/include/c++/backward")
set(_link_flags "--ld-path=${_llvm}/ld.lld -B${_runtime}/ -L${_runtime} -L${_gcc} -Wno-unused-command-line-argument")
if(_triplet STREQUAL "i686-w64-mingw32")
    # crtbegin.o registers the frames through a weak reference, which alone
    # does not keep libgcc's register function in the link.
    set(_link_flags "${_link_flags} -Wl,-u,___register_frame_info")
endif()
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
