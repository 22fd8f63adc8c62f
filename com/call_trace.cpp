#include "com/call_trace.h"

#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

#include <cstdio>
#include <string>

namespace sheetlore::com {
namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes,
                          nullptr, nullptr);
  }
  return out;
}

std::wstring Stamp() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  wchar_t text[96];
  std::swprintf(text, 96, L"%04u-%02u-%02u %02u:%02u:%02u.%03u pid %lu tid %lu ", now.wYear,
                now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
                static_cast<unsigned long>(::GetCurrentProcessId()),
                static_cast<unsigned long>(::GetCurrentThreadId()));
  return text;
}

HANDLE OpenForAppend(const std::wstring& file) {
  return ::CreateFileW(file.c_str(), FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::uint64_t SizeOf(HANDLE file) {
  LARGE_INTEGER size{};
  return ::GetFileSizeEx(file, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

}  // namespace

std::wstring CallTrace::Describe(const wchar_t* method, const std::wstring& arguments,
                                 const std::wstring& outcome,
                                 const std::vector<PlatformFailure>& failures, System& system) {
  std::wstring line = std::wstring(method) + L"(" + arguments + L") " + outcome;
  for (const PlatformFailure& failure : failures) {
    line += L"; " + failure.operation + L" failed with error " + std::to_wstring(failure.error);
    const std::wstring text = system.ErrorText(failure.error);
    if (!text.empty()) line += L": " + text;
  }
  return line;
}

void CallTrace::Record(const wchar_t* method, const std::wstring& arguments,
                       const std::wstring& outcome, const std::vector<PlatformFailure>& failures,
                       System& system) noexcept {
  try {
    const std::wstring line = Stamp() + Describe(method, arguments, outcome, failures, system);
    ::OutputDebugStringW((L"Sheetlore: " + line + L"\n").c_str());
    Append(line);
  } catch (...) {
    // Out of memory while tracing: the call's own result stands.
  }
}

void CallTrace::Append(const std::wstring& line) noexcept {
  try {
    const std::string bytes = Utf8(line) + "\r\n";
    win32::unique_hfile file(OpenForAppend(file_));
    if (!file) return;
    if (SizeOf(file.get()) + bytes.size() > kLimitBytes) {
      file.reset();
      const std::wstring old = file_ + L".old";
      if (!::MoveFileExW(file_.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
      file.reset(OpenForAppend(file_));
      if (!file) return;
    }
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  } catch (...) {
    // The line is lost; the call is not.
  }
}

}  // namespace sheetlore::com
