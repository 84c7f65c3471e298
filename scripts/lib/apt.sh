# shellcheck shell=bash
# What Debian's package tools said when they failed, in one line of ours:
# a newcomer must tell a busy mirror from a broken set-up.
#   ul_apt_why WHO OUTPUT   prints "WHO: <what failed and what it means>"
#                           and returns 0 for a mirror in mid-sync (worth
#                           trying again), 1 for anything else
ul_apt_why() {
    local who=$1 out=$2 line
    # A file the Release file lists, fetched with another size or hash:
    # the mirror is between two of its updates.
    line=$(grep -m 1 -E 'unexpected size|Hash Sum mismatch|Mirror sync in progress|[Cc]hecksum mismatch|[Ss]ize mismatch' <<<"$out")
    if [ -n "$line" ]; then
        echo "$who: Debian's mirror is in the middle of an update: $(ul_apt_index "$line") does" \
            "not match its Release file. That is the mirror, not this project: run it again later."
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
