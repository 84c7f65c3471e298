"""The LLVM programs of the Debian release this runs on, and the one folder
of GCC's runtime the toolchain files link from."""
import functools
import glob
import subprocess
import sys
from pathlib import Path

RELEASES = Path(__file__).resolve().parent / "lib" / "releases.sh"


@functools.cache
def llvm_version():
    """The LLVM of this Debian release, as scripts/lib/releases.sh gives it
    to the shell scripts; exits with its line on any other."""
    done = subprocess.run(["bash", "-c", '. "$0" && ul_release_tools && echo "$UL_LLVM_VERSION"',
                           str(RELEASES)], capture_output=True, text=True)
    if done.returncode:
        sys.exit(done.stderr.strip())
    return done.stdout.strip()


def llvm(tool, *args):
    """What one of LLVM's programs (llvm-readobj, llvm-pdbutil) prints."""
    return subprocess.run([f"/usr/lib/llvm-{llvm_version()}/bin/{tool}", *map(str, args)],
                          capture_output=True, text=True, errors="replace", check=True).stdout


def gcc_posix(triplet="i686-w64-mingw32"):
    """GCC's one folder of the posix thread model, with a trailing slash."""
    folders = glob.glob(f"/usr/lib/gcc/{triplet}/*-posix")
    if len(folders) != 1:
        sys.exit(f"expected one /usr/lib/gcc/{triplet}/*-posix folder, found {len(folders)}")
    return folders[0] + "/"
