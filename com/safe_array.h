#pragma once
// RAII for SAFEARRAYs: ownership (SafeArrayDestroy) and data access (SafeArrayAccessData).

#include "platform/win32/windows_api.h"

#include <oleauto.h>

#include <utility>

namespace sheetlore::com {

class unique_safearray {
 public:
  unique_safearray() noexcept = default;
  explicit unique_safearray(SAFEARRAY* array) noexcept : array_(array) {}
  unique_safearray(const unique_safearray&) = delete;
  unique_safearray& operator=(const unique_safearray&) = delete;
  unique_safearray(unique_safearray&& other) noexcept
      : array_(std::exchange(other.array_, nullptr)) {}
  ~unique_safearray() {
    if (array_) ::SafeArrayDestroy(array_);
  }
  SAFEARRAY* get() const noexcept { return array_; }
  [[nodiscard]] SAFEARRAY* detach() noexcept { return std::exchange(array_, nullptr); }

 private:
  SAFEARRAY* array_ = nullptr;
};

// The array's elements, locked in place for the lifetime of this object.
template <class Element>
class safearray_data {
 public:
  explicit safearray_data(SAFEARRAY* array) : array_(array) {
    void* data = nullptr;
    hr_ = ::SafeArrayAccessData(array_, &data);
    data_ = SUCCEEDED(hr_) ? static_cast<Element*>(data) : nullptr;
  }
  safearray_data(const safearray_data&) = delete;
  safearray_data& operator=(const safearray_data&) = delete;
  ~safearray_data() {
    if (data_) ::SafeArrayUnaccessData(array_);
  }
  HRESULT status() const noexcept { return hr_; }
  Element* get() const noexcept { return data_; }
  Element& operator[](std::size_t index) const noexcept { return data_[index]; }

 private:
  SAFEARRAY* array_;
  HRESULT hr_;
  Element* data_;
};

}  // namespace sheetlore::com
