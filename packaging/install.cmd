@echo off
rem Registers Sheetlore for every user of this computer. Run it from an administrator command
rem prompt, from the folder where Sheetlore is to stay (registration records the DLLs' paths).
rem   install.cmd [/lockdown]
rem It refuses a folder that users other than administrators can change (see folder-check.cmd);
rem /lockdown locks the folder down instead.
rem The paper store moves to one PrintSet.ini in %ProgramData%\Sheetlore, a folder that holds no
rem code and that every user may change: both architectures and every user share it.
setlocal
call "%~dp0folder-check.cmd" %1
if errorlevel 1 exit /b 1
call "%~dp0register.cmd"
if errorlevel 1 exit /b 1

set "data=%ProgramData%\Sheetlore"
set "store=%data%\PrintSet.ini"
set "tool=%~dp0x86\sheetlore.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "tool=%~dp0x64\sheetlore.exe"
set "reg=%SystemRoot%\System32\reg.exe"
if exist "%SystemRoot%\Sysnative\reg.exe" set "reg=%SystemRoot%\Sysnative\reg.exe"
if not exist "%data%" mkdir "%data%"
rem Users (S-1-5-32-545) may create and change the store and its lock and copy files there.
icacls "%data%" /grant *S-1-5-32-545:(OI)(CI)M >nul 2>&1
if not exist "%store%" copy /b "%~dp0x64\PrintSet.ini" "%store%" >nul
rem The papers stored beside each DLL so far join the one store (both versions of a paper the
rem two hold differently, with a note in "%data%\Merge notes.txt").
"%tool%" store-merge "%store%" "%~dp0x64\PrintSet.ini" "%~dp0x86\PrintSet.ini" --remove-sources --notes "%data%\Merge notes.txt" >nul
if errorlevel 1 (
  echo Sheetlore: some papers could not be moved to "%store%"; the stores beside the DLLs are kept.
  exit /b 1
)
rem The one setting both architectures read (the 64-bit registry view; reg.exe of the system's
rem own architecture writes it).
"%reg%" add "HKLM\Software\Sheetlore" /v StoreFile /t REG_SZ /d "%store%" /f >nul
if errorlevel 1 (
  echo Sheetlore: the paper store's setting could not be written.
  exit /b 1
)
echo Sheetlore is installed for every user; the paper store is "%store%".
exit /b 0
