"""Runs the built UnzipLauncher.exe in a throwaway 32-bit Wine prefix of its
own, for what only Wine can show (its traces, DLL overrides), checked from
the Linux side. Every other end-to-end case lives in the test pack's runner
(tests/pack).

Environment: UL_BIN_DIR holds UnzipLauncher.exe and the updater stand-ins,
UL_WINE_DIR the Wine state (both default to the mingw-x86 build);
UL_TIME_SCALE (set in an emulated machine) widens the suite's own margins.
"""
import os
import re
import shlex
import shutil
import subprocess
import time
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


def _read_log_texts():
    """The launcher's log texts as tests/support/LogTexts.h spells them for
    every test program: kName = L"text" lines."""
    header = (ROOT / "tests" / "support" / "LogTexts.h").read_text()
    return dict(re.findall(r'const std::wstring (k\w+) = L"((?:[^"\\]|\\.)*)";', header))


LOG_TEXTS = _read_log_texts()
SUCC1 = LOG_TEXTS["kSucc1"]
NO_UPDATER = LOG_TEXTS["kNoUpdater"]
NO_START_FUNCTION = LOG_TEXTS["kNoStartFunction"]
LAUNCHER = "UnzipLauncher.exe"
RECORD = "updater-record.txt"
EMPTY_ZIP = b"PK\x05\x06" + bytes(18)
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
    """A call of a function of scripts/lib/wine-prefix.sh."""
    return ["bash", "-c", '. "$0"; "$@"', str(PREFIX_LIB), *command]


def _prefix_lib(*command):
    """Calls a function of scripts/lib/wine-prefix.sh and returns its output."""
    done = subprocess.run(_prefix_lib_command(*command), check=True,
                          stdout=subprocess.PIPE, text=True)
    return done.stdout.strip()


def ansi(text):
    """Text as the system's profile writer stores it: Wine writes a new INI
    file in the ANSI code page (1252 in the tests' locale), with "?" for
    characters outside it, as Windows does with that system code page."""
    return text.encode("cp1252", errors="replace")


def log_file(entries, before=b""):
    """The exact bytes of c:\\log.ini: [LOG] with entries numbered from 0
    (a list of texts) or given as (key, text) pairs."""
    pairs = [e if isinstance(e, tuple) else (str(i), e) for i, e in enumerate(entries)]
    return before + b"[LOG]\r\n" + b"".join(
        ansi(key) + b"=" + ansi(text) + b"\r\n" for key, text in pairs)


def params(destination, package):
    return f'"{destination}" "{package}"'


@dataclass
class Run:
    exit_code: int
    stdout: bytes
    stderr: str
    seconds: float

    def window_attempts(self):
        return [line for line in self.stderr.splitlines() if WINDOW_ATTEMPT in line]


class Sandbox:
    """One throwaway 32-bit prefix with the drives of scripts/lib/fixture.env.
    Paths given to its methods are Windows paths."""

    def __init__(self, workdir):
        self.workdir = Path(workdir)
        self.prefix = Path(_prefix_lib("ul_new_prefix", "win32"))
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
        """Starts ending the prefix's processes and removing it, which takes
        most of a second; the caller waits for the returned process."""
        return subprocess.Popen(_prefix_lib_command("ul_drop_prefix", str(self.prefix)),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    # --- the file system, through the prefix's drive links ---

    def host(self, path):
        """The Linux path of a Windows path such as C:\\a\\b."""
        win = PureWindowsPath(path)
        return (self.prefix / "dosdevices" / win.drive.lower()).joinpath(*win.parts[1:])

    def write(self, path, data=b""):
        host = self.host(path)
        host.parent.mkdir(parents=True, exist_ok=True)
        host.write_bytes(data)

    def mkdir(self, path):
        self.host(path).mkdir(parents=True, exist_ok=True)

    # --- the product and the launcher ---

    def setup(self, manage, zofixa):
        """A setup file in the system directory with [MANAGE] and [ZOFIXA]."""
        text = f"[MANAGE]\r\nPATH={manage}\r\n[ZOFIXA]\r\nPATH={zofixa}\r\n"
        self.write(SYSTEM32 + "\\IxaSetup.ini", text.encode("ascii"))

    def product(self, directory, markers=("Halvo.dll", "Murtelan.dll")):
        for marker in markers:
            self.write(str(PureWindowsPath(directory, marker)))

    def updater(self, directory):
        """The updater stand-in as Quentabrix.exe in directory; returns its
        path."""
        path = str(PureWindowsPath(directory, UPDATER))
        self.mkdir(directory)
        shutil.copyfile(BIN / "FakeUpdater.exe", self.host(path))
        self.updaters.append(path)
        return path

    def remove_updater(self, path):
        """Removes an updater and what it recorded in an earlier run."""
        self.host(path).unlink()
        self._record_file(path).unlink(missing_ok=True)

    def launcher(self, directory):
        """UnzipLauncher.exe in directory, with update.zip beside it."""
        path = str(PureWindowsPath(directory, LAUNCHER))
        self.mkdir(directory)
        shutil.copyfile(BIN / LAUNCHER, self.host(path))
        self.write(str(PureWindowsPath(directory, "update.zip")), EMPTY_ZIP)
        return path

    # --- running and reading back ---

    def run(self, exe, env=None):
        """Runs exe from its own folder, as a double click would, with Wine
        reporting every window attempt."""
        run_env = {**self.env, "WINEDEBUG": "err+winediag", **(env or {})}
        stdout, stderr = self.workdir / "stdout", self.workdir / "stderr"
        started = time.monotonic()
        # Files, not pipes: an updater left running keeps a pipe open.
        with open(stdout, "wb") as out, open(stderr, "wb") as err:
            process = subprocess.Popen(["wine", exe], cwd=self.host(exe).parent,
                                       env=run_env, stdin=subprocess.DEVNULL,
                                       stdout=out, stderr=err)
            try:
                code = process.wait(timeout=RUN_TIMEOUT)
            except subprocess.TimeoutExpired:
                process.kill()
                raise AssertionError(f"the launcher still runs after {RUN_TIMEOUT} s")
        return Run(code, stdout.read_bytes(), stderr.read_text(errors="replace"),
                   time.monotonic() - started)

    def log(self):
        """c:\\log.ini as bytes, or None when there is no such file."""
        host = self.host(r"C:\log.ini")
        return host.read_bytes() if host.is_file() else None

    @staticmethod
    def record_path(updater):
        """Where the updater stand-in at this path records (beside itself),
        as a Windows path."""
        return PureWindowsPath(updater).parent / RECORD

    def _record_file(self, updater):
        return self.host(str(self.record_path(updater)))

    def record(self, updater):
        """What the updater stand-in at this path recorded, as a dict, or
        None when it never ran."""
        host = self._record_file(updater)
        if not host.exists():
            return None
        lines = host.read_text(encoding="utf-8").splitlines()
        return dict(line.split("=", 1) for line in lines)

    def records(self):
        return {path: self.record(path) for path in self.updaters}


def expected_record(updater, destination, package, cwd, finished=True):
    """What the updater stand-in records when started as the launcher must
    start it: hidden, the raw command line ending in the two quoted
    arguments, destination first."""
    record = {
        "commandline": f'"{updater}" {params(destination, package)}',
        "argc": "3",
        "argv[1]": destination,
        "argv[2]": package,
        "cwd": cwd,
        "useshowwindow": "1",
        "showwindow": "0",
    }
    if finished:
        record["finished"] = "1"
    return record


def check_run(sandbox, run, log, started=None, finished=True):
    """What every case asserts: exit code 0, nothing on standard output, no
    window attempt, the exact log (bytes, or None for no file) and which
    updater ran with exactly what: started is (updater, destination,
    package, cwd), or None when no updater may have run."""
    assert run.exit_code == 0
    assert run.stdout == b""
    assert run.window_attempts() == []
    assert sandbox.log() == log
    expected = {path: None for path in sandbox.updaters}
    if started is not None:
        expected[started[0]] = expected_record(*started, finished=finished)
    assert sandbox.records() == expected
