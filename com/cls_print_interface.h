#pragma once
// _ClsPrint as a C++ interface: the dual interface's virtual slots after IDispatch's seven,
// in the order and with the parameter types the type library gives them. A by-reference
// parameter is a pointer; a by-reference optional parameter may be null when the caller
// omits it.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <cstddef>

#include "component/re_paper.h"

// The record as it crosses the interface: the core's rePaPer, whose layout the type library
// describes (a byte, then six doubles at multiples of 8; 56 bytes on both targets).
static_assert(sizeof(sheetlore::rePaPer) == 56);
static_assert(offsetof(sheetlore::rePaPer, W) == 8);
static_assert(offsetof(sheetlore::rePaPer, B) == 48);

// The interface keeps its published name.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
struct _ClsPrint : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE PrintAddForm(BSTR* PrintName, BSTR* FormName, double* Cx,
                                                 double* Cy, double* fLeft, double* fRight,
                                                 double* fTop, double* fBottom,
                                                 VARIANT_BOOL* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE PrintDelForm(BSTR* PrintName, BSTR* FormName,
                                                 VARIANT_BOOL* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE InchToCm(double* mValue, VARIANT_BOOL* mMode,
                                             double* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE PrintCheck(VARIANT_BOOL* mMode, BSTR* CaptionName,
                                               VARIANT_BOOL* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE gFormID(BSTR mFormName, IDispatch* mPrintX, LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE FormCheck(VARIANT* mArry, IDispatch** PrintX,
                                              VARIANT_BOOL* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE FormShow() = 0;
  virtual HRESULT STDMETHODCALLTYPE IniWriteValue(BSTR mFmtName, BYTE mMode, double W, double H,
                                                  double L, double R, double T, double B,
                                                  VARIANT_BOOL* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE IniReadValue(SHORT mMode, BSTR mFmtName, VARIANT* mArry,
                                                 sheetlore::rePaPer* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE IniDelValue(BSTR* mFmtName, VARIANT* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE FormAllAdd(IDispatch** PrintX) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetWindows(SHORT* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE PrintGetForm(BSTR* PrintName, BSTR* FormName,
                                                 sheetlore::rePaPer* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE FormSelect(BSTR* FormName, LONG MyhWnd, SHORT* result) = 0;

 protected:
  ~_ClsPrint() = default;
};

// The same identifier as sheetlore::com::kInterfaceId.
__CRT_UUID_DECL(_ClsPrint, 0x5E8DBAC0, 0x6E0E, 0x4AF8, 0xAF, 0x3F, 0x86, 0x47, 0xE2, 0xE0, 0x54,
                0x3E)
