// A JScript host of Sheetlore.ClsPrint (cscript //nologo hello.js).
// Register the component first: regsvr32 Sheetlore.dll (or regsvr32 /n /i:user Sheetlore.dll).
var clsPrint = new ActiveXObject("Sheetlore.ClsPrint");

WScript.Echo("GetWindows: " + clsPrint.GetWindows() + " (2 = the NT family)");
WScript.Echo(clsPrint.PrintCheck() ? "PrintCheck: a printer is installed" : "PrintCheck: no printer");
WScript.Echo("InchToCm(1) = " + clsPrint.InchToCm(1) + " cm");
WScript.Echo("InchToCm(2.54, false) = " + clsPrint.InchToCm(2.54, false) + " in");

// Run-time errors arrive as exceptions; their number is the low word of e.number.
try {
  clsPrint.InchToCm(1e308);
} catch (e) {
  WScript.Echo("InchToCm(1e308): error " + (e.number & 0xFFFF) + ", " + e.description);
}
