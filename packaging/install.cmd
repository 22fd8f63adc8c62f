@echo off
rem Registers Sheetlore for every user of this computer. Run it from an administrator command
rem prompt, from the folder where Sheetlore is to stay (registration records the DLLs' paths).
call "%~dp0register.cmd"
if errorlevel 1 exit /b 1
rem Every user may store papers: grant the Users group (S-1-5-32-545) modify rights on the
rem paper stores. Not fatal: a folder the users can already write needs nothing.
for %%a in (x64 x86) do (
  if exist "%~dp0%%a\PrintSet.ini" icacls "%~dp0%%a\PrintSet.ini" /grant *S-1-5-32-545:M >nul 2>&1
)
echo Sheetlore is installed for every user.
exit /b 0
