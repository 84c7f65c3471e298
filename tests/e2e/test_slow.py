"""The two-minute bound: an updater still running is left running."""
import time

import pytest

from harness import SUCC1, check_run, log_file, params, slack

WAIT_S = 120


@pytest.mark.slow
def test_an_updater_still_running_after_two_minutes_is_left_running(sandbox, installed):
    # The updater ends five seconds after the launcher's wait has run out.
    run = sandbox.run(installed.launcher,
                      env={"FAKE_UPDATER_SLEEP_MS": str((WAIT_S + 5) * 1000)})
    assert WAIT_S - 0.5 <= run.seconds <= WAIT_S + slack(10)
    check_run(sandbox, run,
              log_file([SUCC1,
                        params(installed.destination, installed.package),
                        "WaitForSingleObject timeout;ms=120000"]),
              started=installed.started(), finished=False)
    deadline = time.monotonic() + slack(30)
    while "finished" not in sandbox.record(installed.updater):
        assert time.monotonic() < deadline, "the updater was not left running"
        time.sleep(0.2)
