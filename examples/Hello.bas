Attribute VB_Name = "SheetloreHello"
' A VBA module for Excel, Word or Access: File > Import File..., then run SheetloreHello.
' Register the component first (install.cmd or install-user.cmd of the package, or the MSI).
' 32-bit Office needs the x86 registration, 64-bit Office the x64 one.
'
' Late binding (CreateObject) needs no reference. Early binding - Tools > References >
' "Sheetlore" - gives the class ClsPrint and the record rePaPer by name; SheetloreRecords
' below uses it and compiles only with that reference.
Option Explicit

Public Sub SheetloreHello()
    Dim clsPrint As Object
    Set clsPrint = CreateObject("Sheetlore.ClsPrint")

    Debug.Print "GetWindows: " & clsPrint.GetWindows() & " (2 = the NT family)"
    If clsPrint.PrintCheck() Then
        Debug.Print "PrintCheck: a printer is installed"
    Else
        Debug.Print "PrintCheck: no printer"
    End If
    Debug.Print "InchToCm(1) = " & clsPrint.InchToCm(1) & " cm"

    ' The forms of the default printer: name, number, width and height in centimetres.
    Dim forms() As String
    Dim j As Long
    If clsPrint.FormCheck(forms) Then
        For j = 0 To UBound(forms, 2)
            Debug.Print forms(1, j), forms(0, j), forms(2, j) & " x " & forms(3, j) & " cm"
        Next j
    End If

    ' The number of the 8.5 x 11 inch form of the default printer, added when missing.
    Debug.Print "Form number of 8.5/11: " & clsPrint.gFormID("8.5/11", Nothing)
End Sub

' Early binding: the paper store and a printer form as rePaPer records.
Public Sub SheetloreRecords()
    Dim clsPrint As New ClsPrint
    Dim paper As rePaPer

    ' Store a paper of 14.8 x 21 cm whose printable area is the whole sheet.
    If clsPrint.IniWriteValue("A5X", 0, 14.8, 21, 0, 0, 0, 0) Then
        paper = clsPrint.IniReadValue(1, "A5X")
        Debug.Print "A5X: " & paper.W & " x " & paper.H & IIf(paper.mMode = 1, " in", " cm")
    End If

    ' Read a form of the default printer.
    Dim printerName As String, formName As String
    printerName = "My Printer"   ' the printer's name as Settings > Printers shows it
    formName = "Letter"
    paper = clsPrint.PrintGetForm(printerName, formName)
    Debug.Print formName & ": " & paper.W & " x " & paper.H & " cm"

    ' The maintenance dialog.
    clsPrint.FormShow
End Sub
