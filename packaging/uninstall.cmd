@echo off
rem Removes the machine-wide registration of Sheetlore (administrator command prompt). The
rem files stay: delete the folder afterwards.
call "%~dp0register.cmd" /u
if errorlevel 1 exit /b 1
echo Sheetlore is no longer registered for every user.
exit /b 0
