#include "cli/console_output.h"

namespace sheetlore::cli {

std::string EncodeForFile(const std::wstring& text) {
  std::wstring crlf;
  crlf.reserve(text.size() + text.size() / 16);
  for (const wchar_t c : text) {
    if (c == L'\n') crlf += L'\r';
    crlf += c;
  }
  if (crlf.empty()) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, crlf.data(), static_cast<int>(crlf.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, crlf.data(), static_cast<int>(crlf.size()), bytes.data(),
                          size, nullptr, nullptr);
  }
  return bytes;
}

void WriteText(DWORD stream, const std::wstring& text) {
  if (text.empty()) return;
  const HANDLE handle = ::GetStdHandle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(handle, &mode)) {
    // The console wants CR LF as well when its output is not processed.
    std::wstring crlf;
    for (const wchar_t c : text) {
      if (c == L'\n') crlf += L'\r';
      crlf += c;
    }
    ::WriteConsoleW(handle, crlf.data(), static_cast<DWORD>(crlf.size()), &written, nullptr);
    return;
  }
  const std::string bytes = EncodeForFile(text);
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    if (!::WriteFile(handle, bytes.data() + offset, static_cast<DWORD>(bytes.size() - offset),
                     &written, nullptr) ||
        written == 0) {
      return;
    }
    offset += written;
  }
}

}  // namespace sheetlore::cli
