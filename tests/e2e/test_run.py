"""The run from start to exit: the typical success, each way it stops, and
the wait for the updater."""
import shutil
import time

import pytest

from harness import (COM, NO_PACKAGE, NO_PRODUCT, NO_UPDATER, SHARE, SUCC1, check_run, log_file,
                     params, slack)


def test_typical_run_starts_the_updater_hidden_and_logs_after_it_ended(sandbox, installed):
    run = sandbox.run(installed.launcher)
    check_run(sandbox, run,
              log_file([SUCC1, params(installed.destination, installed.package)]),
              started=installed.started())


def test_default_product_directory_and_package_on_another_drive(sandbox):
    # No [ZOFIXA] section: the default C:\Zof\ZOFIXA is validated as it is.
    sandbox.setup(manage="C:\\Mgr")
    sandbox.product("C:\\Zof\\ZOFIXA\\")
    updater = sandbox.updater("C:\\Mgr")
    sandbox.map_drive("d")
    launcher = sandbox.launcher("D:\\pkg")
    run = sandbox.run(launcher)
    exact = '"C:\\Zof\\ZOFIXA\\download\\sorvane" "D:\\pkg\\update.zip"'
    check_run(sandbox, run, log_file([SUCC1, exact]),
              started=(updater, "C:\\Zof\\ZOFIXA\\download\\sorvane", "D:\\pkg\\update.zip",
                       "D:\\pkg"))


def updater_missing(sandbox, installed):
    sandbox.remove_updater(installed.updater)
    # The product directory is not even looked up.
    return [NO_UPDATER + installed.updater]


def updater_is_a_folder(sandbox, installed):
    # Opened, it would be a window and no start; it is no program at all.
    sandbox.remove_updater(installed.updater)
    sandbox.mkdir(installed.updater)
    return [NO_UPDATER + installed.updater]


def product_missing(sandbox, installed):
    shutil.rmtree(sandbox.host(installed.product))
    return [COM, NO_PRODUCT + "C:\\Zof\\ZOFIXA\\"]


def package_missing(sandbox, installed):
    sandbox.host(installed.package).unlink()
    return [SUCC1, NO_PACKAGE + installed.package]


@pytest.mark.parametrize("remove", [
    pytest.param(updater_missing, id="updater"),
    pytest.param(updater_is_a_folder, id="updater is a folder"),
    pytest.param(product_missing, id="product"),
    pytest.param(package_missing, id="package"),
])
def test_a_missing_location_stops_the_run_with_one_entry(sandbox, installed, remove):
    entries = remove(sandbox, installed)
    run = sandbox.run(installed.launcher)
    check_run(sandbox, run, log_file(entries))
    assert run.seconds < slack(10)


def test_an_own_folder_that_is_not_absolute_is_not_acted_in(sandbox, installed):
    # Wine names a program started from a share UNC\srv\share\... (Windows
    # names it \\srv\share\...): relative, so it would resolve against the
    # current directory, where decoys lie.
    folder = SHARE + "\\Update Package"
    launcher = sandbox.launcher(folder)
    relative = "UNC" + folder[1:] + "\\"
    cwd = "C:\\work"
    decoys = [cwd + "\\" + relative + name for name in ("log.ini", "update.zip")]
    for decoy in decoys:
        sandbox.write(decoy, b"decoy")
    sandbox.write(folder + "\\log.ini", b"stale")

    run = sandbox.run(launcher, cwd=cwd)
    check_run(sandbox, run, log_file([SUCC1, NO_PACKAGE + relative + "update.zip"]))
    for decoy in decoys:
        assert sandbox.host(decoy).read_bytes() == b"decoy"
    # Not even the real folder is touched: it is not known.
    assert sandbox.host(folder + "\\log.ini").read_bytes() == b"stale"


def test_an_updater_that_is_no_program_fails_quietly_and_the_log_says_so(sandbox, installed):
    sandbox.write(installed.updater, b"not a program\r\n")
    run = sandbox.run(installed.launcher)
    check_run(sandbox, run, log_file([SUCC1, params(installed.destination, installed.package),
                                      "ShellExecuteEx failed;errcode=193"]))  # bad exe format
    assert run.seconds < slack(10)


@pytest.mark.parametrize("updater_env, finished", [
    ({"FAKE_UPDATER_EXIT_CODE": "7"}, True),
    ({"FAKE_UPDATER_CRASH": "1"}, False),
], ids=["error exit code", "crash"])
def test_the_updaters_failure_never_reaches_the_exit_code(sandbox, installed, updater_env,
                                                          finished):
    run = sandbox.run(installed.launcher, env=updater_env)
    check_run(sandbox, run,
              log_file([SUCC1, params(installed.destination, installed.package)]),
              started=installed.started(), finished=finished)


def test_the_launcher_waits_for_the_updater_before_the_parameter_entry(sandbox, installed):
    launch = sandbox.start(installed.launcher, env={"FAKE_UPDATER_SLEEP_MS": "3000"})
    deadline = time.monotonic() + slack(30)
    while sandbox.record(installed.updater) is None and time.monotonic() < deadline:
        time.sleep(0.05)
    assert sandbox.record(installed.updater) is not None, "the updater never started"
    # The updater runs: the launcher waits and has not logged the parameters.
    time.sleep(1)
    assert launch.running()
    assert sandbox.log() == log_file([SUCC1])
    run = launch.finish()
    assert run.seconds >= 3
    check_run(sandbox, run,
              log_file([SUCC1, params(installed.destination, installed.package)]),
              started=installed.started())
