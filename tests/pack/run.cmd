@echo off
rem The test pack of UnzipLauncher @PROJECT_VERSION@: runs every test program
rem beside this file through e2e_runner.exe, which decides, reports and sets
rem the exit code. Only on a test machine:  run.cmd --test-machine
"%~dp0e2e_runner.exe" %*
