#include <utility>

#include "platform/sim/sim_state.h"

namespace sheetlore::sim {

std::string_view ApiName(Api api) {
  switch (api) {
    case Api::OpenPrinter:
      return "OpenPrinter";
    case Api::ClosePrinter:
      return "ClosePrinter";
    case Api::EnumForms:
      return "EnumForms";
    case Api::GetForm:
      return "GetForm";
    case Api::AddForm:
      return "AddForm";
    case Api::DeleteForm:
      return "DeleteForm";
    case Api::DocumentProperties:
      return "DocumentProperties";
    case Api::GetPrinter:
      return "GetPrinter";
    case Api::SetPrinter:
      return "SetPrinter";
    case Api::ResetDC:
      return "ResetDC";
    case Api::GetPrivateProfileString:
      return "GetPrivateProfileString";
    case Api::WritePrivateProfileString:
      return "WritePrivateProfileString";
    case Api::WritePrivateProfileSection:
      return "WritePrivateProfileSection";
    case Api::GetPrivateProfileSection:
      return "GetPrivateProfileSection";
    case Api::WriteProfileText:
      return "WriteProfileText";
    case Api::GetVersionEx:
      return "GetVersionEx";
    case Api::FindWindow:
      return "FindWindow";
    case Api::Sleep:
      return "Sleep";
    case Api::PumpMessages:
      return "PumpMessages";
    case Api::MessageBox:
      return "MessageBox";
    case Api::StartAddPrinterWizard:
      return "StartAddPrinterWizard";
    case Api::Printers:
      return "Printers";
    case Api::CurrentPrinter:
      return "CurrentPrinter";
    case Api::ComponentDirectory:
      return "ComponentDirectory";
    case Api::FileExists:
      return "FileExists";
    case Api::DeviceName:
      return "DeviceName";
    case Api::hDC:
      return "hDC";
  }
  return "?";
}

std::ostream& operator<<(std::ostream& out, Api api) { return out << ApiName(api); }

bool CallRecorder::Record(Api api, std::vector<std::wstring> args) {
  calls_.push_back(Call{api, std::move(args)});
  const std::size_t ordinal = ++seen_[api];
  auto failing = failing_.find(api);
  if (failing == failing_.end()) return false;
  return failing->second.erase(ordinal) > 0;
}

void CallRecorder::FailCall(Api api, std::size_t nth, std::size_t count) {
  const std::size_t first = seen_[api] + (nth == 0 ? 1 : nth);
  for (std::size_t i = 0; i < count; ++i) failing_[api].insert(first + i);
}

std::wstring Text(std::uint64_t number) { return std::to_wstring(number); }

std::wstring SignedText(std::int64_t number) { return std::to_wstring(number); }

std::wstring OptionalText(const std::optional<std::wstring>& text) { return text ? *text : kNull; }

}  // namespace sheetlore::sim
