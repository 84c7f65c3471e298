"""Fixtures of the end-to-end suite: a sandbox prefix per test and the
typical product installation in it."""
from dataclasses import dataclass

import pytest

# The shared checks live in harness.py: show their failures in detail too.
pytest.register_assert_rewrite("harness")
from harness import FIXTURE, Sandbox  # noqa: E402


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


def install(sandbox):
    """The sample installation of scripts/lib/fixture.env: a product as its
    installer lays it out, and the launcher downloaded into a folder with a
    space in its name. The setup file goes where the launcher reads it: the
    system directory of a 32-bit program."""
    product = FIXTURE["UL_PRODUCT_DIR"] + "\\"
    folder = FIXTURE["UL_PACKAGE_DIR"]
    sandbox.setup(FIXTURE["UL_MANAGE_DIR"] + "\\", FIXTURE["UL_PRODUCT_DIR"])
    sandbox.product(product)
    return Installation(
        updater=sandbox.updater(FIXTURE["UL_MANAGE_DIR"]),
        product=product,
        folder=folder,
        launcher=sandbox.launcher(folder),
        package=folder + "\\update.zip",
        destination=product + "download\\sorvane")


@pytest.fixture
def installed(sandbox):
    return install(sandbox)
