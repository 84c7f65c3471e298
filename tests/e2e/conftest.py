"""Fixtures of the end-to-end suite: a sandbox prefix per test and the
typical product installation in it."""
from dataclasses import dataclass

import pytest

# The shared checks live in harness.py: show their failures in detail too.
pytest.register_assert_rewrite("harness")
from harness import FIXTURE, Sandbox  # noqa: E402


@pytest.fixture
def sandbox(tmp_path):
    box = Sandbox(tmp_path)
    yield box
    box.close()


@dataclass
class Installation:
    updater: str      # Quentabrix.exe in the management directory
    launcher: str
    package: str
    destination: str  # what the updater must receive first


@pytest.fixture
def installed(sandbox):
    """The sample installation of scripts/lib/fixture.env."""
    product = FIXTURE["UL_PRODUCT_DIR"] + "\\"
    return Installation(
        updater=FIXTURE["UL_MANAGE_DIR"] + "\\Quentabrix.exe",
        launcher=sandbox.install(),
        package=FIXTURE["UL_PACKAGE_DIR"] + "\\update.zip",
        destination=product + "download\\sorvane")
