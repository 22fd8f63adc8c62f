#include "com/trace_setting_cache.h"

#include "platform/win32/windows_api.h"

#include <atomic>
#include <mutex>

#include "platform/win32/trace_settings.h"

namespace sheetlore::com {
namespace {

#ifndef REG_NOTIFY_THREAD_AGNOSTIC
#define REG_NOTIFY_THREAD_AGNOSTIC 0x10000000L
#endif

// The registry signals an event when anything under HKEY_CURRENT_USER\Software changes; a
// wait of the thread pool turns that into a flag, so that an unchanged setting costs one
// atomic read (a wait on the event itself would be a system call per object).
class TraceSettingCache {
 public:
  std::optional<std::wstring> Get() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!stale_.load(std::memory_order_acquire)) return file_;
    // Armed again before the read, so that a change during the read is not missed.
    stale_.store(!Arm(), std::memory_order_release);
    file_ = win32::TraceFileSetting();
    return file_;
  }

 private:
  static void CALLBACK Changed(void* context, BOOLEAN) {
    static_cast<TraceSettingCache*>(context)->stale_.store(true, std::memory_order_release);
  }

  bool Arm() {
    if (!watching_) watching_ = Watch();
    // One notification per request: each read asks for the next one. One that ends with the
    // thread that asked for it signals then, and the next creation reads again, which is
    // never wrong.
    return watching_ &&
           ::RegNotifyChangeKeyValue(
               software_, TRUE,
               REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_THREAD_AGNOSTIC,
               changed_, TRUE) == ERROR_SUCCESS;
  }

  // The key, the event and the pool's wait, made once and kept for the life of the process;
  // the module is pinned, so that the wait's callback can never outlive its code.
  bool Watch() {
    HMODULE self = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
            reinterpret_cast<LPCWSTR>(&TraceSettingCache::Changed), &self)) {
      return false;
    }
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_NOTIFY, &software_) !=
        ERROR_SUCCESS) {
      return false;
    }
    changed_ = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE wait = nullptr;
    return changed_ && ::RegisterWaitForSingleObject(&wait, changed_, &TraceSettingCache::Changed,
                                                     this, INFINITE, WT_EXECUTEDEFAULT);
  }

  std::mutex mutex_;
  std::atomic<bool> stale_{true};
  bool watching_ = false;
  HKEY software_ = nullptr;
  HANDLE changed_ = nullptr;
  std::optional<std::wstring> file_;
};

}  // namespace

std::optional<std::wstring> CurrentTraceFile() {
  // Never destroyed: the pool's wait may call it until the process ends.
  static TraceSettingCache& cache = *new TraceSettingCache();
  return cache.Get();
}

}  // namespace sheetlore::com
