#include "cli/run.h"

#include <algorithm>
#include <cstdio>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/platform_error.h"
#include "component/paper_store_file.h"

namespace sheetlore::cli {
namespace {

constexpr wchar_t kProgram[] = L"sheetlore";

const wchar_t kExitStatusHelp[] =
    L"Exit status:\n"
    L"  0  success\n"
    L"  1  the component raised a run-time error\n"
    L"  2  bad arguments, or a library file that is not valid\n"
    L"  3  not found: no such printer, form or paper (or the printer does not open)\n"
    L"  4  refused: the spooler refused the change, or the paper store or a file could not be\n"
    L"     written\n"
    L"  5  apply --check: the printer does not match the library file\n"
    L"  6  apply, apply --check: a paper no change can make a form of (a built-in form of that\n"
    L"     name with another size, a size or printable area the spooler cannot keep)\n";

std::wstring GeneralHelp(ClsPrint& component) {
  std::wstring text = std::wstring(kProgram) +
                      L": printer forms and the paper store from the command line\n\n"
                      L"Usage: sheetlore COMMAND [ARGUMENTS] [--json | --csv]\n"
                      L"       sheetlore COMMAND --help\n\nCommands:\n";
  std::size_t width = 0;
  for (const Command& command : AllCommands()) width = std::max(width, command.name.size());
  for (const Command& command : AllCommands()) {
    text += L"  " + command.name + std::wstring(width - command.name.size() + 2, L' ') +
            command.summary + L"\n";
  }
  text += L"\nOutput is aligned text; --json or --csv print the same data for scripts.\n";
  text += L"Errors go to stderr.\n\n";
  text += kExitStatusHelp;
  text += L"\nPaper store: " + paper_store::FilePath(component.platform().host) + L"\n";
  return text;
}

std::wstring CommandHelp(const Command& command) {
  std::wstring usage = std::wstring(L"Usage: ") + kProgram + L" " + command.name;
  if (!command.usage.empty()) usage += L" " + command.usage;
  return usage + L" [--json | --csv]\n\n" + command.details + L"\n" + kExitStatusHelp;
}

const Command* FindCommand(const std::wstring& name) {
  const auto& commands = AllCommands();
  const auto found = std::find_if(commands.begin(), commands.end(),
                                  [&name](const Command& c) { return c.name == name; });
  return found == commands.end() ? nullptr : &*found;
}

std::wstring HexText(std::int32_t value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(value));
  return text;
}

RunResult Dispatch(const std::vector<std::wstring>& arguments, ClsPrint& component) {
  const CommandLine line = SplitCommandLine(arguments);
  if (line.command.empty() || line.command == L"help") {
    if (line.command == L"help" && !line.rest.empty()) {
      const Command* command = FindCommand(line.rest.front());
      if (!command) throw BadArguments(L"unknown command \"" + line.rest.front() + L"\"");
      return {0, CommandHelp(*command), {}};
    }
    if (line.command.empty() && !line.help) {
      return {static_cast<int>(ExitCode::BadArguments), {}, GeneralHelp(component)};
    }
    return {0, GeneralHelp(component), {}};
  }
  const Command* command = FindCommand(line.command);
  if (!command) {
    throw BadArguments(L"unknown command \"" + line.command + L"\" (sheetlore --help lists them)");
  }
  if (line.help) return {0, CommandHelp(*command), {}};
  ParsedArguments parsed;
  try {
    parsed = ParseArguments(line.rest, command->options, command->minPositionals,
                            command->maxPositionals);
  } catch (const CommandError& error) {
    throw BadArguments(error.message() + L"\nUsage: " + kProgram + L" " + command->name + L" " +
                       command->usage);
  }
  component.ForgetFailures();
  CommandOutcome outcome = command->run(component, parsed);
  RunResult result{static_cast<int>(outcome.exit), {}, {}};
  if (!outcome.table.columns.empty()) result.out = Render(outcome.table, line.format);
  if (!outcome.message.empty())
    result.err = std::wstring(kProgram) + L": " + outcome.message + L"\n";
  return result;
}

// The format the command line asks for, or text when it cannot be read.
OutputFormat RequestedFormat(const std::vector<std::wstring>& arguments) {
  try {
    return SplitCommandLine(arguments).format;
  } catch (const CommandError&) {
    return OutputFormat::Text;
  }
}

// A refusal: its message, and what Windows said about the last platform call that failed.
// JSON and CSV also print them on stdout as a record, so that scripts find the error code
// where they read the data.
RunResult Refusal(const CommandError& error, const std::vector<std::wstring>& arguments,
                  ClsPrint& component) {
  const std::optional<PlatformError> cause = LastPlatformError(component);
  RunResult result{
      static_cast<int>(error.code()), {}, std::wstring(kProgram) + L": " + error.message()};
  if (cause) result.err += L": " + Describe(*cause);
  result.err += L"\n";
  const OutputFormat format = RequestedFormat(arguments);
  if (format != OutputFormat::Text) {
    Table record({{L"Message", L"message"}, ErrorColumn()}, true);
    record.AddRow({Text(error.message()), ErrorCell(cause)});
    result.out = Render(record, format);
  }
  return result;
}

}  // namespace

RunResult Run(const std::vector<std::wstring>& arguments, ClsPrint& component) {
  try {
    return Dispatch(arguments, component);
  } catch (const CommandError& error) {
    if (error.code() == ExitCode::Refused || error.code() == ExitCode::NotFound) {
      return Refusal(error, arguments, component);
    }
    return {static_cast<int>(error.code()),
            {},
            std::wstring(kProgram) + L": " + error.message() + L"\n"};
  } catch (const AutomationError& error) {
    // Numbered run-time errors by their number, other failures by their HRESULT.
    const bool numbered = error.number() != error.hresult();
    const std::wstring number =
        numbered ? std::to_wstring(error.number()) : HexText(error.hresult());
    std::wstring message =
        std::wstring(kProgram) + L": error " + number + L": " + error.description();
    // The component's file error: the paper store exists but cannot be read.
    if (error.number() == 75) {
      message += L" (the paper store cannot be read: " +
                 paper_store::FilePath(component.platform().host) +
                 L"; another program may hold it, or you may not read it)";
    }
    if (const std::optional<PlatformError> cause = LastPlatformError(component)) {
      message += L" (" + Describe(*cause) + L")";
    }
    return {static_cast<int>(ExitCode::Failure), {}, message + L"\n"};
  }
}

}  // namespace sheetlore::cli
