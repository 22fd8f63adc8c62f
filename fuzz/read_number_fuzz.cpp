// The point-only number reading on arbitrary text: it answers a finite number or raises the
// overflow error, and blanks, tabs and line feeds anywhere do not change the answer.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "component/number_text.h"
#include "fuzz/fuzz_input.h"
#include "platform/automation_error.h"

namespace {

using sheetlore::AutomationError;
using sheetlore::ReadNumber;
using sheetlore::fuzz::Check;

struct Reading {
  bool overflow = false;
  double value = 0;
};

Reading Read(const std::wstring& text) {
  try {
    return Reading{false, ReadNumber(text)};
  } catch (const AutomationError& error) {
    Check(error.number() == 6, "only the overflow error may escape the reading", text);
    return Reading{true, 0};
  }
}

bool Same(const Reading& a, const Reading& b) {
  if (a.overflow || b.overflow) return a.overflow == b.overflow;
  return a.value == b.value && std::signbit(a.value) == std::signbit(b.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sheetlore::fuzz::Input input(data, size);
  const std::wstring text = input.Rest();
  const Reading reading = Read(text);
  if (!reading.overflow) {
    Check(std::isfinite(reading.value), "a reading is a finite number", text);
    Check(!std::signbit(reading.value) || reading.value != 0, "no negative zero", text);
  }

  // Blanks, tabs and line feeds are ignored wherever they stand.
  std::wstring spaced;
  for (const wchar_t c : text) {
    spaced.push_back(c);
    spaced.push_back((spaced.size() % 3 == 0) ? L'\t' : (spaced.size() % 3 == 1 ? L' ' : L'\n'));
  }
  Check(Same(Read(L" " + spaced), reading), "blanks, tabs and line feeds change nothing", text);

  // A character that cannot continue a number ends it: what follows does not count.
  Check(Same(Read(text + L",5"), reading), "text after a comma is ignored", text);
  return 0;
}
