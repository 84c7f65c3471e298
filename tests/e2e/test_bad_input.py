"""Bad input: overlong and non-ASCII setup values, non-ASCII folders, a setup
file that is no file. Each run ends with exit code 0 and logs only what it
always logs."""
from harness import NO_UPDATER, SUCC1, SUCC2, UPDATER, check_run, log_file, params

LONG = 5000


def test_overlong_setup_values_are_cut_by_the_reader(sandbox):
    # 1023 and 259 characters fit the two buffers.
    manage = "C:\\" + "m" * (LONG - 3)
    sandbox.setup(manage=manage, zofixa="C:\\Tools\\ZOFIXA")
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    check_run(sandbox, run,
              log_file([NO_UPDATER + manage[:1023] + "\\" + UPDATER]))


def test_an_overlong_product_value_fails_validation_and_the_search_runs(sandbox):
    sandbox.setup(manage="C:\\Mgr", zofixa="C:\\" + "z" * (LONG - 3))
    updater = sandbox.updater("C:\\Mgr")
    sandbox.product("E:\\Zof\\ZOFIXA\\")
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    destination = "E:\\Zof\\ZOFIXA\\download\\sorvane"
    check_run(sandbox, run,
              log_file([SUCC2, params(destination, "C:\\pkg\\update.zip")]),
              started=(updater, destination, "C:\\pkg\\update.zip", "C:\\pkg"))


def test_unicode_setup_file_and_non_ascii_folders(sandbox):
    # A UTF-16 setup file with a byte-order mark; the log itself is written in
    # the ANSI code page, so "更新" reaches it as "??" and the updater intact.
    manage = "C:\\Prögramme\\Zöf Verwaltung"
    product = "C:\\Prögramme\\Zöf 更新\\ZOFIXA\\"
    folder = "C:\\Téléchargements\\Mise à jour 更新"
    sandbox.setup_file(f"\ufeff[MANAGE]\nPATH={manage}\n[ZOFIXA]\nPATH={product}\n",
                       encoding="utf-16-le")
    updater = sandbox.updater(manage)
    sandbox.product(product)
    run = sandbox.run(sandbox.launcher(folder))
    destination, package = product + "download\\sorvane", folder + "\\update.zip"
    check_run(sandbox, run,
              log_file([SUCC1, params(destination, package)]),
              started=(updater, destination, package, folder))


def test_a_setup_file_that_is_a_directory_reads_as_missing(sandbox):
    sandbox.mkdir("C:\\windows\\system32\\IxaSetup.ini")
    sandbox.updater("C:\\")  # where a missing management value would point
    sandbox.product("C:\\Zof\\ZOFIXA\\")
    run = sandbox.run(sandbox.launcher("C:\\pkg"))
    check_run(sandbox, run, log_file([NO_UPDATER + "\\" + UPDATER]))
