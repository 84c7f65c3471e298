# shellcheck shell=bash
# Debian's package tools as install-deps and the fresh systems use them
# (what they do when the mirror is half updated: docs/building.md).
#   ul_apt_update WHO CODENAME PREFS   sets ul_apt_left and ul_apt_opts
#   ul_apt_install WHO ARGS...         apt-get install -y with ul_apt_opts
#   ul_apt_why WHO OUTPUT              0 where trying again may help
# ul_sudo (empty as root) prefixes what changes the machine. ul_apt_record is
# where install-deps keeps the lines of a fallback it installed by.

ul_sudo=()
[ "$(id -u)" -eq 0 ] || ul_sudo=(sudo)
ul_apt_opts=() ul_apt_left=()
# shellcheck disable=SC2034  # read by install-deps and check-release
ul_apt_record=/var/lib/unziplauncher/install-deps-fallback
# The machine's own apt may be updating just after boot.
ul_apt_lock=(-o DPkg::Lock::Timeout=300)
ul_apt_mirror="point apt at another Debian mirror (the URIs: lines of \
/etc/apt/sources.list.d/debian.sources, or the deb lines of /etc/apt/sources.list)"

# A file the Release file lists, fetched with another size or hash: the
# mirror is between two of its updates, or stuck there.
ul_apt_mismatch='unexpected size|Hash Sum mismatch|Mirror sync in progress|[Cc]hecksum mismatch|[Ss]ize mismatch'

ul_apt_why() {
    local who=$1 out=$2 line
    line=$(grep -m 1 -E "$ul_apt_mismatch" <<<"$out")
    if [ -n "$line" ]; then
        echo "$who: Debian's mirror serves $(ul_apt_index "$line"), which does not match its" \
            "Release file: the mirror is in the middle of an update, or stuck in one."
        return 0
    fi
    line=$(grep -m 1 -E '404|Not Found|(does not|no longer) ha(ve|s) a Release file|Failed getting release file|[Rr]esolv|Name or service not known|Could not connect' <<<"$out")
    if [ -n "$line" ]; then
        echo "$who: $(ul_apt_index "$line") could not be fetched (not found, no Release file," \
            "or a name that does not resolve): check this machine's apt sources" \
            "(/etc/apt/sources.list and /etc/apt/sources.list.d/)."
        return 1
    fi
    echo "$who: Debian's package tools failed; what they said:"
    return 1
}

# The repository, index or other address a line of apt's or debootstrap's
# names.
ul_apt_index() {
    local name
    name=$(sed -n "s/.*repository '\([^']*\)'.*/\1/p" <<<"$1")
    [ -n "$name" ] ||
        name=$(grep -o -m 1 -E "(https?|ftp)://[^ ']+|file:[^ ']+|dists/[^ ']+" <<<"$1" | head -n 1)
    echo "${name:-an index}"
}

ul_apt_update() {
    local who=$1 codename=$2 prefs=$3 wait=${UL_APT_WAIT:-30} try out line suite
    local busy mismatch other own
    local -a left suites
    for try in 1 2 3; do
        out=$("${ul_sudo[@]}" apt-get update -qq --error-on=any 2>&1) && return 0
        left=() suites=() busy=0 mismatch=0 other=0 own=0
        while IFS= read -r line; do
            suite=$(grep -o -m 1 -E 'dists/[^/ ]+' <<<"$line")
            suite=${suite#dists/}
            case $line in
            'E: Some index files failed to download'*) ;;
            *'Could not get lock'* | *'Unable to lock'*) busy=1 ;;
            *)
                if grep -q -E "$ul_apt_mismatch" <<<"$line"; then
                    mismatch=1
                elif ! grep -q 'is expired' <<<"$line"; then
                    other=1
                fi
                case $suite in
                "$codename-security" | "$codename-updates")
                    left+=("$line")
                    [[ " ${suites[*]} " == *" $suite "* ]] || suites+=("$suite")
                    ;;
                "$codename") own=1 ;;
                *) other=1 ;;
                esac
                ;;
            esac
        done < <(grep '^E:' <<<"$out")
        # A GPG error, a 404, a name that does not resolve, another
        # repository's failure: never ours to work around.
        if [ "$other" -eq 1 ] || [ $((busy + mismatch + ${#left[@]} + own)) -eq 0 ]; then
            ul_apt_why "$who" "$out" >&2
            ul_apt_said "$out"
            return 1
        fi
        if [ $((busy + mismatch)) -eq 0 ] || [ "$try" -eq 3 ]; then
            break
        fi
        echo "$who: apt-get update failed (try $try of 3); trying again in $wait s" >&2
        sleep "$wait"
    done
    if [ "$busy" -eq 1 ]; then
        echo "$who: apt's lists stay locked by another apt-get (this machine's own updates?)" \
            "after 3 tries: wait for it to end, and run this again." >&2
    elif [ "$own" -eq 1 ]; then
        echo "$who: an index of $codename itself still fails after 3 tries (it does not match" \
            "its Release file, or that expired): without it nothing can be installed;" \
            "$ul_apt_mirror, and run this again." >&2
    fi
    if [ $((busy + own)) -gt 0 ]; then
        ul_apt_said "$out"
        return 1
    fi
    for line in "${left[@]}"; do
        suite=$(grep -o -m 1 -E 'dists/[^/ ]+' <<<"$line")
        if grep -q 'is expired' <<<"$line"; then
            line="$(ul_apt_index "$line") (its Release file expired)"
        else
            line="$(ul_apt_index "$line") (it does not match its Release file)"
        fi
        line="left out $line: what ${suite#dists/} offers comes from $codename instead"
        ul_apt_left+=("$line")
        echo "$who: $line, for this install only" >&2
    done
    # Below the release's 500: a package only these suites have still comes
    # from them. The machine's own preferences follow, as they were.
    local main
    eval "$(apt-config shell main Dir::Etc::Preferences/f)"
    {
        for suite in "${suites[@]}"; do
            printf 'Package: *\nPin: release n=%s\nPin-Priority: 100\n\n' "$suite"
        done
        [ ! -r "$main" ] || cat "$main"
    } >"$prefs"
    ul_apt_opts=(-o "Dir::Etc::Preferences=$prefs")
}

ul_apt_install() {
    local who=$1 out
    shift
    out=$(DEBIAN_FRONTEND=noninteractive "${ul_sudo[@]}" apt-get install -y -qq \
        "${ul_apt_lock[@]}" "${ul_apt_opts[@]}" "$@" 2>&1) && return 0
    if [ ${#ul_apt_opts[@]} -gt 0 ]; then
        echo "$who: with the suites above left out, apt cannot resolve the packages. Where" \
            "this machine's own packages already came from them at versions newer than the" \
            "release's, their i386 twins cannot match: upgrade the machine from a mirror that" \
            "serves those suites whole, or $ul_apt_mirror." >&2
    else
        echo "$who: apt-get install failed; what it said:" >&2
    fi
    ul_apt_said "$out"
    return 1
}

# apt's own lines, after ours.
ul_apt_said() {
    grep -E '^(E|W|Err):' <<<"$1" >&2 || echo "$1" >&2
}
