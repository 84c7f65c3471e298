#!/usr/bin/env bash
# Runs the built UnzipLauncher.exe once, as shipped, on the sample product
# installation and checks the whole outcome: exit code, empty standard
# output, the exact log and exactly what the updater received.
#   usage: sample-run.sh BIN_DIR
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/lib/wine-prefix.sh"
. "$here/../../scripts/lib/sample-install.sh"

prefix=$(ul_new_prefix win32) || exit 1
trap 'ul_drop_prefix "$prefix"' EXIT
ul_sample_install "$prefix" "$1"
ul_run_launcher "$prefix"

failures=0
expect() {  # what, expected, actual
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}
destination="$UL_PRODUCT_DIR\\download\\sorvane"
package="$UL_PACKAGE_DIR\\update.zip"
params="\"$destination\" \"$package\""
expect "exit code" 0 "$ul_exit_code"
expect "standard output" "" "$ul_stdout"
expect "c:\\log.ini" "$(printf '[LOG]\r\n0=IsZofixaPath succ[1]!\r\n1=%s\r\n' "$params")" \
    "$(cat "$prefix/drive_c/log.ini")"
# The whole record, line for line, as the other tests compare it.
expect "updater record" "$(printf '%s\n' \
    "commandline=\"$UL_MANAGE_DIR\\Quentabrix.exe\" $params" \
    'argc=3' \
    "argv[1]=$destination" \
    "argv[2]=$package" \
    "cwd=$UL_PACKAGE_DIR" \
    'useshowwindow=1' 'showwindow=0' 'finished=1')" \
    "$(cat "$ul_manage/updater-record.txt")"

echo "$((4 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
