"""The diagnostic log c:\\log.ini: numbering per run, what earlier runs left,
the stale log.ini beside the launcher, and a log that cannot be written."""
import pytest

from harness import check_run, log_file, params

SUCC1 = "IsZofixaPath succ[1]!"


def test_each_run_numbers_from_0_and_keeps_what_it_does_not_write(sandbox, installed):
    earlier = b"[OTHER]\r\nkeep=1\r\n"
    old = [("0", "old 0"), ("1", "old 1"), ("2", "old 2")]
    sandbox.write("C:\\log.ini", log_file(old, before=earlier))
    parameter_entry = params(installed.destination, installed.package)

    run = sandbox.run(installed.launcher)
    check_run(sandbox, run, log_file([SUCC1, parameter_entry, old[2]], before=earlier),
              started=installed.started())

    sandbox.remove_updater(installed.updater)
    run = sandbox.run(installed.launcher)
    check_run(sandbox, run,
              log_file(["GetRegManPath no exists, path=" + installed.updater,
                        parameter_entry, old[2]], before=earlier))


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


@pytest.mark.parametrize("blocked", ["read-only", "a directory"])
def test_an_unwritable_log_changes_nothing_else(sandbox, installed, blocked):
    if blocked == "a directory":
        sandbox.mkdir("C:\\log.ini")
        expected = None
    else:
        expected = log_file(["kept"])
        sandbox.write("C:\\log.ini", expected)
        if not sandbox.make_read_only("C:\\log.ini"):
            pytest.skip("this file system cannot make a file read-only for root")
    run = sandbox.run(installed.launcher)
    check_run(sandbox, run, expected, started=installed.started())
    assert sandbox.host("C:\\log.ini").is_dir() == (blocked == "a directory")
