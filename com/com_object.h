#pragma once
// Reference counting and QueryInterface written once for every COM class of this DLL.
// A class derives from ComObject<Self, Interfaces...> and answers, in FindInterface, the
// identifiers it implements beyond those of the listed interfaces. Objects are created with
// MakeComObject and delete themselves when the last reference goes; each holds a module
// reference so that DllCanUnloadNow answers S_FALSE while any is alive.

#include "platform/win32/windows_api.h"

#include <unknwn.h>

#include <atomic>
#include <utility>

#include "com/module.h"
#include "platform/win32/com_ptr.h"

namespace sheetlore::com {

template <class Derived, class First, class... Rest>
class ComObject : public First, public Rest... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown) {
      *object = static_cast<IUnknown*>(static_cast<First*>(this));
    } else if (iid == __uuidof(First)) {
      *object = static_cast<First*>(this);
    } else {
      ((*object == nullptr && iid == __uuidof(Rest) ? void(*object = static_cast<Rest*>(this))
                                                    : void()),
       ...);
      if (!*object) *object = static_cast<Derived*>(this)->FindInterface(iid);
    }
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --references_;
    if (remaining == 0) delete static_cast<Derived*>(this);
    return remaining;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;
  // Identifiers implemented through a base of one of the listed interfaces (IDispatch
  // through a dual interface, for example).
  void* FindInterface(REFIID) { return nullptr; }

 private:
  std::atomic<ULONG> references_{1};
  ModuleReference module_;
};

// Creates an object holding the one reference the caller receives.
template <class T, class... Arguments>
win32::com_ptr<T> MakeComObject(Arguments&&... arguments) {
  return win32::com_ptr<T>::attach(new T(std::forward<Arguments>(arguments)...));
}

}  // namespace sheetlore::com
