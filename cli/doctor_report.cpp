// What sheetlore doctor prints from its findings, in every output format, and how it ends.
#include <algorithm>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/doctor.h"
#include "cli/text_encoding.h"

namespace sheetlore::cli {
namespace {

nlohmann::json TextOrNull(const std::optional<std::wstring>& text) {
  return text ? nlohmann::json(ToUtf8(*text)) : nlohmann::json(nullptr);
}

std::wstring Json(const Findings& findings, bool allOk) {
  nlohmann::ordered_json checks = nlohmann::ordered_json::array();
  for (const Finding& finding : findings) {
    nlohmann::ordered_json check = {{"check", ToUtf8(finding.check)},
                                    {"printer", TextOrNull(finding.printer)},
                                    {"ok", finding.ok},
                                    {"detail", ToUtf8(finding.detail)},
                                    {"remedy", TextOrNull(finding.remedy)}};
    if (finding.error) {
      check["error"] = {{"operation", ToUtf8(finding.error->operation)},
                        {"code", finding.error->code},
                        {"text", ToUtf8(finding.error->text)}};
    }
    checks.push_back(std::move(check));
  }
  const nlohmann::ordered_json report = {{"ok", allOk}, {"checks", std::move(checks)}};
  return FromUtf8(report.dump(2)).value_or(L"") + L"\n";
}

}  // namespace

CommandOutcome DoctorOutcome(const Findings& findings) {
  Table table({{L"Check", L"check"},
               {L"Printer", L"printer"},
               {L"Verdict", L"ok"},
               {L"Detail", L"detail"},
               {L"Remedy", L"remedy"},
               ErrorColumn()});
  for (const Finding& finding : findings) {
    table.AddRow({Text(finding.check), Text(finding.printer.value_or(L"")),
                  Text(finding.ok ? L"ok" : L"FAIL"), Text(finding.detail),
                  Text(finding.remedy.value_or(L"")), ErrorCell(finding.error)});
  }
  const auto failed = std::count_if(findings.begin(), findings.end(),
                                    [](const Finding& finding) { return !finding.ok; });
  CommandOutcome outcome(std::move(table));
  outcome.json = Json(findings, failed == 0);
  const auto missing = std::find_if(findings.begin(), findings.end(),
                                    [](const Finding& finding) { return finding.notFound; });
  if (missing != findings.end()) {
    outcome.exit = ExitCode::NotFound;
    outcome.message = L"no such printer, or it does not open: " + missing->printer.value_or(L"");
  } else if (failed > 0) {
    outcome.exit = ExitCode::Failure;
    outcome.message =
        std::to_wstring(failed) + L" of " + std::to_wstring(findings.size()) + L" checks failed";
  }
  return outcome;
}

}  // namespace sheetlore::cli
