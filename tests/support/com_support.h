#pragma once
// Helpers of the Wine suites of Sheetlore.dll: where the DLL and its paper store are, the
// object from the DLL's class factory, late-bound calls by name, VARIANT builders, and a
// printer automation object of the test's own. No test framework here: the store's worker
// programs use it too.

#include <windows.h>

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "com/cls_print_interface.h"
#include "com/sheetlore_guids.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handles.h"
#include "tests/support/files.h"

namespace sheetlore::com_test {

using win32::com_ptr;
using win32::FileBytes;
using win32::SetFileBytes;
using win32::unique_bstr;
using win32::unique_variant;

// The folder of this program, with its closing backslash.
inline std::wstring ProgramDirectory() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring text = path;
  return text.substr(0, text.find_last_of(L'\\') + 1);
}
inline std::wstring DllPath() { return ProgramDirectory() + L"Sheetlore.dll"; }
// The paper store of the DLL beside this program.
inline std::wstring StorePath() { return ProgramDirectory() + L"PrintSet.ini"; }

inline std::wstring DefaultPrinter() {
  wchar_t name[256] = {};
  DWORD length = 256;
  return GetDefaultPrinterW(name, &length) ? name : L"";
}

// COM initialised (apartment threaded) while it lives.
using ComApartment = win32::com_apartment;

// The DLL loaded directly, for its exports and its class factory (no registration needed).
// Objects created from it must be released before it.
class LoadedDll {
 public:
  explicit LoadedDll(const std::wstring& path = DllPath()) : module_(LoadLibraryW(path.c_str())) {}
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
  HRESULT GetClassObject(REFCLSID classId, com_ptr<IClassFactory>& factory) const {
    auto* get = Get<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject");
    return get ? get(classId, IID_IClassFactory, factory.put_void()) : E_NOINTERFACE;
  }
  // A ClsPrint from the DLL's class factory, asked for the interface Object.
  template <class Object>
  HRESULT Create(com_ptr<Object>& object) const {
    com_ptr<IClassFactory> factory;
    const HRESULT hr = GetClassObject(com::kClassId, factory);
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(nullptr, __uuidof(Object), object.put_void());
  }

 private:
  HMODULE module_;
};

// The error code of a numbered run-time error.
constexpr HRESULT RunTimeError(std::uint16_t number) {
  return static_cast<HRESULT>(0x800A0000u | number);
}

// The outcome of a late-bound call.
struct CallResult {
  HRESULT hr = S_OK;
  unique_variant value;
  std::optional<HRESULT> raised;  // the error's code in EXCEPINFO, when hr is DISP_E_EXCEPTION
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
    result.raised = exception.scode;
    if (exception.bstrDescription) result.description = exception.bstrDescription;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  return result;
}

// VARIANT builders. The values are not owned: the test keeps what they point to alive.
inline VARIANT OfType(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = type;
  return v;
}
// A VARIANT of the type given holding value, copied to where every type keeps its value.
template <class Value>
VARIANT Make(VARTYPE type, Value value) {
  VARIANT v = OfType(type);
  std::memcpy(&V_UI1(&v), &value, sizeof value);
  return v;
}
inline VARIANT Double(double x) { return Make(VT_R8, x); }
inline VARIANT Boolean(VARIANT_BOOL x) { return Make(VT_BOOL, x); }
inline VARIANT Short(SHORT x) { return Make(VT_I2, x); }
inline VARIANT Long(LONG x) { return Make(VT_I4, x); }
inline VARIANT Text(BSTR x) { return Make(VT_BSTR, x); }
inline VARIANT Object(IDispatch* x) { return Make(VT_DISPATCH, x); }
inline VARIANT Reference(VARIANT* x) { return Make(VT_BYREF | VT_VARIANT, x); }
inline VARIANT TextReference(BSTR* x) { return Make(VT_BYREF | VT_BSTR, x); }
// The marker of an omitted argument.
inline VARIANT Missing() { return Make(VT_ERROR, DISP_E_PARAMNOTFOUND); }

inline std::wstring TextOf(BSTR bstr) {
  return bstr ? std::wstring(bstr, SysStringLen(bstr)) : L"";
}

// The DeviceName of a printer object, read by name; "(unreadable)" when the read fails.
inline std::wstring DeviceNameOf(IDispatch* printer) {
  const CallResult name = CallByName(printer, L"DeviceName", {}, DISPATCH_PROPERTYGET);
  if (name.hr != S_OK || V_VT(name.value.get()) != VT_BSTR) return L"(unreadable)";
  return TextOf(V_BSTR(name.value.get()));
}

// The paper store through the object's slots. A failed call reads as false, nothing, or no
// names; an empty store lists one empty name.
inline bool WritePaper(_ClsPrint* store, const std::wstring& name, const rePaPer& p) {
  unique_bstr text(name);
  VARIANT_BOOL written = VARIANT_FALSE;
  const HRESULT hr =
      store->IniWriteValue(text.get(), p.mMode, p.W, p.H, p.L, p.R, p.T, p.B, &written);
  return SUCCEEDED(hr) && written == VARIANT_TRUE;
}
inline HRESULT DeletePaper(_ClsPrint* store, const std::wstring& name) {
  unique_bstr text(name);
  BSTR argument = text.get();
  unique_variant result;
  return store->IniDelValue(&argument, result.put());
}
inline std::optional<rePaPer> ReadPaper(_ClsPrint* store, const std::wstring& name) {
  unique_bstr text(name);
  rePaPer paper{};
  if (FAILED(store->IniReadValue(1, text.get(), nullptr, &paper))) return std::nullopt;
  return paper;
}
inline std::vector<std::wstring> PaperNames(_ClsPrint* store) {
  unique_variant list;
  rePaPer paper{};
  std::vector<std::wstring> names;
  if (FAILED(store->IniReadValue(0, nullptr, list.get(), &paper)) ||
      V_VT(list.get()) != (VT_ARRAY | VT_VARIANT)) {
    return names;
  }
  LONG upper = -1;
  SafeArrayGetUBound(V_ARRAY(list.get()), 1, &upper);
  for (LONG i = 0; i <= upper; ++i) {
    unique_variant entry;
    SafeArrayGetElement(V_ARRAY(list.get()), &i, entry.get());
    names.push_back(V_VT(entry.get()) == VT_BSTR ? TextOf(V_BSTR(entry.get())) : L"(not text)");
  }
  return names;
}

// A printer automation object of a caller: DeviceName is the name given, missing altogether
// (GetIDsOfNames fails), or a property whose read raises the run-time error given.
class FakePrinter final : public IDispatch {
 public:
  static com_ptr<IDispatch> Named(std::wstring name) { return New(std::move(name), true, S_OK); }
  static com_ptr<IDispatch> WithoutDeviceName() { return New(L"", false, S_OK); }
  static com_ptr<IDispatch> Raising(HRESULT error) { return New(L"", true, error); }

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
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
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
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    if (id != 7 || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (FAILED(error_)) {
      *exception = EXCEPINFO{};
      exception->scode = error_;
      exception->bstrDescription = SysAllocString(L"The printer object failed");
      return DISP_E_EXCEPTION;
    }
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocString(name_.c_str());
    return S_OK;
  }

 private:
  FakePrinter(std::wstring name, bool hasDeviceName, HRESULT error)
      : name_(std::move(name)), hasDeviceName_(hasDeviceName), error_(error) {}
  static com_ptr<IDispatch> New(std::wstring name, bool hasDeviceName, HRESULT error) {
    return com_ptr<IDispatch>::attach(new FakePrinter(std::move(name), hasDeviceName, error));
  }
  ~FakePrinter() = default;

  ULONG references_ = 1;
  std::wstring name_;
  bool hasDeviceName_;
  HRESULT error_;
};

}  // namespace sheetlore::com_test
