@echo off
rem UnzipLauncher @PROJECT_VERSION@: runs UnzipLauncher.exe, the one beside this
rem file, and tells by its own exit code what that run did, read from the log
rem c:\log.ini. For a deployment tool, which judges a program by its exit code.
rem
rem   check-run.cmd               runs the launcher; writes nothing but its guard
rem   check-run.cmd /record <ID>  the same, and records the outcome of every run
rem                               that gets past its arguments and its guard
rem   check-run.cmd /forget <ID>  removes that record and nothing else; starts
rem                               nothing
rem
rem The record is HKLM\SOFTWARE\UnzipLauncher\Updates\<ID> in the 32-bit view
rem (HKLM\SOFTWARE\WOW6432Node\UnzipLauncher\... on 64-bit Windows):
rem Result (REG_DWORD, the code), Line (REG_SZ, the line below) and Time
rem (REG_SZ, the date and time as cmd shows them); a later run with the same
rem ID replaces it. <ID> is 1 to 64 characters of A-Z a-z 0-9 . _ - (quotes
rem around it are removed; the arguments are read as cmd reads the caller's
rem command line, so a quote inside one is the caller's own). While it runs
rem it holds check-run.lock beside itself open (the folder must be one it may
rem write): a second run meanwhile starts nothing. The launcher, and so the
rem updater, get the caller's environment as it is, with DATE, TIME and
rem ERRORLEVEL cleared (a variable of one of those names hides cmd's own
rem value, set /?) and this script's checkrun_* variables cleared. It runs
rem ping.exe and reg.exe from System32 and the launcher, each by its full
rem path, and cmd.exe for FOR /F by %ComSpec% (pinned to System32's while
rem this script reads it). It writes one line, "check-run: <code>: <text>",
rem with the codes and texts of README.txt, "Telling a run that worked".
setlocal EnableExtensions DisableDelayedExpansion
rem Every variable it reads is set by itself first: these, the dynamic ones
rem included, are cleared (set /?: a variable of the environment hides them).
set "checkrun_vars=checkrun_comspec checkrun_self checkrun_lock checkrun_mode checkrun_id checkrun_key checkrun_arg checkrun_held checkrun_log checkrun_launcher checkrun_before checkrun_clock checkrun_system checkrun_minute checkrun_valid checkrun_now checkrun_rounds checkrun_launched checkrun_after checkrun_first checkrun_last checkrun_inlog checkrun_value checkrun_word1 checkrun_word2 checkrun_kind checkrun_code checkrun_why"
for %%V in (DATE TIME ERRORLEVEL %checkrun_vars%) do set "%%V="
rem FOR /F runs its command through %ComSpec%: cmd's own here, as every
rem program is named by its full path (cmd looks in the current folder
rem first). The launcher gets the caller's back.
set "checkrun_comspec=-%ComSpec%"
if defined SystemRoot set "ComSpec=%SystemRoot%\System32\cmd.exe"
set "checkrun_log=c:\log.ini"
rem Its own paths, before SHIFT moves %0 too.
set "checkrun_self=%~f0"
set "checkrun_lock=%~dp0check-run.lock"
set "checkrun_launcher=%~dp0UnzipLauncher.exe"

rem The arguments. An ID is checked by what is left of it once its allowed
rem characters are taken as delimiters (the two dashes before it keep its
rem first character from being read as FOR's end of line), and its length by
rem the 67th character of it with 65 "#" after it.
:arguments
set "checkrun_arg=%~1"
if not defined checkrun_arg if "%~1"=="%1" goto guard
if /i not "%checkrun_arg%"=="/record" if /i not "%checkrun_arg%"=="/forget" (
    set "checkrun_code=46" & set "checkrun_why=nothing started, nothing written: an argument it does not know"
    goto done
)
if defined checkrun_mode (
    set "checkrun_code=48" & set "checkrun_why=nothing started, nothing written: /record or /forget given twice"
    goto done
)
set "checkrun_mode=%checkrun_arg%"
set "checkrun_id=--%~2"
set "checkrun_valid=1"
if "%checkrun_id%"=="--" set "checkrun_valid="
set "checkrun_arg=%checkrun_id%#################################################################"
if not "%checkrun_arg:~66,1%"=="#" set "checkrun_valid="
for /f "eol=. delims=abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-" %%R in ("%checkrun_id%") do (
    if not "%%R"=="" set "checkrun_valid="
)
if not defined checkrun_valid (
    set "checkrun_code=47" & set "checkrun_why=nothing started, nothing written: no ID after /record or /forget, or one that is not 1 to 64 of A-Z a-z 0-9 . _ -"
    goto done
)
set "checkrun_key=HKLM\SOFTWARE\UnzipLauncher\Updates\%checkrun_id:~2%"
shift
shift
goto arguments

rem One run at a time: cmd opens a file it redirects to for writing alone,
rem so a second run cannot while this one holds it; it is let go when this
rem run ends, however it ends.
:guard
call :guarded 2>>"%checkrun_lock%"
if not defined checkrun_held (
    set "checkrun_code=44" & set "checkrun_why=nothing started: another run holds check-run.lock beside this script, or its folder cannot be written"
)
goto done

:guarded
set "checkrun_held=1"
rem reg.exe only from the system's folder: with no SystemRoot, no record.
if defined checkrun_key if not defined SystemRoot goto unrecorded
if defined checkrun_key if not exist "%SystemRoot%\System32\reg.exe" goto unrecorded
if /i "%checkrun_mode%"=="/forget" goto forget
rem The record's key, emptied: a run that cannot write it starts nothing, and
rem one ended from outside leaves no earlier Result behind.
if not defined checkrun_key goto launcher
"%SystemRoot%\System32\reg.exe" add "%checkrun_key%" /f /reg:32 >nul 2>&1
if errorlevel 1 goto unrecorded
"%SystemRoot%\System32\reg.exe" delete "%checkrun_key%" /va /f /reg:32 >nul 2>&1
if errorlevel 1 goto unrecorded
:launcher
if not exist "%checkrun_launcher%" (
    set "checkrun_code=60" & set "checkrun_why=no UnzipLauncher.exe beside check-run.cmd" & goto outcome
)
if exist "%checkrun_launcher%\*" (
    set "checkrun_code=60" & set "checkrun_why=no UnzipLauncher.exe beside check-run.cmd" & goto outcome
)

rem cmd shows a file's time to the minute only. With a log there already,
rem start only once the clock's minute (the second field of %time%) has
rem turned: a log this run writes then shows another time than the one
rem before. It waits only on a minute read as 00 to 59, and at most 65 rounds
rem of a second (ping's pause between its two echoes, whether or not they
rem come back): no clock format can hold it; an early start can only give 41.
rem cmd shows file times in the clock's present offset: this file's own time
rem and System32's cmd.exe's (NTFS, whatever drive this file is on) tell
rem whether it moved. A time read as empty still leaves each one defined.
if exist "%checkrun_log%" for %%F in ("%checkrun_log%") do set "checkrun_before=t%%~tF"
for %%F in ("%checkrun_self%") do set "checkrun_clock=t%%~tF"
for %%F in ("%SystemRoot%\System32\cmd.exe") do set "checkrun_system=t%%~tF"
if not defined checkrun_before goto start
if not defined SystemRoot goto start
for /f "tokens=2 delims=:. " %%M in ("%time%") do set "checkrun_minute=%%M"
set "checkrun_valid="
for %%T in (0 1 2 3 4 5) do for %%U in (0 1 2 3 4 5 6 7 8 9) do (
    if "%checkrun_minute%"=="%%T%%U" set "checkrun_valid=1"
)
if not "%checkrun_valid%"=="1" goto start
set "checkrun_rounds=0"
:wait
"%SystemRoot%\System32\ping.exe" -n 2 -w 1000 127.0.0.1 >nul 2>&1
set /a checkrun_rounds+=1
set "checkrun_now="
for /f "tokens=2 delims=:. " %%M in ("%time%") do set "checkrun_now=%%M"
if %checkrun_rounds% lss 65 if "%checkrun_now%"=="%checkrun_minute%" goto wait

rem The launcher starts with this script's variables cleared and the
rem caller's ComSpec; the same line, read before any of it runs, sets back
rem what the rest needs.
:start
set "ComSpec=%checkrun_comspec:~1%" & (for %%V in (checkrun_vars %checkrun_vars%) do set "%%V=") & "%checkrun_launcher%" & call set "checkrun_launched=%%errorlevel%%" & set "checkrun_vars=%checkrun_vars%" & set "checkrun_comspec=%checkrun_comspec%" & set "checkrun_self=%checkrun_self%" & set "checkrun_held=1" & set "checkrun_key=%checkrun_key%" & set "checkrun_log=%checkrun_log%" & set "checkrun_before=%checkrun_before%" & set "checkrun_clock=%checkrun_clock%" & set "checkrun_system=%checkrun_system%"
if defined SystemRoot set "ComSpec=%SystemRoot%\System32\cmd.exe"
if "%checkrun_launched%"=="1" (
    set "checkrun_code=50" & set "checkrun_why=the launcher's framework failed, or it could not be started: exit code 1"
    goto outcome
)
if not "%checkrun_launched%"=="0" (
    set "checkrun_code=52" & set "checkrun_why=the launcher did not run to its end, or could not be started: exit code %checkrun_launched%"
    goto outcome
)

if not exist "%checkrun_log%" (
    set "checkrun_code=40" & set "checkrun_why=no c:\log.ini file after the run" & goto outcome
)
if exist "%checkrun_log%\*" (
    set "checkrun_code=40" & set "checkrun_why=no c:\log.ini file after the run" & goto outcome
)
for %%F in ("%checkrun_log%") do set "checkrun_after=t%%~tF"
set "checkrun_now="
for %%F in ("%checkrun_self%") do set "checkrun_now=t%%~tF"
for %%F in ("%SystemRoot%\System32\cmd.exe") do set "checkrun_now=%checkrun_now% t%%~tF"
if defined checkrun_before if "%checkrun_after%"=="%checkrun_before%" set "checkrun_kind=41"
if defined checkrun_before if not "%checkrun_now%"=="%checkrun_clock% %checkrun_system%" set "checkrun_kind=41"
if "%checkrun_kind%"=="41" (
    set "checkrun_code=41" & set "checkrun_why=c:\log.ini is not known to be this run's: its time did not change, or the clock moved"
    goto outcome
)

rem The entries of [LOG], the first and the last. TYPE reads ANSI and, with its
rem byte-order mark, UTF-16. The log's text is only ever expanded inside
rem quotes, with its own quotes made "?" (a character no path may hold)
rem first: no character of it can end a quote and be read as a command.
for /f "usebackq tokens=1,* delims==" %%A in (`type "%checkrun_log%" 2^>nul`) do (
    set "checkrun_value=%%B"
    if not defined checkrun_value (
        set "checkrun_inlog="
        if /i "%%A"=="[LOG]" set "checkrun_inlog=1"
    ) else if defined checkrun_inlog (
        if not defined checkrun_first set "checkrun_first=%%B"
        set "checkrun_last=%%B"
    )
)
if not defined checkrun_last (
    set "checkrun_code=42" & set "checkrun_why=no [LOG] entries could be read from c:\log.ini"
    goto outcome
)
rem An entry too long for a line cmd can expand would end this script there,
rem or skip that line: either way with 43, never with an earlier code. Once
rem without quotes, each is cut to 300 characters for the lines below.
call :long
set "checkrun_first=%checkrun_first:"=?%" & set "checkrun_kind=first"
call :long
set "checkrun_last=%checkrun_last:"=?%" & if "%checkrun_kind%"=="first" set "checkrun_kind=both"
if not "%checkrun_kind%"=="both" (
    set "checkrun_code=43" & set "checkrun_why=an entry of c:\log.ini is not one this script knows"
    goto outcome
)
set "checkrun_kind="
set "checkrun_first=%checkrun_first:~0,300%"
set "checkrun_last=%checkrun_last:~0,300%"
for /f "tokens=1,2 delims=;, " %%V in ("%checkrun_last%") do (set "checkrun_word1=%%V" & set "checkrun_word2=%%W")
if "%checkrun_last:~0,1%"=="?" goto ended
if "%checkrun_word1% %checkrun_word2%"=="WaitForSingleObject timeout" (
    set "checkrun_code=30" & set "checkrun_why=the updater started and still ran after two minutes; it is left running"
    goto outcome
)
if "%checkrun_word1% %checkrun_word2%"=="WaitForSingleObject failed" set "checkrun_kind=31"
if "%checkrun_word1% %checkrun_word2%"=="ShellExecuteEx no" set "checkrun_kind=31"
if "%checkrun_kind%"=="31" (
    set "checkrun_code=31" & set "checkrun_why=the updater's start was reported, but its end was not seen"
    goto outcome
)
if "%checkrun_word1% %checkrun_word2%"=="ShellExecuteEx failed" (
    set "checkrun_code=23" & set "checkrun_why=nothing started: Windows refused to start the updater" & goto outcome
)
if "%checkrun_word1% %checkrun_word2%"=="GetRegManPath no" (
    set "checkrun_code=20" & set "checkrun_why=nothing started: the updater is missing" & goto outcome
)
if "%checkrun_word1% %checkrun_word2%"=="GetZofixaPath no" (
    set "checkrun_code=21" & set "checkrun_why=nothing started: the product folder is missing" & goto outcome
)
for %%E in (GetUnzipPackPath GetModuleFileName ReverseFind) do if "%checkrun_word1%"=="%%E" set "checkrun_kind=22"
if "%checkrun_last:~0,13%"=="LoadLibraryEx" set "checkrun_kind=24"
if "%checkrun_last:~0,14%"=="GetProcAddress" set "checkrun_kind=24"
if "%checkrun_kind%"=="22" (
    set "checkrun_code=22" & set "checkrun_why=nothing started: no update.zip beside the launcher, or its own folder unknown"
    goto outcome
)
if "%checkrun_kind%"=="24" (
    set "checkrun_code=24" & set "checkrun_why=nothing started: the shell could not be loaded" & goto outcome
)
set "checkrun_code=43" & set "checkrun_why=an entry of c:\log.ini is not one this script knows"
goto outcome

:ended
if "%checkrun_first%"=="IsZofixaPath succ[1]!" (
    set "checkrun_code=0" & set "checkrun_why=worked: the updater started on the setup file's product folder and ended within two minutes"
    goto outcome
)
if "%checkrun_first%"=="IsZofixaPath succ[2]!" (
    set "checkrun_code=10" & set "checkrun_why=the updater started and ended, but on a product folder the drive search found"
    goto outcome
)
if "%checkrun_first%"=="GetZofixaPath com!" (
    set "checkrun_code=11" & set "checkrun_why=the updater started and ended, but on the default product folder"
    goto outcome
)
set "checkrun_code=43" & set "checkrun_why=an entry of c:\log.ini is not one this script knows"

rem Result last: a rule on Result = 0 sees a record only once it is whole.
:outcome
if not defined checkrun_key goto :eof
"%SystemRoot%\System32\reg.exe" add "%checkrun_key%" /v Line /t REG_SZ /d "check-run: %checkrun_code%: %checkrun_why%" /f /reg:32 >nul 2>&1
if errorlevel 1 goto unrecorded
"%SystemRoot%\System32\reg.exe" add "%checkrun_key%" /v Time /t REG_SZ /d "%date% %time%" /f /reg:32 >nul 2>&1
if errorlevel 1 goto unrecorded
"%SystemRoot%\System32\reg.exe" add "%checkrun_key%" /v Result /t REG_DWORD /d %checkrun_code% /f /reg:32 >nul 2>&1
if errorlevel 1 goto unrecorded
goto :eof

rem Gone when reg finds no key after its delete.
:forget
"%SystemRoot%\System32\reg.exe" delete "%checkrun_key%" /f /reg:32 >nul 2>&1
"%SystemRoot%\System32\reg.exe" query "%checkrun_key%" /reg:32 >nul 2>&1
if not errorlevel 1 goto unrecorded
set "checkrun_code=0" & set "checkrun_why=the record is gone: removed, or there was none"
goto :eof

:long
exit /b 43

:unrecorded
set "checkrun_code=45" & set "checkrun_why=the record could not be written or removed: only an elevated run or SYSTEM may"
goto :eof

:done
echo check-run: %checkrun_code%: %checkrun_why%
exit /b %checkrun_code%
