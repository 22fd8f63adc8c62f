#pragma once
// The one edge where failures become HRESULTs: every method of the COM objects runs its body
// through Guarded, so no C++ exception crosses the interface. Run-time errors become their
// HRESULT (0x800A0000 | number for the numbered ones) with an error object carrying the
// description, as automation callers expect.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <new>
#include <optional>
#include <string>

#include "platform/automation_error.h"

namespace sheetlore::com {

inline constexpr wchar_t kErrorSource[] = L"Sheetlore.ClsPrint";

// Sets the thread's error object and returns hr. The failure is also kept as the thread's
// last reported failure, for IDispatch::Invoke to turn into its EXCEPINFO.
HRESULT ReportError(REFIID interfaceId, HRESULT hr, const std::wstring& description) noexcept;

struct ReportedFailure {
  HRESULT hr = S_OK;
  std::wstring description;
};
// Forgets the thread's last reported failure.
void ForgetReportedFailure() noexcept;
// The failure reported on this thread since the last ForgetReportedFailure, if any.
const ReportedFailure* LastReportedFailure() noexcept;
// Fills an EXCEPINFO the way automation callers read it.
void FillException(EXCEPINFO& exception, HRESULT hr, const std::wstring& description) noexcept;

// The usual description of an HRESULT that carries none of its own.
std::wstring DescribeHresult(HRESULT hr);

template <class Body>
HRESULT Guarded(REFIID interfaceId, Body&& body) noexcept {
  try {
    ::SetErrorInfo(0, nullptr);
    body();
    return S_OK;
  } catch (const AutomationError& error) {
    return ReportError(interfaceId, error.hresult(), error.description());
  } catch (const std::bad_alloc&) {
    return ReportError(interfaceId, E_OUTOFMEMORY, L"Out of memory");
  } catch (...) {
    return ReportError(interfaceId, E_UNEXPECTED, L"Catastrophic failure");
  }
}

// Throws an AutomationError for a failed HRESULT from a system call.
void ThrowIfFailed(HRESULT hr);

}  // namespace sheetlore::com
