' Opens the maintenance dialog from a script host; FormShow returns once the dialog is closed.
CreateObject("Sheetlore.ClsPrint").FormShow
WScript.Echo "FormShow returned"
