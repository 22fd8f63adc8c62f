#include "com/dual_dispatch.h"

#include <vector>

#include "com/dispatch_arguments.h"
#include "com/error_info.h"
#include "com/interface_description.h"
#include "com/module.h"
#include "com/sheetlore_guids.h"

namespace sheetlore::com {
namespace {

using win32::com_ptr;
using win32::unique_variant;

const typelib::Method* FindMethod(DISPID id) {
  for (const typelib::Method& method : typelib::kMethods) {
    if (typelib::kFirstDispatchId + method.number == id) return &method;
  }
  return nullptr;
}

bool ReturnsRecord(const typelib::Method& method) { return method.result == VT_USERDEFINED; }

// Where an argument sits in DISPPARAMS::rgvarg, for puArgErr.
UINT PositionOf(const DISPPARAMS& parameters, const VARIANT* argument) {
  return static_cast<UINT>(argument - parameters.rgvarg);
}

// A text argument of the record path: converted to a BSTR for the call, and written back
// afterwards to a caller's text variable passed by reference.
class TextArgument {
 public:
  // argument null: omitted, which reads as the empty text.
  HRESULT Read(VARIANT* argument) {
    argument_ = argument;
    if (argument) {
      const HRESULT hr = ::VariantChangeType(value_.get(), argument, 0, VT_BSTR);
      if (FAILED(hr)) return hr;
    } else {
      V_VT(value_.get()) = VT_BSTR;
      V_BSTR(value_.get()) = nullptr;
    }
    return S_OK;
  }
  BSTR get() const { return V_BSTR(value_.get()); }
  BSTR* slot() { return &V_BSTR(value_.get()); }

  void WriteBack() {
    if (!argument_) return;
    BSTR* target = nullptr;
    if (V_VT(argument_) == (VT_BYREF | VT_BSTR)) {
      target = V_BSTRREF(argument_);
    } else if (V_VT(argument_) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(argument_) &&
               V_VT(V_VARIANTREF(argument_)) == VT_BSTR) {
      target = &V_BSTR(V_VARIANTREF(argument_));
    }
    if (!target || ::VarBstrCmp(*target, get(), 0, 0) == static_cast<HRESULT>(VARCMP_EQ)) return;
    BSTR copy = ::SysAllocStringLen(get(), ::SysStringLen(get()));
    if (!copy && get()) return;
    ::SysFreeString(*target);
    *target = copy;
  }

 private:
  VARIANT* argument_ = nullptr;
  unique_variant value_;
};

}  // namespace

HRESULT DualDispatch::Load() noexcept {
  if (interfaceView_) return S_OK;
  com_ptr<ITypeLib> library;
  HRESULT hr = E_OUTOFMEMORY;
  try {
    hr = ::LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library.put());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  if (FAILED(hr)) return hr;
  com_ptr<ITypeInfo> info;
  hr = library->GetTypeInfoOfGuid(kInterfaceId, info.put());
  if (FAILED(hr)) return hr;
  TYPEKIND kind = TKIND_INTERFACE;
  if (TYPEATTR* attributes = nullptr; SUCCEEDED(info->GetTypeAttr(&attributes))) {
    kind = attributes->typekind;
    info->ReleaseTypeAttr(attributes);
  }
  com_ptr<ITypeInfo> slots = info;
  if (kind == TKIND_DISPATCH) {
    // A dual interface is found as its dispinterface; the slots are its other view.
    HREFTYPE reference = 0;
    hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference);
    if (SUCCEEDED(hr)) hr = info->GetRefTypeInfo(reference, slots.put());
    if (FAILED(hr)) return hr;
  }
  com_ptr<ITypeInfo> recordType;
  hr = library->GetTypeInfoOfGuid(kRecordId, recordType.put());
  if (FAILED(hr)) return hr;
  com_ptr<IRecordInfo> record;
  hr = ::GetRecordInfoFromTypeInfo(recordType.get(), record.put());
  if (FAILED(hr)) return hr;

  dispatchView_ = info;
  record_ = record;
  interfaceView_ = slots;
  return S_OK;
}

HRESULT DualDispatch::GetTypeInfo(UINT index, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  const HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  *info = com_ptr<ITypeInfo>(dispatchView_).detach();
  return S_OK;
}

HRESULT DualDispatch::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
  const HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  return dispatchView_->GetIDsOfNames(names, count, ids);
}

HRESULT DualDispatch::Invoke(_ClsPrint* object, ReportedFailure& failure, DISPID id, WORD flags,
                             DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                             UINT* argumentError) {
  if (!parameters) return E_INVALIDARG;
  HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  failure.Forget();
  const typelib::Method* method = FindMethod(id);
  try {
    if (method && ReturnsRecord(*method)) {
      hr = InvokeRecordMethod(object, id, flags, *parameters, result, argumentError);
    } else if (method) {
      // Wine's ITypeInfo::Invoke runs a method given more arguments than it takes; refuse
      // them, and a required argument left out, before anything runs, as Windows does.
      std::vector<VARIANT*> located;
      hr = LocateArguments(*method, *parameters, located, argumentError);
      if (FAILED(hr)) return hr;
      CompletedArguments arguments(*method, *parameters);
      hr = interfaceView_->Invoke(object, id, flags, arguments.get(), result, exception,
                                  argumentError);
    } else {
      hr = interfaceView_->Invoke(object, id, flags, parameters, result, exception, argumentError);
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
  // A failure the method reported reaches the caller as an exception with its description.
  if (FAILED(hr) && failure.reported) {
    if (!exception) return failure.hr;
    if (hr == DISP_E_EXCEPTION) {
      ::SysFreeString(exception->bstrSource);
      ::SysFreeString(exception->bstrDescription);
      ::SysFreeString(exception->bstrHelpFile);
    }
    FillException(*exception, failure.hr, failure.description);
    return DISP_E_EXCEPTION;
  }
  return hr;
}

HRESULT DualDispatch::InvokeRecordMethod(_ClsPrint* object, DISPID id, WORD flags,
                                         const DISPPARAMS& parameters, VARIANT* result,
                                         UINT* argumentError) {
  if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
  const typelib::Method& method = *FindMethod(id);
  std::vector<VARIANT*> arguments;
  HRESULT hr = LocateArguments(method, parameters, arguments, argumentError);
  if (FAILED(hr)) return hr;

  rePaPer paper{};
  if (method.name == L"IniReadValue") {
    unique_variant mode;
    hr = ::VariantChangeType(mode.get(), arguments[0], 0, VT_I2);
    if (FAILED(hr)) {
      if (argumentError) *argumentError = PositionOf(parameters, arguments[0]);
      return hr;
    }
    TextArgument name;
    hr = name.Read(arguments[1]);
    if (FAILED(hr)) {
      if (argumentError) *argumentError = PositionOf(parameters, arguments[1]);
      return hr;
    }
    // The list goes to the caller's variable when it is passed by reference; a value passed
    // by value only receives it in a copy that is dropped.
    unique_variant scratch;
    VARIANT* list = nullptr;
    if (VARIANT* given = arguments[2]) {
      if (V_VT(given) == (VT_BYREF | VT_VARIANT)) {
        list = V_VARIANTREF(given);
      } else if (V_ISBYREF(given)) {
        *scratch.get() = *given;  // refers to the caller's typed variable; nothing owned
        list = scratch.get();
      } else {
        list = scratch.get();
      }
    }
    hr = object->IniReadValue(V_I2(mode.get()), name.get(), list, &paper);
    if (list == scratch.get() && V_ISBYREF(scratch.get())) ::VariantInit(scratch.get());
  } else {
    TextArgument printer, form;
    hr = printer.Read(arguments[0]);
    if (FAILED(hr)) {
      if (argumentError) *argumentError = PositionOf(parameters, arguments[0]);
      return hr;
    }
    hr = form.Read(arguments[1]);
    if (FAILED(hr)) {
      if (argumentError) *argumentError = PositionOf(parameters, arguments[1]);
      return hr;
    }
    hr = object->PrintGetForm(printer.slot(), form.slot(), &paper);
    printer.WriteBack();
    form.WriteBack();
  }
  if (FAILED(hr)) return hr;
  if (!result) return S_OK;

  void* copy = nullptr;
  hr = record_->RecordCreateCopy(&paper, &copy);
  if (FAILED(hr)) return hr;
  ::VariantInit(result);
  V_VT(result) = VT_RECORD;
  V_RECORDINFO(result) = com_ptr<IRecordInfo>(record_).detach();
  V_RECORD(result) = copy;
  return S_OK;
}

}  // namespace sheetlore::com
