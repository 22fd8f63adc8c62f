#include "com/cls_print_object.h"

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "com/array_arguments.h"
#include "com/error_info.h"
#include "com/printer_objects.h"
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

}  // namespace

ClsPrintObject::ClsPrintObject() : core_(platform_.platform()) {}

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
  return Guarded(kThisInterface, failure_, [&] {
    Require(PrintName, FormName, Cx, Cy, result);
    std::wstring printer = Text(*PrintName);
    std::wstring form = Text(*FormName);
    // Omitted printable-area edges are 0.
    double left = 0, right = 0, top = 0, bottom = 0;
    const bool ok =
        core_.PrintAddForm(printer, form, *Cx, *Cy, fLeft ? *fLeft : left, fRight ? *fRight : right,
                           fTop ? *fTop : top, fBottom ? *fBottom : bottom);
    WriteBack(PrintName, printer);
    WriteBack(FormName, form);
    *result = Boolean(ok);
  });
}

HRESULT ClsPrintObject::PrintDelForm(BSTR* PrintName, BSTR* FormName, VARIANT_BOOL* result) {
  return Guarded(kThisInterface, failure_, [&] {
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
  return Guarded(kThisInterface, failure_, [&] {
    Require(mValue, result);
    std::int16_t mode = mMode ? *mMode : VARIANT_TRUE;  // omitted: inches to centimetres
    *result = core_.InchToCm(*mValue, mode);
  });
}

HRESULT ClsPrintObject::PrintCheck(VARIANT_BOOL* mMode, BSTR* CaptionName, VARIANT_BOOL* result) {
  return Guarded(kThisInterface, failure_, [&] {
    Require(result);
    std::int16_t mode = mMode ? *mMode : VARIANT_FALSE;
    std::wstring caption = WizardCaptionFromCaller(CaptionName);
    *result = Boolean(core_.PrintCheck(mode, caption));
  });
}

HRESULT ClsPrintObject::gFormID(BSTR mFormName, IDispatch* mPrintX, LONG* result) {
  return Guarded(kThisInterface, failure_, [&] {
    Require(result);
    *result = core_.gFormID(Text(mFormName), PrinterFromCaller(mPrintX));
  });
}

HRESULT ClsPrintObject::FormCheck(VARIANT* mArry, IDispatch** PrintX, VARIANT_BOOL* result) {
  return Guarded(kThisInterface, failure_, [&] {
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
  return Guarded(kThisInterface, failure_, [&] { core_.FormShow(); });
}

HRESULT ClsPrintObject::IniWriteValue(BSTR mFmtName, BYTE mMode, double W, double H, double L,
                                      double R, double T, double B, VARIANT_BOOL* result) {
  return Guarded(kThisInterface, failure_, [&] {
    Require(result);
    *result = Boolean(core_.IniWriteValue(Text(mFmtName), mMode, W, H, L, R, T, B));
  });
}

HRESULT ClsPrintObject::IniReadValue(SHORT mMode, BSTR mFmtName, VARIANT* mArry, rePaPer* result) {
  return Guarded(kThisInterface, failure_, [&] {
    Require(result);
    const bool wantsList = !IsMissing(mArry);
    std::vector<std::wstring> names;
    const rePaPer paper = core_.IniReadValue(mMode, Text(mFmtName), wantsList ? &names : nullptr);
    if (wantsList) StoreNames(*mArry, names);
    *result = paper;
  });
}

HRESULT ClsPrintObject::IniDelValue(BSTR* mFmtName, VARIANT* result) {
  return Guarded(kThisInterface, failure_, [&] {
    Require(mFmtName);
    std::wstring name = Text(*mFmtName);
    core_.IniDelValue(name);
    WriteBack(mFmtName, name);
    if (result) ::VariantInit(result);  // the result is Empty
  });
}

HRESULT ClsPrintObject::FormAllAdd(IDispatch** PrintX) {
  return Guarded(kThisInterface, failure_, [&] {
    Require(PrintX);
    const PrinterRef given = PrinterFromCaller(*PrintX);
    PrinterRef printer = given;
    core_.FormAllAdd(printer);
    WriteBack(PrintX, given, printer);
  });
}

HRESULT ClsPrintObject::GetWindows(SHORT* result) {
  return Guarded(kThisInterface, failure_, [&] {
    Require(result);
    *result = core_.GetWindows();
  });
}

HRESULT ClsPrintObject::PrintGetForm(BSTR* PrintName, BSTR* FormName, rePaPer* result) {
  return Guarded(kThisInterface, failure_, [&] {
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
  return Guarded(kThisInterface, failure_, [&] {
    Require(FormName, result);
    std::wstring form = Text(*FormName);
    const std::int16_t selected = core_.FormSelect(form, MyhWnd);
    WriteBack(FormName, form);
    *result = selected;
  });
}

}  // namespace sheetlore::com
