"""The deployers' guide's cmd lines, as a deployer copies them: written into a
batch file and run by Wine's own cmd, 64-bit and 32-bit, in a 64-bit prefix.
They must write the setup file the 32-bit launcher reads (SysWOW64's), and
the launcher started through cmd must hand the package over with the
folder it was started in as the updater's current directory."""
import shutil

import pytest

from harness import BIN, LAUNCHER, RECORD, ROOT, SUCC1, UPDATER, Sandbox, log_file, params

GUIDE = (ROOT / "resources" / "README-deploy.txt").read_text().splitlines()


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
        for marker in ("Halvo.dll", "Murtelan.dll"):
            (box.host(product) / marker).touch()
        shutil.copy(BIN / LAUNCHER, box.host(folder) / LAUNCHER)
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
