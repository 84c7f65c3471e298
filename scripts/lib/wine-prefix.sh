# shellcheck shell=bash
# Throwaway Wine prefixes, sourced by the scripts beside it.
#
# All Wine state of a build lives in $UL_WINE_DIR (by default the mingw-x86
# build's wine/; this is the one place that says so): a template prefix per
# architecture and drive layout, and each run's hard-link copy of it.

: "${UL_WINE_DIR:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/mingw-x86/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
# Wine 10 also tries a Wayland display, whose library prints an error on
# every start where XDG_RUNTIME_DIR is unset (as for root in CI); a folder
# of Wine's own, with no display in it, keeps it quiet.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR=$UL_WINE_DIR/runtime
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
fi
set -a
. "$(dirname "${BASH_SOURCE[0]}")/fixture.env"
set +a

# ul_wine_template [ARCH]: makes the template of ARCH (win32, the default, or
# win64) unless it is there, and prints its path; safe when several runs
# start at once. When Wine cannot make it, Wine's own output is shown. Its
# name carries the checksum of fixture.env and this file: another layout gets
# another template.
ul_wine_template() {
    local arch=${1:-win32} layout
    read -r layout _ < <(cat "$(dirname "${BASH_SOURCE[0]}")"/{fixture.env,wine-prefix.sh} | cksum)
    local template="$UL_WINE_DIR/template-$arch-$layout"
    if [ ! -f "$template/system.reg" ]; then
        mkdir -p "$UL_WINE_DIR"
        (
            flock 9
            [ -f "$template/system.reg" ] && exit 0
            local staging="$template.staging.$$"
            echo "wine-prefix: making the $arch template prefix (once per build; natively" \
                "10 to 20 s, emulated 1 to 3 minutes)" >&2
            rm -rf "$staging"
            # Without a display, whatever the caller has.
            WINEPREFIX="$staging" WINEARCH=$arch DISPLAY='' wineboot -i >"$staging.log" 2>&1
            WINEPREFIX="$staging" wineserver -w >>"$staging.log" 2>&1
            # No crash dialog: a crashing helper must not leave a window
            # that fails unrelated cases.
            printf '\n[Software\\\\Wine\\\\WineDbg] 1700000000\n"ShowCrashDialog"=dword:00000000\n' \
                >>"$staging/user.reg"
            if [ ! -f "$staging/system.reg" ]; then
                echo "wine-prefix: wineboot made no $arch prefix; Wine said:" >&2
                sed 's/^/    /' "$staging.log" >&2
                rm -rf "$staging" "$staging.log"
                exit 1
            fi
            rm -f "$staging.log"
            ul_drive_layout "$staging"
            mv "$staging" "$template"
        ) 9>"$template.lock" || return 1
    fi
    printf '%s\n' "$template"
}

# ul_new_prefix [ARCH]: prints the path of a new prefix with the drive layout
# above.
ul_new_prefix() {
    local template prefix
    template=$(ul_wine_template "${1:-win32}") || return 1
    # Beside the template, so that hard links always work (one file system).
    prefix=$(mktemp -d "$UL_WINE_DIR/ul-wine.XXXXXX") || return 1
    cp -al "$template/." "$prefix/" || { rm -rf "$prefix"; return 1; }
    # Wine rewrites the registry files in place: they must not be shared.
    cp --remove-destination "$template"/*.reg "$prefix"/ || { rm -rf "$prefix"; return 1; }
    printf '%s\n' "$prefix"
}

# ul_drive_layout PREFIX: the drives of fixture.env, in place of wineboot's.
ul_drive_layout() {
    rm -f "$1"/dosdevices/?:
    ln -s ../drive_c "$1/dosdevices/c:"
    # A link to a missing folder: Wine reports a drive without a medium.
    ln -sfn ../no-medium "$1/dosdevices/$UL_NO_MEDIUM_DRIVE:"
    local letter
    for letter in $(echo "$UL_EMPTY_DRIVES" | grep -o .); do
        ul_empty_drive "$1" "$letter"
    done
    # Wine looks shares up in dosdevices/unc/.
    mkdir -p "$1/shares/$UL_SHARE_SERVER/$UL_SHARE_NAME" "$1/dosdevices/unc/$UL_SHARE_SERVER"
    ln -sfn "../../../shares/$UL_SHARE_SERVER/$UL_SHARE_NAME" \
        "$1/dosdevices/unc/$UL_SHARE_SERVER/$UL_SHARE_NAME"
}

# ul_empty_drive PREFIX LETTER: maps the drive to an empty folder of the prefix.
ul_empty_drive() {
    mkdir -p "$1/drives/$2"
    ln -sfn "../drives/$2" "$1/dosdevices/$2:"
}

# ul_host_path PREFIX 'C:\a\b': the Linux path of a path on the prefix's C:.
ul_host_path() {
    local rest=${2#[Cc]:}
    printf '%s/drive_c%s\n' "$1" "${rest//\\//}"
}

# ul_virtual_display: starts a virtual X display (Debian's xvfb) for this
# shell and its children, as Wine's own test machines have, and exports
# DISPLAY. Without one Wine refuses every window, and a check for windows
# could never fail. The caller ends it: kill "$ul_display_pid".
# shellcheck disable=SC2034  # read by the caller
ul_virtual_display() {
    command -v Xvfb >/dev/null || { echo "wine-prefix: Xvfb is missing (Debian's xvfb)" >&2; return 1; }
    local number
    number=$(mktemp)
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$number" >/dev/null 2>&1 &
    ul_display_pid=$!
    for _ in $(seq 200); do
        [ -s "$number" ] && break
        sleep 0.1
    done
    DISPLAY=:$(head -n 1 "$number")
    rm -f "$number"
    [ "$DISPLAY" != : ] || { echo "wine-prefix: Xvfb did not start" >&2; return 1; }
    export DISPLAY
}

# Ends the prefix's processes and removes it.
ul_drop_prefix() {
    WINEPREFIX="$1" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$1"
}
