// The contracts' backends on the simulated platform. A profile file's bytes become the
// simulation's text as the real service decodes them: a UTF-16 file (little-endian mark)
// character by character, any other file in the simulated ANSI code page, whose characters are
// the Latin-1 bytes.
#include "platform/sim/sim_platform.h"
#include "tests/contract/backends.h"

namespace sheetlore::contract {
namespace {

class SimProfileBackend final : public ProfileBackend {
 public:
  ProfileFiles& profile() override { return sim_.platform().profile; }
  const std::wstring& path() const override { return path_; }

  void SetFileBytes(const std::optional<std::string>& bytes) override {
    sim_.RemoveFile(path_);
    if (!bytes) return;
    std::wstring text;
    if (bytes->size() >= 2 && (*bytes)[0] == '\xFF' && (*bytes)[1] == '\xFE') {
      for (std::size_t i = 0; i + 1 < bytes->size(); i += 2) {
        text += static_cast<wchar_t>(static_cast<unsigned char>((*bytes)[i]) |
                                     static_cast<unsigned char>((*bytes)[i + 1]) << 8);
      }
    } else {
      for (const char byte : *bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    }
    sim_.SetFileText(path_, text);
  }

  std::optional<std::string> FileBytes() override {
    sim_.ReleaseFile(path_);
    if (!sim_.FileExists(path_)) return std::nullopt;
    const std::wstring text = sim_.FileText(path_);
    if (sim_.FileIsUnicode(path_)) return Utf16File(text);
    return std::string(text.begin(), text.end());  // each character is one Latin-1 byte
  }

  void BlockWrites() override { sim_.HoldFile(path_); }
  unsigned AnsiCodePage() override { return 1252; }

 private:
  sim::SimPlatform sim_;
  std::wstring path_ = L"C:\\contract\\profile.ini";
};

class SimSpoolerBackend final : public SpoolerBackend {
 public:
  SimSpoolerBackend() {
    sim_.AddPrinter(L"Sheetlore_Office");
    sim_.AddPrinter(L"Sheetlore_Label");
  }
  Spooler& spooler() override { return sim_.platform().spooler; }
  DeviceContext OfficeDC() override { return sim_.PrinterDC(L"Sheetlore_Office"); }
  std::uint32_t FormRecordBytes() override { return sim::kFormRecordBytes; }
  bool KeepsAddedForms() override { return true; }

 private:
  sim::SimPlatform sim_;
};

class SimSystemBackend final : public SystemBackend {
 public:
  System& system() override { return sim_.platform().system; }
  Host& host() override { return sim_.platform().host; }
  WindowHandle OpenWindow(const std::wstring& caption) override {
    caption_ = caption;
    return sim_.OpenWindow(caption);
  }
  void CloseWindow() override { sim_.CloseWindow(caption_); }
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
  std::wstring caption_;
  int files_ = 0;
};

}  // namespace

std::unique_ptr<ProfileBackend> MakeProfileBackend() {
  return std::make_unique<SimProfileBackend>();
}
std::unique_ptr<SpoolerBackend> MakeSpoolerBackend() {
  return std::make_unique<SimSpoolerBackend>();
}
std::unique_ptr<SystemBackend> MakeSystemBackend() { return std::make_unique<SimSystemBackend>(); }

}  // namespace sheetlore::contract
