@echo off
rem Registers Sheetlore for the current user only; needs no administrator rights. Run it from
rem the folder where Sheetlore is to stay (registration records the DLLs' paths). It refuses a
rem folder that other users can change (see folder-check.cmd).
call "%~dp0folder-check.cmd"
if errorlevel 1 exit /b 1
call "%~dp0register.cmd" /n /i:user
if errorlevel 1 exit /b 1
echo Sheetlore is installed for %USERNAME%.
exit /b 0
