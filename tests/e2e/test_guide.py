"""What the deployers' guide gives to run under cmd, run by Wine's own cmd,
64-bit and 32-bit, in a 64-bit prefix. Its cmd lines, as a deployer copies
them into a batch file, must write the setup file the 32-bit launcher reads
(SysWOW64's), and check-run.cmd started through cmd must exit with 0 and
the launcher hand the package over with the folder cmd's line names as the
updater's current directory.
check-run.cmd, as the release ships it, must exit with the code of each
outcome."""
import os
import shutil
import time
from concurrent.futures import ThreadPoolExecutor

import pytest

from harness import (BIN, FIXTURE, LAUNCHER, LOG_TEXTS, RECORD, ROOT, SUCC1, UPDATER, Sandbox,
                     log_file, params)

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


# Debian's wine is the 32-bit loader, for which System32 is SysWOW64.
@pytest.mark.parametrize("loader", ["/usr/lib/wine/wine64", "wine"],
                         ids=["64-bit cmd", "32-bit cmd"])
def test_the_guides_cmd_lines_write_the_file_the_launcher_reads(tmp_path, loader):
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
        run = box.run(r"C:\windows\system32\cmd.exe", args=["/c", r"C:\guide.cmd"],
                      loader=loader)
        assert run.exit_code == 0
        assert box.host(r"C:\windows\syswow64\IxaSetup.ini").is_file()
        assert not box.host(r"C:\windows\system32\IxaSetup.ini").exists()
        package = f"{folder}\\update.zip"
        assert box.log() == log_file([SUCC1, params(product + "download\\sorvane", package)])
        record = (box.host(manage) / RECORD).read_text()
        assert f"cwd={folder}\n" in record.replace("\r\n", "\n")
    finally:
        box.close()


# --- check-run.cmd: the exit code a deployment tool reads ---------------------

LOADERS = {"64-bit cmd": "/usr/lib/wine/wine64", "32-bit cmd": "wine"}
PRODUCT = FIXTURE["UL_PRODUCT_DIR"] + "\\"
FOLDER = FIXTURE["UL_PACKAGE_DIR"]
TYPICAL_RUN = params(PRODUCT + "download\\sorvane", FOLDER + "\\update.zip")
TYPICAL_LOG = log_file([SUCC1, TYPICAL_RUN])
HOUR_AGO = time.time() - 3600


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


def stand_in_launcher(box):
    """A launcher that writes no log, as one that cannot write c:\\log.ini:
    the updater stand-in, which only records its start beside itself."""
    shutil.copy(BIN / "FakeUpdater.exe", box.host(FOLDER) / LAUNCHER)


def leave_log(data):
    """A launcher stand-in that leaves c:\\log.ini holding data."""
    def arrange(box):
        box.host(r"C:\chosen-log.ini").write_bytes(data)
        stand_in_launcher(box)
    return arrange


LEAVES_LOG = {"FAKE_UPDATER_RECORD": r"C:\log.ini",
              "FAKE_UPDATER_RECORD_FROM": r"C:\chosen-log.ini"}
# What cmd would run, were a quote of the log's text to end its own quote.
TAMPERED = 'IsZofixaPath succ[1]!" & set "code=0" & goto done & " | < > ^ %PATH% !'
DOWNLOADS = r"C:\users\Public\Downloads"  # where a ping.exe is planted

# Each outcome: how the installation is changed, the environment of the run,
# the folder cmd starts in (None: its own; else a ping.exe is planted there,
# which must not run), and the exit code on Windows. A UTF-16 log: Windows'
# TYPE reads it by its byte-order mark ("What encoding/code page is cmd.exe
# using?", Super User 269818); Wine's TYPE passes the bytes on as they are,
# so no entry is read.
OUTCOMES = [
    ("started and ended", None, {}, None, 0),
    # A variable of the environment hides cmd's own of that name (set /?):
    # read, this TIME would never turn, and has no minute to wait on.
    ("a rerun within the minute, with TIME and ERRORLEVEL set",
     lambda box: plant_log(box, TYPICAL_LOG), {"TIME": "99:99:99.99", "ERRORLEVEL": "1"}, None,
     0),
    ("a rerun started in a folder holding a ping.exe", lambda box: plant_log(box, TYPICAL_LOG),
     {}, DOWNLOADS, 0),
    ("the product folder from the search", lambda box: move_markers(box, r"C:\Zof\ZOFIXA"), {},
     None, 10),
    ("the default product folder", lambda box: move_markers(box, None), {}, None, 11),
    ("a missing updater",
     lambda box: box.host(FIXTURE["UL_MANAGE_DIR"] + "\\" + UPDATER).unlink(), {}, None, 20),
    ("still running", leave_log(log_file([SUCC1, TYPICAL_RUN, LOG_TEXTS["kWaitTimeout"]])),
     LEAVES_LOG, None, 30),
    ("no log", stand_in_launcher, {}, None, 40),
    ("a log left by an earlier run",
     lambda box: (plant_log(box, TYPICAL_LOG, HOUR_AGO), stand_in_launcher(box)), {}, None, 41),
    ("a first entry that would end a quote", leave_log(log_file([TAMPERED, TYPICAL_RUN + " & |"])),
     LEAVES_LOG, None, 43),
    ("a folder named UnzipLauncher.exe",
     lambda box: (box.host(FOLDER + "\\" + LAUNCHER).unlink(),
                  box.host(FOLDER + "\\" + LAUNCHER).mkdir()), {}, None, 60),
    ("a framework failure, with ERRORLEVEL set", stand_in_launcher,
     {"FAKE_UPDATER_EXIT_CODE": "1", "ERRORLEVEL": "0"}, None, 50),
    ("a UTF-16 log",
     lambda box: plant_log(box, b"\xff\xfe" + "[LOG]\r\n0=old\r\n".encode("utf-16-le"), HOUR_AGO),
     {}, None, 0),
]
WINE_EXPECTS = {"a UTF-16 log": 42}


@pytest.fixture(scope="module")
def installs(tmp_path_factory):
    """A 64-bit prefix per cmd, each with the sample installation and
    check-run.cmd beside its launcher."""
    boxes = {}
    try:
        for name in LOADERS:
            box = boxes[name] = Sandbox(tmp_path_factory.mktemp(name.split()[0]), "win64")
            box.install()
            shutil.copy(CHECK_RUN, box.host(FOLDER) / "check-run.cmd")
        yield boxes
    finally:
        for box in boxes.values():
            box.close()


def check_run(box, loader, arrange, env, started_in):
    """The sample installation as installed, changed as the outcome wants it,
    then check-run.cmd started by cmd from its folder's path."""
    shutil.rmtree(box.host(r"C:\Zof"), ignore_errors=True)
    for marker in MARKERS:
        (box.host(PRODUCT) / marker).touch()
    shutil.copy(BIN / "FakeUpdater.exe", box.host(FIXTURE["UL_MANAGE_DIR"]) / UPDATER)
    shutil.rmtree(box.host(FOLDER) / LAUNCHER, ignore_errors=True)
    shutil.copy(BIN / LAUNCHER, box.host(FOLDER) / LAUNCHER)
    box.host(r"C:\log.ini").unlink(missing_ok=True)
    if arrange:
        arrange(box)
    if started_in:
        box.host(started_in).mkdir(parents=True, exist_ok=True)
        shutil.copy(BIN / "FakeUpdater.exe", box.host(started_in) / "ping.exe")
        (box.host(started_in) / RECORD).unlink(missing_ok=True)
    return box.run(r"C:\windows\system32\cmd.exe", args=["/c", FOLDER + "\\check-run.cmd"],
                   loader=loader, env=env, cwd=started_in)


@pytest.mark.parametrize("outcome, arrange, env, started_in, code", OUTCOMES,
                         ids=[o[0] for o in OUTCOMES])
def test_check_run_exits_with_the_code_of_each_outcome(installs, outcome, arrange, env, started_in,
                                                       code):
    expected = WINE_EXPECTS.get(outcome, code)
    # Both cmds at once: the waits for the minute cost their time once.
    with ThreadPoolExecutor(len(LOADERS)) as pool:
        runs = {name: pool.submit(check_run, installs[name], loader, arrange, env, started_in)
                for name, loader in LOADERS.items()}
        for name, run in runs.items():
            run = run.result()
            assert (name, run.exit_code) == (name, expected), run.stdout
            assert run.stdout.decode().startswith(f"check-run: {expected}: "), run.stdout
            if started_in:
                assert not (installs[name].host(started_in) / RECORD).exists(), "ping.exe ran"
