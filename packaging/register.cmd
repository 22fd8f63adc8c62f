@echo off
rem Registers (or unregisters) Sheetlore.dll of this folder with the regsvr32 of each
rem architecture: on 64-bit Windows the x64 DLL with the 64-bit regsvr32 (System32) and the x86
rem DLL with the 32-bit one (SysWOW64); on 32-bit Windows the x86 DLL only.
rem Called by install.cmd, install-user.cmd, uninstall.cmd and uninstall-user.cmd:
rem   register.cmd [/u] [/n /i:user]
setlocal
set "here=%~dp0"
set "native=%SystemRoot%\System32"
rem A 32-bit command prompt on 64-bit Windows sees SysWOW64 as System32; Sysnative is the real one.
if exist "%SystemRoot%\Sysnative\regsvr32.exe" set "native=%SystemRoot%\Sysnative"
set "failed="

if exist "%SystemRoot%\SysWOW64\regsvr32.exe" (
  call :one "%native%\regsvr32.exe" x64 %*
  call :one "%SystemRoot%\SysWOW64\regsvr32.exe" x86 %*
) else (
  call :one "%native%\regsvr32.exe" x86 %*
)
if defined failed (
  echo Sheetlore: some registrations failed. Machine-wide registration needs an administrator
  echo command prompt; install-user.cmd registers for the current user without one.
  exit /b 1
)
exit /b 0

:one
set "regsvr32=%~1"
set "arch=%~2"
shift
shift
"%regsvr32%" /s %1 %2 %3 "%here%%arch%\Sheetlore.dll"
if errorlevel 1 (
  echo Sheetlore: regsvr32 %1 %2 %3 %arch%\Sheetlore.dll failed
  set "failed=1"
) else (
  echo Sheetlore: regsvr32 %1 %2 %3 %arch%\Sheetlore.dll done
)
exit /b 0
