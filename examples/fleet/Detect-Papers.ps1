# Detection script of a detection/remediation pair (for example Intune remediations, or any
# configuration tool that runs a check and, when it fails, a fix): does this computer's print
# server have every paper of the library on the share, with exactly its size?
#
# Not run here (it needs Windows and its spooler); reviewed by hand.
#
# It relies on the exit status of "sheetlore apply --check":
#   0  the printer already matches the library      -> exit 0: compliant, nothing to do
#   5  the printer does not match (nothing changed) -> exit 1: remediation runs
#   6  only papers no change can make forms are left (a built-in form of that name with
#      another size, a size the spooler cannot keep): apply cannot mend them, so remediation
#      must not run                                   -> exit 0, with the papers named
#   2  the library file is not valid                -> exit 1, with sheetlore's message
#   3  the file is not there, or the print server -> exit 1, with sheetlore's message
# Whatever it prints is kept as the script's output, so the console shows which forms differ.
#
# Run it as SYSTEM (64-bit or 32-bit PowerShell). Forms belong to the print server: without a
# printer, sheetlore works on this computer's own print server (SYSTEM has no default printer,
# and the computer may have no printer at all); the computer account needs read access to the
# share.

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
$output = & $Sheetlore apply $Library @target --check 2>&1
$status = $LASTEXITCODE
$output | ForEach-Object { Write-Output "$_" }

switch ($status) {
    0       { Write-Output 'Papers: compliant'; exit 0 }
    5       { Write-Output 'Papers: the printer differs from the library'; exit 1 }
    # Do not remediate: no change can mend these papers; the library file needs correcting.
    6       { Write-Output 'Papers: as compliant as the library allows (see the papers named impossible)'; exit 0 }
    default { Write-Output "Papers: sheetlore ended with exit status $status"; exit 1 }
}
