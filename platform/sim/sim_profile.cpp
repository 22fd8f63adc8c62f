// The simulated profile files: each call reads the file's text, applies the profile rules
// and writes the text back when it changed, creating the file on its first change.
#include "platform/sim/profile_document.h"
#include "platform/sim/sim_state.h"

namespace sheetlore::sim {

std::uint32_t SimProfileFiles::GetString(const std::optional<std::wstring>& section,
                                         const std::optional<std::wstring>& key,
                                         const std::wstring& defaultValue,
                                         std::uint32_t bufferChars, std::wstring& text,
                                         const std::wstring& path) {
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

bool SimProfileFiles::WriteString(const std::optional<std::wstring>& section,
                                  const std::optional<std::wstring>& key,
                                  const std::optional<std::wstring>& value,
                                  const std::wstring& path) {
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
