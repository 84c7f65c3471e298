#!/usr/bin/env bash
# The binary check's Control Flow Guard rule on a program linked with the
# guard against the shipped exe's runtime: it fails, and names the functions
# Windows calls that the runtime leaves out of the guard table (a TLS
# callback, an initializer, a function handed to atexit).
#   usage: guard-rule.sh CHECK-BINARY EXE MAP
set -uo pipefail
check=$1 exe=$2 map=$3
report=$("$check" "$exe" --version 1.0.0.0 --map "$map")
rc=$?
fails=0
if [ $rc -ne 1 ]; then
    echo "guard-rule: the check exited $rc, not 1"
    fails=1
fi
for name in '___dyn_tls_init@12' '_pre_c_init' '___do_global_dtors'; do
    if grep -qF "FAIL: mitigation missing: Control Flow Guard off, or every call target in its table: $name is not in the guard table" <<<"$report"; then
        echo "guard-rule: names $name"
    else
        echo "guard-rule: does not name $name"
        fails=1
    fi
done
[ $fails -eq 0 ] || grep 'Control Flow Guard' <<<"$report"
exit $fails
