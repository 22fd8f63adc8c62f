// A C++ host of Sheetlore.ClsPrint: creates the component by its ProgID and calls it by name
// through IDispatch, as any automation client can. Prints the platform family, whether a
// printer is installed, two conversions, and the size of the default printer's "Letter" form
// (a rePaPer record, which script hosts cannot receive).
//
//   regsvr32 Sheetlore.dll      (or regsvr32 /n /i:user Sheetlore.dll for this user only)
//   host.exe

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <winspool.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// A VARIANT that clears itself.
struct Variant {
  VARIANT value;
  Variant() { VariantInit(&value); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value); }
};

// Calls a method by name; arguments in their natural order. Returns the HRESULT and prints
// the error's description when the call fails.
HRESULT Call(IDispatch* object, const wchar_t* name, std::initializer_list<VARIANT> arguments,
             VARIANT* result) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  std::vector<VARIANT> reversed(arguments.begin(),
                                arguments.end());  // IDispatch wants them last first
  std::vector<VARIANT> ordered(reversed.rbegin(), reversed.rend());
  DISPPARAMS parameters{ordered.data(), nullptr, static_cast<UINT>(ordered.size()), 0};
  EXCEPINFO exception{};
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result,
                      &exception, nullptr);
  if (hr == DISP_E_EXCEPTION) {
    std::printf("%ls failed: 0x%08lX %ls\n", name, static_cast<unsigned long>(exception.scode),
                exception.bstrDescription ? exception.bstrDescription : L"");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  } else if (FAILED(hr)) {
    std::printf("%ls failed: 0x%08lX\n", name, static_cast<unsigned long>(hr));
  }
  return hr;
}

VARIANT Double(double value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_R8;
  V_R8(&v) = value;
  return v;
}

VARIANT Boolean(bool value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT TextReference(BSTR* text) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR | VT_BYREF;
  V_BSTRREF(&v) = text;
  return v;
}

// The fields of a returned rePaPer record, read by name through its IRecordInfo.
void PrintRecord(const VARIANT& record) {
  if (V_VT(&record) != VT_RECORD) {
    std::printf("  (no record)\n");
    return;
  }
  for (const wchar_t* field : {L"mMode", L"W", L"H", L"L", L"R", L"T", L"B"}) {
    Variant value;
    if (SUCCEEDED(V_RECORDINFO(&record)->GetField(V_RECORD(&record), field, &value.value)) &&
        SUCCEEDED(VariantChangeType(&value.value, &value.value, 0, VT_BSTR))) {
      std::printf("  %ls = %ls\n", field, V_BSTR(&value.value));
    }
  }
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) return 1;
  int status = 0;
  CLSID classId;
  IDispatch* clsPrint = nullptr;
  HRESULT hr = CLSIDFromProgID(L"Sheetlore.ClsPrint", &classId);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&clsPrint));
  }
  if (FAILED(hr)) {
    std::printf("Sheetlore.ClsPrint cannot be created (0x%08lX): register Sheetlore.dll first\n",
                static_cast<unsigned long>(hr));
    CoUninitialize();
    return 1;
  }

  Variant family;
  if (SUCCEEDED(Call(clsPrint, L"GetWindows", {}, &family.value))) {
    std::printf("GetWindows: %d (2 = the NT family)\n", V_I2(&family.value));
  } else {
    status = 1;
  }

  Variant installed;
  if (SUCCEEDED(Call(clsPrint, L"PrintCheck", {}, &installed.value))) {
    std::printf("PrintCheck: %s\n",
                V_BOOL(&installed.value) ? "a printer is installed" : "no printer");
  } else {
    status = 1;
  }

  Variant centimetres, inches;
  if (SUCCEEDED(Call(clsPrint, L"InchToCm", {Double(1)}, &centimetres.value)) &&
      SUCCEEDED(Call(clsPrint, L"InchToCm", {Double(2.54), Boolean(false)}, &inches.value))) {
    std::printf("InchToCm(1) = %g cm\nInchToCm(2.54, False) = %g in\n", V_R8(&centimetres.value),
                V_R8(&inches.value));
  } else {
    status = 1;
  }

  wchar_t printerName[256];
  DWORD length = 256;
  if (GetDefaultPrinterW(printerName, &length)) {
    BSTR printer = SysAllocString(printerName);
    BSTR form = SysAllocString(L"Letter");
    Variant paper;
    if (SUCCEEDED(Call(clsPrint, L"PrintGetForm", {TextReference(&printer), TextReference(&form)},
                       &paper.value))) {
      std::printf("PrintGetForm(\"%ls\", \"Letter\") in centimetres:\n", printerName);
      PrintRecord(paper.value);
    } else {
      status = 1;
    }
    SysFreeString(printer);
    SysFreeString(form);
  }

  clsPrint->Release();
  CoUninitialize();
  return status;
}
