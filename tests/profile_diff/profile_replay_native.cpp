// Replays a profile script (stdin) on the simulated profile files and prints the transcript.
#include <iostream>

#include "platform/sim/sim_platform.h"
#include "tests/profile_diff/replay_script.h"

namespace sheetlore::profile_diff {
namespace {

const std::wstring kPath = L"C:\\replay\\profile.ini";

class SimulatedBackend final : public ProfileBackend {
 public:
  void SetFile(const std::optional<std::string>& bytes) override {
    sim_.RemoveFile(kPath);
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
    sim_.SetFileText(kPath, text);
  }
  void MakeReadOnly() override { sim_.MakeReadOnly(kPath); }
  bool Write(const OptionalText& section, const OptionalText& key,
             const OptionalText& value) override {
    return sim_.platform().profile.WriteString(section, key, value, kPath);
  }
  std::uint32_t Read(const OptionalText& section, const OptionalText& key,
                     const OptionalText& defaultValue, std::uint32_t bufferChars,
                     std::wstring& text) override {
    return sim_.platform().profile.GetString(section, key, defaultValue.value_or(L""), bufferChars,
                                             text, kPath);
  }
  std::optional<std::string> FileBytes() override {
    if (!sim_.FileExists(kPath)) return std::nullopt;
    // A UTF-16 file (little-endian, with its mark) or one byte a character.
    const bool unicode = sim_.FileIsUnicode(kPath);
    std::string bytes = unicode ? "\xFF\xFE" : "";
    for (wchar_t c : sim_.FileText(kPath)) {
      bytes += static_cast<char>(c & 0xFF);
      if (unicode) bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
  }

 private:
  sim::SimPlatform sim_;
};

}  // namespace
}  // namespace sheetlore::profile_diff

int main() {
  sheetlore::profile_diff::SimulatedBackend backend;
  return sheetlore::profile_diff::Replay(std::cin, backend, std::cout) ? 0 : 1;
}
