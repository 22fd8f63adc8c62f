#include "com/error_info.h"

#include "platform/win32/com_ptr.h"
#include "platform/win32/system_message.h"

namespace sheetlore::com {
void FillException(EXCEPINFO& exception, HRESULT hr, const std::wstring& description) noexcept {
  exception = EXCEPINFO{};
  exception.scode = hr;
  exception.bstrSource = ::SysAllocString(kErrorSource);
  exception.bstrDescription = ::SysAllocString(description.c_str());
}

HRESULT ReportError(REFIID interfaceId, HRESULT hr, const std::wstring& description,
                    ReportedFailure& record) noexcept {
  record.reported = true;
  record.hr = hr;
  try {
    record.description = description;
  } catch (...) {
    record.description.clear();
  }
  win32::com_ptr<ICreateErrorInfo> creator;
  if (FAILED(::CreateErrorInfo(creator.put()))) return hr;
  creator->SetGUID(interfaceId);
  creator->SetSource(const_cast<LPOLESTR>(kErrorSource));
  creator->SetDescription(const_cast<LPOLESTR>(description.c_str()));
  win32::com_ptr<IErrorInfo> info;
  if (SUCCEEDED(creator.query(info))) ::SetErrorInfo(0, info.get());
  return hr;
}

std::wstring DescribeHresult(HRESULT hr) {
  std::wstring description = win32::SystemMessage(static_cast<unsigned long>(hr));
  if (description.empty()) description = kAutomationErrorText;
  return description;
}

void ThrowIfFailed(HRESULT hr) {
  if (FAILED(hr)) throw AutomationError(static_cast<std::int32_t>(hr), DescribeHresult(hr));
}

}  // namespace sheetlore::com
