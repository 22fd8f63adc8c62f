// The simulated profile files: each call reads the file's text, applies the profile rules
// and writes the text back when it changed, creating the file on its first change.
#include <algorithm>
#include <memory>
#include <utility>

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

// The characters of the simulated ANSI code page: the first 256 (each byte of a file read as
// one character, as code page 1252 reads every byte).
bool InAnsiCodePage(wchar_t c) { return c <= 0xFF; }

// Whether a file can hold a text exactly: a file with the Unicode mark holds everything, a
// file of ANSI text only the characters of the ANSI code page. An absent or empty file has
// no encoding yet.
// A file of nothing but blank lines counts as empty: it has no text to keep.
bool HasNoText(const FileState* file) {
  return file == nullptr || file->text().find_first_not_of(L" \t\r\n") == std::wstring::npos;
}

// An ANSI file's text comes through a rewrite when it holds only characters of the code page
// (a test puts another character in an ANSI file for bytes the code page cannot read).
bool KeepsText(const FileState* file) {
  return HasNoText(file) || file->Parsed().unicode ||
         std::all_of(file->text().begin(), file->text().end(), InAnsiCodePage);
}

bool CanHold(const FileState* file, const std::optional<std::wstring>& text) {
  if (HasNoText(file) || file->Parsed().unicode || !text) return true;
  return std::all_of(text->begin(), text->end(), InAnsiCodePage);
}

// A file that a value write finds absent or empty is first given the Unicode mark (and loses
// its blank lines).
bool StartsUnicode(const FileState* file) { return HasNoText(file); }

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
  const FileState* file = state_.FindFile(ReadPath(path));
  if (file && file->unreadable) return 0;
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
    return Failed(path, state_.injectedError);
  }
  if (path.empty()) return Fail(kErrorInvalidParameter);
  const FileState* current = state_.FindFile(ReadPath(path));
  if (!CanHold(current, section) || !CanHold(current, key) || !CanHold(current, value) ||
      !KeepsText(current)) {
    return Fail(kErrorNoUnicodeTranslation);
  }
  const auto target = BeginWrite(path);
  if (!target) return false;
  FileState* file = state_.FindFile(*target);
  if (const std::uint32_t refusal = WriteRefusal(file)) return Failed(path, refusal);
  const bool startsUnicode = section && key && value && StartsUnicode(file);
  profile::Document document = file && !startsUnicode ? file->Parsed() : profile::Document();
  if (startsUnicode) document.unicode = true;
  bool changed = false;
  const bool result = profile::Write(document, section, key, value, changed);
  if (changed) Store(*target, profile::Serialize(document));
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
    return Failed(path, state_.injectedError);
  }
  if (path.empty()) return Fail(kErrorInvalidParameter);
  const FileState* current = state_.FindFile(ReadPath(path));
  const bool holds = CanHold(current, section) &&
                     std::all_of(keys.begin(), keys.end(), [current](const auto& line) {
                       return CanHold(current, line.first) && CanHold(current, line.second);
                     });
  if (!holds || !KeepsText(current)) return Fail(kErrorNoUnicodeTranslation);
  const auto target = BeginWrite(path);
  if (!target) return false;
  FileState* file = state_.FindFile(*target);
  if (const std::uint32_t refusal = WriteRefusal(file)) return Failed(path, refusal);
  profile::Document document = file && !StartsUnicode(file) ? file->Parsed() : profile::Document();
  if (StartsUnicode(file)) document.unicode = true;
  bool changed = false;
  const bool result = profile::WriteSection(document, section, keys, changed);
  if (changed) Store(*target, profile::Serialize(document));
  return result;
}

class SimProfileFiles::SimLock final : public ProfileFiles::FileLock {
 public:
  SimLock(SimProfileFiles& owner, std::wstring key, unsigned writesAtStart)
      : owner_(owner), key_(std::move(key)), writesAtStart_(writesAtStart) {}
  SimLock(const SimLock&) = delete;
  SimLock& operator=(const SimLock&) = delete;
  ~SimLock() override { owner_.Release(key_, committed_, writesAtStart_); }
  bool Commit() override {
    committed_ = owner_.Commit(key_);
    if (!committed_) problem_ = owner_.state_.changes[key_].problem;
    return committed_;
  }
  std::wstring Problem() const override {
    const auto change = owner_.state_.changes.find(key_);
    return change != owner_.state_.changes.end() && !change->second.problem.empty()
               ? change->second.problem
               : problem_;
  }

 private:
  SimProfileFiles& owner_;
  std::wstring key_;
  unsigned writesAtStart_;
  bool committed_ = false;
  std::wstring problem_;
};

std::unique_ptr<ProfileFiles::FileLock> SimProfileFiles::LockFile(const std::wstring& path) {
  if (state_.lockFails) {
    Fail(kErrorWaitTimeout);
    return nullptr;
  }
  const std::wstring key = FoldCase(UpToZero(path));
  SimPlatform::State::ProfileChange& change = state_.changes[key];
  ++change.locks;
  return std::make_unique<SimLock>(*this, key, change.writes);
}

bool SimProfileFiles::IsUnreadable(const std::wstring& path) {
  const FileState* file = state_.FindFile(ReadPath(UpToZero(path)));
  if (file == nullptr || !file->unreadable) return false;
  Fail(kErrorSharingViolation);
  return true;
}

bool SimProfileFiles::HoldsText(const std::wstring& text, const std::wstring& path) {
  return CanHold(state_.FindFile(ReadPath(UpToZero(path))), text);
}

bool SimProfileFiles::KeepsExistingText(const std::wstring& path) {
  return KeepsText(state_.FindFile(ReadPath(UpToZero(path))));
}

namespace {

// UTF-8 bytes (one character each) as text; nothing when they are not UTF-8. Characters past
// U+FFFF become surrogate pairs.
std::optional<std::wstring> DecodeUtf8(const std::wstring& bytes) {
  std::wstring text;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned lead = bytes[i];
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead > 0xF4 || (lead >= 0x80 && lead < 0xC2) || i + length > bytes.size()) {
      return std::nullopt;
    }
    std::uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned next = bytes[i + k];
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    if (c >= 0x10000) {
      text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      text += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      text += static_cast<wchar_t>(c);
    }
    i += length;
  }
  return text;
}

}  // namespace

std::optional<std::vector<ProfileFiles::SectionLine>> SimProfileFiles::ReadSection(
    const std::wstring& givenSection, const std::wstring& givenPath) {
  const std::wstring section = UpToZero(givenSection);
  const std::wstring path = UpToZero(givenPath);
  if (state_.recorder.Record(Api::GetPrivateProfileSection, {section, path})) return std::nullopt;
  const FileState* file = state_.FindFile(ReadPath(path));
  std::vector<SectionLine> lines;
  if (file == nullptr || file->unreadable || !CanHold(file, section)) return lines;
  for (const profile::Section& found : file->Parsed().sections) {
    if (found.name.empty() || !profile::SameName(found.name, section)) continue;
    for (const profile::Key& key : found.keys) {
      if (key.name.empty() && !key.value) continue;
      if (!key.name.empty() && key.name[0] == L';') continue;
      lines.push_back({key.name, key.value});
    }
    break;
  }
  return lines;
}

ProfileFiles::CodePageText SimProfileFiles::ReadInCodePage(const std::wstring& path,
                                                           std::uint32_t codePage) {
  const FileState* file = state_.FindFile(ReadPath(UpToZero(path)));
  if (file == nullptr) return {CodePageReading::NoFile, {}};
  if (codePage != 65001 && codePage != 28591) return {CodePageReading::NoCodePage, {}};
  if (!HasNoText(file) && file->Parsed().unicode) return {CodePageReading::Unicode, {}};
  const std::wstring& bytes = file->text();
  if (file->unreadable || !std::all_of(bytes.begin(), bytes.end(), InAnsiCodePage)) {
    return {CodePageReading::NotText, {}};
  }
  if (codePage == 28591) return {CodePageReading::Read, bytes};
  const auto text = DecodeUtf8(bytes);
  if (!text) return {CodePageReading::NotText, {}};
  return {CodePageReading::Read, *text};
}

bool SimProfileFiles::RewriteAsUnicode(const std::wstring& text, const std::wstring& givenPath) {
  const std::wstring path = UpToZero(givenPath);
  if (path.empty()) return Fail(kErrorInvalidParameter);
  const auto target = BeginWrite(path);
  if (!target) return false;
  if (const std::uint32_t refusal = WriteRefusal(state_.FindFile(*target))) {
    return Failed(path, refusal);
  }
  Store(*target, L"\xFEFF" + text);
  return true;
}

std::optional<std::wstring> SimProfileFiles::ReadText(const std::wstring& givenPath) {
  const FileState* file = state_.FindFile(ReadPath(UpToZero(givenPath)));
  if (file == nullptr || file->unreadable || HasNoText(file) || !KeepsText(file)) {
    return std::nullopt;
  }
  if (file->Parsed().unicode) return file->text().substr(1);
  // The other marks the service knows (UTF-8, big-endian UTF-16), as the ANSI bytes they are.
  const std::wstring& text = file->text();
  if (text.starts_with(L"\xEF\xBB\xBF") || text.starts_with(L"\xFE\xFF")) return std::nullopt;
  return text;
}

bool SimProfileFiles::RewriteText(const std::wstring& text, const std::wstring& givenPath) {
  const std::wstring path = UpToZero(givenPath);
  if (state_.recorder.Record(Api::WriteProfileText, {path})) {
    return Failed(path, state_.injectedError);
  }
  const FileState* current = state_.FindFile(ReadPath(path));
  if (path.empty() || !ReadText(path)) return Fail(kErrorInvalidParameter);
  const bool unicode = current->Parsed().unicode;
  if (!unicode && !std::all_of(text.begin(), text.end(), InAnsiCodePage)) {
    return Fail(kErrorNoUnicodeTranslation);
  }
  const auto target = BeginWrite(path);
  if (!target) return false;
  if (const std::uint32_t refusal = WriteRefusal(state_.FindFile(*target))) {
    return Failed(path, refusal);
  }
  Store(*target, unicode ? L"\xFEFF" + text : text);
  return true;
}

std::wstring SimProfileFiles::ReadPath(const std::wstring& path) {
  const auto found = state_.changes.find(FoldCase(path));
  if (found == state_.changes.end() || !found->second.begun) return path;
  return found->second.workingPath;
}

std::optional<std::wstring> SimProfileFiles::BeginWrite(const std::wstring& path) {
  const auto found = state_.changes.find(FoldCase(path));
  if (found == state_.changes.end()) return path;  // outside any lock: the file itself
  SimPlatform::State::ProfileChange& change = found->second;
  ++change.writes;
  if (change.failed) {
    Fail(change.error);
    return std::nullopt;
  }
  if (change.begun) return change.workingPath;
  const FileState* file = state_.FindFile(path);
  if (file && file->readOnly) {
    change.failed = true;
    change.error = kErrorAccessDenied;
    change.problem = L"the file is read-only";
    Fail(change.error);
    return std::nullopt;
  }
  if (state_.copiesFailForSpace) {
    change.failed = true;
    change.error = kErrorDiskFull;
    change.problem = L"no copy of the file could be made: the disk is full";
    Fail(change.error);
    return std::nullopt;
  }
  change.begun = true;
  change.filePath = path;
  if (state_.copiesRefused) {
    if (file) change.old = *file;
    change.workingPath = path;
    return path;
  }
  const std::wstring copy = path + L".pending-" + std::to_wstring(++state_.copiesMade);
  FileState& made = state_.CreateFile(copy);
  if (file) made.SetText(file->text());
  change.copy = copy;
  change.workingPath = copy;
  return copy;
}

bool SimProfileFiles::Failed(const std::wstring& path, std::uint32_t error) {
  const auto found = state_.changes.find(FoldCase(path));
  if (found != state_.changes.end() && !found->second.failed) {
    found->second.failed = true;
    found->second.error = error;
    found->second.problem = L"the write failed: error " + std::to_wstring(error);
  }
  return Fail(error);
}

void SimProfileFiles::Store(const std::wstring& target, std::wstring text) {
  if (state_.cutNextWrite && state_.writesBeforeCut > 0) {
    --state_.writesBeforeCut;
  } else if (state_.cutNextWrite) {
    text.resize(std::min(text.size(), *state_.cutNextWrite));
    state_.cutNextWrite.reset();
  }
  state_.CreateFile(target).SetText(std::move(text));
}

bool SimProfileFiles::Commit(const std::wstring& key) {
  SimPlatform::State::ProfileChange& change = state_.changes[key];
  if (change.failed) {
    if (change.problem.empty()) change.problem = L"what was written did not read back as written";
    return false;
  }
  if (change.locks > 1 || !change.begun) return true;
  if (change.copy) {
    if (state_.commitsFail) {
      change.failed = true;
      change.problem = L"the file could not be replaced by its changed copy";
      return false;
    }
    const FileState copy = *state_.FindFile(*change.copy);
    state_.RemoveFile(*change.copy);
    // A change that left an absent file empty creates nothing.
    if (state_.FindFile(change.filePath) || !copy.text().empty()) {
      state_.CreateFile(change.filePath).SetText(copy.text());
    }
  }
  SimPlatform::State::ProfileChange next;
  next.locks = change.locks;
  next.writes = change.writes;
  change = std::move(next);
  return true;
}

void SimProfileFiles::Release(const std::wstring& key, bool committed, unsigned writesAtStart) {
  SimPlatform::State::ProfileChange& change = state_.changes[key];
  if (!committed && change.writes != writesAtStart) {
    change.failed = true;
    if (change.problem.empty()) change.problem = L"what was written did not read back as written";
  }
  if (--change.locks > 0) return;
  if (change.begun) {
    if (change.copy) {
      state_.RemoveFile(*change.copy);
    } else if (change.old) {
      state_.CreateFile(change.workingPath).SetText(change.old->text());
    } else {
      state_.RemoveFile(change.workingPath);
    }
  }
  state_.changes.erase(key);
}

bool SimProfileFiles::Fail(std::uint32_t error) {
  lastError_ = error;
  return false;
}

std::uint32_t SimProfileFiles::WriteRefusal(const FileState* file) const {
  if (file && file->unreadable) return kErrorSharingViolation;
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
