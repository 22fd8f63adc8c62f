#pragma once
// RAII owners for the plain Windows handles Sheetlore creates itself, each with the value that
// means "none" for its kind (CreateFile answers INVALID_HANDLE_VALUE, most others null), and the
// guard of a thread's COM apartment. The owners of COM references, BSTRs and VARIANTs are in
// com_ptr.h.

#include <utility>

#include "platform/win32/windows_api.h"

#include <objbase.h>
#include <oleauto.h>

namespace sheetlore::win32 {

// The "none" value of a handle kind.
struct NullHandle {
  static HANDLE value() noexcept { return nullptr; }
};
struct InvalidHandleValue {
  static HANDLE value() noexcept { return INVALID_HANDLE_VALUE; }
};

// Owns a handle and closes it with Close on destruction. None.value() means no handle.
template <typename Handle, auto Close, typename None = NullHandle>
class unique_handle {
 public:
  unique_handle() noexcept = default;
  explicit unique_handle(Handle handle) noexcept : handle_(handle) {}
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_handle() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != none(); }
  Handle release() noexcept { return std::exchange(handle_, none()); }
  void reset(Handle handle = none()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != none()) Close(old);
  }

 private:
  static Handle none() noexcept { return static_cast<Handle>(None::value()); }
  Handle handle_ = none();
};

using unique_dc = unique_handle<HDC, &::DeleteDC>;
using unique_kernel_handle = unique_handle<HANDLE, &::CloseHandle>;
using unique_key = unique_handle<HKEY, &::RegCloseKey>;
using unique_hmodule = unique_handle<HMODULE, &::FreeLibrary>;
// Memory the security functions allocate with LocalAlloc.
using unique_hlocal = unique_handle<HLOCAL, &::LocalFree>;
// A file opened by CreateFile, whose failure is INVALID_HANDLE_VALUE rather than null.
using unique_hfile = unique_handle<HANDLE, &::CloseHandle, InvalidHandleValue>;
// An array made by SafeArrayCreate, destroyed unless released into a VARIANT.
using unique_safearray = unique_handle<SAFEARRAY*, &::SafeArrayDestroy>;

// Joins the thread to a single-threaded apartment while it lives, unless COM is already
// initialised otherwise on it; leaves the apartment only when it joined one, never after a
// failed initialisation.
class com_apartment {
 public:
  com_apartment() noexcept : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  com_apartment(const com_apartment&) = delete;
  com_apartment& operator=(const com_apartment&) = delete;
  ~com_apartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  HRESULT result() const noexcept { return result_; }

 private:
  HRESULT result_;
};

}  // namespace sheetlore::win32
