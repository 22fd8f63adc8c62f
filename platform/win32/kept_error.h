#pragma once
// The error of a platform service's last failing call on this thread, read from GetLastError
// right after the call, before anything else can change it. One slot per service (Tag).

#include <cstdint>

#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {

template <class Tag>
class KeptError {
 public:
  // Keeps the thread's last error and passes ok through: `return KeptError<T>::Unless(call)`.
  static bool Unless(bool ok) {
    if (!ok) Keep();
    return ok;
  }
  static void Keep() { value_ = ::GetLastError(); }
  // A refusal of this layer's own, without a failing system call.
  static bool Refuse(std::uint32_t error) {
    value_ = error;
    return false;
  }
  static std::uint32_t Value() { return value_; }

 private:
  static inline thread_local std::uint32_t value_ = 0;
};

}  // namespace sheetlore::win32
