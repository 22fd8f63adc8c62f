' Late-bound calls from VBScript: Sheetlore.ClsPrint.InchToCm against the platform's own
' Scripting.Dictionary.Exists, in alternating rounds of the same length in one script.
' Prints "key value" lines: the best round's microseconds per call of each, and their ratio.
' (The best round rather than the median: Wine's VBScript fails on arrays passed to a
' function.)
Option Explicit
Dim sheetlore, dictionary, calls, rounds, r, i, t, value, result
' Fixed arrays: Wine's VBScript fails on ReDim of a dynamic array.
Dim ours(4), theirs(4)
calls = 20000
rounds = 5
If WScript.Arguments.Count > 0 Then calls = CLng(WScript.Arguments(0))

Set sheetlore = CreateObject("Sheetlore.ClsPrint")
Set dictionary = CreateObject("Scripting.Dictionary")
dictionary.Add "A4", 1
value = 8.5

' Warm both up.
For i = 1 To 1000
  result = sheetlore.InchToCm(value)
  result = dictionary.Exists("A4")
Next

For r = 0 To rounds - 1
  t = Timer
  For i = 1 To calls
    result = sheetlore.InchToCm(value)
  Next
  ours(r) = Timer - t
  t = Timer
  For i = 1 To calls
    result = dictionary.Exists("A4")
  Next
  theirs(r) = Timer - t
Next

Dim bestOurs, bestTheirs
bestOurs = ours(0)
bestTheirs = theirs(0)
For r = 1 To rounds - 1
  If ours(r) < bestOurs Then bestOurs = ours(r)
  If theirs(r) < bestTheirs Then bestTheirs = theirs(r)
Next

Dim oursPerCall, theirsPerCall
oursPerCall = bestOurs * 1000000 / calls
theirsPerCall = bestTheirs * 1000000 / calls
WScript.Echo "latebound_calls " & calls
WScript.Echo "latebound_inchtocm_us " & Replace(FormatNumber(oursPerCall, 3, -1, 0, 0), ",", ".")
WScript.Echo "latebound_exists_us " & Replace(FormatNumber(theirsPerCall, 3, -1, 0, 0), ",", ".")
If theirsPerCall > 0 Then
  WScript.Echo "latebound_ratio " & Replace(FormatNumber(oursPerCall / theirsPerCall, 3, -1, 0, 0), ",", ".")
End If
