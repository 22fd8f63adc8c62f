#pragma once
// The exit status of sheetlore.exe: scripts branch on these, so they never change.

namespace sheetlore::cli {

enum class ExitCode : int {
  Success = 0,
  // The component raised a run-time error (its number and description are printed).
  Failure = 1,
  // The command line could not be understood: unknown command or option, a missing or extra
  // argument, a number that does not read as one, a name the paper store cannot hold.
  BadArguments = 2,
  // The printer, form or paper named does not exist (or the printer does not open).
  NotFound = 3,
  // The spooler refused the change (a form of that name exists, a built-in form, no
  // administrator rights on the print server), or the paper store could not be written.
  Refused = 4,
  // apply --check: the printer's forms do not match the library file (nothing was changed).
  Differs = 5,
  // apply and apply --check: a paper that no change can make a form of (a built-in form of that
  // name with another size, a size or printable area the spooler cannot keep). Running apply
  // again cannot help: detection scripts treat it as "do not remediate".
  Impossible = 6,
};

}  // namespace sheetlore::cli
