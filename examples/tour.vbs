' A tour of Sheetlore.ClsPrint from VBScript (cscript //nologo tour.vbs): the forms of the
' default printer, the form for a size in inches, and the paper store in PrintSet.ini.
' Register the component first: regsvr32 Sheetlore.dll (or regsvr32 /n /i:user Sheetlore.dll).
Option Explicit

Dim clsPrint, forms, papers, i, last
Set clsPrint = CreateObject("Sheetlore.ClsPrint")

' FormCheck fills a plain variable with a 4 x n array: name, position, width, height (cm).
If clsPrint.FormCheck(forms) Then
  last = UBound(forms, 2)
  WScript.Echo "The default printer has " & (last + 1) & " forms; the first five:"
  For i = 0 To 4
    If i <= last Then
      WScript.Echo "  " & forms(1, i) & ". " & forms(0, i) & ": " & forms(2, i) & " x " & forms(3, i) & " cm"
    End If
  Next
Else
  WScript.Echo "FormCheck: the default printer's forms cannot be listed"
End If

' gFormID finds the form of a size given in inches ("width/height"), adding it when missing.
WScript.Echo "gFormID(""8.5/11"") = " & clsPrint.gFormID("8.5/11", Nothing)

' The paper store: one paper in centimetres (unit code 0), one in inches (unit code 1).
' Right and bottom are edges measured from the sheet's left and top; 0 means the full size.
clsPrint.IniWriteValue "Tour A5", 0, 14.8, 21, 0.5, 14.3, 0.5, 20.5
clsPrint.IniWriteValue "Tour Label", 1, 4, 6, 0, 0, 0, 0
clsPrint.IniReadValue 0, , papers
WScript.Echo "Stored papers:"
For i = 0 To UBound(papers)
  WScript.Echo "  " & papers(i)
Next
