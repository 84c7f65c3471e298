"""The diagnostic log c:\\log.ini: one run per log, other sections kept,
the stale log.ini beside the launcher, and a log that cannot be written."""
import pytest

from harness import NO_UPDATER, SUCC1, check_run, log_file, params


def test_each_run_replaces_every_entry_of_earlier_runs_and_keeps_other_sections(sandbox,
                                                                                installed):
    other = b"[OTHER]\r\nkeep=1\r\n"
    longer = log_file(["old 0", "old 1", "old 2", "old 3"])
    sandbox.write("C:\\log.ini", longer + other)

    run = sandbox.run(installed.launcher)
    check_run(sandbox, run,
              log_file([SUCC1, params(installed.destination, installed.package)], before=other),
              started=installed.started())

    sandbox.remove_updater(installed.updater)
    run = sandbox.run(installed.launcher)
    check_run(sandbox, run,
              log_file([NO_UPDATER + installed.updater], before=other))


def test_a_stale_log_beside_the_launcher_is_deleted(sandbox, installed):
    sandbox.write(installed.folder + "\\log.ini", log_file(["stale"]))
    run = sandbox.run(installed.launcher)
    assert not sandbox.host(installed.folder + "\\log.ini").exists()
    check_run(sandbox, run,
              log_file([SUCC1, params(installed.destination, installed.package)]),
              started=installed.started())


def test_from_the_root_of_c_the_log_is_deleted_and_written_anew(sandbox, installed):
    sandbox.write("C:\\log.ini", log_file(["old 0", "old 1", "old 2", "old 3"]))
    launcher = sandbox.launcher("C:\\")
    run = sandbox.run(launcher)
    check_run(sandbox, run,
              log_file([SUCC1, params(installed.destination, "C:\\update.zip")]),
              started=installed.started(package="C:\\update.zip", cwd="C:\\"))


def log_is_read_only(sandbox):
    kept = log_file(["kept"])
    sandbox.write("C:\\log.ini", kept)
    if not sandbox.make_read_only("C:\\log.ini"):
        pytest.skip("this file system cannot make a file read-only for root")
    return kept


def log_is_a_directory(sandbox):
    sandbox.mkdir("C:\\log.ini")
    return None


@pytest.mark.parametrize("block, is_dir", [
    pytest.param(log_is_read_only, False, id="read-only"),
    pytest.param(log_is_a_directory, True, id="a directory"),
])
def test_an_unwritable_log_changes_nothing_else(sandbox, installed, block, is_dir):
    expected = block(sandbox)
    run = sandbox.run(installed.launcher)
    check_run(sandbox, run, expected, started=installed.started())
    assert sandbox.host("C:\\log.ini").is_dir() == is_dir
