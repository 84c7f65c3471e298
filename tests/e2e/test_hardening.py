"""The process defences of the shipped exe, read from Wine's trace of its
calls into the system: taken right after the framework's initialisation and
before the launcher's first act, with the run itself unchanged."""
from harness import check_run, log_file, params

TRACE = {"WINEDEBUG": "err+winediag,+relay,+loaddll"}
LAUNCHER_LOADED = "UnzipLauncher.exe\" at "


def launcher_trace(stderr):
    """The trace lines of the launcher's own thread."""
    lines = stderr.splitlines()
    loaded = next(line for line in lines if LAUNCHER_LOADED in line)
    thread = loaded.split(":", 1)[0] + ":"
    return [line for line in lines if line.startswith(thread)]


def first(lines, text):
    return next(i for i, line in enumerate(lines) if text in line)


def test_defences_come_between_initialisation_and_the_first_act(sandbox, installed):
    run = sandbox.run(installed.launcher, env=TRACE)
    check_run(sandbox, run,
              log_file(["IsZofixaPath succ[1]!", params(installed.destination, installed.package)]),
              started=installed.started())

    trace = launcher_trace(run.stderr)
    init = first(trace, "Call KERNEL32.SetErrorMode(00008001)")
    heap = first(trace, "Call KERNEL32.HeapSetInformation(00000000,00000001,00000000,00000000)")
    dlls = first(trace, "Call KERNEL32.SetDefaultDllDirectories(00000800)")
    stale_log = first(trace, "Call shlwapi.PathFileExistsW(")
    assert init < heap < dlls < stale_log
    succeeded = first(trace, "Ret  KERNEL32.SetDefaultDllDirectories() retval=00000001")
    assert dlls < succeeded < stale_log
    assert not any("SetDllDirectory" in line for line in trace), "no fallback where the loader can"

    # Whatever the run loads from here on comes from the system directory.
    later = [line for line in trace[dlls:] if "trace:loaddll" in line]
    assert [line for line in later if "C:\\\\windows\\\\system32\\\\" not in line] == []
