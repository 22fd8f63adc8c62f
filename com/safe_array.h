#pragma once
// The lock on a SAFEARRAY's elements (SafeArrayAccessData). It owns no handle: the array stays
// whoever's it was, and the guard only pins its data for the guard's lifetime, so it lives here
// beside the array code rather than among the handle owners (unique_safearray owns arrays).

#include "platform/win32/windows_api.h"

#include <oleauto.h>

#include <cstddef>

namespace sheetlore::com {

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
