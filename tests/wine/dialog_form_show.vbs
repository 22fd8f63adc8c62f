' Opens the maintenance dialog from a script host; FormShow returns once the dialog is closed.
Option Explicit
Dim printForms
Set printForms = CreateObject("Sheetlore.ClsPrint")
printForms.FormShow
WScript.Echo "FormShow returned"
