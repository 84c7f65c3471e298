"""The tools of the Debian release this runs on (scripts/lib/releases.env),
for the scripts that call an LLVM program or name the compiler, and the one
folder of GCC's runtime the toolchain files link from."""
import glob
import re
import sys
from pathlib import Path

RELEASES = Path(__file__).resolve().parent / "lib" / "releases.env"


def release_versions():
    """(LLVM version, clang-format version) of this Debian release; exits
    with one line on any other system."""
    values = dict(re.findall(r"^(UL_[A-Z_0-9]+)='([^']*)'$", RELEASES.read_text(), re.MULTILINE))
    os_release = dict(re.findall(r'^([A-Z_]+)="?([^"\n]*)"?$',
                                 Path("/etc/os-release").read_text(), re.MULTILINE))
    version = os_release.get("VERSION_ID", "")
    if os_release.get("ID") != "debian" or f"UL_LLVM_{version}" not in values:
        sys.exit(f"UnzipLauncher builds on Debian {' or '.join(values['UL_RELEASES'].split())} "
                 f"only; this is {os_release.get('ID', 'an unknown system')} {version}")
    return values[f"UL_LLVM_{version}"], values[f"UL_CLANG_FORMAT_{version}"]


def llvm_tool(name):
    """The path of one of LLVM's programs, as the build uses it."""
    return f"/usr/lib/llvm-{release_versions()[0]}/bin/{name}"


def gcc_posix(triplet="i686-w64-mingw32"):
    """GCC's one folder of the posix thread model, with a trailing slash."""
    folders = glob.glob(f"/usr/lib/gcc/{triplet}/*-posix")
    if len(folders) != 1:
        sys.exit(f"expected one /usr/lib/gcc/{triplet}/*-posix folder, found {len(folders)}")
    return folders[0] + "/"
