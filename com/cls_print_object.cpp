#include "com/cls_print_object.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "com/array_arguments.h"
#include "com/error_info.h"
#include "com/printer_objects.h"
#include "com/trace_arguments.h"
#include "com/trace_setting_cache.h"
#include "com/wizard_caption.h"

namespace sheetlore::com {
namespace {

using win32::com_ptr;

const IID& kThisInterface = __uuidof(_ClsPrint);

std::wstring Text(BSTR bstr) { return bstr ? std::wstring(bstr, ::SysStringLen(bstr)) : L""; }

// Writes text back into a by-reference BSTR when it changed.
void WriteBack(BSTR* slot, const std::wstring& text) {
  if (Text(*slot) == text) return;
  BSTR copy = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!copy) throw std::bad_alloc();
  ::SysFreeString(*slot);
  *slot = copy;
}

VARIANT_BOOL Boolean(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// A required pointer argument.
template <class... Pointers>
void Require(const Pointers*... pointers) {
  if (((pointers == nullptr) || ...)) throw AutomationError(E_POINTER, L"Invalid pointer");
}

// Hands a printer the core may have replaced back through a by-reference object argument.
void WriteBack(IDispatch** slot, const PrinterRef& given, const PrinterRef& now) {
  if (!slot || now == given) return;
  com_ptr<IDispatch> object = PrinterForCaller(now);
  if (*slot) (*slot)->Release();
  *slot = object.detach();
}

// The outcome of a failed call as the trace shows it: run-time errors by their number.
std::wstring RaisedError(HRESULT hr, const ReportedFailure& failure) {
  std::wstring text;
  if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) {
    text = L"raised error " + std::to_wstring(HRESULT_CODE(hr));
  } else {
    wchar_t number[16];
    std::swprintf(number, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    text = std::wstring(L"raised ") + number;
  }
  if (failure.reported && !failure.description.empty()) text += L": " + failure.description;
  return text;
}

}  // namespace

ClsPrintObject::ClsPrintObject() : core_(platform_.platform()) {
  if (const std::optional<std::wstring> file = CurrentTraceFile()) {
    trace_ = std::make_unique<CallTrace>(*file);
  }
}

template <class Arguments, class Result, class Body>
HRESULT ClsPrintObject::Run(const wchar_t* method, Arguments&& arguments, Result&& result,
                            Body&& body) noexcept {
  if (!trace_) return Guarded(kThisInterface, failure_, body);
  std::wstring given;
  try {
    given = arguments();
  } catch (...) {
    given = L"?";
  }
  core_.ForgetFailures();
  failure_.Forget();
  const HRESULT hr = Guarded(kThisInterface, failure_, body);
  try {
    const std::wstring outcome = SUCCEEDED(hr) ? result() : RaisedError(hr, failure_);
    trace_->Record(method, given, outcome, core_.Failures(), core_.platform().system);
  } catch (...) {
    // The trace loses this line; the call keeps its result.
  }
  return hr;
}

namespace {
namespace text = trace;

std::wstring Returned(const VARIANT_BOOL* value) {
  return value ? L"= " + text::Flag(*value) : L"= ?";
}
template <class Number>
std::wstring ReturnedNumber(const Number* value) {
  return value ? L"= " + text::Value(*value) : L"= ?";
}
std::wstring ReturnedPaper(const rePaPer* value) {
  return value ? L"= " + text::Paper(*value) : L"= ?";
}
std::wstring Done() { return L"done"; }

}  // namespace

void* ClsPrintObject::FindInterface(REFIID iid) {
  if (iid == IID_IDispatch) return static_cast<IDispatch*>(static_cast<_ClsPrint*>(this));
  return nullptr;
}

HRESULT ClsPrintObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == kThisInterface ? S_OK : S_FALSE;
}

// --- IDispatch ---

HRESULT ClsPrintObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT ClsPrintObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  return dispatch_.GetTypeInfo(index, info);
}

HRESULT ClsPrintObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return dispatch_.GetIDsOfNames(names, count, ids);
}

HRESULT ClsPrintObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                               VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return dispatch_.Invoke(this, failure_, id, flags, parameters, result, exception, argumentError);
}

// --- _ClsPrint ---

HRESULT ClsPrintObject::PrintAddForm(BSTR* PrintName, BSTR* FormName, double* Cx, double* Cy,
                                     double* fLeft, double* fRight, double* fTop, double* fBottom,
                                     VARIANT_BOOL* result) {
  return Run(
      L"PrintAddForm",
      [&] { return text::List(PrintName, FormName, Cx, Cy, fLeft, fRight, fTop, fBottom); },
      [&] { return Returned(result); },
      [&] {
        Require(PrintName, FormName, Cx, Cy, result);
        std::wstring printer = Text(*PrintName);
        std::wstring form = Text(*FormName);
        // Omitted printable-area edges are 0.
        double left = 0, right = 0, top = 0, bottom = 0;
        const bool ok = core_.PrintAddForm(printer, form, *Cx, *Cy, fLeft ? *fLeft : left,
                                           fRight ? *fRight : right, fTop ? *fTop : top,
                                           fBottom ? *fBottom : bottom);
        WriteBack(PrintName, printer);
        WriteBack(FormName, form);
        *result = Boolean(ok);
      });
}

HRESULT ClsPrintObject::PrintDelForm(BSTR* PrintName, BSTR* FormName, VARIANT_BOOL* result) {
  return Run(
      L"PrintDelForm", [&] { return text::List(PrintName, FormName); },
      [&] { return Returned(result); },
      [&] {
        Require(PrintName, FormName, result);
        std::wstring printer = Text(*PrintName);
        std::wstring form = Text(*FormName);
        const bool ok = core_.PrintDelForm(printer, form);
        WriteBack(PrintName, printer);
        WriteBack(FormName, form);
        *result = Boolean(ok);
      });
}

HRESULT ClsPrintObject::InchToCm(double* mValue, VARIANT_BOOL* mMode, double* result) {
  return Run(
      L"InchToCm", [&] { return text::List(mValue, mMode); },
      [&] { return ReturnedNumber(result); },
      [&] {
        Require(mValue, result);
        std::int16_t mode = mMode ? *mMode : VARIANT_TRUE;  // omitted: inches to centimetres
        *result = core_.InchToCm(*mValue, mode);
      });
}

HRESULT ClsPrintObject::PrintCheck(VARIANT_BOOL* mMode, BSTR* CaptionName, VARIANT_BOOL* result) {
  return Run(
      L"PrintCheck", [&] { return text::List(mMode, CaptionName); },
      [&] { return Returned(result); },
      [&] {
        Require(result);
        std::int16_t mode = mMode ? *mMode : VARIANT_FALSE;
        std::wstring caption = WizardCaptionFromCaller(CaptionName);
        *result = Boolean(core_.PrintCheck(mode, caption));
      });
}

HRESULT ClsPrintObject::gFormID(BSTR mFormName, IDispatch* mPrintX, LONG* result) {
  return Run(
      L"gFormID", [&] { return text::List(mFormName, mPrintX); },
      [&] { return ReturnedNumber(result); },
      [&] {
        Require(result);
        *result = core_.gFormID(Text(mFormName), PrinterFromCaller(mPrintX));
      });
}

HRESULT ClsPrintObject::FormCheck(VARIANT* mArry, IDispatch** PrintX, VARIANT_BOOL* result) {
  return Run(
      L"FormCheck", [&] { return text::List(mArry, PrintX); }, [&] { return Returned(result); },
      [&] {
        Require(mArry, result);
        const PrinterRef given = PrintX ? PrinterFromCaller(*PrintX) : nullptr;
        PrinterRef printer = given;
        std::optional<std::vector<FormRow>> rows;
        bool ok = false;
        try {
          ok = core_.FormCheck(rows, printer);
          if (rows) StoreFormRows(*mArry, *rows);
        } catch (...) {
          // The printer argument was set first: the caller sees it however the call ends,
          // also when the array cannot take the forms.
          WriteBack(PrintX, given, printer);
          throw;
        }
        WriteBack(PrintX, given, printer);
        *result = Boolean(ok);
      });
}

HRESULT ClsPrintObject::FormShow() {
  return Run(
      L"FormShow", [] { return std::wstring(); }, [&] { return Done(); },
      [&] { core_.FormShow(); });
}

HRESULT ClsPrintObject::IniWriteValue(BSTR mFmtName, BYTE mMode, double W, double H, double L,
                                      double R, double T, double B, VARIANT_BOOL* result) {
  return Run(
      L"IniWriteValue", [&] { return text::List(mFmtName, mMode, W, H, L, R, T, B); },
      [&] { return Returned(result); },
      [&] {
        Require(result);
        *result = Boolean(core_.IniWriteValue(Text(mFmtName), mMode, W, H, L, R, T, B));
      });
}

HRESULT ClsPrintObject::IniReadValue(SHORT mMode, BSTR mFmtName, VARIANT* mArry, rePaPer* result) {
  return Run(
      L"IniReadValue", [&] { return text::List(mMode, mFmtName, mArry); },
      [&] { return ReturnedPaper(result); },
      [&] {
        Require(result);
        const bool wantsList = !IsMissing(mArry);
        std::vector<std::wstring> names;
        const rePaPer paper =
            core_.IniReadValue(mMode, Text(mFmtName), wantsList ? &names : nullptr);
        if (wantsList) StoreNames(*mArry, names);
        *result = paper;
      });
}

HRESULT ClsPrintObject::IniDelValue(BSTR* mFmtName, VARIANT* result) {
  return Run(
      L"IniDelValue", [&] { return text::List(mFmtName); }, [&] { return Done(); },
      [&] {
        Require(mFmtName);
        std::wstring name = Text(*mFmtName);
        core_.IniDelValue(name);
        WriteBack(mFmtName, name);
        if (result) ::VariantInit(result);  // the result is Empty
      });
}

HRESULT ClsPrintObject::FormAllAdd(IDispatch** PrintX) {
  return Run(
      L"FormAllAdd", [&] { return text::List(PrintX); }, [&] { return Done(); },
      [&] {
        Require(PrintX);
        const PrinterRef given = PrinterFromCaller(*PrintX);
        PrinterRef printer = given;
        core_.FormAllAdd(printer);
        WriteBack(PrintX, given, printer);
      });
}

HRESULT ClsPrintObject::GetWindows(SHORT* result) {
  return Run(
      L"GetWindows", [] { return std::wstring(); }, [&] { return ReturnedNumber(result); },
      [&] {
        Require(result);
        *result = core_.GetWindows();
      });
}

HRESULT ClsPrintObject::PrintGetForm(BSTR* PrintName, BSTR* FormName, rePaPer* result) {
  return Run(
      L"PrintGetForm", [&] { return text::List(PrintName, FormName); },
      [&] { return ReturnedPaper(result); },
      [&] {
        Require(PrintName, FormName, result);
        std::wstring printer = Text(*PrintName);
        std::wstring form = Text(*FormName);
        const rePaPer paper = core_.PrintGetForm(printer, form);
        WriteBack(PrintName, printer);
        WriteBack(FormName, form);
        *result = paper;
      });
}

HRESULT ClsPrintObject::FormSelect(BSTR* FormName, LONG MyhWnd, SHORT* result) {
  return Run(
      L"FormSelect", [&] { return text::List(FormName, MyhWnd); },
      [&] { return ReturnedNumber(result); },
      [&] {
        Require(FormName, result);
        std::wstring form = Text(*FormName);
        const std::int16_t selected = core_.FormSelect(form, MyhWnd);
        WriteBack(FormName, form);
        *result = selected;
      });
}

}  // namespace sheetlore::com
