// The profile contract's file on the Windows platform: a real file in the temporary directory.
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_profile_files.h"
#include "tests/contract/profile_backend.h"
#include "tests/wine/temp_file.h"

namespace sheetlore::contract {
namespace {

class Win32Backend final : public ProfileBackend {
 public:
  ProfileFiles& profile() override { return profile_; }
  const std::wstring& path() const override { return file_.path(); }

  void SetFileBytes(const std::optional<std::string>& bytes) override {
    ::DeleteFileW(file_.path().c_str());
    if (!bytes) return;
    const HANDLE raw = ::CreateFileW(file_.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return;
    win32::unique_kernel_handle file(raw);
    DWORD written = 0;
    ::WriteFile(raw, bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr);
  }

  std::optional<std::string> FileBytes() override {
    held_.reset();  // a held file cannot be read either: writes stay blocked only until now
    const HANDLE raw = ::CreateFileW(file_.path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return std::nullopt;
    win32::unique_kernel_handle file(raw);
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(raw, chunk, sizeof chunk, &read, nullptr) && read > 0) {
      bytes.append(chunk, read);
    }
    return bytes;
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

}  // namespace

std::unique_ptr<ProfileBackend> MakeProfileBackend() { return std::make_unique<Win32Backend>(); }

}  // namespace sheetlore::contract
