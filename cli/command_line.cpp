#include "cli/command_line.h"

#include <algorithm>

#include "cli/command_error.h"

namespace sheetlore::cli {
namespace {

constexpr wchar_t kEndOfOptions[] = L"--";

bool IsHelpOption(const std::wstring& argument) {
  return argument == L"--help" || argument == L"-h" || argument == L"/?";
}

}  // namespace

CommandLine SplitCommandLine(const std::vector<std::wstring>& arguments) {
  CommandLine line;
  bool json = false;
  bool csv = false;
  bool optionsEnded = false;
  for (const std::wstring& argument : arguments) {
    if (!optionsEnded) {
      if (argument == L"--json") {
        json = true;
        continue;
      }
      if (argument == L"--csv") {
        csv = true;
        continue;
      }
      if (IsHelpOption(argument)) {
        line.help = true;
        continue;
      }
    }
    if (line.command.empty() && !optionsEnded && argument != kEndOfOptions) {
      line.command = argument;
      continue;
    }
    if (argument == kEndOfOptions) optionsEnded = true;
    line.rest.push_back(argument);
  }
  if (json && csv) throw BadArguments(L"--json and --csv cannot be used together");
  line.format = json ? OutputFormat::Json : csv ? OutputFormat::Csv : OutputFormat::Text;
  return line;
}

std::optional<std::wstring> ParsedArguments::Value(const std::wstring& name) const {
  const auto found = values.find(name);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

ParsedArguments ParseArguments(const std::vector<std::wstring>& rest,
                               const std::vector<OptionSpec>& options, std::size_t minPositionals,
                               std::size_t maxPositionals) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const std::wstring& argument = rest[i];
    if (!optionsEnded && argument == kEndOfOptions) {
      optionsEnded = true;
      continue;
    }
    // A lone "-" or a negative number is a positional, not an option.
    const bool looksLikeOption = argument.size() > 2 && argument.starts_with(L"--");
    if (optionsEnded || !looksLikeOption) {
      parsed.positionals.push_back(argument);
      continue;
    }
    std::wstring name = argument.substr(2);
    std::optional<std::wstring> inlineValue;
    if (const auto equals = name.find(L'='); equals != std::wstring::npos) {
      inlineValue = name.substr(equals + 1);
      name.resize(equals);
    }
    const auto option = std::find_if(options.begin(), options.end(),
                                     [&name](const OptionSpec& o) { return o.name == name; });
    if (option == options.end()) throw BadArguments(L"unknown option --" + name);
    if (!option->takesValue) {
      if (inlineValue) throw BadArguments(L"option --" + name + L" takes no value");
      parsed.flags.insert(name);
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= rest.size()) throw BadArguments(L"option --" + name + L" needs a value");
      inlineValue = rest[++i];
    }
    parsed.values[name] = *inlineValue;
  }
  if (parsed.positionals.size() < minPositionals) {
    throw BadArguments(L"missing argument");
  }
  if (parsed.positionals.size() > maxPositionals) {
    throw BadArguments(L"unexpected argument \"" + parsed.positionals[maxPositionals] + L"\"");
  }
  return parsed;
}

}  // namespace sheetlore::cli
