"""Runs the built UnzipLauncher.exe as a customer's machine would: a fresh
process in a throwaway Wine prefix of its own (a 32-bit Windows, or a 64-bit
one for the WoW64 cases), real files, a real child process. Everything is
checked from the Linux side, not through Wine.

Environment: UL_BIN_DIR holds UnzipLauncher.exe and the updater stand-ins,
UL_WINE_DIR the Wine state (both default to the mingw-x86 build);
UL_TIME_SCALE (set in an emulated machine) widens the suite's own margins.
"""
import os
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

# The launcher's log texts, each written here once.
SUCC1 = "IsZofixaPath succ[1]!"
SUCC2 = "IsZofixaPath succ[2]!"
COM = "GetZofixaPath com!"
NO_UPDATER = "GetRegManPath no exists, path="
NO_PRODUCT = "GetZofixaPath no exists, path="
NO_PACKAGE = "GetUnzipPackPath no exists, path="
LAUNCHER = "UnzipLauncher.exe"
RECORD = "updater-record.txt"
EMPTY_ZIP = b"PK\x05\x06" + bytes(18)
SYSTEM32 = "C:\\windows\\system32"
# The prefix's one share, as a UNC path.
SHARE = f"\\\\{FIXTURE['UL_SHARE_SERVER']}\\{FIXTURE['UL_SHARE_NAME']}"
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


class Launch:
    """A launcher run in progress (for checks while it waits)."""

    def __init__(self, process, stdout, stderr, started):
        self._process, self._stdout, self._stderr = process, stdout, stderr
        self._started = started

    def running(self):
        return self._process.poll() is None

    def finish(self, timeout=RUN_TIMEOUT):
        try:
            code = self._process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self._process.kill()
            raise AssertionError(f"the launcher still runs after {timeout} s")
        seconds = time.monotonic() - self._started
        return Run(code, self._stdout.read_bytes(),
                   self._stderr.read_text(errors="replace"), seconds)


class Sandbox:
    """One throwaway prefix, of a 32-bit Windows (win32) or of a 64-bit one
    (win64), with the drives of scripts/lib/fixture.env. Paths given to its
    methods are Windows paths."""

    def __init__(self, workdir, arch="win32"):
        self.workdir = Path(workdir)
        self.prefix = Path(_prefix_lib("ul_new_prefix", arch))
        self.updaters = []
        self.immutable = []
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
        for path in self.immutable:
            subprocess.run(["chattr", "-i", path], check=False)
        return subprocess.Popen(_prefix_lib_command("ul_drop_prefix", str(self.prefix)),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    # --- the file system, through the prefix's drive links ---

    def host(self, path):
        """The Linux path of a Windows path such as C:\\a\\b or \\\\srv\\share\\a."""
        win = PureWindowsPath(path)
        if win.drive.startswith("\\\\"):
            # Wine finds \\server\share in dosdevices/unc/server/share.
            drive = self.prefix / "dosdevices" / "unc" / win.drive.lstrip("\\").replace("\\", "/")
        else:
            drive = self.prefix / "dosdevices" / win.drive.lower()
        return drive.joinpath(*win.parts[1:])

    def map_drive(self, letter, medium=True):
        """Maps letter to an empty folder, or to a drive without a medium, as
        scripts/lib/wine-prefix.sh makes them."""
        function = "ul_empty_drive" if medium else "ul_no_medium_drive"
        _prefix_lib(function, str(self.prefix), letter.lower())

    def write(self, path, data=b""):
        host = self.host(path)
        host.parent.mkdir(parents=True, exist_ok=True)
        host.write_bytes(data)

    def mkdir(self, path):
        self.host(path).mkdir(parents=True, exist_ok=True)

    def make_read_only(self, path):
        """Makes a file unwritable even for root, who ignores the read-only
        mode bits: chattr +i, undone at close. False when the file system
        cannot."""
        host = self.host(path)
        if os.geteuid() != 0:
            host.chmod(0o444)
            return True
        if subprocess.run(["chattr", "+i", str(host)], capture_output=True).returncode:
            return False
        self.immutable.append(str(host))
        return True

    # --- the product and the launcher ---

    def setup_file(self, text, encoding="ascii", directory=SYSTEM32):
        """IxaSetup.ini in the system directory (or another), text with CRLF
        lines in the given encoding (a byte-order mark, if wanted, is part of
        text)."""
        data = text.replace("\n", "\r\n").encode(encoding)
        self.write(str(PureWindowsPath(directory, "IxaSetup.ini")), data)

    def setup(self, manage=None, zofixa=None, directory=SYSTEM32):
        """A setup file with [MANAGE] PATH and [ZOFIXA] PATH; None leaves a
        section out."""
        text = ""
        if manage is not None:
            text += f"[MANAGE]\nPATH={manage}\n"
        if zofixa is not None:
            text += f"[ZOFIXA]\nPATH={zofixa}\n"
        self.setup_file(text, directory=directory)

    def product(self, directory, markers=("Halvo.dll", "Murtelan.dll")):
        for marker in markers:
            self.write(str(PureWindowsPath(directory, marker)))

    def updater(self, directory, program="FakeUpdater.exe"):
        """An updater stand-in (FakeUpdater64.exe: the 64-bit one) as
        Quentabrix.exe in directory; returns its path."""
        path = str(PureWindowsPath(directory, UPDATER))
        self.mkdir(directory)
        shutil.copyfile(BIN / program, self.host(path))
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

    def start(self, exe, env=None, cwd=None):
        """Starts exe from its own folder, as a double click would (or from
        the folder cwd), with Wine reporting every window attempt."""
        run_env = {**self.env, "WINEDEBUG": "err+winediag", **(env or {})}
        stdout, stderr = self.workdir / "stdout", self.workdir / "stderr"
        folder = self.host(cwd) if cwd else self.host(exe).parent
        # Files, not pipes: an updater left running keeps a pipe open.
        with open(stdout, "wb") as out, open(stderr, "wb") as err:
            process = subprocess.Popen(["wine", exe], cwd=folder,
                                       env=run_env, stdin=subprocess.DEVNULL,
                                       stdout=out, stderr=err)
        return Launch(process, stdout, stderr, time.monotonic())

    def run(self, exe, env=None, cwd=None):
        return self.start(exe, env, cwd).finish()

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
