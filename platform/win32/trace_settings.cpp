#include "platform/win32/trace_settings.h"

#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

constexpr wchar_t kKey[] = L"Software\\Sheetlore";
constexpr wchar_t kValue[] = L"TraceFile";

}  // namespace

std::optional<std::wstring> TraceFileSetting() {
  DWORD bytes = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      bytes <= sizeof(wchar_t)) {
    return std::nullopt;
  }
  std::wstring file(bytes / sizeof(wchar_t), L'\0');
  if (::RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, file.data(),
                     &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  file.resize(file.find(L'\0'));
  if (file.empty()) return std::nullopt;
  return file;
}

unsigned long SwitchTraceOn(const std::wstring& file) {
  HKEY raw = nullptr;
  LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                     &raw, nullptr);
  if (status != ERROR_SUCCESS) return static_cast<unsigned long>(status);
  const unique_key key(raw);
  status =
      ::RegSetValueExW(key.get(), kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                       static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
  return static_cast<unsigned long>(status);
}

unsigned long SwitchTraceOff() {
  const LSTATUS status = ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
  const bool gone = status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  return gone ? 0ul : static_cast<unsigned long>(status);
}

std::wstring DefaultTraceFile() {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder) + L"\\Sheetlore\\trace.log";
}

}  // namespace sheetlore::win32
