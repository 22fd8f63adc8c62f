// The simulated profile files: each call reads the file's text, applies the profile rules
// and writes the text back when it changed, creating the file on its first change.
#include <algorithm>
#include <memory>

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

// The characters of the simulated ANSI code page: ASCII and the Latin-1 letters and signs
// (the part that code page 1252 shares with Latin-1).
bool InAnsiCodePage(wchar_t c) { return c < 0x80 || (c >= 0xA0 && c <= 0xFF); }

// Whether a file can hold a text exactly: a file with the Unicode mark holds everything, a
// file of ANSI text only the characters of the ANSI code page. An absent or empty file has
// no encoding yet.
bool CanHold(const FileState* file, const std::optional<std::wstring>& text) {
  if (file == nullptr || file->text().empty() || file->Parsed().unicode || !text) return true;
  return std::all_of(text->begin(), text->end(), InAnsiCodePage);
}

// A file that a value write finds absent or empty is first given the Unicode mark.
bool StartsUnicode(const FileState* file) { return file == nullptr || file->text().empty(); }

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
  if (state_.recorder.Record(
          Api::GetPrivateProfileString,
          {OptionalText(section), OptionalText(key), defaultValue, Text(bufferChars), path}) ||
      path.empty()) {
    return 0;
  }
  const FileState* file = state_.FindFile(path);
  const profile::Document none;
  const profile::Document& document = file ? file->Parsed() : none;
  if (!CanHold(file, section) || !CanHold(file, key)) {
    // Found nothing: as for a missing key, the default (or an empty key list).
    profile::ReadResult result = profile::Read(none, section, key, defaultValue, bufferChars);
    text = std::move(result.text);
    return result.count;
  }
  profile::ReadResult result = profile::Read(document, section, key, defaultValue, bufferChars);
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
          Api::WritePrivateProfileString,
          {OptionalText(section), OptionalText(key), OptionalText(value), path})) {
    return Fail(state_.injectedError);
  }
  if (path.empty()) return Fail(kErrorInvalidParameter);
  FileState* file = state_.FindFile(path);
  if (const std::uint32_t refusal = WriteRefusal(file)) return Fail(refusal);
  profile::Document document = file ? file->Parsed() : profile::Document();
  if (section && key && value && StartsUnicode(file)) document.unicode = true;
  if (!CanHold(file, section) || !CanHold(file, key) || !CanHold(file, value)) {
    return Fail(kErrorNoUnicodeTranslation);
  }
  bool changed = false;
  const bool result = profile::Write(document, section, key, value, changed);
  if (changed) state_.CreateFile(path).SetText(profile::Serialize(document));
  return result;
}

bool SimProfileFiles::WriteSection(const std::wstring& givenSection, const KeyValues& givenKeys,
                                   const std::wstring& givenPath) {
  const std::wstring section = UpToZero(givenSection);
  const std::wstring path = UpToZero(givenPath);
  KeyValues keys;
  std::wstring lines;
  for (const auto& [key, value] : givenKeys) {
    keys.emplace_back(UpToZero(key), UpToZero(value));
    lines += (lines.empty() ? L"" : L" ") + keys.back().first + L"=" + keys.back().second;
  }
  if (state_.recorder.Record(Api::WritePrivateProfileSection, {section, lines, path})) {
    return Fail(state_.injectedError);
  }
  if (path.empty()) return Fail(kErrorInvalidParameter);
  FileState* file = state_.FindFile(path);
  if (const std::uint32_t refusal = WriteRefusal(file)) return Fail(refusal);
  profile::Document document = file ? file->Parsed() : profile::Document();
  if (StartsUnicode(file)) document.unicode = true;
  const bool holds =
      CanHold(file, section) && std::all_of(keys.begin(), keys.end(), [file](const auto& line) {
        return CanHold(file, line.first) && CanHold(file, line.second);
      });
  if (!holds) return Fail(kErrorNoUnicodeTranslation);
  bool changed = false;
  const bool result = profile::WriteSection(document, section, keys, changed);
  if (changed) state_.CreateFile(path).SetText(profile::Serialize(document));
  return result;
}

std::unique_ptr<ProfileFiles::FileLock> SimProfileFiles::LockFile(const std::wstring& path) {
  static_cast<void>(path);
  if (state_.lockFails) {
    Fail(kErrorWaitTimeout);
    return nullptr;
  }
  return std::make_unique<FileLock>();
}

bool SimProfileFiles::Fail(std::uint32_t error) {
  lastError_ = error;
  return false;
}

std::uint32_t SimProfileFiles::WriteRefusal(const FileState* file) const {
  if (file && file->heldElsewhere) return kErrorSharingViolation;
  if (file && file->readOnly) return kErrorAccessDenied;
  return 0;
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
