# shellcheck shell=bash
# ul_release_tools: sets UL_LLVM_VERSION, UL_LLVM (LLVM's folder of
# programs) and UL_CLANG_FORMAT (the clang-format program) for the Debian
# release this runs on; on any other system prints one line saying what is supported and
# returns 1.
ul_release_tools() {
    # shellcheck source=scripts/lib/releases.env
    . "$(dirname "${BASH_SOURCE[0]}")/releases.env"
    local id='' version='' llvm format
    # shellcheck source=/dev/null
    [ ! -r /etc/os-release ] || read -r id version < <(. /etc/os-release && echo "${ID:-} ${VERSION_ID:-}")
    llvm="UL_LLVM_$version" format="UL_CLANG_FORMAT_$version"
    if [ "$id" != debian ] || [ -z "$version" ] || [ -z "${!llvm:-}" ]; then
        echo "UnzipLauncher builds on Debian ${UL_RELEASES// / or } only;" \
            "this is ${id:-an unknown system} ${version:-}" >&2
        return 1
    fi
    # For the scripts that source this file.
    export UL_LLVM_VERSION=${!llvm}
    export UL_LLVM=/usr/lib/llvm-${!llvm}/bin
    export UL_CLANG_FORMAT=clang-format-${!format}
}
