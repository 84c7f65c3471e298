#!/usr/bin/env bash
# The test pack unzipped into a fresh prefix (win32, or win64 for WoW64) and
# run through run.cmd on a virtual display: passes when nothing failed and
# Wine refused no window.
#   usage: run-pack.sh ARCH PACK.zip [BUILT_RUNNER.exe]
# With the runner of the build given, a zip older than it is refused: it
# would test another build (scripts/test makes the zip anew).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/lib/wine-prefix.sh"

[ $# -ge 2 ] || { echo "usage: $0 ARCH PACK.zip [BUILT_RUNNER.exe]" >&2; exit 2; }
arch=$1 zip=$2
rm -f "$(dirname "$zip")/run-pack-$arch.txt"
if [ ! -f "$zip" ] || { [ $# -ge 3 ] && [ "$3" -nt "$zip" ]; }; then
    echo "run-pack: $zip is missing or older than the build; make it with" \
        "(cd build/mingw-x86 && cpack -D CPACK_COMPONENTS_ALL=tests)" >&2
    exit 2
fi
prefix=$(ul_new_prefix "$arch") || exit 1
trap 'ul_drop_prefix "$prefix"' EXIT
mkdir -p "$prefix/drive_c/pack"
/usr/bin/python3 -m zipfile -e "$zip" "$prefix/drive_c/pack"
output=$(mktemp)
ul_virtual_display || exit 2
trap 'ul_drop_prefix "$prefix"; rm -f "$output"; kill "$ul_display_pid"' EXIT
# C.UTF-8: Wine then maps non-ASCII file names; the fixture's layout (set by
# wine-prefix.sh) reaches the runner through the environment. Wine's report
# of a window it could not make is kept.
(cd "$prefix/drive_c/pack" &&
    WINEPREFIX="$prefix" LC_ALL=C.UTF-8 WINEDEBUG=-all,err+winediag \
        wine cmd /c run.cmd --test-machine 2>&1) | tee "$output"
rc=${PIPESTATUS[0]}
last=$(tr -d '\r' <"$output" | grep -E '^[0-9]+ passed, ' | tail -n 1)
if grep -q nodrv_CreateWindow "$output"; then
    echo "run-pack: Wine could not make a window that a program of the pack asked for"
    rc=1
fi
summary="run-pack: $arch: run.cmd exited with $rc; its last line: $last"
echo "$summary"
# Beside the zip, for scripts/test to show after CTest, which shows a passing
# test's output to no one.
echo "$summary" >"$(dirname "$zip")/run-pack-$arch.txt"
[ "$rc" -eq 0 ] && [[ $last =~ ^[0-9]+\ passed,\ 0\ failed,\ [0-9]+\ skipped$ ]]
