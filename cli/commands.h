#pragma once
// The commands of sheetlore.exe: each reads its parsed arguments, calls the component and
// returns what it prints. A command that cannot finish throws CommandError; a run-time error
// of the component arrives as AutomationError.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/table.h"
#include "component/cls_print.h"

namespace sheetlore::cli {

// What a command prints on stdout, and how it ends. A command whose table must be printed
// although it did not fully succeed (install, when some papers were refused) sets exit and
// message; every other failure is thrown as CommandError.
struct CommandOutcome {
  CommandOutcome(Table printed) : table(std::move(printed)) {}  // NOLINT: a plain success
  Table table;
  ExitCode exit = ExitCode::Success;
  std::wstring message;  // for stderr
  // Printed instead of the table's JSON rendering, for output whose JSON is not a list of rows
  // (doctor's verdict with its checks).
  std::optional<std::wstring> json;
};

struct Command {
  std::wstring name;
  std::wstring usage;    // the arguments, after the command's name
  std::wstring summary;  // one line, for the list of commands
  std::wstring details;  // the rest of the command's --help
  std::vector<OptionSpec> options;
  std::size_t minPositionals = 0;
  std::size_t maxPositionals = 0;
  std::function<CommandOutcome(ClsPrint&, const ParsedArguments&)> run;
};

// Printers and their forms: printers, forms, form-show, form-add, form-delete, form-find,
// form-select, install, dialog.
std::vector<Command> PrinterCommands();
// The paper store: papers, paper-show, paper-store, paper-delete.
std::vector<Command> PaperCommands();
// The form a printer starts with: default-form.
std::vector<Command> DefaultFormCommands();
// An ANSI paper store made a UTF-16 file: store-convert.
std::vector<Command> StoreConvertCommands();
// Paper libraries across machines: paper-export, paper-import, capture, apply.
std::vector<Command> LibraryCommands();

// The installation check: doctor.
std::vector<Command> DoctorCommands();
// The call trace: trace on, off and show.
std::vector<Command> TraceCommands();
// Paper stores merged into one: store-merge (Windows only, like doctor).
std::vector<Command> StoreMergeCommands();
// Whether ordinary users can change a folder, and its lock-down: folder-access (Windows only).
std::vector<Command> FolderAccessCommands();

// Every command, in the order --help lists them.
const std::vector<Command>& AllCommands();

}  // namespace sheetlore::cli
