#pragma once
// RAII owners for the plain Windows handles the platform creates itself.

#include <utility>

#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {

// Owns a handle and closes it with Close on destruction. Null means none.
template <typename Handle, auto Close>
class unique_handle {
 public:
  unique_handle() noexcept = default;
  explicit unique_handle(Handle handle) noexcept : handle_(handle) {}
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~unique_handle() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }
  void reset(Handle handle = nullptr) noexcept {
    if (Handle old = std::exchange(handle_, handle)) Close(old);
  }

 private:
  Handle handle_ = nullptr;
};

using unique_dc = unique_handle<HDC, &::DeleteDC>;
using unique_kernel_handle = unique_handle<HANDLE, &::CloseHandle>;

}  // namespace sheetlore::win32
