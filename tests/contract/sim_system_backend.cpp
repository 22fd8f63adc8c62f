// The system contract's services on the simulated platform.
#include <map>

#include "platform/sim/sim_platform.h"
#include "tests/contract/system_backend.h"

namespace sheetlore::contract {
namespace {

class SimBackend final : public SystemBackend {
 public:
  System& system() override { return sim_.platform().system; }
  Host& host() override { return sim_.platform().host; }
  WindowHandle OpenWindow(const std::wstring& caption) override {
    const WindowHandle window = sim_.OpenWindow(caption);
    captions_[window] = caption;
    return window;
  }
  void CloseWindow(WindowHandle window) override { sim_.CloseWindow(captions_[window]); }
  std::uint64_t ReferenceMilliseconds() override { return sim_.Now(); }

  std::wstring MakeFile(FileKind kind) override {
    const std::wstring path = L"C:\\Contract\\file" + std::to_wstring(++files_) + L".ini";
    sim_.SetFileText(path, L"");
    if (kind == FileKind::kReadOnly) sim_.MakeReadOnly(path);
    if (kind == FileKind::kHidden) sim_.MakeHidden(path);
    if (kind == FileKind::kSystem) sim_.MakeSystem(path);
    return path;
  }

 private:
  sim::SimPlatform sim_;
  std::map<WindowHandle, std::wstring> captions_;
  int files_ = 0;
};

}  // namespace

std::unique_ptr<SystemBackend> MakeSystemBackend() { return std::make_unique<SimBackend>(); }

}  // namespace sheetlore::contract
