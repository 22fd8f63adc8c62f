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
    if (bytes) sim_.SetFileText(kPath, std::wstring(bytes->begin(), bytes->end()));
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
    std::string bytes;
    for (wchar_t c : sim_.FileText(kPath)) bytes += static_cast<char>(c);
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
