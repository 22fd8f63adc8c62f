' One session of a script host that sees only the methods' answers, for trace_test.sh: a
' refused form, a conversion and a store write (which another program may be holding).
' cscript //nologo trace_session.vbs free|held
' cscript //nologo trace_session.vbs switch <sheetlore.exe> <trace file>: the tool switches the
'   trace on and off while this host runs; only the object created between the two traces.
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
If WScript.Arguments(0) = "switch" Then
  Dim shell, tool, before, during, after
  Set shell = CreateObject("WScript.Shell")
  tool = """" & WScript.Arguments(1) & """"
  Set before = CreateObject("Sheetlore.ClsPrint")
  Check shell.Run(tool & " trace on """ & WScript.Arguments(2) & """", 0, True) = 0, "trace on"
  Set during = CreateObject("Sheetlore.ClsPrint")
  Check during.InchToCm(1) = 2.54, "InchToCm(1) on the object created while the trace is on"
  Check before.InchToCm(2) = 5.08, "InchToCm(2) on the object created before"
  Check shell.Run(tool & " trace off", 0, True) = 0, "trace off"
  Set after = CreateObject("Sheetlore.ClsPrint")
  Check after.InchToCm(3) = 7.62, "InchToCm(3) on the object created after"
  WScript.Echo "all checks ran"
  WScript.Quit failures
End If
Set clsPrint = CreateObject("Sheetlore.ClsPrint")
printerName = "No Such Printer"
formName = "A5 trace"
width = 14.8
height = 21
Check clsPrint.PrintAddForm(printerName, formName, width, height) = False, _
  "PrintAddForm on a printer that does not exist is False"
Check clsPrint.InchToCm(8.5) = 21.59, "InchToCm(8.5) = 21.59"
On Error Resume Next
clsPrint.gFormID "no size", Nothing
Check Err.Number = 9, "gFormID without a size raises error 9"
On Error GoTo 0
stored = clsPrint.IniWriteValue("Traced", 0, 10, 15, 0, 0, 0, 0)
If WScript.Arguments(0) = "held" Then
  Check stored = False, "IniWriteValue is False while another program holds the store"
Else
  Check stored = True, "IniWriteValue is True"
End If
WScript.Echo "all checks ran"
WScript.Quit failures
