"""The process defences of the shipped exe, read from Wine's trace of its
calls: taken by its entry before the runtime's start-up, and everything it
loads later from the system directory only."""
import shutil
from pathlib import PureWindowsPath

from harness import (BIN, NO_START_FUNCTION, NO_UPDATER, SAMPLE_UPDATER, SUCC1, SYSTEM32,
                     TYPICAL_RUN, check_run, log_file)

TRACE = {"WINEDEBUG": "err+winediag,+relay,+loaddll"}
LOADDLL = {"WINEDEBUG": "err+winediag,+loaddll"}
LAUNCHER_LOADED = "UnzipLauncher.exe\" at "


def launcher_trace(stderr):
    """The trace lines of the launcher's own thread."""
    lines = stderr.splitlines()
    loaded = next(line for line in lines if LAUNCHER_LOADED in line)
    thread = loaded.split(":", 1)[0] + ":"
    return [line for line in lines if line.startswith(thread)]


def first(lines, text):
    return next(i for i, line in enumerate(lines) if text in line)


def test_defences_come_before_initialisation(sandbox, installed):
    run = sandbox.run(installed, env=TRACE)
    check_run(sandbox, run, log_file([SUCC1, TYPICAL_RUN]), started=SAMPLE_UPDATER)

    trace = launcher_trace(run.stderr)
    runtime = first(trace, "Call msvcrt.")  # the runtime's start-up
    init = first(trace, "Call KERNEL32.SetErrorMode(00008001)")
    heap = first(trace, "Call KERNEL32.HeapSetInformation(00000000,00000001,00000000,00000000)")
    dlls = first(trace, "Call KERNEL32.SetDefaultDllDirectories(00000800)")
    stale_log = first(trace, "Call KERNEL32.DeleteFileW(")
    shell32 = first(trace, "shell32.dll\" at ")
    assert heap < dlls < runtime < init < stale_log < shell32
    succeeded = first(trace, "Ret  KERNEL32.SetDefaultDllDirectories() retval=00000001")
    assert dlls < succeeded < runtime
    assert not any("SetDllDirectory" in line for line in trace), "no fallback where the loader can"

    # Whatever the run loads from here on comes from the system directory.
    later = [line for line in trace[dlls:] if "trace:loaddll" in line]
    assert [line for line in later if "C:\\\\windows\\\\system32\\\\" not in line] == []


def module_names(lines):
    """The file names of the modules Wine's +loaddll lines report loaded."""
    return {PureWindowsPath(line.split('Loaded L"', 1)[1].split('"', 1)[0]).name.lower()
            for line in lines if "trace:loaddll" in line and 'Loaded L"' in line}


def test_the_early_stop_loads_nothing_an_empty_program_does_not(sandbox, installed):
    # Beside the programs the sample installation was laid out with.
    shutil.copyfile(BIN / "EmptyProgram.exe", sandbox.host("C:\\bin\\EmptyProgram.exe"))
    floor = sandbox.run("C:\\bin\\EmptyProgram.exe", env=LOADDLL)
    assert floor.exit_code == 0
    floor_modules = module_names(floor.stderr.splitlines())

    sandbox.remove_updater(SAMPLE_UPDATER)
    run = sandbox.run(installed, env=TRACE)
    check_run(sandbox, run, log_file([NO_UPDATER + SAMPLE_UPDATER]))
    # Neither before the restriction nor after it; the launcher itself aside.
    loaded = module_names(launcher_trace(run.stderr)) - {"unziplauncher.exe"}
    assert loaded - floor_modules == set()


def test_a_shell_without_its_start_function_is_logged_and_nothing_starts(sandbox, installed):
    # A SHELL32 that exports nothing, in the system directory and taken
    # instead of Wine's own.
    sandbox.put(BIN / "PlantedDll.dll", SYSTEM32 + "\\shell32.dll")
    run = sandbox.run(installed, env={"WINEDLLOVERRIDES": "shell32=n"})
    check_run(sandbox, run, log_file([SUCC1, TYPICAL_RUN, NO_START_FUNCTION + "127"]))
