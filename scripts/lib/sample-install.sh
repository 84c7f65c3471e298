# shellcheck shell=bash
# The sample installation of fixture.env in a prefix made by wine-prefix.sh
# (which must be sourced first): the product as its installer would lay it
# out, and the launcher with a sample update.zip as downloaded. Sourced by
# scripts/demo and bench/run.

# ul_sample_setup_file: the setup file's text (CRLF) naming the sample
# management and product directories.
ul_sample_setup_file() {
    printf '[MANAGE]\r\nPATH=%s\\\r\n[ZOFIXA]\r\nPATH=%s\r\n' "$UL_MANAGE_DIR" "$UL_PRODUCT_DIR"
}

# ul_sample_install PREFIX BIN_DIR: BIN_DIR holds UnzipLauncher.exe and
# FakeUpdater.exe. Sets ul_manage, ul_product and ul_package (host paths).
ul_sample_install() {
    local bin="$2"
    ul_manage=$(ul_host_path "$1" "$UL_MANAGE_DIR")
    ul_product=$(ul_host_path "$1" "$UL_PRODUCT_DIR")
    ul_package=$(ul_host_path "$1" "$UL_PACKAGE_DIR")
    mkdir -p "$ul_manage" "$ul_product" "$ul_package"

    cp "$bin/FakeUpdater.exe" "$ul_manage/Quentabrix.exe"
    : >"$ul_product/Halvo.dll"
    : >"$ul_product/Murtelan.dll"
    ul_sample_setup_file >"$1/drive_c/windows/system32/IxaSetup.ini"

    cp "$bin/UnzipLauncher.exe" "$ul_package/"
    printf 'PK\005\006\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >"$ul_package/update.zip"  # an empty zip
}

# ul_run_launcher PREFIX: runs the launcher from its folder; sets ul_stdout
# and ul_exit_code.
# shellcheck disable=SC2034  # both are read by the caller
ul_run_launcher() {
    ul_exit_code=0
    ul_stdout=$(cd "$ul_package" &&
        WINEPREFIX="$1" wine "$UL_PACKAGE_DIR\\UnzipLauncher.exe") || ul_exit_code=$?
}
