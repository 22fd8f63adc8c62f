#include "cli/run.h"

#include <algorithm>
#include <cstdio>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/platform_error.h"
#include "component/paper_store_file.h"
#include "release_version.h"

namespace sheetlore::cli {
namespace {

constexpr wchar_t kProgram[] = L"sheetlore";

const wchar_t kExitStatusHelp[] =
    L"Exit status:\n"
    L"  0  success\n"
    L"  1  the component raised a run-time error\n"
    L"  2  bad arguments, or a library file that is not valid\n"
    L"  3  not found: no such printer, form or paper (or the printer does not open)\n"
    L"  4  refused or not kept: the spooler refused the change or accepted it without keeping\n"
    L"     it (the forms read back do not show it), or the paper store or a file could not be\n"
    L"     written\n"
    L"  5  apply --check: the printer does not match the library file\n"
    L"  6  apply, apply --check: a paper no change can make a form of (a built-in form of that\n"
    L"     name with another size, a size or printable area the spooler cannot keep)\n";

std::wstring GeneralHelp(ClsPrint& component) {
  std::wstring text = std::wstring(kProgram) +
                      L": printer forms and the paper store from the command line\n\n"
                      L"Usage: sheetlore COMMAND [ARGUMENTS] [--json | --csv]\n"
                      L"       sheetlore COMMAND --help\n"
                      L"       sheetlore --version\n\nCommands:\n";
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
  if (line.command == L"--version" && line.rest.empty()) {
    return {0, std::wstring(kProgram) + L" " + ReleaseVersion() + L"\n", {}};
  }
  if (line.command.empty() || line.command == L"help") {
    if (line.command == L"help" && !line.rest.empty()) {
      const Command* command = FindCommand(line.rest.front());
      if (!command) throw BadArguments(L"unknown command \"" + line.rest.front() + L"\"");
      return {0, CommandHelp(*command), {}};
    }
    if (line.command.empty() && !line.help) {
      const int status = static_cast<int>(ExitCode::BadArguments);
      return {status, RenderFailure(L"no command given", status, std::nullopt, line.format),
              GeneralHelp(component)};
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
  if (line.format == OutputFormat::Json && outcome.json) {
    result.out = *outcome.json;
  } else if (!outcome.table.columns.empty()) {
    result.out = Render(outcome.table, line.format);
  }
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

// A command that ended without its output: the message on stderr (with what Windows said about
// the platform call that failed, where one did) and, for JSON and CSV, the error on stdout,
// where scripts read the data.
RunResult Failed(int status, const std::wstring& message, const std::wstring& stderrText,
                 const std::optional<PlatformError>& cause,
                 const std::vector<std::wstring>& arguments) {
  return {status, RenderFailure(message, status, cause, RequestedFormat(arguments)),
          std::wstring(kProgram) + L": " + stderrText + L"\n"};
}

}  // namespace

std::wstring ReleaseVersion() { return SHEETLORE_RELEASE_WIDE; }

RunResult Run(const std::vector<std::wstring>& arguments, ClsPrint& component) {
  try {
    return Dispatch(arguments, component);
  } catch (const CommandError& error) {
    std::optional<PlatformError> cause;
    // Bad arguments never come from a platform call; a refusal or "not found" may.
    if (error.code() != ExitCode::BadArguments) cause = LastPlatformError(component);
    const std::wstring text = cause ? error.message() + L": " + Describe(*cause) : error.message();
    return Failed(static_cast<int>(error.code()), error.message(), text, cause, arguments);
  } catch (const AutomationError& error) {
    // Numbered run-time errors by their number, other failures by their HRESULT.
    const bool numbered = error.number() != error.hresult();
    const std::wstring number =
        numbered ? std::to_wstring(error.number()) : HexText(error.hresult());
    std::wstring message = L"error " + number + L": " + error.description();
    // The component's file error: the paper store exists but cannot be read.
    if (error.number() == 75) {
      message += L" (the paper store cannot be read: " +
                 paper_store::FilePath(component.platform().host) +
                 L"; another program may hold it, or you may not read it)";
    }
    const std::optional<PlatformError> cause = LastPlatformError(component);
    const std::wstring text = cause ? message + L" (" + Describe(*cause) + L")" : message;
    return Failed(static_cast<int>(ExitCode::Failure), message, text, cause, arguments);
  }
}

}  // namespace sheetlore::cli
