# A product installation as its installer would lay it out, in a prefix made
# by wine-prefix.sh, with the launcher and a sample update.zip as downloaded.
# Sourced by scripts/demo and the sample-run test.

# ul_sample_install PREFIX BIN_DIR: BIN_DIR holds UnzipLauncher.exe and
# FakeUpdater.exe. Sets ul_manage, ul_product and ul_package (host paths).
ul_sample_install() {
    local c="$1/drive_c" bin="$2"
    ul_manage="$c/Program Files/Zof/Manage"
    ul_product="$c/Program Files/Zof/ZOFIXA"
    ul_package="$c/users/Public/Update Package"
    mkdir -p "$ul_manage" "$ul_product" "$ul_package"

    cp "$bin/FakeUpdater.exe" "$ul_manage/Quentabrix.exe"
    : >"$ul_product/Halvo.dll"
    : >"$ul_product/Murtelan.dll"
    printf '[MANAGE]\r\nPATH=C:\\Program Files\\Zof\\Manage\\\r\n[ZOFIXA]\r\nPATH=C:\\Program Files\\Zof\\ZOFIXA\r\n' \
        >"$c/windows/system32/IxaSetup.ini"

    cp "$bin/UnzipLauncher.exe" "$ul_package/"
    printf 'PK\005\006\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >"$ul_package/update.zip"  # an empty zip
}

# ul_run_launcher PREFIX: runs the launcher from its folder; sets ul_stdout
# and ul_exit_code.
ul_run_launcher() {
    ul_exit_code=0
    ul_stdout=$(cd "$ul_package" &&
        WINEPREFIX="$1" wine 'C:\users\Public\Update Package\UnzipLauncher.exe') || ul_exit_code=$?
}
