#include <utility>

#include "platform/sim/sim_state.h"

namespace sheetlore::sim {

bool CallRecorder::Record(const std::wstring& name, std::vector<std::wstring> args) {
  calls_.push_back(Call{name, std::move(args)});
  const std::size_t ordinal = ++seen_[name];
  auto failing = failing_.find(name);
  if (failing == failing_.end()) return false;
  return failing->second.erase(ordinal) > 0;
}

void CallRecorder::FailCall(const std::wstring& name, std::size_t nth, std::size_t count) {
  const std::size_t first = seen_[name] + (nth == 0 ? 1 : nth);
  for (std::size_t i = 0; i < count; ++i) failing_[name].insert(first + i);
}

std::wstring Text(std::uint64_t number) { return std::to_wstring(number); }

std::wstring SignedText(std::int64_t number) { return std::to_wstring(number); }

std::wstring OptionalText(const std::optional<std::wstring>& text) { return text ? *text : kNull; }

}  // namespace sheetlore::sim
