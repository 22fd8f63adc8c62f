@echo off
rem Registers Sheetlore for the current user only; needs no administrator rights. Run it from
rem the folder where Sheetlore is to stay (registration records the DLLs' paths). It refuses a
rem folder that other users can change (see folder-check.cmd).
rem   install-user.cmd [/pause | /nopause]
rem Double-clicked in Explorer (cmd /c with this script's full path and no arguments), it waits
rem for a key before its window closes, so that what it says can be read; from a command prompt
rem or another script it does not. /pause and /nopause decide instead.
setlocal
set "pause_at_end="
if /i "%~1"=="/pause" set "pause_at_end=1"
if not "%~1"=="" goto arguments_read
call :started_from_explorer
if not errorlevel 1 set "pause_at_end=1"
:arguments_read
call :install
set "status=%errorlevel%"
if defined pause_at_end pause
exit /b %status%

:install
call "%~dp0folder-check.cmd"
if errorlevel 1 exit /b 1
call "%~dp0register.cmd" /n /i:user
if errorlevel 1 exit /b 1
echo Sheetlore is installed for %USERNAME%.
exit /b 0

rem Exit status 0 when this cmd was started as Explorer starts a script: cmd /c ""FULL PATH" ".
rem An interactive command prompt has no /c; a script that calls this one by a relative name
rem does not hold its full path.
:started_from_explorer
if not defined CMDCMDLINE exit /b 1
set "line=%CMDCMDLINE:"=%"
if /i "%line: /c =%"=="%line%" exit /b 1
call set "rest=%%line:%~f0=%%"
if /i "%rest%"=="%line%" exit /b 1
exit /b 0
