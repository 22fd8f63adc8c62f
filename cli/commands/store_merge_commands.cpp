// sheetlore store-merge TARGET SOURCE... [--remove-sources] [--notes FILE]: paper stores merged
// into one (cli/store_merge.h). The installers run it when the stores beside each
// architecture's DLL move to the machine's one store.
#include <string>
#include <utility>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/store_merge.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::cli {
namespace {

std::wstring FullPath(const std::wstring& path) {
  const DWORD chars = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (chars == 0) throw BadArguments(L"not a path: " + path);
  std::wstring full(chars, L'\0');
  const DWORD written = ::GetFullPathNameW(path.c_str(), chars, full.data(), nullptr);
  full.resize(written);
  return full;
}

// Appends the lines to a UTF-8 text file, which is made when it does not exist.
bool AppendNotes(const std::wstring& path, const std::vector<std::wstring>& lines) {
  const win32::unique_hfile file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                               nullptr));
  if (!file) return false;
  for (const std::wstring& line : lines) {
    const std::wstring text = line + L"\r\n";
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    DWORD written = 0;
    if (!::WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) ||
        written != utf8.size()) {
      return false;
    }
  }
  return true;
}

CommandOutcome MergeStores(ClsPrint& component, const ParsedArguments& arguments) {
  const Platform& platform = component.platform();
  const std::wstring targetPath = FullPath(arguments.positionals[0]);
  StoreAt target(platform, targetPath);
  Table table({{L"Source", L"source"},
               {L"Added", L"added", true},
               {L"Alike", L"alike", true},
               {L"Kept twice", L"kept_twice", true},
               {L"Status", L"status"}});
  std::vector<std::wstring> notes;
  bool complete = true;
  for (std::size_t i = 1; i < arguments.positionals.size(); ++i) {
    const std::wstring sourcePath = FullPath(arguments.positionals[i]);
    if (!platform.host.FileExists(sourcePath)) {
      table.AddRow({Text(sourcePath), Number(0), Number(0), Number(0), Text(L"no such file")});
      continue;
    }
    if (sourcePath == targetPath) throw BadArguments(L"a source is the target: " + sourcePath);
    StoreAt source(platform, sourcePath);
    MergeReport report;
    const std::wstring label = SourceLabel(sourcePath);
    MergeStore(target.component(), source.component(), label, report);
    for (std::wstring& note : report.notes) notes.push_back(targetPath + L": " + std::move(note));
    std::wstring status = report.complete ? L"merged" : L"incomplete: kept";
    if (report.complete && arguments.Has(L"remove-sources")) {
      status = ::DeleteFileW(sourcePath.c_str()) ? L"merged and removed" : L"merged; not removed";
    }
    complete = complete && report.complete;
    table.AddRow({Text(sourcePath), Number(static_cast<double>(report.added)),
                  Number(static_cast<double>(report.alike)),
                  Number(static_cast<double>(report.keptBoth)), Text(status)});
  }
  CommandOutcome outcome(std::move(table));
  if (const auto notesFile = arguments.Value(L"notes"); notesFile && !notes.empty()) {
    if (!AppendNotes(*notesFile, notes))
      notes.push_back(L"the notes could not be written to " + *notesFile);
  }
  for (const std::wstring& note : notes) outcome.message += note + L"\n";
  if (!complete) {
    outcome.exit = ExitCode::Refused;
    outcome.message += L"some papers could not be merged: their stores are kept as they are";
  }
  return outcome;
}

}  // namespace

std::vector<Command> StoreMergeCommands() {
  return {{L"store-merge",
           L"TARGET SOURCE... [--remove-sources] [--notes FILE]",
           L"merge paper stores into one",
           L"Stores every paper of each SOURCE store in the TARGET store (made when it does not\n"
           L"exist). A paper TARGET lacks is added; one it holds with the same values is left;\n"
           L"one it holds with other values is kept too, under its name and the source's label\n"
           L"in brackets (\"Letter (x86)\": the file's name, or the folder of a PrintSet.ini),\n"
           L"and a note on stderr says so. A SOURCE that does not exist is skipped.\n"
           L"--remove-sources  deletes each SOURCE once all its papers are in TARGET\n"
           L"--notes FILE      also appends the notes to FILE (UTF-8)\n"
           L"Exits 4 when a paper could not be stored; its source is then kept.\n",
           {{L"remove-sources"}, {L"notes", true}},
           2,
           64,
           MergeStores}};
}

}  // namespace sheetlore::cli
