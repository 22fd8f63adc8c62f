#pragma once
// A run-time failure that ends a method and reaches the caller as an automation exception.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sheetlore {

// The description automation gives a failure that brings none of its own.
inline constexpr wchar_t kAutomationErrorText[] = L"Automation error";

class AutomationError : public std::runtime_error {
 public:
  AutomationError(std::int32_t hresult, std::wstring description)
      : std::runtime_error("automation error"),
        hresult_(hresult),
        description_(std::move(description)) {}

  // A numbered run-time error: HRESULT 0x800A0000 | number.
  static AutomationError Numbered(std::uint16_t number, std::wstring description) {
    return AutomationError(static_cast<std::int32_t>(0x800A0000u | number), std::move(description));
  }
  static AutomationError Overflow() { return Numbered(6, L"Overflow"); }
  static AutomationError SubscriptOutOfRange() { return Numbered(9, L"Subscript out of range"); }
  // A file that exists but cannot be read or written as asked.
  static AutomationError PathFileAccess() { return Numbered(75, L"Path/File access error"); }
  static AutomationError NoPrinter() { return Numbered(482, L"Printer error"); }
  static AutomationError ObjectNotSet() {
    return Numbered(91, L"Object variable or With block variable not set");
  }
  // E_FAIL, the unspecified failure.
  static AutomationError Unspecified() {
    return AutomationError(static_cast<std::int32_t>(0x80004005u), kAutomationErrorText);
  }

  std::int32_t hresult() const noexcept { return hresult_; }
  // The run-time error number for numbered errors, otherwise the HRESULT itself.
  std::int32_t number() const noexcept {
    const auto h = static_cast<std::uint32_t>(hresult_);
    return (h & 0xFFFF0000u) == 0x800A0000u ? static_cast<std::int32_t>(h & 0xFFFFu) : hresult_;
  }
  const std::wstring& description() const noexcept { return description_; }

 private:
  std::int32_t hresult_;
  std::wstring description_;
};

}  // namespace sheetlore
