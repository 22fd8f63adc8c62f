@echo off
rem Computer startup script (Group Policy: Computer Configuration > Policies > Windows Settings >
rem Scripts > Startup): brings this computer's print server to the paper library on a share at
rem every start, and keeps a log of what it changed.
rem
rem Not run here (it needs Windows, its spooler and a domain share); reviewed by hand.
rem
rem Exit statuses of "sheetlore apply" it relies on:
rem   0  the forms match the library (nothing to do, or every change made and read back)
rem   4  a change failed; the log names the form (startup scripts run as SYSTEM, which has
rem      administrator rights on the local print server)
rem   2  the library file is not valid: nothing was changed
rem   3  the library file was not found (is the share reachable at startup?)
rem   6  every change was made, but some papers no change can make forms (named "impossible"
rem      in the log: a built-in form of that name with another size, a size the spooler cannot
rem      keep); the library file needs correcting, another run would not help
rem The computer account needs read access to the share (Domain Computers).
setlocal
set "SHEETLORE=%ProgramFiles%\Sheetlore\sheetlore.exe"
set "LIBRARY=\\fileserver\it$\papers\papers.json"
rem Forms belong to the print server: without a printer, sheetlore works on this computer's own
rem print server (SYSTEM has no default printer; the computer may have no printer at all).
set "LOG=%ProgramData%\Sheetlore\apply-papers.log"

if not exist "%ProgramData%\Sheetlore" mkdir "%ProgramData%\Sheetlore"
echo ==== %DATE% %TIME% >>"%LOG%"
"%SHEETLORE%" apply "%LIBRARY%" >>"%LOG%" 2>&1
set STATUS=%ERRORLEVEL%
echo exit status %STATUS% >>"%LOG%"

if %STATUS% equ 0 exit /b 0
if %STATUS% equ 4 echo Some forms could not be changed; see %LOG% >>"%LOG%"
if %STATUS% equ 6 echo Some papers cannot be made forms; correct the library >>"%LOG%"
exit /b %STATUS%
