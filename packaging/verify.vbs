' Checks Sheetlore on this machine through COM, as a host would use it, and puts back what it
' changed: two forms on the printer and the paper store (the machine's setting, or beside the DLL). verify.cmd runs it.
'   cscript //nologo verify.vbs /check ARCH RECORD MODE [PRINTER]
'     runs the checks in this host: ARCH labels the lines (x64 or x86), RECORD is the file each
'     result is added to as it is known, MODE is attended or unattended (unattended leaves out
'     what needs a person: FormAllAdd ends with a message box). PRINTER defaults to the default
'     printer. Prints one line per check: PASS, FAIL (with what was expected and what was
'     found) or SKIP, the architecture and the check.
'   cscript //nologo verify.vbs /summary JSON VERDICT RECORD...
'     counts every planned check of each host against its record: a check with no result did
'     not run, and a host whose record does not end did not finish. Prints the checks that did
'     not run and "N of M checks ran, K failed"; writes the results to JSON unless it is "";
'     last of all writes "passed" or "failed" to VERDICT: passed only when every check ran (or
'     was skipped by the mode) and none failed. A script host can end a script with status 0
'     after an error, so verify.cmd believes the VERDICT file, not the status.
' Forms are read back through FormCheck's sizes: VBScript cannot hold the rePaPer record that
' PrintGetForm and IniReadValue(1) answer with, so those two are left to hosts that can.
Option Explicit

Const kClassId = "{188AD010-B752-4ADC-9E36-D06143AC4914}"
Const kFormName = "Sheetlore verify form"
Const kPaperName = "Sheetlore verify paper"
' 7.25 x 3.5 inches: a size no built-in form has, so gFormID finds the form added here.
Const kFormSize = "7.25/3.5"
Const kFormWidth = 18.415
Const kFormHeight = 8.89
Const kEnd = "END"

' --- The plan: every check a host means to run, in order ------------------------------
Dim plan
Set plan = CreateObject("Scripting.Dictionary")
Sub Planned(id, what)
  plan.Add id, what
End Sub
Planned "create", "CreateObject(""Sheetlore.ClsPrint"")"
Planned "windows", "GetWindows() = 2"
Planned "inch-to-cm", "InchToCm(8.5) = 21.59"
Planned "cm-to-inch", "InchToCm(21.59, False) = 8.5"
Planned "print-check", "PrintCheck() finds a printer"
Planned "printer", "a printer to check (the default printer when none is named)"
Planned "form-check", "FormCheck opens the printer and lists its forms"
Planned "no-leftover", "no form of an earlier run is there (""" & kFormName & """, """ & _
        kPaperName & """, """ & kFormSize & """)"
Planned "add-form", "PrintAddForm adds """ & kFormName & """"
Planned "width-back", "PrintAddForm hands back the width times 10000"
Planned "listed", "FormCheck lists it with its size"
Planned "form-id", "gFormID(""" & kFormSize & """) finds it"
Planned "form-select", "FormSelect hands it to the default printer's driver"
Planned "del-form", "PrintDelForm deletes it"
Planned "gone", "it is gone from the list"
Planned "ini-write", "IniWriteValue stores """ & kPaperName & """ in inches"
Planned "store-text", "the store holds it as written (W=7.25, H=3.5, inches)"
Planned "ini-list", "IniReadValue lists it"
Planned "form-all-add", "FormAllAdd installs it on the printer with its size"
Planned "ini-del", "IniDelValue deletes it from the store"
Planned "forms-restored", "the printer's forms are as before"
Planned "store-restored", "the paper store is as before"

Dim files
Set files = CreateObject("Scripting.FileSystemObject")

If WScript.Arguments.Count > 0 Then
  If LCase(WScript.Arguments(0)) = "/summary" Then WScript.Quit Summary()
End If
If WScript.Arguments.Count < 4 Then
  WScript.Echo "usage: verify.vbs /check ARCH RECORD MODE [PRINTER] | /summary JSON VERDICT RECORD..."
  WScript.Quit 2
End If

' --- Results -----------------------------------------------------------------------------
Dim arch, record, unattended
arch = WScript.Arguments(1)
Set record = files.OpenTextFile(WScript.Arguments(2), 8, True, -1)
unattended = LCase(WScript.Arguments(3)) = "unattended"

' The error of the last guarded call, as text; "" when it succeeded.
Dim caught
caught = ""
' Called right after a call made under On Error Resume Next: keeps its error, if any.
Sub KeepError()
  If Err.Number <> 0 Then caught = "error 0x" & Hex(Err.Number) & " (" & Trim(Err.Description) & ")"
  Err.Clear
End Sub

Sub Report(result, id, expected, found)
  Dim line
  expected = OneLine(expected) : found = OneLine(found)
  line = result & "  " & arch & "  " & plan(id)
  If result = "FAIL" Then line = line & ": expected " & expected & ", found " & found
  If result = "SKIP" Then line = line & " (" & found & ")"
  WScript.Echo line
  record.WriteLine JoinedBy(Array(result, arch, id, expected, found), vbTab)
End Sub

' One result: PASS when passed and no guarded call failed since the last check.
Sub Check(id, passed, expected, found)
  If caught <> "" Then
    Report "FAIL", id, expected, caught
  ElseIf passed Then
    Report "PASS", id, expected, found
  Else
    Report "FAIL", id, expected, found
  End If
  caught = ""
End Sub

' Ends this host early: the checks it did not reach count as not run.
Sub Finish()
  record.WriteLine kEnd
  record.Close
  WScript.Quit 0
End Sub

' Join, which Wine's VBScript lacks.
Function JoinedBy(items, separator)
  Dim i
  JoinedBy = ""
  For i = LBound(items) To UBound(items)
    If i > LBound(items) Then JoinedBy = JoinedBy & separator
    JoinedBy = JoinedBy & items(i)
  Next
End Function

Function OneLine(value)
  OneLine = Replace(Replace(Replace("" & value, vbTab, " "), vbCr, " "), vbLf, " ")
End Function

Function JsonBool(value)
  If value Then JsonBool = "true" Else JsonBool = "false"
End Function

Function Quoted(text)
  Quoted = """" & text & """"
End Function

' --- Printers and forms -------------------------------------------------------------------
' A printer as the component's methods take it: any object with a DeviceName.
Class NamedPrinter
  Public DeviceName
End Class

' The default printer's own object, as FormCheck hands it back; Nothing until it is known.
Dim defaultPrinter
Set defaultPrinter = Nothing

Function PrinterNamed(name)
  If Not (defaultPrinter Is Nothing) Then
    If defaultPrinter.DeviceName = name Then
      Set PrinterNamed = defaultPrinter
      Exit Function
    End If
  End If
  Set PrinterNamed = New NamedPrinter
  PrinterNamed.DeviceName = name
End Function

' The forms of the printer as FormCheck lists them (a 4 x n array), or Empty; an error of
' the call is left in caught.
Function FormsOf(printer)
  Dim forms, listed
  FormsOf = Empty
  On Error Resume Next
  listed = sheetlore.FormCheck(forms, PrinterNamed(printer))
  KeepError
  On Error GoTo 0
  If listed = True Then FormsOf = forms
End Function

' The position (from 1), width and height of the form in a FormCheck list, or Empty.
Function RowOf(forms, name)
  Dim i
  RowOf = Empty
  If IsEmpty(forms) Then Exit Function
  For i = 0 To UBound(forms, 2)
    If forms(0, i) = name Then RowOf = Array(forms(1, i), forms(2, i), forms(3, i)) : Exit Function
  Next
End Function

Function FormRow(printer, name)
  FormRow = RowOf(FormsOf(printer), name)
End Function

Function PositionOf(forms, name)
  Dim row
  row = RowOf(forms, name)
  If IsEmpty(row) Then PositionOf = 0 Else PositionOf = row(0)
End Function

Function HasSize(row, width, height)
  HasSize = False
  If IsEmpty(row) Then Exit Function
  HasSize = Near(row(1), width) And Near(row(2), height)
End Function

Function SizeText(row)
  If IsEmpty(row) Then SizeText = "no such form" Else SizeText = row(1) & " x " & row(2) & " cm"
End Function

Function Near(a, b)
  Near = Abs(a - b) < 0.01
End Function

Function NamesOf(forms)
  Dim i
  NamesOf = ""
  If IsEmpty(forms) Then NamesOf = "no list" : Exit Function
  For i = 0 To UBound(forms, 2)
    If i > 0 Then NamesOf = NamesOf & ", "
    NamesOf = NamesOf & forms(0, i)
  Next
End Function

' --- The paper store -----------------------------------------------------------------------
' The text of the paper store: UTF-16 (as installed), or else ANSI, in which a section
' heading's "[" cannot be read as UTF-16. "" when there is no store.
Function StoreText(path)
  StoreText = ""
  If Not files.FileExists(path) Then Exit Function
  StoreText = ReadAllOf(path, -1)
  If InStr(StoreText, "[") = 0 Then StoreText = ReadAllOf(path, 0)
End Function

Function ReadAllOf(path, format)
  Dim stream
  Set stream = files.OpenTextFile(path, 1, False, format)
  If stream.AtEndOfStream Then ReadAllOf = "" Else ReadAllOf = stream.ReadAll
  stream.Close
End Function

Function SameBytes(a, b)
  SameBytes = False
  If Not (files.FileExists(a) And files.FileExists(b)) Then Exit Function
  If files.GetFile(a).Size <> files.GetFile(b).Size Then Exit Function
  SameBytes = ReadAllOf(a, 0) = ReadAllOf(b, 0)
End Function

' === The checks ============================================================================
Dim sheetlore
On Error Resume Next
Set sheetlore = CreateObject("Sheetlore.ClsPrint")
KeepError
On Error GoTo 0
Dim created
created = caught = ""
Check "create", created, "an object (is Sheetlore registered for " & arch & "?)", "it"
If Not created Then Finish

' --- The environment -------------------------------------------------------------------
Dim answer
On Error Resume Next
answer = Empty : answer = sheetlore.GetWindows() : KeepError
On Error GoTo 0
Check "windows", answer = 2, "2", answer
On Error Resume Next
answer = Empty : answer = sheetlore.InchToCm(8.5) : KeepError
On Error GoTo 0
Check "inch-to-cm", answer = 21.59, "21.59", answer
On Error Resume Next
answer = Empty : answer = sheetlore.InchToCm(21.59, False) : KeepError
On Error GoTo 0
Check "cm-to-inch", answer = 8.5, "8.5", answer
On Error Resume Next
answer = Empty : answer = sheetlore.PrintCheck() : KeepError
On Error GoTo 0
Check "print-check", answer = True, "True", answer

Dim printer, current, allForms
Set current = Nothing
printer = ""
On Error Resume Next
If sheetlore.FormCheck(allForms, current) Then
  Set defaultPrinter = current
  printer = current.DeviceName
End If
Err.Clear
On Error GoTo 0
If WScript.Arguments.Count > 4 Then
  If Len(WScript.Arguments(4)) > 0 Then printer = WScript.Arguments(4)
End If
Check "printer", Len(printer) > 0, "a printer's name", Quoted(printer) & " (no default printer?)"
If Len(printer) = 0 Then Finish

Dim before
before = FormsOf(printer)
Check "form-check", Not IsEmpty(before), "the forms of " & Quoted(printer), _
      "none (is " & Quoted(printer) & " installed, and may you administer it?)"
If IsEmpty(before) Then Finish
Dim leftover
leftover = PositionOf(before, kFormName) > 0 Or PositionOf(before, kPaperName) > 0 Or _
           PositionOf(before, kFormSize) > 0
Check "no-leftover", Not leftover, "none of them", "a leftover of an earlier run: delete it"
If leftover Then Finish

' --- Forms -------------------------------------------------------------------------------
Dim p, f, cx, cy, l, r, t, b
p = printer : f = kFormName : cx = kFormWidth : cy = kFormHeight : l = 0.5 : r = 0 : t = 0.5 : b = 0
On Error Resume Next
answer = Empty : answer = sheetlore.PrintAddForm(p, f, cx, cy, l, r, t, b) : KeepError
On Error GoTo 0
Check "add-form", answer = True, "True", answer
Check "width-back", Near(cx, kFormWidth * 10000), kFormWidth * 10000, cx
' PrintGetForm and IniReadValue(1) answer with a rePaPer record, which VBScript cannot hold:
' what they would read is checked through FormCheck's sizes and the store's text instead.
Dim row
row = FormRow(printer, kFormName)
Check "listed", HasSize(row, kFormWidth, kFormHeight), _
      kFormWidth & " x " & kFormHeight & " cm", SizeText(row)
On Error Resume Next
answer = Empty : answer = sheetlore.gFormID(kFormSize, PrinterNamed(printer)) : KeepError
On Error GoTo 0
If IsEmpty(row) Then
  Check "form-id", False, "the form's position in the list", answer & " (the form is not listed)"
Else
  Check "form-id", answer = row(0), row(0), answer
End If
p = printer : f = kFormName
On Error Resume Next
answer = Empty : answer = sheetlore.FormSelect(f, 0) : KeepError
On Error GoTo 0
Check "form-select", answer = 1, "1", answer
p = printer : f = kFormName
On Error Resume Next
answer = Empty : answer = sheetlore.PrintDelForm(p, f) : KeepError
On Error GoTo 0
Check "del-form", answer = True, "True", answer
row = FormRow(printer, kFormName)
Check "gone", IsEmpty(row), "no such form", SizeText(row)

' --- The paper store, in a copy put back at the end ------------------------------------
' The file the component uses: the one the machine's setting names, which verify.cmd reads
' into SHEETLORE_STORE (a 32-bit host cannot read the 64-bit registry view itself), or else
' PrintSet.ini beside the DLL.
Function StoreFile(dllFolder)
  Dim value
  StoreFile = dllFolder & "\PrintSet.ini"
  value = CreateObject("WScript.Shell").ExpandEnvironmentStrings("%SHEETLORE_STORE%")
  If value = "%SHEETLORE_STORE%" Or value = "" Then Exit Function
  ' A second expansion for a REG_EXPAND_SZ value, which reg.exe shows as stored.
  value = CreateObject("WScript.Shell").ExpandEnvironmentStrings(value)
  If Mid(value, 2, 2) = ":\" Or Left(value, 2) = "\\" Then StoreFile = value Else StoreFile = dllFolder & "\" & value
End Function

Dim shell, server, store, backup, hadStore
Set shell = CreateObject("WScript.Shell")
server = shell.RegRead("HKCR\CLSID\" & kClassId & "\InprocServer32\")
store = StoreFile(files.GetParentFolderName(server))
WScript.Echo "        " & arch & "  the paper store: " & store
backup = files.BuildPath(files.GetSpecialFolder(2), "Sheetlore-verify-" & arch & ".ini")
hadStore = files.FileExists(store)
If hadStore Then files.CopyFile store, backup, True

On Error Resume Next
answer = Empty : answer = sheetlore.IniWriteValue(kPaperName, 1, 7.25, 3.5, 0.25, 0, 0.25, 0) : KeepError
On Error GoTo 0
Check "ini-write", answer = True, "True (in " & store & ")", answer
Dim text
text = StoreText(store)
Check "store-text", InStr(text, "[" & kPaperName & "]") > 0 And InStr(text, "W=7.25") > 0 And _
      InStr(text, "H=3.5") > 0 And InStr(text, "mMode=1") > 0, _
      "[" & kPaperName & "] with mMode=1, W=7.25, H=3.5", Quoted(Replace(text, vbCrLf, " "))
Dim names, name, inList
inList = False
On Error Resume Next
sheetlore.IniReadValue 0, , names
KeepError
On Error GoTo 0
If IsArray(names) Then
  For Each name In names
    If name = kPaperName Then inList = True
  Next
  Check "ini-list", inList, Quoted(kPaperName) & " in the list", Quoted(JoinedBy(names, """, """))
Else
  Check "ini-list", False, Quoted(kPaperName) & " in the list", "no list"
End If
If unattended Then
  Report "SKIP", "form-all-add", "", "unattended: it ends with a message box a person confirms"
Else
  On Error Resume Next
  sheetlore.FormAllAdd PrinterNamed(printer)
  KeepError
  On Error GoTo 0
  row = FormRow(printer, kPaperName)
  Check "form-all-add", HasSize(row, kFormWidth, kFormHeight), _
        kFormWidth & " x " & kFormHeight & " cm", SizeText(row)
End If
On Error Resume Next
sheetlore.IniDelValue kPaperName
KeepError
On Error GoTo 0
text = StoreText(store)
Check "ini-del", InStr(text, kPaperName) = 0, "no " & Quoted(kPaperName), "it is still there"

' --- Putting everything back -------------------------------------------------------------
' FormAllAdd installed every stored paper: the ones that were not on the printer before go.
Dim after, i
after = FormsOf(printer)
If Not IsEmpty(after) Then
  For i = 0 To UBound(after, 2)
    If PositionOf(before, after(0, i)) = 0 Then
      p = printer : f = after(0, i)
      On Error Resume Next
      sheetlore.PrintDelForm p, f
      Err.Clear
      On Error GoTo 0
    End If
  Next
End If
after = FormsOf(printer)
Check "forms-restored", NamesOf(after) = NamesOf(before), NamesOf(before), NamesOf(after)
If hadStore Then
  files.CopyFile backup, store, True
  Check "store-restored", SameBytes(backup, store), "the copy taken at the start", "another file"
  files.DeleteFile backup
Else
  If files.FileExists(store) Then files.DeleteFile store
  Check "store-restored", Not files.FileExists(store), "no store, as at the start", store
End If
Finish

' === The summary of every host =============================================================
Function Summary()
  Dim json, hosts, index, path, results, ended, line, fields, id, status, expected, found
  Dim planned, ran, failed, skipped, notRun, entries, hostEnded, hostArch, out, stream
  json = WScript.Arguments(1)
  planned = 0 : ran = 0 : failed = 0 : skipped = 0 : notRun = 0
  entries = "" : ended = ""
  For index = 3 To WScript.Arguments.Count - 1
    path = WScript.Arguments(index)
    Set results = CreateObject("Scripting.Dictionary")
    hostEnded = False
    hostArch = ""
    If files.FileExists(path) Then
      Set stream = files.OpenTextFile(path, 1, False, -1)
      Do While Not stream.AtEndOfStream
        line = stream.ReadLine
        If line = kEnd Then
          hostEnded = True
        Else
          fields = Split(line, vbTab)
          If UBound(fields) = 4 Then results(fields(2)) = fields : hostArch = fields(1)
        End If
      Loop
      stream.Close
    End If
    If hostArch = "" Then hostArch = HostOf(path)
    For Each id In plan.Keys
      planned = planned + 1
      If results.Exists(id) Then
        fields = results(id)
        status = fields(0) : expected = fields(3) : found = fields(4)
      Else
        status = "NOT RUN" : expected = "" : found = ""
        WScript.Echo "NOT RUN  " & hostArch & "  " & plan(id)
      End If
      Select Case status
        Case "PASS" : ran = ran + 1
        Case "FAIL" : ran = ran + 1 : failed = failed + 1
        Case "SKIP" : skipped = skipped + 1 : status = "skipped"
        Case Else : notRun = notRun + 1
      End Select
      If entries <> "" Then entries = entries & "," & vbCrLf
      entries = entries & "    {""arch"": " & JsonText(hostArch) & ", ""id"": " & JsonText(id) & _
                ", ""check"": " & JsonText(plan(id)) & ", ""result"": " & _
                JsonText(LCase(status)) & ", ""expected"": " & JsonText(expected) & _
                ", ""found"": " & JsonText(found) & "}"
    Next
    If Not hostEnded Then
      failed = failed + 1
      WScript.Echo "FAIL  " & hostArch & "  the script host ended early (a script error: see above, if the host showed it)"
    End If
    ended = ended & "    " & JsonText(hostArch) & ": " & JsonBool(hostEnded) & "," & vbCrLf
  Next
  Dim complete
  complete = ran + skipped = planned And notRun = 0
  WScript.Echo ""
  line = ran & " of " & planned & " checks ran, " & failed & " failed"
  If skipped > 0 Then line = line & ", " & skipped & " skipped (they need a person: run with /attended)"
  WScript.Echo line & "."
  If Len(json) > 0 Then
    ' UTF-16 LE with a byte-order mark: printer and paper names keep every character, and
    ' PowerShell's Get-Content reads it as it is.
    Set out = files.CreateTextFile(json, True, True)
    out.Write "{" & vbCrLf & "  ""planned"": " & planned & "," & vbCrLf & _
              "  ""ran"": " & ran & "," & vbCrLf & "  ""failed"": " & failed & "," & vbCrLf & _
              "  ""skipped"": " & skipped & "," & vbCrLf & "  ""notRun"": " & notRun & "," & vbCrLf & _
              "  ""passed"": " & JsonBool(complete And failed = 0) & "," & vbCrLf & _
              "  ""hostsEnded"": {" & vbCrLf & Left(ended, Len(ended) - 3) & vbCrLf & "  }," & vbCrLf & _
              "  ""checks"": [" & vbCrLf & entries & vbCrLf & "  ]" & vbCrLf & "}" & vbCrLf
    out.Close
  End If
  If complete And failed = 0 Then Summary = 0 Else Summary = 1
  Set out = files.CreateTextFile(WScript.Arguments(2), True, False)
  If Summary = 0 Then out.WriteLine "passed" Else out.WriteLine "failed"
  out.Close
End Function

' The architecture a record file is named after (verify.cmd names them ...-ARCH.txt).
Function HostOf(path)
  HostOf = files.GetBaseName(path)
  If InStr(HostOf, "-") > 0 Then HostOf = Mid(HostOf, InStrRev(HostOf, "-") + 1)
End Function

' A JSON string: quotes, backslashes and control characters escaped; every other character as
' it is (the file is UTF-16). Wine's VBScript has no AscW, ChrW or Escape, so nothing here
' needs a character's code beyond the control characters, which Asc gives.
Function JsonText(value)
  Dim i, c, controls
  controls = ""
  For i = 0 To 31
    controls = controls & Chr(i)
  Next
  JsonText = """"
  For i = 1 To Len(value)
    c = Mid(value, i, 1)
    If c = """" Or c = "\" Then
      JsonText = JsonText & "\" & c
    ElseIf InStr(1, controls, c, 0) > 0 Then
      JsonText = JsonText & "\u" & Right("000" & LCase(Hex(Asc(c))), 4)
    Else
      JsonText = JsonText & c
    End If
  Next
  JsonText = JsonText & """"
End Function
