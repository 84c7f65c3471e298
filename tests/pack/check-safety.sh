#!/usr/bin/env bash
# The test pack's promises on a machine (its README's), shown in a Wine
# prefix: no flag, no change; a refusal; a restore after a killed run; a
# journal left behind.
#   usage: check-safety.sh PACK.zip
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/lib/wine-prefix.sh"

[ $# -eq 1 ] || { echo "usage: $0 PACK.zip" >&2; exit 2; }
prefix=$(ul_new_prefix win32) || exit 1
trap 'ul_drop_prefix "$prefix"' EXIT
c=$prefix/drive_c
mkdir -p "$c/pack"
/usr/bin/python3 -m zipfile -e "$1" "$c/pack"
# Only C: and the drive without a medium: the runner defines the letters the
# cases use itself, as on Windows (Wine then shows no files under them).
for link in "$prefix"/dosdevices/?:; do
    case $link in */c: | */"$UL_NO_MEDIUM_DRIVE":) ;; *) rm "$link" ;; esac
done
unset UL_EMPTY_DRIVES
export WINEPREFIX=$prefix LC_ALL=C.UTF-8
# One server for all runs: a drive letter defined by a killed run lives there.
wineserver -p
ul_virtual_display || exit 2
trap 'ul_drop_prefix "$prefix"; kill "$ul_display_pid"' EXIT

failures=0
check() {  # what, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); return 1; fi
}
lacks() { ! grep -qi "$1" <<<"$2"; }  # text, then where it must not be
runner() {  # runs the runner from the pack folder; prints its output
    (cd "$c/pack" && wine 'C:\pack\UnzipLauncherTests.exe' "$@")
}
state() {  # what the runner may change, as one listing
    (cd "$c" && find . -path ./pack -prune -o -path ./windows -prune -o -print | sort
        md5sum log.ini windows/system32/IxaSetup.ini 2>/dev/null)
}
setup=$c/windows/system32/IxaSetup.ini
printf '[LOG]\r\n0=the machine'"'"'s own log\r\n' >"$c/log.ini"
original_log=$(md5sum <"$c/log.ini")

echo "== the pack's README"
named=$(sed -n '/^What this is/,/^\r\?$/p' "$c/pack/README.txt" |
    grep -o '[A-Za-z0-9]*\.\(exe\|dll\|cmd\)' | sort -u)
held=$(find "$c/pack" -maxdepth 1 \( -name '*.exe' -o -name '*.dll' -o -name '*.cmd' \) \
    -printf '%f\n' | sort -u)
check "names exactly the programs the pack holds" [ "$named" = "$held" ]
# Each place the guard knows, as the README lists it (indented, a note
# after two spaces): this folder, a drive the tests define and the share in
# words.
listed=$(tr -d '\r' <"$c/pack/README.txt" |
    sed -n 's/^    \([^ ]\([^ ]\| [^ ]\)*\).*/\1/p' | tr '[:upper:]' '[:lower:]')
share="\\\\$UL_SHARE_SERVER\\$UL_SHARE_NAME\\"
unlisted=$(UL_EMPTY_DRIVES=e runner --list-places | tr -d '\r' | tr '[:upper:]' '[:lower:]' |
    while IFS= read -r place; do
        case $place in
            "c:\\pack\\"*) place="<this folder>\\${place#"c:\\pack\\"}" ;;
            "e:\\"*) place="<drive>:\\${place#"e:\\"}" ;;
            "${share,,}"*) place="\\\\<server>\\<share>\\${place#"${share,,}"}" ;;
        esac
        grep -qxF "$place" <<<"$listed" || echo "$place"
    done)
echo "${unlisted:+not in the README: $unlisted}"
check "lists every place the tests create" [ -z "$unlisted" ]

echo "== without --test-machine"
before=$(state)
out=$(runner); rc=$?
echo "$out"
check "exits non-zero" [ "$rc" -ne 0 ]
check "says why in one line" [ "$(grep -c 'not run:' <<<"$out")" -eq 1 ]
check "changes nothing" [ "$before" = "$(state)" ]

echo "== a product installed"
for place in windows/system32/IxaSetup.ini 'Program Files/Zof' Zof; do
    mkdir -p "$c/$(dirname "$place")"
    printf '[MANAGE]\r\nPATH=C:\\Program Files\\Zof\\Manage\r\n' >"$c/$place"
    before=$(state)
    out=$(runner --test-machine); rc=$?
    echo "$out"
    check "refuses, exit code non-zero: $place" [ "$rc" -ne 0 ]
    check "says why: $place" grep -q "not run: .*${place##*/} exists, .*is the product installed" <<<"$out"
    check "changes nothing: $place" [ "$before" = "$(state)" ]
    rm -r "${c:?}/$place"
done

echo "== killed in the middle of a case"
before=$(state)
runner --test-machine --gtest_filter='SlowCases.*' >"$c/pack/killed.out" 2>&1 &
killed=$!
for _ in $(seq 600); do
    [ -f "$c/Program Files/Zof/Manage/updater-record.txt" ] && break
    sleep 0.5
done
check "the case had laid out its installation" [ -f "$setup" ]
check "the case had replaced c:\\log.ini" [ "$(md5sum <"$c/log.ini" 2>/dev/null)" != "$original_log" ]
# This prefix's runner only: other tests may run the pack beside this one.
for pid in $(pgrep -f 'UnzipLauncherTests.exe'); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix"; then
        kill -9 "$pid"
    fi
done
wait "$killed"
check "a journal is left, with c:\\log.ini in it" [ -f "$c/pack/journal/log.ini" ]
out=$(runner --test-machine --gtest_filter=-*); rc=$?
echo "$out"
check "the next start restores first" grep -q 'a run was killed before it restored' <<<"$out"
check "the setup file is removed" [ ! -e "$setup" ]
check "c:\\log.ini is put back" [ "$(md5sum <"$c/log.ini")" = "$original_log" ]
check "the drive letters are removed" grep -q 'restore: removed the drive E:' <<<"$out"
check "the machine is as before" [ "$before" = "$(state)" ]
check "the journal is gone" [ ! -e "$c/pack/journal" ]
check "the run then ends normally" [ "$rc" -eq 0 ]
check "GoogleTest wrote test-results.xml, as the README says" [ -s "$c/pack/test-results.xml" ]

echo "== a journal left before c:\\log.ini was set aside, one with no log, one of an older pack"
mkdir "$c/pack/journal"
out=$(runner --test-machine --gtest_filter=-*); rc=$?
echo "$out"
check "the machine's c:\\log.ini is kept" [ "$(md5sum <"$c/log.ini")" = "$original_log" ]
check "the run ends normally" [ "$rc" -eq 0 ]
check "that journal is gone" [ ! -e "$c/pack/journal" ]
mv "$c/log.ini" "$c/pack/machine-log.ini"
mkdir "$c/pack/journal" && : >"$c/pack/journal/no-log" && echo "the tests'" >"$c/log.ini"
runner --test-machine --gtest_filter=-*
check "where the machine had no log, the tests' is removed" [ ! -e "$c/log.ini" ]
mv "$c/pack/machine-log.ini" "$c/log.ini"
mkdir "$c/pack/journal" && echo "an older pack's" >"$c/pack/journal/saved-1"
printf '[MANAGE]\r\nPATH=C:\\Program Files\\Zof\\Manage\r\n' >"$setup"  # a place a restore removes
before=$(state)
out=$(runner --test-machine --gtest_filter=-*); rc=$?
echo "$out"
check "refuses to run, and says why" grep -q 'not run: .*journal.* holds what' <<<"$out"
check "exits with 2" [ "$rc" -eq 2 ]
check "changes nothing" [ "$before" = "$(state)" ]
check "keeps what it did not put there" [ -f "$c/pack/journal/saved-1" ]
rm -r "$c/pack/journal" "$setup"

echo "== a machine of its own: E: holds data, C:/tools exists"
# E: is no drive of the tests: a test that needs it must stop at its skip,
# before it creates anything there.
mkdir -p "$prefix/data-e/Data" "$c/tools"
echo "the machine's own" >"$prefix/data-e/Data/kept.txt"
ln -s ../data-e "$prefix/dosdevices/e:"
listing_e() { (cd "$prefix/data-e" && find . | sort && md5sum Data/kept.txt); }
before_e=$(listing_e)
before=$(state)
out=$(runner --test-machine --gtest_filter='LaunchTest.*:ExistenceTest.*:HardeningDeathTest.*:RunCases.Default*:DiscoveryCases.*'); rc=$?
echo "$out"
check "runs, and nothing fails" [ "$rc" -eq 0 ]
check "the tests that need E: skip" grep -q 'skipped LaunchTest.*needs the empty drives e' <<<"$out"
check "E: is as before" [ "$before_e" = "$(listing_e)" ] ||
    diff <(echo "$before_e") <(listing_e)
check "C:\\tools and the rest are as before" [ "$before" = "$(state)" ]
check "no refusal or skip speaks of an installed product" lacks installed "$out"

wineserver -k
echo "check-safety: $failures failed"
[ "$failures" -eq 0 ]
