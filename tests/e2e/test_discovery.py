"""How the management and product directories are found: the setup file,
its defaults, the marker libraries and the search over the drives C to Z."""
import pytest

from harness import (COM, NO_PRODUCT, NO_UPDATER, SHARE, SUCC1, SUCC2, UPDATER, check_run,
                     log_file, params, slack)

DEFAULT = "C:\\Zof\\ZOFIXA\\"
PACKAGE = "C:\\pkg\\update.zip"


def product_found(updater, entry, product):
    """check_run's arguments for a run that started the updater with product."""
    destination = product + "download\\sorvane"
    return dict(log=log_file([entry, params(destination, PACKAGE)]),
                started=(updater, destination, PACKAGE, "C:\\pkg"))


def first_letter_wins(sandbox):
    sandbox.map_drive("d")
    for letter in "ABDE":  # A: and B: are never tried
        sandbox.product(f"{letter}:\\Zof\\ZOFIXA\\")


def one_marker_alone_never_counts(sandbox):
    sandbox.product("E:\\Zof\\ZOFIXA\\", markers=["Halvo.dll"])
    sandbox.product("F:\\Zof\\ZOFIXA\\", markers=["Murtelan.dll"])
    sandbox.product("G:\\Zof\\ZOFIXA\\")


def a_directory_named_like_a_marker_counts(sandbox):
    sandbox.mkdir("E:\\Zof\\ZOFIXA\\Halvo.dll")
    sandbox.product("E:\\Zof\\ZOFIXA\\", markers=["Murtelan.dll"])


def drives_without_a_medium_up_to_z(sandbox):
    for letter in "DEFGHIJKLMNOPQRSTUVWXY":
        sandbox.map_drive(letter, medium=False)
    sandbox.map_drive("z")
    sandbox.product("Z:\\Zof\\ZOFIXA\\")


@pytest.mark.parametrize("layout, found", [
    pytest.param(first_letter_wins, "D:\\Zof\\ZOFIXA\\", id="first letter wins"),
    pytest.param(one_marker_alone_never_counts, "G:\\Zof\\ZOFIXA\\",
                 id="one marker alone never counts"),
    pytest.param(a_directory_named_like_a_marker_counts, "E:\\Zof\\ZOFIXA\\",
                 id="a directory named Halvo.dll counts"),
    pytest.param(drives_without_a_medium_up_to_z, "Z:\\Zof\\ZOFIXA\\",
                 id="drives without a medium are skipped up to Z:"),
])
def test_drive_search(sandbox, layout, found):
    sandbox.setup(manage="C:\\Mgr", zofixa="C:\\Nowhere\\ZOFIXA")
    updater = sandbox.updater("C:\\Mgr")
    launcher = sandbox.launcher("C:\\pkg")
    layout(sandbox)
    run = sandbox.run(launcher)
    check_run(sandbox, run, **product_found(updater, SUCC2, found))
    # Under Wine a drive without a medium fails at once; quietly, in any case.
    assert run.seconds < slack(10)


def test_an_empty_product_value_goes_straight_to_the_search(sandbox):
    # The default directory is valid, but only the search may find it.
    sandbox.setup(manage="C:\\Mgr", zofixa="")
    updater = sandbox.updater("C:\\Mgr")
    sandbox.product(DEFAULT)
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    check_run(sandbox, run, **product_found(updater, SUCC2, DEFAULT))


def test_a_failed_setup_value_is_not_retried_on_other_drives(sandbox):
    sandbox.setup(manage="C:\\Mgr", zofixa="C:\\Tools\\ZOFIXA")
    sandbox.updater("C:\\Mgr")
    sandbox.product("E:\\Tools\\ZOFIXA\\")
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    check_run(sandbox, run, log_file([COM, NO_PRODUCT + DEFAULT]))


def test_nothing_found_takes_the_default_directory_when_it_exists(sandbox):
    sandbox.setup(manage="C:\\Mgr", zofixa="C:\\Tools\\ZOFIXA")
    updater = sandbox.updater("C:\\Mgr")
    sandbox.mkdir(DEFAULT)  # no marker libraries in it
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    check_run(sandbox, run, **product_found(updater, COM, DEFAULT))


@pytest.mark.parametrize("setup_text", [
    "[MANAGE]\nPATH=C:\\Mgr\n",
    "[MANAGE]\nPATH=C:\\Mgr\n[ZOFIXA]\nOTHER=E:\\Zof\\ZOFIXA\n",
], ids=["no section", "no key"])
def test_the_default_product_value_is_validated_first(sandbox, setup_text):
    sandbox.setup_file(setup_text)
    updater = sandbox.updater("C:\\Mgr")
    sandbox.product(DEFAULT)
    sandbox.product("E:\\Zof\\ZOFIXA\\")
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    check_run(sandbox, run, **product_found(updater, SUCC1, DEFAULT))


@pytest.mark.parametrize("zofixa, product", [
    ("E:\\Tools\\ZOFIXA", "E:\\Tools\\ZOFIXA\\"),       # one backslash is added
    ("E:\\Tools\\ZOFIXA\\\\", "E:\\Tools\\ZOFIXA\\\\"),  # both are kept
])
def test_trailing_backslashes_of_the_setup_values(sandbox, zofixa, product):
    # The management value loses its whole run of backslashes, then gets one.
    sandbox.setup(manage="C:\\Program Files\\Mgr\\\\\\", zofixa=zofixa)
    updater = sandbox.updater("C:\\Program Files\\Mgr")
    sandbox.product("E:\\Tools\\ZOFIXA\\")
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    check_run(sandbox, run, **product_found(updater, SUCC1, product))


@pytest.mark.parametrize("manage", [None, "", "\\\\", "Mgr", "C:Mgr", "\\Mgr"],
                         ids=["no setup value", "empty", "backslashes", "relative",
                              "drive-relative", "root-relative"])
def test_no_updater_is_started_from_a_place_that_is_not_absolute(sandbox, manage):
    # Planted where a relative management directory would resolve: the root
    # of the current drive, the current directory and below both.
    for place in ["C:\\", "C:\\pkg", "C:\\pkg\\Mgr", "C:\\Mgr"]:
        sandbox.updater(place)
    sandbox.setup(manage=manage, zofixa=DEFAULT)
    sandbox.product(DEFAULT)
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    built = (manage or "").rstrip("\\") + "\\" + UPDATER
    check_run(sandbox, run, log_file([NO_UPDATER + built]))


@pytest.mark.parametrize("manage", ["C:/Ixa Manage", SHARE.replace("\\", "/") + "/Ixa Manage"],
                         ids=["drive", "share"])
def test_an_absolute_management_directory_may_be_written_with_forward_slashes(sandbox, manage):
    # Windows takes either slash; the launcher only appends its backslash.
    sandbox.setup(manage=manage, zofixa=DEFAULT)
    sandbox.updater(manage)
    updater = manage + "\\" + UPDATER
    sandbox.updaters = [updater]  # as the launcher names it
    sandbox.product(DEFAULT)
    # Where the stand-in records, said outright: under Wine a program on a
    # share does not know its own folder.
    record = str(sandbox.record_path(updater))
    run = sandbox.run(sandbox.launcher("C:\\pkg"), env={"FAKE_UPDATER_RECORD": record})
    check_run(sandbox, run, **product_found(updater, SUCC1, DEFAULT))
