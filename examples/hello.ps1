# A PowerShell host of Sheetlore.ClsPrint (powershell -File hello.ps1).
# Register the component first (install.cmd or install-user.cmd of the package, or the MSI).
# Use the PowerShell of the DLL's architecture: 64-bit PowerShell creates the x64 component,
# "Windows PowerShell (x86)" the x86 one.
$clsPrint = New-Object -ComObject Sheetlore.ClsPrint

"GetWindows: {0} (2 = the NT family)" -f $clsPrint.GetWindows()
if ($clsPrint.PrintCheck()) { "PrintCheck: a printer is installed" } else { "PrintCheck: no printer" }
"InchToCm(1) = {0} cm" -f $clsPrint.InchToCm(1)
"InchToCm(2.54, False) = {0} in" -f $clsPrint.InchToCm(2.54, $false)

# The forms of the default printer: FormCheck fills its first argument, by reference, with a
# 4 x n array (name, number, width in cm, height in cm).
$forms = $null
if ($clsPrint.FormCheck([ref]$forms)) {
  $count = $forms.GetLength(1)
  "The default printer has $count forms; the first three:"
  for ($j = 0; $j -lt [Math]::Min(3, $count); $j++) {
    "  {0,3}  {1}  {2} x {3} cm" -f $forms[1, $j], $forms[0, $j], $forms[2, $j], $forms[3, $j]
  }
}

# The number of the form of 8.5 x 11 inches on the default printer ($null: the default
# printer), added when the printer has none.
"Form number of 8.5/11: {0}" -f $clsPrint.gFormID("8.5/11", $null)

# Run-time errors arrive as exceptions.
try {
  $clsPrint.gFormID("8.5", $null) | Out-Null
} catch {
  "gFormID(`"8.5`"): $($_.Exception.InnerException.Message)"
}
