@echo off
rem Checks Sheetlore through COM on this machine with verify.vbs, in the 64-bit and the
rem 32-bit script host: forms on a printer, the paper store, the environment methods. It puts
rem back what it changed. FormAllAdd ends with a message box: confirm it.
rem   .\verify.cmd ["PRINTER"]    default: the default printer. Type the .\ and the .cmd: "verify"
rem                              alone is the command prompt's own VERIFY command.
rem Exits 0 when every check passed, 1 otherwise.
setlocal
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
set failed=0
echo Result  Arch  Check
echo ------  ----  -----
if exist "%SystemRoot%\SysWOW64\cscript.exe" (
  "%system64%\cscript.exe" //nologo "%~dp0verify.vbs" x64 %1
  if errorlevel 1 set failed=1
  "%SystemRoot%\SysWOW64\cscript.exe" //nologo "%~dp0verify.vbs" x86 %1
  if errorlevel 1 set failed=1
) else (
  "%system64%\cscript.exe" //nologo "%~dp0verify.vbs" x86 %1
  if errorlevel 1 set failed=1
)
echo.
if %failed%==0 (
  echo All checks passed.
) else (
  echo Some checks FAILED: see the FAIL lines above.
)
exit /b %failed%
