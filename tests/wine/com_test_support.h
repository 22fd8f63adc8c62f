#pragma once
// Helpers for the tests of Sheetlore.dll: where the DLL is, its entry points, late-bound
// calls by name, and a printer automation object of the test's own.

#include <windows.h>

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/win32/com_ptr.h"

namespace sheetlore::com_test {

using win32::com_ptr;
using win32::unique_bstr;
using win32::unique_variant;

// Sheetlore.dll beside the test program.
inline std::wstring DllPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.find_last_of(L'\\') + 1) + L"Sheetlore.dll";
}

// The DLL loaded directly, for its exports.
class LoadedDll {
 public:
  LoadedDll() : module_(LoadLibraryW(DllPath().c_str())) {}
  LoadedDll(const LoadedDll&) = delete;
  LoadedDll& operator=(const LoadedDll&) = delete;
  ~LoadedDll() {
    if (module_) FreeLibrary(module_);
  }
  explicit operator bool() const { return module_ != nullptr; }
  template <class Function>
  Function* Get(const char* name) const {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  HRESULT RegisterServer() const { return Get<HRESULT STDAPICALLTYPE()>("DllRegisterServer")(); }
  HRESULT UnregisterServer() const {
    return Get<HRESULT STDAPICALLTYPE()>("DllUnregisterServer")();
  }
  HRESULT Install(bool install, const wchar_t* commandLine) const {
    return Get<HRESULT STDAPICALLTYPE(BOOL, LPCWSTR)>("DllInstall")(install, commandLine);
  }
  HRESULT CanUnloadNow() const { return Get<HRESULT STDAPICALLTYPE()>("DllCanUnloadNow")(); }

 private:
  HMODULE module_;
};

// COM initialised (apartment threaded) for one test.
class ComApartment {
 public:
  ComApartment() { CoInitialize(nullptr); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() { CoUninitialize(); }
};

inline HRESULT CreateByProgId(com_ptr<IDispatch>& object) {
  CLSID classId{};
  const HRESULT hr = CLSIDFromProgID(L"Sheetlore.ClsPrint", &classId);
  if (FAILED(hr)) return hr;
  return CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void());
}

// The outcome of a late-bound call.
struct CallResult {
  HRESULT hr = S_OK;
  unique_variant value;
  HRESULT scode = S_OK;  // from EXCEPINFO when hr is DISP_E_EXCEPTION
  std::wstring description;
};

// Calls member by name with arguments in their natural order (copied shallowly: the test
// keeps owning them).
inline CallResult CallByName(IDispatch* object, const wchar_t* member,
                             std::vector<VARIANT> arguments = {}, WORD flags = DISPATCH_METHOD) {
  CallResult result;
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
  result.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(result.hr)) return result;
  std::vector<VARIANT> lastFirst(arguments.rbegin(), arguments.rend());
  DISPPARAMS parameters{lastFirst.data(), nullptr, static_cast<UINT>(lastFirst.size()), 0};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                             result.value.put(), &exception, &argumentError);
  if (result.hr == DISP_E_EXCEPTION) {
    result.scode = exception.scode;
    if (exception.bstrDescription) result.description = exception.bstrDescription;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  return result;
}

inline VARIANT Double(double value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_R8;
  V_R8(&v) = value;
  return v;
}
inline VARIANT Boolean(VARIANT_BOOL value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value;
  return v;
}
inline VARIANT Short(SHORT value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I2;
  V_I2(&v) = value;
  return v;
}
inline VARIANT Long(LONG value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}
inline VARIANT Text(BSTR value) {  // not owned
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = value;
  return v;
}
inline VARIANT Object(IDispatch* value) {  // not owned
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_DISPATCH;
  V_DISPATCH(&v) = value;
  return v;
}
inline VARIANT Reference(VARIANT* target) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&v) = target;
  return v;
}
inline VARIANT TextReference(BSTR* target) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&v) = target;
  return v;
}

inline std::wstring TextOf(BSTR bstr) {
  return bstr ? std::wstring(bstr, SysStringLen(bstr)) : L"";
}

// The thread's error object after a failed vtable call.
inline std::wstring ErrorDescription() {
  com_ptr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return L"(no error object)";
  unique_bstr description;
  info->GetDescription(description.put());
  return description.str();
}

// A printer automation object of a caller: DeviceName is the name given, or missing
// altogether (GetIDsOfNames fails) when none is given.
class FakePrinter final : public IDispatch {
 public:
  static com_ptr<IDispatch> Named(std::wstring name) {
    return com_ptr<IDispatch>::attach(new FakePrinter(std::move(name), true));
  }
  static com_ptr<IDispatch> WithoutDeviceName() {
    return com_ptr<IDispatch>::attach(new FakePrinter(L"", false));
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                          DISPID* ids) override {
    if (hasDeviceName_ && lstrcmpiW(names[0], L"DeviceName") == 0) {
      ids[0] = 7;
      return S_OK;
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id != 7 || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    ++reads;
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocString(name_.c_str());
    return S_OK;
  }

  int reads = 0;

 private:
  FakePrinter(std::wstring name, bool hasDeviceName)
      : name_(std::move(name)), hasDeviceName_(hasDeviceName) {}
  ~FakePrinter() = default;

  ULONG references_ = 1;
  std::wstring name_;
  bool hasDeviceName_;
};

}  // namespace sheetlore::com_test
