' Sheetlore.ClsPrint from VBScript: created by its ProgID, called by name, errors in Err.
' cscript //nologo com_vbscript_test.vbs
Option Explicit

Dim failures
failures = 0

Sub Check(condition, what)
  If condition Then
    WScript.Echo "ok: " & what
  Else
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Dim clsPrint
Set clsPrint = CreateObject("Sheetlore.ClsPrint")
Check clsPrint.GetWindows() = 2, "GetWindows() = 2"
Dim inches, centimetres
inches = 2
centimetres = clsPrint.InchToCm(inches)
Check centimetres = 5.08 And inches = 2, "InchToCm(variable) reads the variable and leaves it"
Check clsPrint.PrintCheck() = True, "PrintCheck() with both parameters omitted"

Dim forms, printer
Set printer = Nothing
Check clsPrint.FormCheck(forms, printer), "FormCheck(forms, printer)"
Check forms(0, 0) = "Letter" And forms(1, 0) = 1 And forms(2, 0) = 21.59 And forms(3, 0) = 27.94, "the first form is Letter, number 1, 21.59 x 27.94 cm"
Check TypeName(forms(1, 0)) = "Long" And TypeName(forms(2, 0)) = "Double", "FormCheck's elements keep their types"
Check Not (printer Is Nothing), "FormCheck hands back the current printer"
If Not (printer Is Nothing) Then Check Len(printer.DeviceName) > 0, "its DeviceName"

' The script's own object as the printer: the component reads its DeviceName by name (through
' IDispatchEx where the engine's objects offer nothing else).
Class OwnPrinter
  Public DeviceName
End Class
Dim own, ownForms, ownListed, ownPosition, listError, findError
Set own = New OwnPrinter
If Not (printer Is Nothing) Then own.DeviceName = printer.DeviceName
ownListed = False
ownPosition = 0
On Error Resume Next
ownListed = clsPrint.FormCheck(ownForms, own)
listError = Err.Number
Err.Clear
ownPosition = clsPrint.gFormID("8.5/11", own)
findError = Err.Number
On Error GoTo 0
Check ownListed And listError = 0, "FormCheck(forms, a VBScript object), error " & Hex(listError)
Check ownPosition = 1 And findError = 0, "gFormID(""8.5/11"", a VBScript object) = " & ownPosition & _
      ", error " & Hex(findError)
If IsArray(ownForms) Then Check UBound(ownForms, 2) = UBound(forms, 2), "the same forms through either object"

Dim position
position = clsPrint.gFormID("8.5/11", printer)
Check position = 1, "gFormID(""8.5/11"", printer) = " & position

' The paper store's list reaches a script variable as an array the script can walk.
Dim names, name, listed
Check clsPrint.IniWriteValue("VBScript Paper", 1, 8.5, 11, 0, 0, 0, 0), "IniWriteValue"
clsPrint.IniReadValue 0, , names
listed = False
For Each name In names
  If name = "VBScript Paper" Then listed = True
Next
Check listed, "IniReadValue lists the stored paper into a script variable"
clsPrint.IniDelValue "VBScript Paper"

On Error Resume Next
clsPrint.gFormID "8.5", printer
Check Err.Number = 9 And Err.Description = "Subscript out of range", "gFormID(""8.5"") raises error 9, Subscript out of range (got " & Err.Number & ", " & Err.Description & ")"
On Error GoTo 0

' Wine's script host can end a script silently with status 0 (for example on an array it
' cannot walk): the caller looks for this last line.
WScript.Echo "all checks ran"
WScript.Quit failures
