@echo off
rem UnzipLauncher @PROJECT_VERSION@: runs UnzipLauncher.exe, the one beside this
rem file, and tells by its own exit code what that run did, read from the log
rem c:\log.ini. For a deployment tool, which judges a program by its exit code.
rem It changes nothing itself; it only reads the log and the clock.
rem
rem   0   worked: the product folder came from [ZOFIXA] PATH and the updater
rem       started and ended within two minutes (whether the update itself
rem       succeeded is the updater's to tell)
rem   10  started and ended, but the product folder came from the drive search
rem   11  started and ended, but the product folder was the default, as it is
rem   20  nothing started: the updater is missing
rem   21  nothing started: the product folder is missing
rem   22  nothing started: update.zip is not beside the launcher, or the
rem       launcher's own folder is unknown
rem   23  nothing started: Windows refused to start the updater
rem   24  nothing started: the shell could not be loaded
rem   30  started, still running after two minutes (left running)
rem   31  started, its end not seen
rem   40  no log after the run
rem   41  the log is not this run's: the run could not write it
rem   42  the log holds no entries this script can read
rem   43  the last entry is one this script does not know
rem   50  the launcher's framework failed (the launcher's exit code 1)
rem   51  the launcher did not run to its end (another exit code)
rem   60  no UnzipLauncher.exe beside this file
setlocal EnableExtensions DisableDelayedExpansion
set "log=c:\log.ini"
set "launcher=%~dp0UnzipLauncher.exe"
if not exist "%launcher%" (
    set "code=60" & set "why=no UnzipLauncher.exe beside check-run.cmd" & goto done
)

rem cmd shows a file's time to the minute only. With a log there already,
rem start only once the clock's minute (the second field of %time%) has
rem turned: a log this run writes then shows another time than the one
rem before. Ping to the machine itself takes a second between its echoes.
rem The loop is plain labels and gotos, no CALL and no goto out of a FOR:
rem what every cmd runs alike, Wine's too.
set "before="
if exist "%log%" for %%F in ("%log%") do set "before=%%~tF"
if not defined before goto start
set "minute="
for /f "tokens=2 delims=:. " %%M in ("%time%") do set "minute=%%M"
:wait
>nul 2>&1 ping -n 2 127.0.0.1
set "now="
for /f "tokens=2 delims=:. " %%M in ("%time%") do set "now=%%M"
if defined minute if "%now%"=="%minute%" goto wait

:start
"%launcher%"
set "launched=%errorlevel%"
if "%launched%"=="1" (
    set "code=50" & set "why=the launcher's framework failed: exit code 1" & goto done
)
if not "%launched%"=="0" (
    set "code=51" & set "why=the launcher ended with exit code %launched%" & goto done
)

if not exist "%log%" (set "code=40" & set "why=no c:\log.ini after the run" & goto done)
if exist "%log%\*" (set "code=40" & set "why=c:\log.ini is a folder" & goto done)
set "after="
for %%F in ("%log%") do set "after=%%~tF"
if defined before if "%after%"=="%before%" (
    set "code=41" & set "why=c:\log.ini is not this run's: it could not be written" & goto done
)

rem The entries of [LOG], the first and the last. TYPE reads ANSI and, with its
rem byte-order mark, UTF-16.
set "first="
set "last="
set "inlog="
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
rem Only the entry of the two quoted arguments holds quotes; "?" stands for
rem them, a character no path may hold, so that the comparisons stay whole.
set "last=%last:"=?%"
set "word1="
set "word2="
for /f "tokens=1,2 delims=;, " %%V in ("%last%") do (set "word1=%%V" & set "word2=%%W")
if "%last:~0,1%"=="?" goto ended
if "%word1% %word2%"=="WaitForSingleObject timeout" (
    set "code=30" & set "why=the updater still ran after two minutes; it is left running"
    goto done
)
if "%word1% %word2%"=="WaitForSingleObject failed" (
    set "code=31" & set "why=the updater was started; its end was not seen" & goto done
)
if "%word1% %word2%"=="ShellExecuteEx no" (
    set "code=31" & set "why=the updater was started; its end was not seen" & goto done
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
set "kind="
for %%E in (GetUnzipPackPath GetModuleFileName ReverseFind) do if "%word1%"=="%%E" set "kind=22"
if "%last:~0,13%"=="LoadLibraryEx" set "kind=24"
if "%last:~0,14%"=="GetProcAddress" set "kind=24"
if "%kind%"=="22" (
    set "code=22" & set "why=nothing started: no update.zip beside the launcher" & goto done
)
if "%kind%"=="24" (
    set "code=24" & set "why=nothing started: the shell could not be loaded" & goto done
)
set "code=43" & set "why=the last entry of c:\log.ini is not one this script knows"
goto done

:ended
if "%first%"=="IsZofixaPath succ[1]!" (
    set "code=0" & set "why=worked: the updater started and ended within two minutes"
    goto done
)
if "%first%"=="IsZofixaPath succ[2]!" (
    set "code=10" & set "why=the updater ran, but on a product folder the drive search found"
    goto done
)
if "%first%"=="GetZofixaPath com!" (
    set "code=11" & set "why=the updater ran, but on the default product folder" & goto done
)
set "code=43" & set "why=the first entry of c:\log.ini is not one this script knows"

:done
echo check-run: %code%: %why%
exit /b %code%
