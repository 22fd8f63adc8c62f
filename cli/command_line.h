#pragma once
// The command line of sheetlore.exe: a command word, its positional arguments and options.
// Global options may stand anywhere: --json, --csv (output format) and --help (-h, /?).
// "--" ends the options, so that a name starting with "-" can be passed.

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sheetlore::cli {

enum class OutputFormat { Text, Json, Csv };

struct CommandLine {
  std::wstring command;            // empty when none was given
  std::vector<std::wstring> rest;  // what follows the command, global options removed
  OutputFormat format = OutputFormat::Text;
  bool help = false;
};

// Splits off the command word and the global options. Throws CommandError (bad arguments)
// when both --json and --csv are given.
CommandLine SplitCommandLine(const std::vector<std::wstring>& arguments);

// One option a command accepts: "--name value" (or "--name=value") when it takes a value,
// "--name" alone otherwise.
struct OptionSpec {
  std::wstring name;  // without the leading dashes
  bool takesValue = false;
};

struct ParsedArguments {
  std::vector<std::wstring> positionals;
  std::map<std::wstring, std::wstring> values;
  std::set<std::wstring> flags;

  bool Has(const std::wstring& flag) const { return flags.count(flag) != 0; }
  std::optional<std::wstring> Value(const std::wstring& name) const;
};

// Reads a command's arguments against its options and the number of positionals it takes.
// Throws CommandError (bad arguments) for an unknown option, a missing option value, or too
// few or too many positionals.
ParsedArguments ParseArguments(const std::vector<std::wstring>& rest,
                               const std::vector<OptionSpec>& options, std::size_t minPositionals,
                               std::size_t maxPositionals);

}  // namespace sheetlore::cli
