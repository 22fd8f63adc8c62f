@echo off
rem Removes the current user's registration of Sheetlore. The files stay: delete the folder
rem afterwards.
call "%~dp0register.cmd" /u /n /i:user
if errorlevel 1 exit /b 1
echo Sheetlore is no longer registered for %USERNAME%.
exit /b 0
