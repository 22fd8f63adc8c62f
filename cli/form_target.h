#pragma once
// Where a command reads and changes forms. Forms belong to the print server: a printer stands
// for its server's forms; --server \\name names a print server; with neither, the local print
// server (OpenPrinter with a null name), which needs no printer installed and no default printer
// (the SYSTEM account that runs management scripts has none).

#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/table.h"
#include "component/cls_print.h"

namespace sheetlore::cli {

struct FormTarget {
  bool server = true;
  std::wstring name;  // the printer's spooler name; the server's "\\name", empty for the local one

  // The printer's name, the server's "\\name", or "the local print server".
  std::wstring Label() const;
  // The column naming it in a command's output ("printer" or "server") and its cell (the local
  // server is "(local)").
  Column NameColumn() const;
  Cell NameCell() const;
};

// The option every form command takes.
OptionSpec ServerOption();
extern const wchar_t kServerHelp[];

// The printer given, else the server of --server, else the local print server. Both a printer
// and --server, or a server name that does not start with \\, are bad arguments.
FormTarget ChosenTarget(const ParsedArguments& arguments,
                        const std::optional<std::wstring>& printer);

// The target's forms in the spooler's order. Throws CommandError (not found) when the printer
// or server does not open or its forms cannot be read.
std::vector<FormInfo> TargetForms(ClsPrint& component, const FormTarget& target);

// The form the spooler finds for formName by its own rule (GetForm), or nothing.
std::optional<FormInfo> TargetForm(ClsPrint& component, const FormTarget& target,
                                   const std::wstring& formName);

// AddForm and DeleteForm on the target, each opened for the one change (administer access).
bool AddTargetForm(ClsPrint& component, const FormTarget& target, const FormInfo& form);
bool DeleteTargetForm(ClsPrint& component, const FormTarget& target, const std::wstring& formName);

}  // namespace sheetlore::cli
