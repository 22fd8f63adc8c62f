// The profile contract's file on the simulated platform. Bytes become the simulation's text as
// the real service decodes them: a UTF-16 file (little-endian mark) character by character,
// any other file in the simulated ANSI code page, whose characters are the Latin-1 bytes.
#include "platform/sim/sim_platform.h"
#include "tests/contract/profile_backend.h"

namespace sheetlore::contract {
namespace {

class SimBackend final : public ProfileBackend {
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
    if (!sim_.FileExists(path_)) return std::nullopt;
    std::string bytes;
    const std::wstring text = sim_.FileText(path_);
    if (sim_.FileIsUnicode(path_)) {
      bytes = "\xFF\xFE";
      for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
      }
    } else {
      for (const wchar_t c : text) bytes += static_cast<char>(c);
    }
    return bytes;
  }

  void BlockWrites() override { sim_.MakeReadOnly(path_); }
  unsigned AnsiCodePage() override { return 1252; }

 private:
  sim::SimPlatform sim_;
  std::wstring path_ = L"C:\\contract\\profile.ini";
};

}  // namespace

std::unique_ptr<ProfileBackend> MakeProfileBackend() { return std::make_unique<SimBackend>(); }

}  // namespace sheetlore::contract
