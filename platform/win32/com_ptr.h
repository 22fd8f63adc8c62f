#pragma once
// Small RAII owners for COM references, BSTRs and VARIANTs, and the text of a GUID.
//
// com_ptr<T> owns one reference. attach() adopts a reference the caller already owns (no
// AddRef); copy() takes a new one. put() hands out the address for an [out] parameter after
// releasing what the pointer held.

#include <cstddef>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "platform/win32/windows_api.h"

#include <objbase.h>
#include <oleauto.h>
#include <unknwn.h>

namespace sheetlore::win32 {

template <typename T>
class com_ptr {
 public:
  com_ptr() noexcept = default;
  com_ptr(std::nullptr_t) noexcept {}
  com_ptr(const com_ptr& other) noexcept : ptr_(other.ptr_) { add_ref(); }
  com_ptr(com_ptr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ~com_ptr() { reset(); }

  com_ptr& operator=(com_ptr other) noexcept {
    swap(other);
    return *this;
  }

  // Adopts a reference the caller owns.
  static com_ptr attach(T* raw) noexcept {
    com_ptr result;
    result.ptr_ = raw;
    return result;
  }
  // Takes a new reference to raw.
  static com_ptr copy(T* raw) noexcept {
    com_ptr result;
    result.ptr_ = raw;
    result.add_ref();
    return result;
  }

  T* get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  T& operator*() const noexcept { return *ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }

  // Releases the held reference and returns the slot for an [out] parameter.
  T** put() noexcept {
    reset();
    return &ptr_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  // Gives up ownership without releasing.
  [[nodiscard]] T* detach() noexcept { return std::exchange(ptr_, nullptr); }

  void reset() noexcept {
    if (T* old = std::exchange(ptr_, nullptr)) old->Release();
  }

  void swap(com_ptr& other) noexcept { std::swap(ptr_, other.ptr_); }

  // QueryInterface for U; on failure result is left empty.
  template <typename U>
  HRESULT query(com_ptr<U>& result) const noexcept {
    if (!ptr_) {
      result.reset();
      return E_POINTER;
    }
    return ptr_->QueryInterface(__uuidof(U), result.put_void());
  }

  friend bool operator==(const com_ptr& a, const com_ptr& b) noexcept { return a.ptr_ == b.ptr_; }
  friend bool operator==(const com_ptr& a, std::nullptr_t) noexcept { return a.ptr_ == nullptr; }

 private:
  void add_ref() noexcept {
    if (ptr_) ptr_->AddRef();
  }

  T* ptr_ = nullptr;
};

// Owns one BSTR (SysAllocString / SysFreeString). A null BSTR is the empty string.
class unique_bstr {
 public:
  unique_bstr() noexcept = default;
  // Copies text, embedded zero characters included. Throws std::bad_alloc when the system
  // has no memory for it.
  explicit unique_bstr(std::wstring_view text) {
    if (text.empty()) return;
    bstr_ = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!bstr_) throw std::bad_alloc();
  }
  unique_bstr(const unique_bstr&) = delete;
  unique_bstr& operator=(const unique_bstr&) = delete;
  unique_bstr(unique_bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
  unique_bstr& operator=(unique_bstr&& other) noexcept {
    if (this != &other) {
      reset();
      bstr_ = std::exchange(other.bstr_, nullptr);
    }
    return *this;
  }
  ~unique_bstr() { reset(); }

  static unique_bstr attach(BSTR raw) noexcept {
    unique_bstr result;
    result.bstr_ = raw;
    return result;
  }

  BSTR get() const noexcept { return bstr_; }
  BSTR* put() noexcept {
    reset();
    return &bstr_;
  }
  [[nodiscard]] BSTR detach() noexcept { return std::exchange(bstr_, nullptr); }
  void reset() noexcept {
    if (BSTR old = std::exchange(bstr_, nullptr)) ::SysFreeString(old);
  }

  std::size_t size() const noexcept { return bstr_ ? ::SysStringLen(bstr_) : 0; }
  std::wstring str() const {
    return bstr_ ? std::wstring(bstr_, ::SysStringLen(bstr_)) : std::wstring();
  }

 private:
  BSTR bstr_ = nullptr;
};

// Owns one VARIANT: initialised empty, cleared (VariantClear) on destruction and before reuse.
class unique_variant {
 public:
  unique_variant() noexcept { ::VariantInit(&value_); }
  unique_variant(const unique_variant&) = delete;
  unique_variant& operator=(const unique_variant&) = delete;
  unique_variant(unique_variant&& other) noexcept : value_(other.value_) {
    ::VariantInit(&other.value_);
  }
  unique_variant& operator=(unique_variant&& other) noexcept {
    if (this != &other) {
      reset();
      value_ = other.value_;
      ::VariantInit(&other.value_);
    }
    return *this;
  }
  ~unique_variant() { reset(); }

  static unique_variant from_i2(SHORT number) noexcept {
    unique_variant result;
    result.value_.vt = VT_I2;
    result.value_.iVal = number;
    return result;
  }
  static unique_variant from_i4(LONG number) noexcept {
    unique_variant result;
    result.value_.vt = VT_I4;
    result.value_.lVal = number;
    return result;
  }
  static unique_variant from_bool(bool value) noexcept {
    unique_variant result;
    result.value_.vt = VT_BOOL;
    result.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
  }
  // Throws std::bad_alloc when the string cannot be allocated.
  static unique_variant from_string(std::wstring_view text) {
    unique_variant result;
    unique_bstr bstr(text);
    result.value_.vt = VT_BSTR;
    result.value_.bstrVal = bstr.detach();
    return result;
  }

  VARIANT* get() noexcept { return &value_; }
  const VARIANT* get() const noexcept { return &value_; }
  const VARIANT& operator*() const noexcept { return value_; }
  const VARIANT* operator->() const noexcept { return &value_; }
  // Clears the held value and returns the slot for an [out] parameter.
  VARIANT* put() noexcept {
    reset();
    return &value_;
  }
  // Hands the value over to the caller, who must clear it.
  [[nodiscard]] VARIANT detach() noexcept {
    VARIANT result = value_;
    ::VariantInit(&value_);
    return result;
  }
  void reset() noexcept {
    ::VariantClear(&value_);
    ::VariantInit(&value_);
  }

 private:
  VARIANT value_;
};

// A GUID as registries write it: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
inline std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  ::StringFromGUID2(guid, text, 40);
  return text;
}

}  // namespace sheetlore::win32
