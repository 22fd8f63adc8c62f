' One session of a script host that sees only the methods' answers, for trace_test.sh: a
' refused form, a conversion and a store write (which another program may be holding).
' cscript //nologo trace_session.vbs free|held
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

Dim clsPrint, printerName, formName, width, height, stored
Set clsPrint = CreateObject("Sheetlore.ClsPrint")
printerName = "No Such Printer"
formName = "A5 trace"
width = 14.8
height = 21
Check clsPrint.PrintAddForm(printerName, formName, width, height) = False, _
  "PrintAddForm on a printer that does not exist is False"
Check clsPrint.InchToCm(8.5) = 21.59, "InchToCm(8.5) = 21.59"
stored = clsPrint.IniWriteValue("Traced", 0, 10, 15, 0, 0, 0, 0)
If WScript.Arguments(0) = "held" Then
  Check stored = False, "IniWriteValue is False while another program holds the store"
Else
  Check stored = True, "IniWriteValue is True"
End If
WScript.Echo "all checks ran"
WScript.Quit failures
