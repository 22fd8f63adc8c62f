#pragma once
// The call trace: one line per method call of a component object, appended to the file the
// user chose (sheetlore trace on) and sent to the debugger output. A line holds the local time,
// the process and thread, the method with its arguments as the caller passed them, its result
// or raised error, and each platform call that failed during it with its error code and the
// system's text.
//
// The file stays bounded: before a line would take it to kLimitBytes or more, it is renamed to
// FILE.old (replacing an older one) and a new file begins; when that rename fails the line is
// dropped, never the bound. Writing never fails a call: a file that cannot be opened or written
// loses the line and nothing else.

#include <cstdint>
#include <string>
#include <vector>

#include "component/platform_failures.h"
#include "platform/platform.h"

namespace sheetlore::com {

class CallTrace {
 public:
  static constexpr std::uint64_t kLimitBytes = 1024 * 1024;

  explicit CallTrace(std::wstring file) : file_(std::move(file)) {}

  // outcome: "= True", "raised error 6: Overflow", ...
  void Record(const wchar_t* method, const std::wstring& arguments, const std::wstring& outcome,
              const std::vector<PlatformFailure>& failures, System& system) noexcept;

  // The line without the time, process and thread: what tests compare.
  static std::wstring Describe(const wchar_t* method, const std::wstring& arguments,
                               const std::wstring& outcome,
                               const std::vector<PlatformFailure>& failures, System& system);

 private:
  void Append(const std::wstring& line) noexcept;

  std::wstring file_;
};

}  // namespace sheetlore::com
