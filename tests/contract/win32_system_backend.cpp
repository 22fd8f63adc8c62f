// The system contract's services on the Windows platform: real top-level windows of this thread
// and files in the temporary directory.
#include <chrono>
#include <vector>

#include "platform/win32/win32_host.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/windows_api.h"
#include "tests/contract/system_backend.h"
#include "tests/wine/temp_file.h"

namespace sheetlore::contract {
namespace {

class Win32Backend final : public SystemBackend {
 public:
  System& system() override { return system_; }
  Host& host() override { return host_; }

  WindowHandle OpenWindow(const std::wstring& caption) override {
    return reinterpret_cast<WindowHandle>(
        ::CreateWindowExW(0, L"STATIC", caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
  }
  void CloseWindow(WindowHandle window) override {
    ::DestroyWindow(reinterpret_cast<HWND>(window));
  }
  std::uint64_t ReferenceMilliseconds() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }

  std::wstring MakeFile(FileKind kind) override {
    const DWORD attributes[] = {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY,
                                FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM};
    files_.push_back(std::make_unique<win32::TempFile>(L".ini"));
    const std::wstring& path = files_.back()->path();
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      attributes[static_cast<int>(kind)], nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    return path;
  }

 private:
  win32::Win32System system_;
  win32::Win32Host host_;
  std::vector<std::unique_ptr<win32::TempFile>> files_;
};

}  // namespace

std::unique_ptr<SystemBackend> MakeSystemBackend() { return std::make_unique<Win32Backend>(); }

}  // namespace sheetlore::contract
