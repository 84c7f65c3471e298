# Settings every target of ours shares, in the product's build and in the
# 64-bit updater stand-in's. Warnings are errors through
# CMAKE_COMPILE_WARNING_AS_ERROR (the presets set it; --compile-no-warning-as-error
# lifts it for a new compiler).
add_library(ul_settings INTERFACE)
target_compile_definitions(ul_settings INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_options(ul_settings INTERFACE -Wall -Wextra)
# Static: the exe then imports only DLLs that every Windows has.
target_link_options(ul_settings INTERFACE -static -Wl,--dynamicbase,--nxcompat)

# The mitigations of the product's code and of the code that tests it:
# stack protection with the project's own guard (platform/StackGuard.cpp, in
# ul_platform), seeded by the program's entry, UlStart
# (platform/ProgramStart.cpp), before the UlFirstStep of the source
# FIRST_STEP names (an empty one unless given), and the project's own load
# configuration (platform/LoadConfig.cpp, in every program, since lld reads
# it only from an object the link includes). Stack protection only at
# compile time: GCC's libssp, which a link naming the flag would add,
# imports ADVAPI32. No Control Flow Guard: the runtime is not built for it
# (platform/LoadConfig.cpp).
function(ul_hardened target)
    cmake_parse_arguments(PARSE_ARGV 1 ul "" "FIRST_STEP" "")
    get_target_property(type ${target} TYPE)
    target_compile_options(${target} PRIVATE -fstack-protector-strong)
    if(type STREQUAL "EXECUTABLE")
        if(NOT ul_FIRST_STEP)
            set(ul_FIRST_STEP ${PROJECT_SOURCE_DIR}/platform/NoFirstStep.cpp)
        endif()
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/platform/LoadConfig.cpp
                                         ${PROJECT_SOURCE_DIR}/platform/ProgramStart.cpp
                                         ${ul_FIRST_STEP})
        target_link_options(${target} PRIVATE -Wl,--entry=_UlStart -Wl,--undefined=_UlStart)
    endif()
endfunction()
