"""Runs the built UnzipLauncher.exe in a throwaway Wine prefix, for what
only Wine can show, checked from the Linux side. UL_BIN_DIR holds the
built programs; UL_TIME_SCALE widens the suite's own margins."""
import os
import re
import shlex
import shutil
import subprocess
from dataclasses import dataclass
from pathlib import Path, PureWindowsPath

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build" / "mingw-x86"
BIN = Path(os.environ.get("UL_BIN_DIR", BUILD / "bin"))
PREFIX_LIB = ROOT / "scripts" / "lib" / "wine-prefix.sh"


def _read_fixture():
    """scripts/lib/fixture.env: the sample installation and the drive layout,
    NAME='value' lines, read as the shell reads them."""
    text = (ROOT / "scripts" / "lib" / "fixture.env").read_text()
    pairs = (line.split("=", 1) for line in text.splitlines()
             if line.strip() and not line.startswith("#"))
    return {name: shlex.split(value)[0] for name, value in pairs}


FIXTURE = _read_fixture()

UPDATER = "Quentabrix.exe"
LAUNCHER = "UnzipLauncher.exe"
# The sample installation: its updater, its product folder, and the folder
# of the launcher and update.zip.
SAMPLE_UPDATER = FIXTURE["UL_MANAGE_DIR"] + "\\" + UPDATER
PRODUCT = FIXTURE["UL_PRODUCT_DIR"] + "\\"
FOLDER = FIXTURE["UL_PACKAGE_DIR"]


def _read_log_texts():
    """The launcher's log texts as tests/support/LogTexts.h spells them for
    every test program: kName = L"text" lines."""
    header = (ROOT / "tests" / "support" / "LogTexts.h").read_text()
    return dict(re.findall(r'const std::wstring (k\w+) = L"((?:[^"\\]|\\.)*)";', header))


LOG_TEXTS = _read_log_texts()
SUCC1 = LOG_TEXTS["kSucc1"]
NO_UPDATER = LOG_TEXTS["kNoUpdater"]
NO_START_FUNCTION = LOG_TEXTS["kNoStartFunction"]
RECORD = "updater-record.txt"
SYSTEM32 = "C:\\windows\\system32"
TIME_SCALE = float(os.environ.get("UL_TIME_SCALE", "1"))


def slack(seconds):
    """One of the suite's own time margins, wider on a slower machine. The
    launcher's two-minute bound is never scaled."""
    return seconds * TIME_SCALE


# No run may take longer than the launcher's own two-minute bound and this.
RUN_TIMEOUT = 120 + slack(60)
WINDOW_ATTEMPT = "nodrv_CreateWindow"


def _prefix_lib_command(*command):
    """A call of a function of scripts/lib/wine-prefix.sh or sample-install.sh."""
    return ["bash", "-c", '. "$0"; . "${0%/*}/sample-install.sh"; "$@"', str(PREFIX_LIB),
            *command]


def ansi(text):
    """Text as the system's profile writer stores it: Wine writes a new INI
    file in the ANSI code page (1252 in the tests' locale), with "?" for
    characters outside it, as Windows does with that system code page."""
    return text.encode("cp1252", errors="replace")


def log_file(entries):
    """The exact bytes of c:\\log.ini: [LOG] with entries numbered from 0."""
    return b"[LOG]\r\n" + b"".join(
        ansi(f"{i}={text}") + b"\r\n" for i, text in enumerate(entries))


def params(destination, package):
    return f'"{destination}" "{package}"'


def arguments(product, folder):
    """What the updater receives for a product folder (with its trailing
    backslash) and the folder of the launcher and update.zip."""
    return params(product + "download\\sorvane", folder + "\\update.zip")


TYPICAL_RUN = arguments(PRODUCT, FOLDER)  # the sample installation's


@dataclass
class Run:
    exit_code: int
    stdout: bytes
    stderr: str

    def window_attempts(self):
        return [line for line in self.stderr.splitlines() if WINDOW_ATTEMPT in line]


class Sandbox:
    """One throwaway prefix (32-bit, or win64 for WoW64) with the drives of
    scripts/lib/fixture.env. Paths given to its methods are Windows paths."""

    def __init__(self, workdir, arch="win32"):
        self.workdir = Path(workdir)
        self.prefix = Path(subprocess.run(_prefix_lib_command("ul_new_prefix", arch), check=True,
                                          stdout=subprocess.PIPE, text=True).stdout.strip())
        self.updaters = []
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        # C.UTF-8: Wine then maps non-ASCII file names and command lines.
        self.env.update(WINEPREFIX=str(self.prefix), LC_ALL="C.UTF-8", WINEDEBUG="-all")
        # A persistent server and one program run first: the first start in a
        # prefix brings up Wine's own desktop process, whose window attempts
        # must not be taken for the launcher's.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, check=True, timeout=slack(60),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def close(self):
        """Ends the prefix's processes and removes it."""
        subprocess.run(_prefix_lib_command("ul_drop_prefix", str(self.prefix)), check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)

    def host(self, path):
        """The Linux path of a Windows path such as C:\\a\\b."""
        win = PureWindowsPath(path)
        return (self.prefix / "dosdevices" / win.drive.lower()).joinpath(*win.parts[1:])

    def put(self, source, path):
        """A copy of the host file source at path. Whatever is there is removed
        first: the prefix's own files are hard links of its template's, and a
        copy written into one would change every prefix made from it."""
        target = self.host(path)
        target.unlink(missing_ok=True)
        shutil.copyfile(source, target)

    def install(self):
        """The sample installation of scripts/lib/fixture.env, laid out by the
        test program's own procedure (scripts/lib/sample-install.sh); returns
        the launcher's Windows path."""
        subprocess.run(_prefix_lib_command("ul_sample_install", str(self.prefix), str(BIN)),
                       env=self.env, check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, timeout=slack(120))
        self.updaters.append(SAMPLE_UPDATER)
        return FOLDER + "\\" + LAUNCHER

    def remove_updater(self, path):
        """Removes an updater and what it recorded in an earlier run."""
        self.host(path).unlink()
        self._record_file(path).unlink(missing_ok=True)

    # --- running and reading back ---

    def run(self, exe, env=None, args=(), loader="wine", cwd=None):
        """Runs exe from its own folder (or from the Windows folder cwd), as a
        double click would, with Wine reporting every window attempt. Debian's
        wine is the 32-bit loader; a 64-bit program needs /usr/lib/wine/wine64."""
        run_env = {**self.env, "WINEDEBUG": "err+winediag", **(env or {})}
        stdout, stderr = self.workdir / "stdout", self.workdir / "stderr"
        # Files, not pipes: an updater left running keeps a pipe open.
        with open(stdout, "wb") as out, open(stderr, "wb") as err:
            process = subprocess.Popen([loader, exe, *args],
                                       cwd=self.host(cwd) if cwd else self.host(exe).parent,
                                       env=run_env, stdin=subprocess.DEVNULL,
                                       stdout=out, stderr=err)
            try:
                code = process.wait(timeout=RUN_TIMEOUT)
            except subprocess.TimeoutExpired:
                process.kill()
                raise AssertionError(f"the launcher still runs after {RUN_TIMEOUT} s")
        return Run(code, stdout.read_bytes(), stderr.read_text(errors="replace"))

    def log(self):
        """c:\\log.ini as bytes, or None when there is no such file."""
        host = self.host(r"C:\log.ini")
        return host.read_bytes() if host.is_file() else None

    def _record_file(self, updater):
        """Where the updater stand-in at this path records: beside itself."""
        return self.host(str(PureWindowsPath(updater).parent / RECORD))

    def ran(self):
        """Which of the updaters placed ran: their record is there."""
        return {path: self._record_file(path).exists() for path in self.updaters}


def check_run(sandbox, run, log, started=None):
    """What every case asserts: exit code 0, nothing on standard output, no
    window attempt, the exact log (bytes, or None for no file) and which
    updater ran (started, or None when none may have). Exactly what it
    received is the test pack's to check."""
    assert run.exit_code == 0
    assert run.stdout == b""
    assert run.window_attempts() == []
    assert sandbox.log() == log
    assert sandbox.ran() == {path: path == started for path in sandbox.updaters}
