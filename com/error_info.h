#pragma once
// The one edge where failures become HRESULTs: every method of the COM objects runs its body
// through Guarded, so no C++ exception crosses the interface. Run-time errors become their
// HRESULT (0x800A0000 | number for the numbered ones) with an error object carrying the
// description, as automation callers expect.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <new>
#include <string>

#include "platform/automation_error.h"

namespace sheetlore::com {

inline constexpr wchar_t kErrorSource[] = L"Sheetlore.ClsPrint";

// The last failure an object's method reported, kept by the object for its
// IDispatch::Invoke to turn into an EXCEPINFO.
struct ReportedFailure {
  bool reported = false;
  HRESULT hr = S_OK;
  std::wstring description;

  void Forget() noexcept {
    reported = false;
    description.clear();
  }
};

// Sets the thread's error object, records the failure, and returns hr.
HRESULT ReportError(REFIID interfaceId, HRESULT hr, const std::wstring& description,
                    ReportedFailure& record) noexcept;
// Fills an EXCEPINFO the way automation callers read it.
void FillException(EXCEPINFO& exception, HRESULT hr, const std::wstring& description) noexcept;

// The usual description of an HRESULT that carries none of its own.
std::wstring DescribeHresult(HRESULT hr);

template <class Body>
HRESULT Guarded(REFIID interfaceId, ReportedFailure& record, Body&& body) noexcept {
  try {
    ::SetErrorInfo(0, nullptr);
    body();
    return S_OK;
  } catch (const AutomationError& error) {
    return ReportError(interfaceId, error.hresult(), error.description(), record);
  } catch (const std::bad_alloc&) {
    return ReportError(interfaceId, E_OUTOFMEMORY, L"Out of memory", record);
  } catch (...) {
    return ReportError(interfaceId, E_UNEXPECTED, L"Catastrophic failure", record);
  }
}

// Throws an AutomationError for a failed HRESULT from a system call.
void ThrowIfFailed(HRESULT hr);

}  // namespace sheetlore::com
