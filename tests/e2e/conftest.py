"""Fixtures of the end-to-end suite: a sandbox prefix per test and the
typical product installation in it."""
from dataclasses import dataclass

import pytest

# The shared checks live in harness.py: show their failures in detail too.
pytest.register_assert_rewrite("harness")
from harness import Sandbox  # noqa: E402


@pytest.fixture(scope="session")
def _closing():
    """Prefixes being removed in the background, waited for at the end."""
    closing = []
    yield closing
    for process in closing:
        process.wait()


@pytest.fixture
def sandbox(tmp_path, _closing):
    box = Sandbox(tmp_path)
    yield box
    _closing.append(box.close())


@dataclass
class Installation:
    updater: str      # Quentabrix.exe in the management directory
    product: str      # the product directory, with its trailing backslash
    folder: str       # where the launcher and update.zip lie
    launcher: str
    package: str
    destination: str  # what the updater must receive first

    def started(self, package=None, cwd=None):
        """check_run's description of the updater run this installation makes."""
        return (self.updater, self.destination, package or self.package, cwd or self.folder)


@pytest.fixture
def installed(sandbox):
    """A product installed as its installer lays it out, and the launcher
    downloaded into a folder with a space in its name."""
    product = "C:\\Program Files\\Zof\\ZOFIXA\\"
    folder = "C:\\users\\Public\\Update Package"
    sandbox.setup(manage="C:\\Program Files\\Zof\\Manage\\", zofixa=product.rstrip("\\"))
    sandbox.product(product)
    return Installation(
        updater=sandbox.updater("C:\\Program Files\\Zof\\Manage"),
        product=product,
        folder=folder,
        launcher=sandbox.launcher(folder),
        package=folder + "\\update.zip",
        destination=product + "download\\sorvane")
