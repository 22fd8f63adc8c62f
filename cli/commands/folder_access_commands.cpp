// sheetlore folder-access FOLDER [--lock]: whether users other than administrators can change
// FOLDER or anything in it; with --lock, locks it down first. install.cmd and
// install-user.cmd refuse to register from a folder this finds writable.
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/folder_access.h"

namespace sheetlore::cli {
namespace {

std::wstring Joined(const std::vector<std::wstring>& items) {
  std::wstring text;
  for (const std::wstring& item : items) text += (text.empty() ? L"" : L", ") + item;
  return text;
}

CommandOutcome CheckFolder(ClsPrint&, const ParsedArguments& arguments) {
  const std::wstring& folder = arguments.positionals[0];
  if (arguments.Has(L"lock")) {
    const std::wstring failure = LockDown(folder);
    if (!failure.empty()) {
      throw Refused(L"the folder's access list could not be set (" + failure +
                    L"): run this from an administrator command prompt");
    }
  }
  Table table({{L"Path", L"path"},
               {L"OK", L"ok"},
               {L"Writable by", L"writable_by"},
               {L"Access list", L"access_list"}});
  std::size_t writable = 0;
  for (const AccessFinding& finding : OthersWhoCanWriteTree(folder)) {
    const bool ok = finding.readable && finding.writers.empty();
    if (!ok) ++writable;
    table.AddRow({Text(finding.path), Boolean(ok),
                  Text(finding.readable ? Joined(finding.writers) : L"unknown: " + finding.error),
                  Text(finding.accessList)});
  }
  CommandOutcome outcome(std::move(table));
  if (writable > 0) {
    outcome.exit = ExitCode::Refused;
    outcome.message =
        L"users other than administrators can change " + std::to_wstring(writable) +
        L" of the entries above: whoever can change them can run code in every program that "
        L"loads Sheetlore.\nRemedy: install to a folder under Program Files (or use the MSI), "
        L"or lock this folder down (install.cmd /lockdown, or sheetlore folder-access FOLDER "
        L"--lock as administrator).";
  }
  return outcome;
}

}  // namespace

std::vector<Command> FolderAccessCommands() {
  return {{L"folder-access",
           L"FOLDER [--lock]",
           L"check that only administrators can change a folder",
           L"Reads the access list of FOLDER and of everything in it and lists, for each, the\n"
           L"groups of ordinary users (Users, Authenticated Users, Everyone, INTERACTIVE) that\n"
           L"may change it, and the access list itself. Code in a folder such users can change\n"
           L"runs with the rights of whoever loads it.\n"
           L"--lock  first locks FOLDER down (administrators only): inheritance off,\n"
           L"        Administrators and SYSTEM full control, Users read and execute, for\n"
           L"        everything below too.\n"
           L"Exits 4 when any entry can be changed by ordinary users or could not be read.\n",
           {{L"lock"}},
           1,
           1,
           CheckFolder}};
}

}  // namespace sheetlore::cli
