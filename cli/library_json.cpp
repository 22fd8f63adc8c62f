#include "cli/library_json.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "cli/command_error.h"
#include "cli/text_encoding.h"
#include "component/paper_store_file.h"

namespace sheetlore::cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr char kFormatName[] = "sheetlore-paper-library";
const char* const kLengthKeys[] = {"width", "height", "left", "right", "top", "bottom"};

Json UnitJson(std::uint8_t code) {
  if (code == UnitCode(PaperUnit::Centimetres)) return "cm";
  if (IsInches(code)) return "in";
  return code;
}

// A length as the shortest JSON number that reads back as the same value: a whole number
// without a fraction (21, not 21.0).
Json Length(double value) {
  constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
  if (value == std::floor(value) && std::fabs(value) < kExactIntegers && !std::signbit(value)) {
    return static_cast<std::int64_t>(value);
  }
  return value;
}

std::wstring Wide(const std::string& utf8) { return FromUtf8(utf8).value_or(L"?"); }

// One entry of "papers", or the reason it cannot be used.
struct EntryReading {
  LibraryPaper paper;
  std::wstring problem;
};

EntryReading ReadEntry(const Json& entry) {
  EntryReading reading;
  if (!entry.is_object()) return {{}, L"not an object"};
  for (const auto& [key, value] : entry.items()) {
    static_cast<void>(value);
    const bool known =
        key == "name" || key == "unit" ||
        std::find(std::begin(kLengthKeys), std::end(kLengthKeys), key) != std::end(kLengthKeys);
    if (!known) return {{}, L"unknown member \"" + Wide(key) + L"\""};
  }
  const auto name = entry.find("name");
  if (name == entry.end() || !name->is_string()) return {{}, L"no \"name\" text"};
  reading.paper.name = Wide(name->get<std::string>());

  const auto unit = entry.find("unit");
  if (unit == entry.end()) return {reading.paper, L"no \"unit\" (\"cm\" or \"in\")"};
  if (*unit == "cm" || *unit == "in") {
    reading.paper.paper.mMode = UnitCode(*unit == "in");
  } else if (unit->is_number_unsigned() && unit->get<std::uint64_t>() <= 255) {
    reading.paper.paper.mMode = static_cast<std::uint8_t>(unit->get<unsigned>());
  } else {
    return {reading.paper, L"the unit must be \"cm\" or \"in\""};
  }

  rePaPer& p = reading.paper.paper;
  double* const fields[] = {&p.W, &p.H, &p.L, &p.R, &p.T, &p.B};
  for (std::size_t i = 0; i < std::size(kLengthKeys); ++i) {
    const auto value = entry.find(kLengthKeys[i]);
    const bool required = i < 2;
    if (value == entry.end()) {
      if (required) return {reading.paper, L"no \"" + Wide(kLengthKeys[i]) + L"\""};
      continue;
    }
    if (!value->is_number()) {
      return {reading.paper, L"the " + Wide(kLengthKeys[i]) + L" is not a number"};
    }
    *fields[i] = value->get<double>();
  }
  return reading;
}

std::wstring EntryLabel(std::size_t index, const LibraryPaper& paper) {
  std::wstring label = L"paper " + std::to_wstring(index + 1);
  if (!paper.name.empty()) label += L" (\"" + paper.name + L"\")";
  return label;
}

// The checks of PaperProblem that do not concern what a form can be.
std::optional<std::wstring> NameOrValueProblem(const LibraryPaper& paper) {
  if (!paper_store::IsStorableName(paper.name)) {
    return std::wstring(L"the paper store cannot hold this name: ") + kStorableNameRule;
  }
  return ValueProblem(paper.paper);
}

[[noreturn]] void Invalid(const std::wstring& reason) {
  throw BadArguments(L"the library file cannot be used, nothing was changed: " + reason);
}

}  // namespace

std::string LibraryToJson(const std::vector<LibraryPaper>& papers) {
  Json list = Json::array();
  for (const LibraryPaper& library : papers) {
    const rePaPer& p = library.paper;
    list.push_back({{"name", ToUtf8(library.name)},
                    {"unit", UnitJson(p.mMode)},
                    {"width", Length(p.W)},
                    {"height", Length(p.H)},
                    {"left", Length(p.L)},
                    {"top", Length(p.T)},
                    {"right", Length(p.R)},
                    {"bottom", Length(p.B)}});
  }
  const Json file = {
      {"format", kFormatName}, {"version", kLibraryFormatVersion}, {"papers", std::move(list)}};
  return file.dump(2) + "\n";
}

std::vector<LibraryPaper> LibraryFromJson(ClsPrint& component, const std::string& fileBytes,
                                          LibraryChecks checks) {
  const std::optional<std::string> text = TextFileAsUtf8(fileBytes);
  // Windows PowerShell 5.1's Set-Content and Out-File -Encoding Default, and older editors,
  // write the ANSI code page: bytes that are not UTF-8.
  if (!text || !FromUtf8(*text)) {
    Invalid(
        L"the file is not UTF-8 or UTF-16 text (it may have been saved in an ANSI code page). "
        L"Save it as UTF-8: in Notepad with Save As, Encoding UTF-8; in PowerShell with "
        L"Get-Content -Encoding Default OLD.json | Set-Content -Encoding UTF8 NEW.json");
  }
  Json file;
  try {
    file = Json::parse(*text);
  } catch (const Json::exception& error) {
    // Syntax errors, and numbers beyond a double's range. The library's messages start with
    // their own tag in brackets; the rest says what and where.
    std::string what = error.what();
    if (const auto tagEnd = what.find("] "); tagEnd != std::string::npos) what.erase(0, tagEnd + 2);
    Invalid(L"not JSON: " + Wide(what));
  }
  if (!file.is_object() || file.value("format", Json()) != kFormatName) {
    Invalid(L"not a paper library (\"format\" must be \"" + Wide(kFormatName) + L"\")");
  }
  const auto version = file.find("version");
  if (version == file.end() || !version->is_number_integer() ||
      version->get<long long>() != kLibraryFormatVersion) {
    Invalid(L"format version " + (version == file.end() ? L"(none)" : Wide(version->dump())) +
            L" is not one this program reads (it reads version " +
            std::to_wstring(kLibraryFormatVersion) + L")");
  }
  const auto list = file.find("papers");
  if (list == file.end() || !list->is_array()) Invalid(L"no \"papers\" list");

  std::vector<LibraryPaper> papers;
  std::wstring problems;
  for (std::size_t i = 0; i < list->size(); ++i) {
    EntryReading reading = ReadEntry((*list)[i]);
    std::wstring problem = reading.problem;
    if (problem.empty()) {
      problem = (checks == LibraryChecks::All ? PaperProblem(component, reading.paper)
                                              : NameOrValueProblem(reading.paper))
                    .value_or(L"");
    }
    if (problem.empty()) {
      for (std::size_t earlier = 0; earlier < papers.size(); ++earlier) {
        // The same name again; names the paper store takes for one are found when they are
        // stored (AddToStore), by the store's own rule.
        if (papers[earlier].name == reading.paper.name) problem = L"the name is listed twice";
      }
    }
    if (!problem.empty()) problems += L"\n  " + EntryLabel(i, reading.paper) + L": " + problem;
    papers.push_back(std::move(reading.paper));
  }
  if (!problems.empty()) Invalid(L"some papers are not valid:" + problems);
  return papers;
}

}  // namespace sheetlore::cli
