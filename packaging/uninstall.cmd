@echo off
rem Removes the machine-wide registration of Sheetlore (administrator command prompt), and the
rem setting that names the shared paper store. The files stay: delete the folder afterwards.
rem The papers stay in %ProgramData%\Sheetlore\PrintSet.ini.
call "%~dp0register.cmd" /u
if errorlevel 1 exit /b 1
set "reg=%SystemRoot%\System32\reg.exe"
if exist "%SystemRoot%\Sysnative\reg.exe" set "reg=%SystemRoot%\Sysnative\reg.exe"
"%reg%" delete "HKLM\Software\Sheetlore" /v StoreFile /f >nul 2>&1
echo Sheetlore is no longer registered for every user.
exit /b 0
