' Late-bound calls from VBScript: Sheetlore.ClsPrint.InchToCm against the platform's own
' Scripting.Dictionary.Exists, in alternating rounds of the same length in one script.
' Prints "key value" lines: the median microseconds per call of each, and their ratio.
Option Explicit
Dim sheetlore, dictionary, calls, rounds, r, i, t, value, result
Dim ours(), theirs()
calls = 20000
rounds = 5
If WScript.Arguments.Count > 0 Then calls = CLng(WScript.Arguments(0))
ReDim ours(rounds - 1)
ReDim theirs(rounds - 1)

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

Function Median(values)
  Dim a, b, swap, n
  n = UBound(values)
  For a = 0 To n
    For b = a + 1 To n
      If values(b) < values(a) Then
        swap = values(a): values(a) = values(b): values(b) = swap
      End If
    Next
  Next
  Median = values(n \ 2)
End Function

Dim oursPerCall, theirsPerCall
oursPerCall = Median(ours) * 1000000 / calls
theirsPerCall = Median(theirs) * 1000000 / calls
WScript.Echo "latebound_calls " & calls
WScript.Echo "latebound_inchtocm_us " & Replace(FormatNumber(oursPerCall, 3, -1, 0, 0), ",", ".")
WScript.Echo "latebound_exists_us " & Replace(FormatNumber(theirsPerCall, 3, -1, 0, 0), ",", ".")
If theirsPerCall > 0 Then
  WScript.Echo "latebound_ratio " & Replace(FormatNumber(oursPerCall / theirsPerCall, 3, -1, 0, 0), ",", ".")
End If
