"""The 32-bit launcher on 64-bit Windows (WoW64), with the 64-bit updater a
current product may ship. Its reads of the system directory are redirected
to SysWOW64, where a product's 32-bit installer writes the setup file too."""
from conftest import install
from harness import NO_UPDATER, SUCC1, SYSTEM32, UPDATER, check_run, log_file, params

SYSWOW64 = "C:\\windows\\syswow64"
UPDATER64 = "FakeUpdater64.exe"


def test_typical_run_with_the_setup_file_in_syswow64(sandbox64):
    installed = install(sandbox64, SYSWOW64, UPDATER64)
    run = sandbox64.run(installed.launcher)
    check_run(sandbox64, run,
              log_file([SUCC1, params(installed.destination, installed.package)]),
              started=installed.started())


def test_a_setup_file_only_in_the_native_system32_is_not_seen(sandbox64):
    installed = install(sandbox64, SYSTEM32, UPDATER64)
    run = sandbox64.run(installed.launcher)
    # As with no setup file: the management directory is "\", not absolute.
    check_run(sandbox64, run, log_file([NO_UPDATER + "\\" + UPDATER]))


def test_with_setup_files_in_both_the_syswow64_one_decides(sandbox64):
    installed = install(sandbox64, SYSWOW64, UPDATER64)
    sandbox64.updater("C:\\Zof64\\Manage", UPDATER64)
    sandbox64.product("C:\\Zof64\\ZOFIXA\\")
    sandbox64.setup(manage="C:\\Zof64\\Manage", zofixa="C:\\Zof64\\ZOFIXA", directory=SYSTEM32)
    run = sandbox64.run(installed.launcher)
    check_run(sandbox64, run,
              log_file([SUCC1, params(installed.destination, installed.package)]),
              started=installed.started())
