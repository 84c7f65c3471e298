@echo off
rem UnzipLauncher @PROJECT_VERSION@: runs UnzipLauncher.exe, the one beside this
rem file, and tells by its own exit code what that run did, read from the log
rem c:\log.ini. For a deployment tool, which judges a program by its exit code.
rem It changes nothing itself; it only reads the log and the clock. It writes
rem one line, "check-run: <code>: <text>", with these codes and texts:
rem
rem   0   worked: the updater started on the setup file's product folder and
rem       ended within two minutes
rem   10  the updater started and ended, but on a product folder the drive
rem       search found
rem   11  the updater started and ended, but on the default product folder
rem   20  nothing started: the updater is missing
rem   21  nothing started: the product folder is missing
rem   22  nothing started: no update.zip beside the launcher, or its own
rem       folder unknown
rem   23  nothing started: Windows refused to start the updater
rem   24  nothing started: the shell could not be loaded
rem   30  the updater started and still ran after two minutes; it is left
rem       running
rem   31  the updater's start was reported, but its end was not seen
rem   40  no c:\log.ini file after the run
rem   41  c:\log.ini is not known to be this run's: its time did not change,
rem       or the clock moved
rem   42  no [LOG] entries could be read from c:\log.ini
rem   43  an entry of c:\log.ini is not one this script knows
rem   50  the launcher's framework failed: exit code 1
rem   52  the launcher did not run to its end: exit code <n>
rem   60  no UnzipLauncher.exe beside check-run.cmd
setlocal EnableExtensions DisableDelayedExpansion
rem A variable of the environment named like one of cmd's own (TIME,
rem ERRORLEVEL) hides cmd's value (set /?): clear every one this script reads.
for %%V in (TIME ERRORLEVEL log launcher before clock minute valid now rounds launched after first last inlog value word1 word2 kind code why) do set "%%V="
rem FOR /F runs its command through %ComSpec%: cmd's own, as every program
rem here is named by its full path (cmd looks in the current folder first).
if defined SystemRoot set "ComSpec=%SystemRoot%\System32\cmd.exe"
set "log=c:\log.ini"
set "launcher=%~dp0UnzipLauncher.exe"
if not exist "%launcher%" (
    set "code=60" & set "why=no UnzipLauncher.exe beside check-run.cmd" & goto done
)
if exist "%launcher%\*" (
    set "code=60" & set "why=no UnzipLauncher.exe beside check-run.cmd" & goto done
)

rem cmd shows a file's time to the minute only. With a log there already,
rem start only once the clock's minute (the second field of %time%) has
rem turned: a log this run writes then shows another time than the one
rem before. It waits only on a minute read as 00 to 59, and at most 65 rounds
rem of a second (ping's pause between its two echoes): no clock format can
rem hold it; an early start can only give 41. cmd shows file times in the
rem clock's present offset: this file's own time tells whether it moved.
if exist "%log%" for %%F in ("%log%") do set "before=%%~tF"
for %%F in ("%~f0") do set "clock=%%~tF"
if not defined before goto start
if not defined SystemRoot goto start
for /f "tokens=2 delims=:. " %%M in ("%time%") do set "minute=%%M"
for %%T in (0 1 2 3 4 5) do for %%U in (0 1 2 3 4 5 6 7 8 9) do (
    if "%minute%"=="%%T%%U" set "valid=1"
)
if not defined valid goto start
set "rounds=0"
:wait
"%SystemRoot%\System32\ping.exe" -n 2 127.0.0.1 >nul 2>&1
set /a rounds+=1
set "now="
for /f "tokens=2 delims=:. " %%M in ("%time%") do set "now=%%M"
if %rounds% lss 65 if "%now%"=="%minute%" goto wait

:start
"%launcher%"
set "launched=%errorlevel%"
if "%launched%"=="1" (
    set "code=50" & set "why=the launcher's framework failed: exit code 1" & goto done
)
if not "%launched%"=="0" (
    set "code=52" & set "why=the launcher did not run to its end: exit code %launched%"
    goto done
)

if not exist "%log%" (set "code=40" & set "why=no c:\log.ini file after the run" & goto done)
if exist "%log%\*" (set "code=40" & set "why=no c:\log.ini file after the run" & goto done)
for %%F in ("%log%") do set "after=%%~tF"
if defined before if "%after%"=="%before%" (
    set "code=41" & set "why=c:\log.ini is not known to be this run's: its time did not change, or the clock moved"
    goto done
)
for %%F in ("%~f0") do set "now=%%~tF"
if defined before if not "%now%"=="%clock%" (
    set "code=41" & set "why=c:\log.ini is not known to be this run's: its time did not change, or the clock moved"
    goto done
)

rem The entries of [LOG], the first and the last. TYPE reads ANSI and, with its
rem byte-order mark, UTF-16. The log's text is only ever expanded inside
rem quotes, with its own quotes made "?" (a character no path may hold)
rem first: no character of it can end a quote and be read as a command.
for /f "usebackq tokens=1,* delims==" %%A in (`type "%log%" 2^>nul`) do (
    set "value=%%B"
    if not defined value (
        set "inlog="
        if /i "%%A"=="[LOG]" set "inlog=1"
    ) else if defined inlog (
        if not defined first set "first=%%B"
        set "last=%%B"
    )
)
if not defined last (
    set "code=42" & set "why=no [LOG] entries could be read from c:\log.ini" & goto done
)
set "first=%first:"=?%"
set "last=%last:"=?%"
for /f "tokens=1,2 delims=;, " %%V in ("%last%") do (set "word1=%%V" & set "word2=%%W")
if "%last:~0,1%"=="?" goto ended
if "%word1% %word2%"=="WaitForSingleObject timeout" (
    set "code=30" & set "why=the updater started and still ran after two minutes; it is left running"
    goto done
)
set "kind="
if "%word1% %word2%"=="WaitForSingleObject failed" set "kind=31"
if "%word1% %word2%"=="ShellExecuteEx no" set "kind=31"
if "%kind%"=="31" (
    set "code=31" & set "why=the updater's start was reported, but its end was not seen"
    goto done
)
if "%word1% %word2%"=="ShellExecuteEx failed" (
    set "code=23" & set "why=nothing started: Windows refused to start the updater" & goto done
)
if "%word1% %word2%"=="GetRegManPath no" (
    set "code=20" & set "why=nothing started: the updater is missing" & goto done
)
if "%word1% %word2%"=="GetZofixaPath no" (
    set "code=21" & set "why=nothing started: the product folder is missing" & goto done
)
for %%E in (GetUnzipPackPath GetModuleFileName ReverseFind) do if "%word1%"=="%%E" set "kind=22"
if "%last:~0,13%"=="LoadLibraryEx" set "kind=24"
if "%last:~0,14%"=="GetProcAddress" set "kind=24"
if "%kind%"=="22" (
    set "code=22" & set "why=nothing started: no update.zip beside the launcher, or its own folder unknown"
    goto done
)
if "%kind%"=="24" (
    set "code=24" & set "why=nothing started: the shell could not be loaded" & goto done
)
set "code=43" & set "why=an entry of c:\log.ini is not one this script knows"
goto done

:ended
if "%first%"=="IsZofixaPath succ[1]!" (
    set "code=0" & set "why=worked: the updater started on the setup file's product folder and ended within two minutes"
    goto done
)
if "%first%"=="IsZofixaPath succ[2]!" (
    set "code=10" & set "why=the updater started and ended, but on a product folder the drive search found"
    goto done
)
if "%first%"=="GetZofixaPath com!" (
    set "code=11" & set "why=the updater started and ended, but on the default product folder"
    goto done
)
set "code=43" & set "why=an entry of c:\log.ini is not one this script knows"

:done
echo check-run: %code%: %why%
exit /b %code%
