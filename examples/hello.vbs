' A VBScript host of Sheetlore.ClsPrint (cscript //nologo hello.vbs).
' Register the component first: regsvr32 Sheetlore.dll (or regsvr32 /n /i:user Sheetlore.dll).
Option Explicit

Dim clsPrint
Set clsPrint = CreateObject("Sheetlore.ClsPrint")

WScript.Echo "GetWindows: " & clsPrint.GetWindows() & " (2 = the NT family)"
If clsPrint.PrintCheck() Then
  WScript.Echo "PrintCheck: a printer is installed"
Else
  WScript.Echo "PrintCheck: no printer"
End If
WScript.Echo "InchToCm(1) = " & clsPrint.InchToCm(1) & " cm"
WScript.Echo "InchToCm(2.54, False) = " & clsPrint.InchToCm(2.54, False) & " in"

' Run-time errors reach the script's Err object with their number and description.
On Error Resume Next
clsPrint.gFormID "8.5", Nothing
WScript.Echo "gFormID(""8.5""): error " & Err.Number & ", " & Err.Description
On Error GoTo 0
