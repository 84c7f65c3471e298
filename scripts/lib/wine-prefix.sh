# Throwaway 32-bit Wine prefixes, sourced by the scripts beside it.
#
# A template prefix is made once (about 10 s) and kept in $UL_WINE_TEMPLATE;
# each run gets a hard-link copy of it beside the template (a few tens of
# milliseconds) with its own registry files and these drives:
#   A:, B:   empty folders of the prefix, <prefix>/drives/a and b
#   C:       the prefix's drive_c
#   D:       no medium (a link to a missing folder), as an empty card reader
#   E: .. Y: empty folders of the prefix, <prefix>/drives/e .. y
#   Z:       none (a default prefix maps it to the host's /)

: "${UL_WINE_TEMPLATE:=${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/unziplauncher/wine-template}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win32

# Makes the template unless it is there; safe when several runs start at once.
ul_wine_template() {
    [ -f "$UL_WINE_TEMPLATE/system.reg" ] && return 0
    mkdir -p "$(dirname "$UL_WINE_TEMPLATE")"
    (
        flock 9
        [ -f "$UL_WINE_TEMPLATE/system.reg" ] && exit 0
        local staging="$UL_WINE_TEMPLATE.staging.$$"
        rm -rf "$staging"
        WINEPREFIX="$staging" wineboot -i >/dev/null 2>&1
        WINEPREFIX="$staging" wineserver -w
        [ -f "$staging/system.reg" ] || { echo "wine-prefix: wineboot made no prefix" >&2; exit 1; }
        mv "$staging" "$UL_WINE_TEMPLATE"
    ) 9>"$UL_WINE_TEMPLATE.lock"
}

# Prints the path of a new prefix with the drive layout above.
ul_new_prefix() {
    ul_wine_template || return 1
    local prefix
    # Beside the template, so that hard links always work (one file system).
    prefix=$(mktemp -d "$(dirname "$UL_WINE_TEMPLATE")/ul-wine.XXXXXX") || return 1
    rmdir "$prefix"
    cp -al "$UL_WINE_TEMPLATE" "$prefix" || { rm -rf "$prefix"; return 1; }
    # Wine rewrites the registry files in place: they must not be shared.
    rm -f "$prefix"/*.reg
    cp "$UL_WINE_TEMPLATE"/*.reg "$prefix"/
    rm -f "$prefix"/dosdevices/?:
    ln -s ../drive_c "$prefix/dosdevices/c:"
    ln -s "$prefix/no-medium" "$prefix/dosdevices/d:"
    local letter
    for letter in a b e f g h i j k l m n o p q r s t u v w x y; do
        ul_empty_drive "$prefix" "$letter"
    done
    printf '%s\n' "$prefix"
}

# ul_empty_drive PREFIX LETTER: maps the drive to an empty folder of the prefix.
ul_empty_drive() {
    mkdir -p "$1/drives/$2"
    ln -sfn "../drives/$2" "$1/dosdevices/$2:"
}

# Ends the prefix's processes and removes it.
ul_drop_prefix() {
    WINEPREFIX="$1" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$1"
}
