#include "com/printer_objects.h"

#include <dispex.h>

#include <memory>
#include <string>

#include "com/com_object.h"
#include "com/error_info.h"

namespace sheetlore::com {
namespace {

using win32::com_ptr;
using win32::unique_bstr;
using win32::unique_variant;

[[noreturn]] void ThrowFromException(HRESULT hr, EXCEPINFO& exception) {
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  unique_bstr source = unique_bstr::attach(exception.bstrSource);
  unique_bstr description = unique_bstr::attach(exception.bstrDescription);
  unique_bstr helpFile = unique_bstr::attach(exception.bstrHelpFile);
  HRESULT code = exception.scode;
  if (code == S_OK && exception.wCode != 0)
    code = MAKE_HRESULT(1, FACILITY_CONTROL, exception.wCode);
  if (code == S_OK) code = hr;
  std::wstring text = description.str();
  if (text.empty()) text = DescribeHresult(code);
  throw AutomationError(static_cast<std::int32_t>(code), text);
}

// A caller's printer object, read late-bound.
class CallerPrinter final : public PrinterObject {
 public:
  explicit CallerPrinter(IDispatch* object) : object_(com_ptr<IDispatch>::copy(object)) {}

  std::wstring DeviceName() override {
    unique_variant value = ReadProperty(object_.get(), L"DeviceName");
    unique_variant text;
    ThrowIfFailed(::VariantChangeType(text.get(), value.get(), 0, VT_BSTR));
    const BSTR bstr = text->bstrVal;
    return bstr ? std::wstring(bstr, ::SysStringLen(bstr)) : std::wstring();
  }

  DeviceContext hDC() override {
    unique_variant value = ReadProperty(object_.get(), L"hDC");
    unique_variant number;
#ifdef _WIN64
    ThrowIfFailed(::VariantChangeType(number.get(), value.get(), 0, VT_I8));
    return static_cast<DeviceContext>(number->llVal);
#else
    ThrowIfFailed(::VariantChangeType(number.get(), value.get(), 0, VT_I4));
    return static_cast<DeviceContext>(static_cast<ULONG>(number->lVal));
#endif
  }

  IDispatch* object() const { return object_.get(); }

 private:
  com_ptr<IDispatch> object_;
};

// A platform printer as an automation object: DeviceName (text) and hDC (Long), read-only.
class PrinterAutomationObject final : public ComObject<PrinterAutomationObject, IDispatch> {
 public:
  explicit PrinterAutomationObject(PrinterRef printer) : printer_(std::move(printer)) {}

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    ids[0] = IdOf(names[0]);
    if (ids[0] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    if (count > 1) result = DISP_E_UNKNOWNNAME;  // the properties take no arguments
    return result;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (id != kDeviceName && id != kHdc) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    if (parameters && parameters->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    unique_variant value;
    try {
      if (id == kDeviceName) {
        value = unique_variant::from_string(printer_->DeviceName());
      } else {
        value = unique_variant::from_i4(static_cast<LONG>(printer_->hDC()));
      }
    } catch (const AutomationError& error) {
      return Fail(exception, error.hresult(), error.description());
    } catch (...) {
      return Fail(exception, E_UNEXPECTED, L"Catastrophic failure");
    }
    if (result) *result = value.detach();
    return S_OK;
  }

  const PrinterRef& printer() const { return printer_; }

 private:
  static constexpr DISPID kDeviceName = 1;
  static constexpr DISPID kHdc = 2;

  static DISPID IdOf(const wchar_t* name) {
    if (!name) return DISPID_UNKNOWN;
    if (::lstrcmpiW(name, L"DeviceName") == 0) return kDeviceName;
    if (::lstrcmpiW(name, L"hDC") == 0) return kHdc;
    return DISPID_UNKNOWN;
  }

  static HRESULT Fail(EXCEPINFO* exception, HRESULT hr, const std::wstring& description) {
    if (!exception) return hr;
    *exception = EXCEPINFO{};
    exception->scode = hr;
    exception->bstrSource = ::SysAllocString(kErrorSource);
    exception->bstrDescription = ::SysAllocString(description.c_str());
    return DISP_E_EXCEPTION;
  }

  PrinterRef printer_;
};

}  // namespace

unique_variant ReadProperty(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  // Some script engines' objects (Wine's VBScript class instances) answer E_NOTIMPL here and
  // look names up only through IDispatchEx, as script engines themselves do.
  com_ptr<IDispatchEx> expando;
  if (hr == E_NOTIMPL && SUCCEEDED(com_ptr<IDispatch>::copy(object).query(expando))) {
    unique_bstr text(name);
    hr = expando->GetDispID(text.get(), fdexNameCaseInsensitive, &id);
  }
  ThrowIfFailed(hr);
  DISPPARAMS none{};
  unique_variant value;
  EXCEPINFO exception{};
  UINT argumentError = 0;
  // As a late-bound read in a script does: a property, or a method without arguments.
  constexpr WORD kRead = DISPATCH_PROPERTYGET | DISPATCH_METHOD;
  if (expando) {
    hr = expando->InvokeEx(id, LOCALE_USER_DEFAULT, kRead, &none, value.put(), &exception, nullptr);
  } else {
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kRead, &none, value.put(), &exception,
                        &argumentError);
  }
  if (hr == DISP_E_EXCEPTION) ThrowFromException(hr, exception);
  ThrowIfFailed(hr);
  return value;
}

PrinterRef PrinterFromCaller(IDispatch* printer) {
  if (!printer) return nullptr;
  return std::make_shared<CallerPrinter>(printer);
}

com_ptr<IDispatch> PrinterForCaller(const PrinterRef& printer) {
  if (!printer) return nullptr;
  if (auto* caller = dynamic_cast<CallerPrinter*>(printer.get())) {
    return com_ptr<IDispatch>::copy(caller->object());
  }
  return com_ptr<IDispatch>::attach(MakeComObject<PrinterAutomationObject>(printer).detach());
}

}  // namespace sheetlore::com
