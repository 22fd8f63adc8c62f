@echo off
rem Refuses to go on from a folder that users other than administrators can change: a program
rem that loads Sheetlore.dll runs whatever such a user puts there, with its own rights (an
rem administrator's Excel, a service). Called by install.cmd and install-user.cmd:
rem   folder-check.cmd [/lockdown]
rem /lockdown first locks the folder down (administrators only): inheritance off,
rem Administrators and SYSTEM full control, Users read and execute. The check and the lock are
rem made by sheetlore.exe, which reads and writes the access list by SIDs (any language).
setlocal
set "here=%~dp0"
set "here=%here:~0,-1%"
set "tool=%here%\x86\sheetlore.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "tool=%here%\x64\sheetlore.exe"
set "report=%TEMP%\sheetlore-folder-check.txt"
set "lock="
if /i "%~1"=="/lockdown" set "lock=--lock"
"%tool%" folder-access "%here%" %lock% >"%report%" 2>&1
if errorlevel 1 goto refused
del "%report%" >nul 2>&1
if defined lock echo Sheetlore: "%here%" is locked down: only administrators can change it.
exit /b 0

:refused
type "%report%"
del "%report%" >nul 2>&1
echo.
echo Sheetlore: not registered. Users other than administrators can change "%here%"
echo or files in it, so any of them could run code in every program that loads Sheetlore.
echo Remedy: extract Sheetlore to a folder under "%ProgramFiles%" or install the MSI; or, from
echo an administrator command prompt, run install.cmd /lockdown to lock this folder down.
exit /b 1
