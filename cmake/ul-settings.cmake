# Settings every target of ours shares, in the product's build and in the
# 64-bit updater stand-in's. Warnings are errors through
# CMAKE_COMPILE_WARNING_AS_ERROR (the presets set it; --compile-no-warning-as-error
# lifts it for a new compiler).
add_library(ul_settings INTERFACE)
target_compile_definitions(ul_settings INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
if(MSVC)
    target_compile_options(ul_settings INTERFACE /W4 /utf-8)
else()
    target_compile_options(ul_settings INTERFACE -Wall -Wextra)
    # Static: the exe then imports only DLLs that every Windows has.
    target_link_options(ul_settings INTERFACE -static -Wl,--dynamicbase,--nxcompat)
endif()
