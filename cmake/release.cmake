# What a release engineer receives: cpack makes
#   UnzipLauncher-<version>-win32.zip          the exe, a README for the people
#                                              who deploy it, check-run.cmd,
#                                              the licence, the changelog, the
#                                              notices of the statically
#                                              linked runtimes, an SPDX SBOM,
#                                              SHA256SUMS
#   UnzipLauncher-<version>-win32-symbols.zip  the exe's PDB, its unstripped
#                                              twin, its link maps, the same
#                                              notices and SBOM
#   UnzipLauncher-<version>-win32-tests.zip    the test pack (not a release
#                                              file: for test machines)

# CRLF: the people who read it do so on Windows.
configure_file(${PROJECT_SOURCE_DIR}/resources/README-deploy.txt
               ${CMAKE_BINARY_DIR}/release/README.txt @ONLY NEWLINE_STYLE CRLF)
install(TARGETS UnzipLauncher RUNTIME DESTINATION . COMPONENT app)
install(FILES ${CMAKE_BINARY_DIR}/release/README.txt DESTINATION . COMPONENT app)
# A run as a deployment tool reads it: an exit code per outcome. CRLF: cmd
# finds the labels of a batch file with LF ends unreliably.
configure_file(${PROJECT_SOURCE_DIR}/resources/check-run.cmd
               ${CMAKE_BINARY_DIR}/release/check-run.cmd @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/release/check-run.cmd DESTINATION . COMPONENT app)
# The project's own licence, and what each version changed, CRLF too: an old
# Notepad shows a file with LF ends as one line.
foreach(document LICENSE CHANGELOG.md)
    configure_file(${PROJECT_SOURCE_DIR}/${document} ${CMAKE_BINARY_DIR}/release/${document}
                   @ONLY NEWLINE_STYLE CRLF)
    install(FILES ${CMAKE_BINARY_DIR}/release/${document} DESTINATION . COMPONENT app)
endforeach()
# What the exe is made of, from the link map: the notices of exactly the
# components linked in (the build fails on one the table does not know)
# and an SPDX SBOM, made again after every link and every change of the
# table, its texts or the script.
file(GLOB ul_notice_texts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/notices/*)
set(ul_sbom ${CMAKE_BINARY_DIR}/release/UnzipLauncher.spdx.json)
add_custom_command(OUTPUT ${ul_sbom}
    COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/scripts/provenance
            --pdb $<TARGET_FILE_DIR:UnzipLauncher>/UnzipLauncher.pdb
            --table ${PROJECT_SOURCE_DIR}/resources/notices/components.json
            --exe $<TARGET_FILE:UnzipLauncher>
            --file ${CMAKE_BINARY_DIR}/release/check-run.cmd --version ${PROJECT_VERSION}
            --commit "${UL_COMMIT}" --epoch "${UL_SOURCE_DATE_EPOCH}"
            --out ${CMAKE_BINARY_DIR}/release
    DEPENDS UnzipLauncher ${ul_notice_texts} ${PROJECT_SOURCE_DIR}/scripts/provenance
            ${CMAKE_BINARY_DIR}/release/check-run.cmd
    VERBATIM)
add_custom_target(UnzipLauncherProvenance ALL DEPENDS ${ul_sbom})
# The symbols ship the same runtimes (in the twin), so the same notices
# and SBOM.
foreach(component app symbols)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/release/NOTICES DESTINATION . COMPONENT ${component})
    install(FILES ${ul_sbom} DESTINATION . COMPONENT ${component})
endforeach()
# The PDB that the exe's CodeView entry names, for Windows debuggers, and
# the unstripped twin, for gdb.
install(FILES $<TARGET_FILE_DIR:UnzipLauncher>/UnzipLauncher.pdb
        DESTINATION symbols COMPONENT symbols)
install(TARGETS UnzipLauncherSymbols RUNTIME DESTINATION symbols COMPONENT symbols)
# The link maps, so that the binary check runs on what is published: they
# name the functions its %fs rule allows.
install(FILES ${CMAKE_BINARY_DIR}/UnzipLauncher.map ${CMAKE_BINARY_DIR}/UnzipLauncher.lldmap
        DESTINATION symbols COMPONENT symbols)
# Last in its component: the sums of what it installed.
install(CODE [[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    file(GLOB_RECURSE files RELATIVE "${root}" "${root}/*")
    list(FILTER files EXCLUDE REGEX "^(symbols/|SHA256SUMS$)")
    list(SORT files)
    set(sums "")
    foreach(file IN LISTS files)
        file(SHA256 "${root}/${file}" sum)
        string(APPEND sums "${sum}  ${file}\n")
    endforeach()
    file(WRITE "${root}/SHA256SUMS" "${sums}")
]] COMPONENT app)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME UnzipLauncher)
set(CPACK_PACKAGE_VENDOR "UnzipLauncher developers")
# All four parts: CPack's default keeps three.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL app symbols)
if(UL_BUILD_TESTS)
    # The test pack (tests/CMakeLists.txt installs it).
    list(APPEND CPACK_COMPONENTS_ALL tests)
    set(CPACK_ARCHIVE_TESTS_FILE_NAME UnzipLauncher-${PROJECT_VERSION}-win32-tests)
endif()
set(CPACK_ARCHIVE_APP_FILE_NAME UnzipLauncher-${PROJECT_VERSION}-win32)
set(CPACK_ARCHIVE_SYMBOLS_FILE_NAME UnzipLauncher-${PROJECT_VERSION}-win32-symbols)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
# Reproducible zips: cpack gives every entry the time SOURCE_DATE_EPOCH names,
# and this file, read by cpack itself, sets it to the commit's time.
if(UL_SOURCE_DATE_EPOCH)
    file(WRITE ${CMAKE_BINARY_DIR}/CPackSourceDate.cmake
         "set(ENV{SOURCE_DATE_EPOCH} ${UL_SOURCE_DATE_EPOCH})\n")
    set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceDate.cmake)
endif()
include(CPack)
