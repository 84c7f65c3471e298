# shellcheck shell=bash
# The sample installation of fixture.env, laid out by the test program's own
# procedure, in a prefix of wine-prefix.sh (sourced first).

# ul_sample_install PREFIX BIN_DIR: BIN_DIR holds UnzipLauncherTests.exe,
# UnzipLauncher.exe and FakeUpdater.exe, which go to C:\bin first. Sets
# ul_manage and ul_package (host paths).
# shellcheck disable=SC2034  # read by the caller
ul_sample_install() {
    local bin="$2" program
    mkdir -p "$1/drive_c/bin"
    for program in UnzipLauncherTests UnzipLauncher FakeUpdater; do
        ln -f "$bin/$program.exe" "$1/drive_c/bin/" 2>/dev/null ||
            cp "$bin/$program.exe" "$1/drive_c/bin/"
    done
    (cd "$1/drive_c/bin" && WINEPREFIX="$1" DISPLAY='' \
        wine 'C:\bin\UnzipLauncherTests.exe' --test-machine --sample-installation >/dev/null) ||
        { echo "sample-install: the test program could not lay the installation out" >&2; return 1; }
    ul_manage=$(ul_host_path "$1" "$UL_MANAGE_DIR")
    ul_package=$(ul_host_path "$1" "$UL_PACKAGE_DIR")
}
