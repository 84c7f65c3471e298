@echo off
rem The test pack of UnzipLauncher @PROJECT_VERSION@: every test is in
rem UnzipLauncherTests.exe, which decides, reports and sets the exit code.
rem Only on a test machine:  run.cmd --test-machine
"%~dp0UnzipLauncherTests.exe" %*
