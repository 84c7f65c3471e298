"""The deployers' guide's cmd lines and check-run.cmd as the release ships
it, run by Wine's 64-bit and 32-bit cmd in a 64-bit prefix: the setup file
the 32-bit launcher reads, and the exit code of each outcome."""
import os
import re
import shutil
import subprocess
import time
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass, field

import pytest

from harness import (BIN, FOLDER, LAUNCHER, LOG_TEXTS, PRODUCT, RECORD, ROOT, SAMPLE_UPDATER,
                     SUCC1, TYPICAL_RUN, UPDATER, Sandbox, arguments, log_file, slack)

GUIDE = (ROOT / "resources" / "README-deploy.txt").read_text().splitlines()
MARKERS = ("Halvo.dll", "Murtelan.dll")  # what marks the product folder
CHECK_RUN = BIN.parent / "release" / "check-run.cmd"  # as shipped: CRLF, version in


def guide_block(after):
    """The indented lines of the first block after the line holding after."""
    start = next(i for i, line in enumerate(GUIDE) if after in line)
    block = []
    for line in GUIDE[start + 1:]:
        if block and not line.strip():
            break
        if line.startswith("    "):
            block.append(line.strip())
    return block


SETUP_LINES = guide_block("Written from cmd")
START_LINE = next(line.strip() for line in GUIDE if line.strip().startswith('cmd /c "cd /d '))


def setup_path(section):
    """The PATH the guide's lines write into a section."""
    at = next(i for i, line in enumerate(SETUP_LINES) if line.endswith(f"echo [{section}]"))
    return SETUP_LINES[at + 1].split("echo PATH=", 1)[1]


# A setup file the product keeps more in, which the guide's lines must not
# overwrite.
KEPT = b"[MANAGE]\r\nPATH=C:\\Old Manage\r\n[OTHER]\r\nKEY=kept\r\n"


# Debian's wine is the 32-bit loader, for which System32 is SysWOW64.
@pytest.mark.parametrize("loader, existing", [("/usr/lib/wine/wine64", None), ("wine", None),
                                              ("/usr/lib/wine/wine64", KEPT)],
                         ids=["64-bit cmd", "32-bit cmd", "a setup file there already"])
def test_the_guides_cmd_lines_write_the_file_the_launcher_reads(tmp_path, loader, existing):
    manage = setup_path("MANAGE")
    product = setup_path("ZOFIXA") + "\\"
    folder = START_LINE.split('cd /d "', 1)[1].split('"')[0]
    box = Sandbox(tmp_path, "win64")
    try:
        for place in (manage, product, folder):
            box.host(place).mkdir(parents=True)
        shutil.copy(BIN / "FakeUpdater.exe", box.host(manage) / UPDATER)
        for marker in MARKERS:
            (box.host(product) / marker).touch()
        shutil.copy(BIN / LAUNCHER, box.host(folder) / LAUNCHER)
        shutil.copy(CHECK_RUN, box.host(folder) / "check-run.cmd")
        (box.host(folder) / "update.zip").write_bytes(b"PK\5\6" + bytes(18))
        script = box.host(r"C:\guide.cmd")
        script.write_bytes("\r\n".join(["@echo off", *SETUP_LINES, START_LINE, ""]).encode())
        setup = box.host(r"C:\windows\syswow64\IxaSetup.ini")
        if existing:
            setup.write_bytes(existing)
        run = box.run(r"C:\windows\system32\cmd.exe", args=["/c", r"C:\guide.cmd"],
                      loader=loader)
        if existing:
            assert (run.exit_code, setup.read_bytes(), box.log()) == (1, existing, None)
            return
        assert run.exit_code == 0
        assert box.host(r"C:\windows\syswow64\IxaSetup.ini").is_file()
        assert not box.host(r"C:\windows\system32\IxaSetup.ini").exists()
        assert box.log() == log_file([SUCC1, arguments(product, folder)])
        record = (box.host(manage) / RECORD).read_text()
        assert f"cwd={folder}\n" in record.replace("\r\n", "\n")
    finally:
        box.close()


# --- check-run.cmd: the exit code a deployment tool reads ---------------------

LOADERS = {"64-bit cmd": "/usr/lib/wine/wine64", "32-bit cmd": "wine"}
TYPICAL_LOG = log_file([SUCC1, TYPICAL_RUN])
HOUR_AGO = time.time() - 3600
UPDATES = "Software\\\\Wow6432Node\\\\UnzipLauncher\\\\Updates\\\\"  # as system.reg names keys
ODD_FOLDER = r"C:\R&D (x86)\^!pkg"


def plant_log(box, data, stamp=None):
    """c:\\log.ini as an earlier run left it, written now or at stamp."""
    box.host(r"C:\log.ini").write_bytes(data)
    if stamp:
        os.utime(box.host(r"C:\log.ini"), (stamp, stamp))


def move_markers(box, to):
    """The product's markers moved from [ZOFIXA] PATH's folder to to (None:
    gone); C:\\Zof\\ZOFIXA\\ exists either way, for the search or the default."""
    box.host(r"C:\Zof\ZOFIXA").mkdir(parents=True, exist_ok=True)
    for marker in MARKERS:
        source = box.host(PRODUCT) / marker
        if to:
            source.rename(box.host(to) / marker)
        else:
            source.unlink()


def stand_in_launcher(box, folder=FOLDER):
    """A launcher that writes no log, as one that cannot write c:\\log.ini:
    the updater stand-in, which only records its start beside itself."""
    shutil.copy(BIN / "FakeUpdater.exe", box.host(folder) / LAUNCHER)


def leave_log(*entries):
    """A launcher stand-in that leaves c:\\log.ini holding these entries."""
    def arrange(box):
        box.host(r"C:\chosen-log.ini").write_bytes(log_file(entries))
        stand_in_launcher(box)
    return arrange


def plant_record(*ids):
    """Records of earlier runs, one value more than a run writes."""
    def arrange(box):
        for name in ids:
            for value in ("Result /t REG_DWORD /d 20", "Line /d old", "Extra /d old"):
                box.run(r"C:\windows\system32\reg.exe", loader=LOADERS["64-bit cmd"],
                        args=["add", f"HKLM\\SOFTWARE\\UnzipLauncher\\Updates\\{name}", "/v",
                              *value.split(), "/f", "/reg:32"])
    return arrange


def failing_reg(box):
    """reg.exe, both of them, replaced by a program that exits with 1."""
    for folder in ("system32", "syswow64"):
        box.put(BIN / "FakeUpdater.exe", f"C:\\windows\\{folder}\\reg.exe")


def odd_folder(box):
    """The package in a folder whose name holds cmd's special characters."""
    box.host(ODD_FOLDER).mkdir(parents=True, exist_ok=True)
    for name in (LAUNCHER, "update.zip", "check-run.cmd"):
        shutil.copy(box.host(FOLDER) / name, box.host(ODD_FOLDER) / name)


def records(box):
    """The records under UnzipLauncher\\Updates, read from the prefix's
    system.reg once its server has written it: {ID: {name: value}}; and
    whether any key of UnzipLauncher lies outside them."""
    subprocess.run(["wineserver", "-k"], env=box.env, check=False)
    subprocess.run(["wineserver", "-w"], env=box.env, check=True)
    subprocess.run(["wineserver", "-p"], env=box.env, check=True)  # as the sandbox keeps it
    found, key, elsewhere = {}, None, False
    for line in (box.prefix / "system.reg").read_text(errors="replace").splitlines():
        if line.startswith("["):
            name = line[1:line.rindex("]")]
            key = found.setdefault(name[len(UPDATES):], {}) if name.startswith(UPDATES) else None
            elsewhere |= key is None and "\\\\UnzipLauncher" in name
        elif key is not None and line.startswith('"'):
            name, value = line[1:].split('"=', 1)
            key[name] = int(value[6:], 16) if value.startswith("dword:") else value.strip('"')
    return {k: v for k, v in found.items() if k}, elsewhere


LEAVES_LOG = {"FAKE_UPDATER_RECORD": r"C:\log.ini",
              "FAKE_UPDATER_RECORD_FROM": r"C:\chosen-log.ini"}
# What cmd would run, were a quote of the log's text to end its own quote.
TAMPERED = 'IsZofixaPath succ[1]!" & set "code=0" & goto done & " | < > ^ %PATH% !'
DOWNLOADS = r"C:\users\Public\Downloads"  # where a ping.exe is planted
# A caller's batch file sets these before it starts check-run.cmd.
CALLER = ('set "ComSpec=C:\\caller\\cmd.exe"', 'set "checkrun_code=0"', 'set "Caller=a&b"')


@dataclass
class Outcome:
    """How the installation is changed, the environment of the run, the
    folder cmd starts in (None: its own; else a ping.exe is planted there,
    which must not run), the script's arguments, the exit code on Windows,
    and the records left after it ({ID: code}; no other key of ours)."""
    name: str
    arrange: object = None
    env: dict = field(default_factory=dict)
    started_in: str = None
    args: tuple = ()
    code: int = 0
    recorded: dict = field(default_factory=dict)
    guide_line: bool = False  # started by the guide's cmd /c "... && call ..." line
    caller: tuple = ()  # lines of the batch file before it starts the script


# A UTF-16 log: Windows' TYPE reads it by its byte-order mark ("What
# encoding/code page is cmd.exe using?", Super User 269818); Wine's TYPE
# passes the bytes on as they are, so no entry is read.
OUTCOMES = [
    Outcome("started and ended"),
    # A variable of the environment hides cmd's own of that name (set /?):
    # read, this TIME would never turn, and has no minute to wait on.
    Outcome("a rerun within the minute, with TIME and ERRORLEVEL set",
            lambda box: plant_log(box, TYPICAL_LOG), {"TIME": "99:99:99.99", "ERRORLEVEL": "1"}),
    Outcome("a rerun started in a folder holding a ping.exe",
            lambda box: plant_log(box, TYPICAL_LOG), started_in=DOWNLOADS),
    Outcome("the product folder from the search", lambda box: move_markers(box, r"C:\Zof\ZOFIXA"),
            code=10),
    Outcome("the default product folder", lambda box: move_markers(box, None), code=11),
    Outcome("a missing updater",
            lambda box: box.host(SAMPLE_UPDATER).unlink(), code=20),
    Outcome("a missing product folder", leave_log(LOG_TEXTS["kNoProduct"] + "C:\\x\\"),
            LEAVES_LOG, code=21),
    Outcome("no package", leave_log(LOG_TEXTS["kNoPackage"] + "C:\\x"), LEAVES_LOG, code=22),
    Outcome("a refused start", leave_log(SUCC1, TYPICAL_RUN, LOG_TEXTS["kShellFailed"] + "5"),
            LEAVES_LOG, code=23),
    Outcome("no shell", leave_log(SUCC1, LOG_TEXTS["kNoShell"] + "126"), LEAVES_LOG, code=24),
    Outcome("still running", leave_log(SUCC1, TYPICAL_RUN, LOG_TEXTS["kWaitTimeout"]),
            LEAVES_LOG, code=30),
    Outcome("no process to wait for", leave_log(SUCC1, TYPICAL_RUN, LOG_TEXTS["kNoProcess"]),
            LEAVES_LOG, code=31),
    Outcome("no log", stand_in_launcher, code=40),
    Outcome("a log left by an earlier run",
            lambda box: (plant_log(box, TYPICAL_LOG, HOUR_AGO), stand_in_launcher(box)), code=41),
    Outcome("a first entry that would end a quote", leave_log(TAMPERED, TYPICAL_RUN + " & |"),
            LEAVES_LOG, code=43),
    Outcome("a folder named UnzipLauncher.exe",
            lambda box: (box.host(FOLDER + "\\" + LAUNCHER).unlink(),
                         box.host(FOLDER + "\\" + LAUNCHER).mkdir()), code=60),
    Outcome("a framework failure, with ERRORLEVEL set", stand_in_launcher,
            {"FAKE_UPDATER_EXIT_CODE": "1", "ERRORLEVEL": "0"}, code=50),
    Outcome("a crash", stand_in_launcher, {"FAKE_UPDATER_CRASH": "1"}, code=52),
    Outcome("a UTF-16 log",
            lambda box: plant_log(box, b"\xff\xfe" + "[LOG]\r\n0=old\r\n".encode("utf-16-le"),
                                  HOUR_AGO)),
    Outcome("the caller's environment, passed on", stand_in_launcher,
            {"FAKE_UPDATER_RECORD_ENV": "1"}, code=40, caller=CALLER),
    Outcome("started by name in a folder named R&D (x86)\\^!pkg", odd_folder,
            started_in=ODD_FOLDER),
    Outcome("the guide's call line, a failure", stand_in_launcher, code=40, guide_line=True),
    # /record and /forget
    Outcome("recorded", args=("/record", "u-1.0_x"), recorded={"u-1.0_x": 0}),
    Outcome("recorded, a failure, in place of an earlier record",
            lambda box: (plant_record("u1")(box), stand_in_launcher(box)),
            args=("/record", '"u1"'), code=40, recorded={"u1": 40}),
    Outcome("forgotten, the other record kept", plant_record("u1", "u2"), args=("/forget", "u1"),
            recorded={"u2": 20}),
    Outcome("a record it cannot write", failing_reg,
            {"FAKE_UPDATER_EXIT_CODE": "1", "WINEDLLOVERRIDES": "reg.exe=n"},
            args=("/record", "u1"), code=45),
    *(Outcome(f"a bad ID: {name}", args=("/record", *given), code=47)
      for name, given in [("a&b", ['"a&b"']), ("..\\x", ["..\\x"]), ("65 characters", ["a" * 65]),
                          ("none", [])]),
    Outcome("an argument it does not know", args=("/recrod", "u1"), code=46),
    Outcome("an empty argument first", args=('""', "/record", "u1"), code=46),
    Outcome("/record twice", args=("/record", "u1", "/record", "u2"), code=48),
]
# Wine's cmd, where it is not Windows': TYPE passes UTF-16 on, and the line
# says so too; Wine 8's CALL of a batch file that ends with EXIT /B <n> gives
# 1, where Windows' gives n (call /?), and only the exit code says so.
WINE_EXPECTS = {"a UTF-16 log": 42}
WINE = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout
WINE_EXITS = {"the guide's call line, a failure": 1} if WINE.startswith("wine-8.") else {}


@pytest.fixture(scope="module")
def installs(tmp_path_factory):
    """A 64-bit prefix per cmd, each with the sample installation and
    check-run.cmd beside its launcher, and a copy of both reg.exe."""
    boxes = {}
    try:
        for name in LOADERS:
            box = boxes[name] = Sandbox(tmp_path_factory.mktemp(name.split()[0]), "win64")
            box.install()
            shutil.copy(CHECK_RUN, box.host(FOLDER) / "check-run.cmd")
            for folder in ("system32", "syswow64"):
                shutil.copy(box.host(f"C:\\windows\\{folder}\\reg.exe"), box.workdir / folder)
        yield boxes
    finally:
        for box in boxes.values():
            box.close()


def reset(box):
    """The sample installation as installed, with no log and no record."""
    shutil.rmtree(box.host(r"C:\Zof"), ignore_errors=True)
    for marker in MARKERS:
        (box.host(PRODUCT) / marker).touch()
    shutil.copy(BIN / "FakeUpdater.exe", box.host(SAMPLE_UPDATER))
    shutil.rmtree(box.host(FOLDER) / LAUNCHER, ignore_errors=True)
    shutil.copy(BIN / LAUNCHER, box.host(FOLDER) / LAUNCHER)
    for folder in ("system32", "syswow64"):
        box.put(box.workdir / folder, f"C:\\windows\\{folder}\\reg.exe")
    box.host(r"C:\log.ini").unlink(missing_ok=True)
    box.run(r"C:\windows\system32\reg.exe", loader=LOADERS["64-bit cmd"],
            args=["delete", "HKLM\\SOFTWARE\\UnzipLauncher", "/f", "/reg:32"])


def start(box, loader, outcome):
    """The installation reset, changed as the outcome wants it, then
    check-run.cmd started by cmd, from C:\\start.cmd (a batch file: the
    arguments as cmd reads them), by its path or, in a folder of its own,
    by its name."""
    reset(box)
    if outcome.arrange:
        outcome.arrange(box)
    line = f'"{FOLDER}\\check-run.cmd"'
    if outcome.started_in == ODD_FOLDER:
        line = "check-run.cmd"
    elif outcome.guide_line:
        line = START_LINE.replace(START_LINE.split('cd /d "', 1)[1].split('"')[0], FOLDER)
    lines = ["@echo off", *outcome.caller, f"{line} {' '.join(outcome.args)}", ""]
    box.host(r"C:\start.cmd").write_bytes("\r\n".join(lines).encode())
    if outcome.started_in:
        box.host(outcome.started_in).mkdir(parents=True, exist_ok=True)
        shutil.copy(BIN / "FakeUpdater.exe", box.host(outcome.started_in) / "ping.exe")
        (box.host(outcome.started_in) / RECORD).unlink(missing_ok=True)
    return box.run(r"C:\windows\system32\cmd.exe", args=["/c", r"C:\start.cmd"], loader=loader,
                   env=outcome.env, cwd=outcome.started_in)


@pytest.mark.parametrize("outcome", OUTCOMES, ids=[o.name for o in OUTCOMES])
def test_check_run_exits_with_the_code_of_each_outcome(installs, outcome):
    expected = WINE_EXPECTS.get(outcome.name, outcome.code)
    exit_code = WINE_EXITS.get(outcome.name, expected)
    # Both cmds at once: the waits for the minute cost their time once.
    with ThreadPoolExecutor(len(LOADERS)) as pool:
        runs = {name: pool.submit(start, installs[name], loader, outcome)
                for name, loader in LOADERS.items()}
        for name, run in runs.items():
            box, run = installs[name], run.result()
            line = run.stdout.decode().strip()
            assert (name, line.startswith(f"check-run: {expected}: ")) == (name, True), line
            assert (name, run.exit_code) == (name, exit_code), line
            if outcome.started_in:
                assert not (box.host(outcome.started_in) / RECORD).exists(), "ping.exe ran"
            if outcome.code in (44, 45, 46, 47, 48):
                assert not box.host(r"C:\log.ini").exists(), "the launcher ran"
            found, elsewhere = records(box)
            assert not elsewhere and {i: r.get("Result") for i, r in found.items()} == \
                outcome.recorded, (name, found)
            for written in set(found) & {a.strip('"') for a in outcome.args}:
                assert found[written]["Line"] == line.replace("\\", "\\\\")
                assert sorted(found[written]) == ["Line", "Result", "Time"]
            if outcome.caller:
                got = (box.host(FOLDER) / RECORD).read_text()
                assert re.search(r"^env:ComSpec=C:\\caller\\cmd\.exe$", got, re.M | re.I), got
                assert "env:Caller=a&b\n" in got
                assert not re.search(r"^env:(checkrun_|TIME=|DATE=|ERRORLEVEL=)", got, re.M | re.I)


# The Intune app's command lines, from the guide's block for it.
INTUNE = {name: next(line.split(None, 1)[1] for line in GUIDE
                     if line.startswith(f"  {name} ") and "cmd.exe /c" in line)
          for name in ("Install", "Uninstall")}


# Wine 10's xcopy takes a quoted destination with a space for more than one
# argument ("Invalid number of parameters", 4), so the install's copy fails
# there with 70; Windows' xcopy takes a quoted path as one (xcopy,
# learn.microsoft.com), as Wine 8's does.
COPIES = not WINE.startswith("wine-10.")


def test_the_intune_command_lines_run_a_copy_and_remove_it(installs):
    """As Intune's 32-bit agent runs them, in the content folder: the install
    copies it, runs check-run.cmd in the copy and records 0; the uninstall
    forgets the record and removes the copy."""
    box, loader = installs["32-bit cmd"], LOADERS["32-bit cmd"]
    reset(box)
    copy = r"C:\Program Files (x86)\UnzipLauncher\u1"
    installed = (0, {"u1": 0}, True) if COPIES else (70, {}, False)
    for name, expected in (("Install", installed), ("Uninstall", (0, {}, False))):
        line = INTUNE[name].replace("<ID>", "u1")
        box.host(r"C:\intune.cmd").write_bytes(f"@{line}\r\n".encode())
        run = box.run(r"C:\windows\system32\cmd.exe", args=["/c", r"C:\intune.cmd"],
                      loader=loader, cwd=FOLDER)
        found = {i: r.get("Result") for i, r in records(box)[0].items()}
        assert (run.exit_code, found, box.host(copy).exists()) == expected, run.stdout
    if COPIES:
        record = (box.host(SAMPLE_UPDATER).parent / RECORD).read_text()
        assert f'"{copy}\\update.zip"' in record


def test_two_runs_at_once_give_one_run_and_one_refusal(installs):
    """The second, with /record and started in another folder, still finds
    the guard beside the script."""
    box, loader = installs["64-bit cmd"], LOADERS["64-bit cmd"]
    slow = Outcome("slow", stand_in_launcher, {"FAKE_UPDATER_SLEEP_MS": str(int(slack(6) * 1000))})
    box.host(r"C:\second.cmd").write_bytes(f'@"{FOLDER}\\check-run.cmd" /record u2\r\n'.encode())
    box.host(DOWNLOADS).mkdir(parents=True, exist_ok=True)
    with ThreadPoolExecutor(2) as pool:
        first = pool.submit(start, box, loader, slow)
        time.sleep(slack(3))
        second = box.run(r"C:\windows\system32\cmd.exe", args=["/c", r"C:\second.cmd"],
                         loader=loader, cwd=DOWNLOADS)
        codes = [first.result().exit_code, second.exit_code]
    assert codes == [40, 44], (first.result().stdout, second.stdout)
