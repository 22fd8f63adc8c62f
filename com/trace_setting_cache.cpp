#include "com/trace_setting_cache.h"

#include "platform/win32/windows_api.h"

#include <mutex>

#include "platform/win32/trace_settings.h"
#include "platform/win32/unique_handles.h"

namespace sheetlore::com {
namespace {

#ifndef REG_NOTIFY_THREAD_AGNOSTIC
#define REG_NOTIFY_THREAD_AGNOSTIC 0x10000000L
#endif

class TraceSettingCache {
 public:
  std::optional<std::wstring> Get() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (armed_ && ::WaitForSingleObject(changed_.get(), 0) == WAIT_TIMEOUT) return file_;
    // Armed again before the read, so that a change during the read is not missed.
    armed_ = Arm();
    file_ = win32::TraceFileSetting();
    return file_;
  }

  ~TraceSettingCache() {
    if (software_) ::RegCloseKey(software_);
  }

 private:
  bool Arm() {
    if (!changed_) changed_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!software_ && ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_NOTIFY, &software_) !=
                          ERROR_SUCCESS) {
      software_ = nullptr;
    }
    if (!changed_ || !software_) return false;
    ::ResetEvent(changed_.get());
    // A notification that ends with the thread that asked for it signals the event then: the
    // next creation reads the setting again, which is never wrong.
    return ::RegNotifyChangeKeyValue(
               software_, TRUE,
               REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_THREAD_AGNOSTIC,
               changed_.get(), TRUE) == ERROR_SUCCESS;
  }

  std::mutex mutex_;
  win32::unique_kernel_handle changed_;
  HKEY software_ = nullptr;
  bool armed_ = false;
  std::optional<std::wstring> file_;
};

}  // namespace

std::optional<std::wstring> CurrentTraceFile() {
  static TraceSettingCache cache;
  return cache.Get();
}

}  // namespace sheetlore::com
