# Remediation script of the pair (see Detect-Papers.ps1): brings this computer's print server to
# the library on the share. Runs only after detection reported a difference.
#
# Not run here (it needs Windows and its spooler); reviewed by hand.
#
# It relies on the exit status of "sheetlore apply":
#   0  every form now matches the library (added, replaced or unchanged) -> exit 0
#   4  a change failed (the report names the form; usually missing
#      administrator rights on the print server)                        -> exit 1
#   6  every change was made, but some papers no change can make forms (the report names
#      them "impossible": a built-in form of that name with another size, a size the spooler
#      cannot keep); the library file needs correcting                -> exit 0
#   2, 3  the library file is not valid, or the file or print server is missing -> exit 1
# apply reads the forms back after changing them, so 0 means the forms are there.
#
# Add --prune to delete the user forms the library does not list (built-in forms are never
# deleted). Forms belong to the print server: every printer of it sees the change.

# In 32-bit PowerShell this is Program Files (x86), where the installer puts the x86 tool:
# either one manages the spooler's forms.
$Sheetlore = Join-Path $env:ProgramFiles 'Sheetlore\sheetlore.exe'
$Library   = '\\fileserver\it$\papers\papers.json'
# Another print server instead of this computer's: $Server = '\\printserver'
$Server    = $null

# sheetlore.exe writes UTF-8 when its output is captured: read it as UTF-8, so that form names
# outside the console's code page arrive intact.
[Console]::OutputEncoding = [Text.Encoding]::UTF8
$target = if ($Server) { @('--server', $Server) } else { @() }
$output = & $Sheetlore apply $Library @target 2>&1
$status = $LASTEXITCODE
$output | ForEach-Object { Write-Output "$_" }

if ($status -eq 0 -or $status -eq 6) { exit 0 }
Write-Output "Papers: sheetlore apply ended with exit status $status"
exit 1
