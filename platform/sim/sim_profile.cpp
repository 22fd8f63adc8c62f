// The simulated profile files: each call reads the file's text, applies the profile rules
// and writes the text back when it changed, creating the file on its first change.
#include "platform/sim/profile_document.h"
#include "platform/sim/sim_state.h"

namespace sheetlore::sim {
namespace {

// The profile calls take zero-ended strings: a text reaches them only up to its first zero
// character, as it does through the Windows platform.
std::wstring UpToZero(const std::wstring& text) { return text.substr(0, text.find(L'\0')); }

std::optional<std::wstring> UpToZero(const std::optional<std::wstring>& text) {
  if (!text) return std::nullopt;
  return UpToZero(*text);
}

}  // namespace

std::uint32_t SimProfileFiles::GetString(const std::optional<std::wstring>& givenSection,
                                         const std::optional<std::wstring>& givenKey,
                                         const std::wstring& givenDefault,
                                         std::uint32_t bufferChars, std::wstring& text,
                                         const std::wstring& givenPath) {
  const auto section = UpToZero(givenSection);
  const auto key = UpToZero(givenKey);
  const std::wstring defaultValue = UpToZero(givenDefault);
  const std::wstring path = UpToZero(givenPath);
  text.clear();
  if (state_.recorder.Record(L"GetPrivateProfileString", {OptionalText(section), OptionalText(key),
                                                          defaultValue, Text(bufferChars), path})) {
    return 0;
  }
  const FileState* file = state_.FindFile(path);
  const profile::Document none;
  profile::ReadResult result =
      profile::Read(file ? file->Parsed() : none, section, key, defaultValue, bufferChars);
  text = std::move(result.text);
  return result.count;
}

bool SimProfileFiles::WriteString(const std::optional<std::wstring>& givenSection,
                                  const std::optional<std::wstring>& givenKey,
                                  const std::optional<std::wstring>& givenValue,
                                  const std::wstring& givenPath) {
  const auto section = UpToZero(givenSection);
  const auto key = UpToZero(givenKey);
  const auto value = UpToZero(givenValue);
  const std::wstring path = UpToZero(givenPath);
  if (state_.recorder.Record(
          L"WritePrivateProfileString",
          {OptionalText(section), OptionalText(key), OptionalText(value), path})) {
    return false;
  }
  FileState* file = state_.FindFile(path);
  if (file && file->readOnly) return false;
  profile::Document document = file ? file->Parsed() : profile::Document();
  bool changed = false;
  const bool result = profile::Write(document, section, key, value, changed);
  if (changed) state_.CreateFile(path).SetText(profile::Serialize(document));
  return result;
}

void FileState::SetText(std::wstring text) {
  text_ = std::move(text);
  parsed_.reset();
}

const profile::Document& FileState::Parsed() const {
  if (!parsed_) parsed_ = profile::Parse(text_);
  return *parsed_;
}

}  // namespace sheetlore::sim
