#pragma once
// The COM object ClsPrint: _ClsPrint's slots translated to the core class's C++ calls, over
// a Windows platform of its own. Text arrives as BSTRs (null is the empty text) and goes
// back the same way; by-reference arguments are written back; the core's run-time errors
// become the call's HRESULT with an error object.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <memory>

#include "com/call_trace.h"
#include "com/cls_print_interface.h"
#include "com/com_object.h"
#include "com/dual_dispatch.h"
#include "com/error_info.h"
#include "component/cls_print.h"
#include "platform/win32/win32_platform.h"

namespace sheetlore::com {

class ClsPrintObject final : public ComObject<ClsPrintObject, _ClsPrint, ISupportErrorInfo> {
 public:
  ClsPrintObject();

  void* FindInterface(REFIID iid);

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  // _ClsPrint
  HRESULT STDMETHODCALLTYPE PrintAddForm(BSTR* PrintName, BSTR* FormName, double* Cx, double* Cy,
                                         double* fLeft, double* fRight, double* fTop,
                                         double* fBottom, VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE PrintDelForm(BSTR* PrintName, BSTR* FormName,
                                         VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE InchToCm(double* mValue, VARIANT_BOOL* mMode, double* result) override;
  HRESULT STDMETHODCALLTYPE PrintCheck(VARIANT_BOOL* mMode, BSTR* CaptionName,
                                       VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE gFormID(BSTR mFormName, IDispatch* mPrintX, LONG* result) override;
  HRESULT STDMETHODCALLTYPE FormCheck(VARIANT* mArry, IDispatch** PrintX,
                                      VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE FormShow() override;
  HRESULT STDMETHODCALLTYPE IniWriteValue(BSTR mFmtName, BYTE mMode, double W, double H, double L,
                                          double R, double T, double B,
                                          VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE IniReadValue(SHORT mMode, BSTR mFmtName, VARIANT* mArry,
                                         rePaPer* result) override;
  HRESULT STDMETHODCALLTYPE IniDelValue(BSTR* mFmtName, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE FormAllAdd(IDispatch** PrintX) override;
  HRESULT STDMETHODCALLTYPE GetWindows(SHORT* result) override;
  HRESULT STDMETHODCALLTYPE PrintGetForm(BSTR* PrintName, BSTR* FormName, rePaPer* result) override;
  HRESULT STDMETHODCALLTYPE FormSelect(BSTR* FormName, LONG MyhWnd, SHORT* result) override;

 private:
  ~ClsPrintObject() override = default;
  // Runs a method's body through Guarded; while the trace is on, also writes the call's line
  // (arguments and result are only formatted then: off, the trace costs one test).
  template <class Arguments, class Result, class Body>
  HRESULT Run(const wchar_t* method, Arguments&& arguments, Result&& result, Body&& body) noexcept;

  friend class ComObject<ClsPrintObject, _ClsPrint, ISupportErrorInfo>;

  win32::Win32Platform platform_;
  ClsPrint core_;
  DualDispatch dispatch_;
  ReportedFailure failure_;           // of the latest failing method, for Invoke
  std::unique_ptr<CallTrace> trace_;  // null while the user's trace is off
};

}  // namespace sheetlore::com
