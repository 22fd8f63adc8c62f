// A C# host of Sheetlore.ClsPrint through late binding (dynamic).
//   csc Hello.cs   (or a console project with this file), then run Hello.exe.
// Register the component first (install.cmd or install-user.cmd of the package, or the MSI).
// Build for the DLL's architecture: x64 for the x64 registration, x86 for the x86 one
// ("Any CPU" runs as x64 on 64-bit Windows).
using System;
using System.Runtime.InteropServices;

static class Hello
{
    static void Main()
    {
        Type type = Type.GetTypeFromProgID("Sheetlore.ClsPrint", throwOnError: true);
        dynamic clsPrint = Activator.CreateInstance(type);
        try
        {
            Console.WriteLine($"GetWindows: {clsPrint.GetWindows()} (2 = the NT family)");
            Console.WriteLine(clsPrint.PrintCheck() ? "PrintCheck: a printer is installed"
                                                    : "PrintCheck: no printer");
            Console.WriteLine($"InchToCm(1) = {clsPrint.InchToCm(1.0)} cm");
            Console.WriteLine($"InchToCm(2.54, false) = {clsPrint.InchToCm(2.54, false)} in");

            // FormCheck fills its first argument, by reference, with a 4 x n array:
            // name, number, width and height in centimetres.
            object forms = null;
            if (clsPrint.FormCheck(ref forms))
            {
                var table = (object[,])forms;
                int count = table.GetLength(1);
                Console.WriteLine($"The default printer has {count} forms; the first three:");
                for (int j = 0; j < Math.Min(3, count); j++)
                {
                    Console.WriteLine($"  {table[1, j],3}  {table[0, j]}  {table[2, j]} x {table[3, j]} cm");
                }
            }

            // Run-time errors arrive as COMException with the HRESULT 0x800A0000 | number.
            try
            {
                clsPrint.gFormID("8.5", null);
            }
            catch (COMException e)
            {
                Console.WriteLine($"gFormID(\"8.5\"): error {e.ErrorCode & 0xFFFF}, {e.Message}");
            }
        }
        finally
        {
            Marshal.FinalReleaseComObject(clsPrint);
        }
    }
}
