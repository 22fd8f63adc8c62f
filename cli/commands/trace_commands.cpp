// sheetlore trace on [FILE] | off | show: the current user's call trace of the component.
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "platform/win32/trace_settings.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::cli {
namespace {

std::wstring FullPath(const std::wstring& path) {
  const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  const DWORD written = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  full.resize(written < length ? written : 0);
  return full.empty() ? path : full;
}

// Makes the file's folder and those above it where missing.
void MakeFolderOf(const std::wstring& file) {
  for (std::size_t slash = file.find(L'\\', 3); slash != std::wstring::npos;
       slash = file.find(L'\\', slash + 1)) {
    ::CreateDirectoryW(file.substr(0, slash).c_str(), nullptr);
  }
}

std::wstring FileSize(const std::wstring& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return L"no file yet";
  const unsigned long long bytes =
      (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return std::to_wstring(bytes) + L" bytes";
}

CommandError SettingRefused(ClsPrint& component, unsigned long error) {
  return Refused(L"the trace setting could not be changed: error " + std::to_wstring(error) +
                 L": " + component.platform().system.ErrorText(error));
}

Table State(const std::optional<std::wstring>& file) {
  Table table({{L"Trace", L"trace"}, {L"File", L"file"}, {L"Size", L"size"}}, true);
  table.AddRow(
      {Text(file ? L"on" : L"off"), Text(file ? *file : L""), Text(file ? FileSize(*file) : L"")});
  return table;
}

Table Trace(ClsPrint& component, const ParsedArguments& arguments) {
  const std::wstring& action = arguments.positionals[0];
  if (action == L"on") {
    const std::wstring file = arguments.positionals.size() > 1 ? FullPath(arguments.positionals[1])
                                                               : win32::DefaultTraceFile();
    if (file.empty()) throw BadArguments(L"no folder for the trace file: name one");
    MakeFolderOf(file);
    if (const unsigned long error = win32::SwitchTraceOn(file)) {
      throw SettingRefused(component, error);
    }
  } else if (action == L"off") {
    if (arguments.positionals.size() > 1) throw BadArguments(L"trace off takes no file");
    if (const unsigned long error = win32::SwitchTraceOff()) {
      throw SettingRefused(component, error);
    }
  } else if (action != L"show" || arguments.positionals.size() > 1) {
    throw BadArguments(L"trace takes on [FILE], off or show");
  }
  return State(win32::TraceFileSetting());
}

}  // namespace

std::vector<Command> TraceCommands() {
  return {{L"trace",
           L"on [FILE] | off | show",
           L"switch the call trace of the component on or off",
           L"Switches the current user's call trace on (into FILE, by default\n"
           L"%LOCALAPPDATA%\\Sheetlore\\trace.log) or off, or shows whether it is on. While it\n"
           L"is on, every object a program creates from then on writes one line per method\n"
           L"call: the time, process and thread, the method with its arguments, its result or\n"
           L"error, and each Windows call that failed with its error number and text. The same\n"
           L"line goes to the debugger output. A program that already holds an object (an open\n"
           L"workbook) traces once it creates a new one. At 1 MB the file is renamed to\n"
           L"FILE.old and a new one begins.\n",
           {},
           1,
           2,
           Trace}};
}

}  // namespace sheetlore::cli
