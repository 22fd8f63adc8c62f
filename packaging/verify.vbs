' Checks Sheetlore on this machine through COM, as a host would use it, and puts back what it
' changed: two forms on the printer and the paper store (the machine's setting, or beside the DLL).
'   cscript //nologo verify.vbs ARCH [PRINTER]
' ARCH labels the lines (x64 or x86). PRINTER defaults to the default printer.
' Prints one line per check, "PASS" or "FAIL", the architecture and what was checked; exits
' with the number of failed checks. FormAllAdd ends with a message box: confirm it.
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

Dim arch, failures
arch = WScript.Arguments(0)
failures = 0

Sub Check(condition, what)
  Dim verdict
  If condition Then verdict = "PASS" Else verdict = "FAIL"
  If Not condition Then failures = failures + 1
  WScript.Echo verdict & "  " & arch & "  " & what
End Sub

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

' The position (from 1), width and height of the form in FormCheck's list, or Empty.
Function FormRow(printer, name)
  Dim forms, i
  FormRow = Empty
  forms = FormsOf(printer)
  If IsEmpty(forms) Then Exit Function
  For i = 0 To UBound(forms, 2)
    If forms(0, i) = name Then FormRow = Array(forms(1, i), forms(2, i), forms(3, i)) : Exit Function
  Next
End Function

Function HasSize(row, width, height)
  HasSize = False
  If IsEmpty(row) Then Exit Function
  HasSize = Near(row(1), width) And Near(row(2), height)
End Function

' The text of the paper store: UTF-16 (as installed), or else ANSI, in which a section
' heading's "[" cannot be read as UTF-16.
Function StoreText(path)
  StoreText = ReadAllOf(path, -1)
  If InStr(StoreText, "[") = 0 Then StoreText = ReadAllOf(path, 0)
End Function

Function ReadAllOf(path, format)
  Dim stream
  Set stream = files.OpenTextFile(path, 1, False, format)
  If stream.AtEndOfStream Then ReadAllOf = "" Else ReadAllOf = stream.ReadAll
  stream.Close
End Function

Function Near(a, b)
  Near = Abs(a - b) < 0.01
End Function

' The forms of the printer as FormCheck lists them (a 4 x n array), or Empty.
Function FormsOf(printer)
  Dim forms, object
  Set object = PrinterNamed(printer)
  If sheetlore.FormCheck(forms, object) Then FormsOf = forms Else FormsOf = Empty
End Function

' The position (from 1) of the form in FormCheck's list, 0 when it is not listed.
Function PositionOf(forms, name)
  Dim i
  PositionOf = 0
  If IsEmpty(forms) Then Exit Function
  For i = 0 To UBound(forms, 2)
    If forms(0, i) = name Then PositionOf = forms(1, i) : Exit Function
  Next
End Function

Dim sheetlore
On Error Resume Next
Set sheetlore = CreateObject("Sheetlore.ClsPrint")
If Err.Number <> 0 Then
  Check False, "CreateObject(""Sheetlore.ClsPrint""): " & Err.Description & " (is it registered?)"
  WScript.Quit failures
End If
On Error GoTo 0
Check True, "CreateObject(""Sheetlore.ClsPrint"")"

' --- The environment -------------------------------------------------------------------
Check sheetlore.GetWindows() = 2, "GetWindows() = 2"
Check sheetlore.InchToCm(8.5) = 21.59, "InchToCm(8.5) = 21.59"
Check sheetlore.InchToCm(21.59, False) = 8.5, "InchToCm(21.59, False) = 8.5"
Check sheetlore.PrintCheck() = True, "PrintCheck() finds a printer"

Dim printer, current, allForms
Set current = Nothing
If sheetlore.FormCheck(allForms, current) Then
  Set defaultPrinter = current
  printer = current.DeviceName
End If
If WScript.Arguments.Count > 1 Then printer = WScript.Arguments(1)
Check Len(printer) > 0, "the printer: " & printer
If Len(printer) = 0 Then WScript.Quit failures

Dim before
before = FormsOf(printer)
Check Not IsEmpty(before), "FormCheck lists the forms of " & printer
If IsEmpty(before) Then WScript.Quit failures
Dim leftover
leftover = PositionOf(before, kFormName) > 0 Or PositionOf(before, kPaperName) > 0 Or _
           PositionOf(before, kFormSize) > 0
Check Not leftover, "no form named """ & kFormName & """, """ & kPaperName & """ or """ & _
      kFormSize & """ is there yet (delete a leftover of an earlier run)"
If leftover Then WScript.Quit failures

' --- Forms -------------------------------------------------------------------------------
Dim p, f, cx, cy, l, r, t, b
p = printer : f = kFormName : cx = kFormWidth : cy = kFormHeight : l = 0.5 : r = 0 : t = 0.5 : b = 0
Check sheetlore.PrintAddForm(p, f, cx, cy, l, r, t, b), "PrintAddForm adds """ & kFormName & """"
Check Near(cx, kFormWidth * 10000), "PrintAddForm hands back the width times 10000"
' PrintGetForm and IniReadValue(1) answer with a rePaPer record, which VBScript cannot hold:
' what they would read is checked through FormCheck's sizes and the store's text instead.
Dim row
row = FormRow(printer, kFormName)
Check HasSize(row, kFormWidth, kFormHeight), "FormCheck lists it with its size"
Dim found
found = sheetlore.gFormID(kFormSize, PrinterNamed(printer))
If IsEmpty(row) Then
  Check False, "gFormID(""" & kFormSize & """) finds it: " & found
Else
  Check found = row(0), "gFormID(""" & kFormSize & """) finds it: " & found
End If
p = printer : f = kFormName
Check sheetlore.FormSelect(f, 0) = 1, "FormSelect hands it to the default printer's driver"
p = printer : f = kFormName
Check sheetlore.PrintDelForm(p, f), "PrintDelForm deletes it"
Check IsEmpty(FormRow(printer, kFormName)), "it is gone from the list"

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

Dim shell, files, server, store, backup, hadStore
Set shell = CreateObject("WScript.Shell")
Set files = CreateObject("Scripting.FileSystemObject")
server = shell.RegRead("HKCR\CLSID\" & kClassId & "\InprocServer32\")
store = StoreFile(files.GetParentFolderName(server))
backup = files.BuildPath(files.GetSpecialFolder(2), "Sheetlore-verify-" & arch & ".ini")
hadStore = files.FileExists(store)
If hadStore Then files.CopyFile store, backup, True

Check sheetlore.IniWriteValue(kPaperName, 1, 7.25, 3.5, 0.25, 0, 0.25, 0), _
      "IniWriteValue stores """ & kPaperName & """ in inches in " & store
Dim text
text = StoreText(store)
Check InStr(text, "[" & kPaperName & "]") > 0 And InStr(text, "W=7.25") > 0 And _
      InStr(text, "H=3.5") > 0 And InStr(text, "mMode=1") > 0, "the store holds it as written (W=7.25, H=3.5, inches)"
Dim names, name, inList
sheetlore.IniReadValue 0, , names
inList = False
If IsArray(names) Then
  For Each name In names
    If name = kPaperName Then inList = True
  Next
End If
Check inList, "IniReadValue lists it"
Dim target
Set target = PrinterNamed(printer)
sheetlore.FormAllAdd target
Check HasSize(FormRow(printer, kPaperName), kFormWidth, kFormHeight), _
      "FormAllAdd installs it on the printer with its size"
sheetlore.IniDelValue kPaperName
text = StoreText(store)
Check InStr(text, kPaperName) = 0, "IniDelValue deletes it from the store"

' --- Putting everything back -------------------------------------------------------------
' FormAllAdd installed every stored paper: the ones that were not on the printer before go.
Dim after, i
after = FormsOf(printer)
If Not IsEmpty(after) Then
  For i = 0 To UBound(after, 2)
    If PositionOf(before, after(0, i)) = 0 Then
      p = printer : f = after(0, i)
      sheetlore.PrintDelForm p, f
    End If
  Next
End If
Dim restored
restored = True
after = FormsOf(printer)
If IsEmpty(after) Then
  restored = False
ElseIf UBound(after, 2) <> UBound(before, 2) Then
  restored = False
Else
  For i = 0 To UBound(before, 2)
    If after(0, i) <> before(0, i) Then restored = False
  Next
End If
Check restored, "the printer's forms are as before"
If hadStore Then
  files.CopyFile backup, store, True
  files.DeleteFile backup
  Check files.FileExists(store), "the paper store is put back"
ElseIf files.FileExists(store) Then
  files.DeleteFile store
  Check Not files.FileExists(store), "the paper store the check created is removed"
End If

WScript.Quit failures
