@echo off
rem Checks Sheetlore through COM on this machine with verify.vbs, in the 64-bit and the
rem 32-bit script host: forms on a printer, the paper store, the environment methods. It puts
rem back what it changed.
rem   .\verify.cmd ["PRINTER"] [/attended | /unattended] [/json FILE]
rem PRINTER      default: the default printer. Type the .\ and the .cmd: "verify" alone is the
rem              command prompt's own VERIFY command.
rem /attended    includes FormAllAdd, which ends with a message box someone must confirm (the
rem              default in a logged-on session, where SESSIONNAME is set).
rem /unattended  leaves FormAllAdd out and reports it as skipped (the default without a
rem              logged-on session: a service, a management agent, a remote shell).
rem /json FILE   also writes the counts and every check's result to FILE.
rem Ends with "N of M checks ran, K failed". Exits 0 only when every check ran (or was skipped
rem by /unattended) and none failed; 1 otherwise, a script error in either host included; 2 for
rem arguments it does not take.
setlocal
set "printer="
set "mode="
set "json="
:arguments
if "%~1"=="" goto parsed
if /i "%~1"=="/attended" (
  set "mode=attended"
  shift
  goto arguments
)
if /i "%~1"=="/unattended" (
  set "mode=unattended"
  shift
  goto arguments
)
if /i "%~1"=="/json" (
  if "%~2"=="" goto usage
  set "json=%~f2"
  shift
  shift
  goto arguments
)
set "argument=%~1"
if "%argument:~0,1%"=="/" goto usage
if defined printer goto usage
set "printer=%~1"
shift
goto arguments

:usage
echo usage: .\verify.cmd ["PRINTER"] [/attended ^| /unattended] [/json FILE] 1>&2
exit /b 2

:parsed
if not defined mode (
  if defined SESSIONNAME (set "mode=attended") else (set "mode=unattended")
)
cd /d "%~dp0"
set "system64=%SystemRoot%\System32"
rem A 32-bit command prompt on 64-bit Windows sees System32 as SysWOW64: Sysnative is the real one.
if defined PROCESSOR_ARCHITEW6432 set "system64=%SystemRoot%\Sysnative"
rem The paper store both hosts use: the file the machine's setting names (the 64-bit registry
rem view, which the reg.exe of the system's own architecture reads), else beside each DLL.
set "SHEETLORE_STORE="
for /f "tokens=1,2,*" %%a in ('"%system64%\reg.exe" query HKLM\Software\Sheetlore /v StoreFile 2^>nul') do (
  if /i "%%a"=="StoreFile" set "SHEETLORE_STORE=%%c"
)
rem Each host adds its results to a record of its own as it goes, so that the summary can tell
rem the checks that never ran from the ones that passed.
set "record=%TEMP%\Sheetlore-verify-%RANDOM%"
for %%f in (x64.txt x86.txt verdict.txt) do if exist "%record%-%%f" del "%record%-%%f"
if "%mode%"=="attended" (
  echo FormAllAdd ends with a message box in each host: confirm it.
) else (
  echo Unattended: FormAllAdd, which ends with a message box, is left out.
)
echo Result  Arch  Check
echo ------  ----  -----
if exist "%SystemRoot%\SysWOW64\cscript.exe" (
  "%system64%\cscript.exe" //nologo "%~dp0verify.vbs" /check x64 "%record%-x64.txt" %mode% "%printer%"
  "%SystemRoot%\SysWOW64\cscript.exe" //nologo "%~dp0verify.vbs" /check x86 "%record%-x86.txt" %mode% "%printer%"
  "%system64%\cscript.exe" //nologo "%~dp0verify.vbs" /summary "%json%" "%record%-verdict.txt" "%record%-x64.txt" "%record%-x86.txt"
) else (
  "%system64%\cscript.exe" //nologo "%~dp0verify.vbs" /check x86 "%record%-x86.txt" %mode% "%printer%"
  "%system64%\cscript.exe" //nologo "%~dp0verify.vbs" /summary "%json%" "%record%-verdict.txt" "%record%-x86.txt"
)
rem The summary's own word, written last: a summary that died wrote none, and that is a failure.
set failed=1
set "verdict="
if exist "%record%-verdict.txt" set /p verdict=<"%record%-verdict.txt"
if "%verdict%"=="passed" set failed=0
for %%f in (x64.txt x86.txt verdict.txt) do if exist "%record%-%%f" del "%record%-%%f"
if not %failed%==0 (
  echo Some checks FAILED or did not run: see the lines above.
) else if "%mode%"=="unattended" (
  echo All checks that ran passed; FormAllAdd was skipped.
) else (
  echo All checks passed.
)
if %failed%==0 exit /b 0
exit /b 1
