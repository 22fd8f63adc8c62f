#include "platform/win32/win32_profile_files.h"

#include <algorithm>
#include <new>

#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

// A null pointer for an absent text: the profile calls give null section, key and value
// their own meaning (list, delete).
LPCWSTR OrNull(const std::optional<std::wstring>& text) { return text ? text->c_str() : nullptr; }

// Creates an absent profile file holding only the UTF-16 byte-order mark. The profile calls
// keep the encoding of the file they find, but write a file they create in the ANSI code
// page, where names outside it would be lost; an existing file is left as it is.
void CreateUnicodeFileIfAbsent(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // it exists, or the write below reports why not
  unique_kernel_handle owner(file);
  constexpr BYTE kUtf16LittleEndianMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(file, kUtf16LittleEndianMark, sizeof kUtf16LittleEndianMark, &written, nullptr);
}

}  // namespace

std::uint32_t Win32ProfileFiles::GetString(const std::optional<std::wstring>& section,
                                           const std::optional<std::wstring>& key,
                                           const std::wstring& defaultValue,
                                           std::uint32_t bufferChars, std::wstring& text,
                                           const std::wstring& path) {
  text.clear();
  if (path.empty()) return 0;
  try {
    // One spare character: the call never reads past bufferChars, and a zero-size request
    // still gets a valid address.
    std::vector<wchar_t> buffer(std::size_t{bufferChars} + 1, L'\0');
    const DWORD copied =
        ::GetPrivateProfileStringW(OrNull(section), OrNull(key), defaultValue.c_str(),
                                   buffer.data(), bufferChars, path.c_str());
    const auto count = std::min<std::size_t>(copied, bufferChars);
    text.assign(buffer.data(), count);
    return static_cast<std::uint32_t>(count);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

bool Win32ProfileFiles::WriteString(const std::optional<std::wstring>& section,
                                    const std::optional<std::wstring>& key,
                                    const std::optional<std::wstring>& value,
                                    const std::wstring& path) {
  if (path.empty()) return false;
  // Only a write of a value creates the file; deleting from an absent file creates nothing.
  if (section && key && value) CreateUnicodeFileIfAbsent(path);
  return ::WritePrivateProfileStringW(OrNull(section), OrNull(key), OrNull(value), path.c_str()) !=
         FALSE;
}

}  // namespace sheetlore::win32
