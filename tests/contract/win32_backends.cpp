// The contracts' backends on the Windows platform: real files in the temporary directory, real
// top-level windows of this thread, Wine's spooler over the private CUPS queues.
#include <chrono>
#include <vector>

#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_printer.h"
#include "platform/win32/win32_profile_files.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/windows_api.h"
#include "tests/contract/backends.h"
#include "tests/support/files.h"

namespace sheetlore::contract {
namespace {

class Win32ProfileBackend final : public ProfileBackend {
 public:
  ProfileFiles& profile() override { return profile_; }
  const std::wstring& path() const override { return file_.path(); }

  void SetFileBytes(const std::optional<std::string>& bytes) override {
    win32::SetFileBytes(file_.path(), bytes);
  }
  std::optional<std::string> FileBytes() override {
    held_.reset();  // a held file cannot be read either: writes stay blocked only until now
    return win32::FileBytes(file_.path());
  }

  void BlockWrites() override {
    held_.reset(::CreateFileW(file_.path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  unsigned AnsiCodePage() override { return ::GetACP(); }

 private:
  win32::Win32ProfileFiles profile_;
  win32::TempFile file_{L".ini"};
  win32::unique_kernel_handle held_;  // closed before the file is removed
};

class Win32SpoolerBackend final : public SpoolerBackend {
 public:
  Spooler& spooler() override { return spooler_; }
  DeviceContext OfficeDC() override { return office_.hDC(); }
  std::uint32_t FormRecordBytes() override { return sizeof(FORM_INFO_1W); }
  bool KeepsAddedForms() override { return false; }

 private:
  win32::Win32Spooler spooler_;
  win32::Win32Printer office_{L"Sheetlore_Office"};
};

class Win32SystemBackend final : public SystemBackend {
 public:
  System& system() override { return system_; }
  Host& host() override { return host_; }

  WindowHandle OpenWindow(const std::wstring& caption) override {
    window_ = ::CreateWindowExW(0, L"STATIC", caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return reinterpret_cast<WindowHandle>(window_);
  }
  void CloseWindow() override { ::DestroyWindow(window_); }
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
  HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<ProfileBackend> MakeProfileBackend() {
  return std::make_unique<Win32ProfileBackend>();
}
std::unique_ptr<SpoolerBackend> MakeSpoolerBackend() {
  return std::make_unique<Win32SpoolerBackend>();
}
std::unique_ptr<SystemBackend> MakeSystemBackend() {
  return std::make_unique<Win32SystemBackend>();
}

}  // namespace sheetlore::contract
