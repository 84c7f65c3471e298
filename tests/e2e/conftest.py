"""Fixtures of the end-to-end suite: a sandbox prefix per test and the
typical product installation in it."""
import pytest

# The shared checks live in harness.py: show their failures in detail too.
pytest.register_assert_rewrite("harness")
from harness import Sandbox  # noqa: E402


@pytest.fixture
def sandbox(tmp_path):
    box = Sandbox(tmp_path)
    yield box
    box.close()


@pytest.fixture
def installed(sandbox):
    """The sample installation of scripts/lib/fixture.env; the launcher's path."""
    return sandbox.install()
