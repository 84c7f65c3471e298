# shellcheck shell=bash
# The sample installation of fixture.env in a prefix made by wine-prefix.sh
# (which must be sourced first), laid out by the test program's own
# procedure, the one its end-to-end cases use: the product as its installer
# would lay it out, and the launcher with a sample update.zip as downloaded.
# Sourced by scripts/demo and bench/run; tests/e2e/harness.py calls it.

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

# ul_run_launcher PREFIX: runs the launcher from its folder; sets ul_stdout
# and ul_exit_code.
# shellcheck disable=SC2034  # both are read by the caller
ul_run_launcher() {
    ul_exit_code=0
    ul_stdout=$(cd "$ul_package" &&
        WINEPREFIX="$1" wine "$UL_PACKAGE_DIR\\UnzipLauncher.exe") || ul_exit_code=$?
}
