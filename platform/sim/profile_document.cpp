#include "platform/sim/profile_document.h"

#include "platform/sim/fold_case.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>

namespace sheetlore::sim::profile {
namespace {

constexpr wchar_t kUnicodeMark = 0xFEFF;

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 0x20) : c; }

// Blanks as the profile service trims them: tab to carriage return, DOS end of file, space.
bool IsBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20; }

std::wstring TrimLeft(const std::wstring& text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  return text.substr(start);
}

std::wstring TrimRight(const std::wstring& text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::wstring Trim(const std::wstring& text) { return TrimRight(TrimLeft(text)); }

void AddKeyLine(Section& section, const std::wstring& line) {
  Key key;
  const std::size_t equals = line.find(L'=');
  if (equals == std::wstring::npos) {
    key.name = line;
  } else {
    key.name = TrimRight(line.substr(0, equals));
    key.value = TrimLeft(line.substr(equals + 1));
  }
  // Of several lines with an empty name in a row only the first is kept.
  const bool previousUnnamed = !section.keys.empty() && section.keys.back().name.empty();
  if (!key.name.empty() || !previousUnnamed) section.keys.push_back(std::move(key));
}

// Copies a value as the service hands it out: one pair of matching quotes around it is
// removed, and the copy is bounded by the buffer (terminator included). The service drops
// the last copied character whenever a quoted value's rest fits within bufferChars, even
// when the closing quote was the character cut off.
std::wstring CopyEntry(const std::wstring& value, std::uint32_t bufferChars) {
  std::wstring rest = value;
  bool quoted = false;
  if (!value.empty() && (value[0] == L'\'' || value[0] == L'"') && value.size() > 1 &&
      value.back() == value[0]) {
    quoted = true;
    rest = value.substr(1);
  }
  std::wstring copy = rest.substr(0, std::min<std::size_t>(rest.size(), bufferChars - 1));
  if (quoted && bufferChars >= rest.size() && !copy.empty()) copy.pop_back();
  return copy;
}

// The section and key a read or write names, found the way the service finds them: both
// names compared with their blanks trimmed and without regard to case; only the first
// section of that name is searched.
template <typename DocumentT,
          typename SectionT =
              std::conditional_t<std::is_const_v<DocumentT>, const Section, Section>,
          typename KeyT = std::conditional_t<std::is_const_v<DocumentT>, const Key, Key>>
struct Found {
  SectionT* section = nullptr;
  KeyT* key = nullptr;
};

template <typename DocumentT>
Found<DocumentT> Find(DocumentT& document, const std::wstring& sectionName,
                      const std::wstring& keyName) {
  const std::wstring wantedSection = Trim(sectionName);
  const std::wstring wantedKey = Trim(keyName);
  for (auto& section : document.sections) {
    if (!SameName(section.name, wantedSection)) continue;
    for (auto& key : section.keys) {
      if (SameName(key.name, wantedKey)) return {&section, &key};
    }
    return {&section, nullptr};
  }
  return {};
}

// The key names of the first section named exactly sectionName (no trimming), as the
// service copies them into a buffer of bufferChars characters: each name ended by a zero,
// comments (";") and lines without "=" left out, a long list cut so that it still ends
// with two zeros. Returns 0 with an empty text when there is no such section.
ReadResult ReadKeyNames(const Document& document, const std::wstring& sectionName,
                        std::uint32_t bufferChars) {
  for (const Section& section : document.sections) {
    if (!SameName(section.name, sectionName)) continue;
    std::wstring buffer;
    std::int64_t room = bufferChars;
    for (const Key& key : section.keys) {
      if (room <= 2) break;
      if (key.name.empty() && !key.value) continue;
      if (!key.name.empty() && key.name[0] == L';') continue;
      if (!key.value) continue;
      const std::wstring name =
          key.name.substr(0, std::min<std::size_t>(key.name.size(), room - 2));
      buffer += name;
      buffer += L'\0';
      room -= static_cast<std::int64_t>(name.size()) + 1;
      if (room < 2) break;
    }
    if (room <= 1) {
      // Cut: the final name loses its last character to the second zero.
      if (!buffer.empty()) buffer.back() = L'\0';
      const std::int64_t count = static_cast<std::int64_t>(bufferChars) - 2;
      if (count <= 0) return {};
      return {static_cast<std::uint32_t>(count), buffer.substr(0, count)};
    }
    return {static_cast<std::uint32_t>(buffer.size()), buffer};
  }
  return {};
}

ReadResult ReadSectionNames(const Document& document, std::uint32_t bufferChars) {
  if (bufferChars <= 1) return {};
  std::wstring buffer;
  std::uint32_t room = bufferChars - 1;
  for (const Section& section : document.sections) {
    if (section.name.empty()) continue;
    const std::uint32_t need = static_cast<std::uint32_t>(section.name.size()) + 1;
    if (need >= room) {
      if (room > 0) {
        buffer += section.name.substr(0, room - 1);
        buffer += L'\0';
      }
      return {bufferChars - 2, buffer.substr(0, bufferChars - 2)};
    }
    buffer += section.name;
    buffer += L'\0';
    room -= need;
  }
  return {static_cast<std::uint32_t>(buffer.size()), buffer};
}

// A default value loses its trailing spaces before a value read, but never its first
// character.
std::wstring TrimDefault(const std::wstring& defaultValue) {
  if (defaultValue.empty()) return defaultValue;
  std::size_t last = defaultValue.size() - 1;
  while (last > 0 && defaultValue[last] == L' ') --last;
  return defaultValue.substr(0, last + 1);
}

bool DeleteSection(Document& document, const std::wstring& name) {
  for (auto it = document.sections.begin(); it != document.sections.end(); ++it) {
    if (SameName(it->name, name)) {
      document.sections.erase(it);
      return true;
    }
  }
  return false;
}

bool DeleteKey(Document& document, const std::wstring& sectionName, const std::wstring& keyName) {
  for (Section& section : document.sections) {
    if (!SameName(section.name, sectionName)) continue;
    for (auto it = section.keys.begin(); it != section.keys.end(); ++it) {
      if (SameName(it->name, keyName)) {
        section.keys.erase(it);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

namespace {
thread_local NameRule nameRule = NameRule::AsciiLetters;
}  // namespace

void SetNameRule(NameRule rule) { nameRule = rule; }

bool SameName(const std::wstring& a, const std::wstring& b) {
  if (nameRule == NameRule::EveryLetter) return EqualNoCase(a, b);
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

Document Parse(const std::wstring& text) {
  Document document;
  std::size_t next = 0;
  if (!text.empty() && text[0] == kUnicodeMark) {
    document.unicode = true;
    next = 1;
  }
  if (next == text.size()) return document;
  document.sections.push_back(Section{});
  while (next < text.size()) {
    const std::size_t start = next;
    while (next < text.size() && text[next] != L'\n' && text[next] != L'\r') ++next;
    const std::size_t end = next;
    while (next < text.size() && (text[next] == L'\n' || text[next] == L'\r')) ++next;
    const std::wstring line = Trim(text.substr(start, end - start));
    if (line.empty()) continue;
    if (line[0] == L'[') {
      const std::size_t close = line.rfind(L']');
      if (close != std::wstring::npos) {
        document.sections.push_back(Section{Trim(line.substr(1, close - 1)), {}});
        continue;
      }
    }
    AddKeyLine(document.sections.back(), line);
  }
  return document;
}

std::wstring Serialize(const Document& document) {
  std::wstring text;
  if (document.unicode) text += kUnicodeMark;
  for (const Section& section : document.sections) {
    if (!section.name.empty()) text += L"[" + section.name + L"]\r\n";
    for (const Key& key : section.keys) {
      text += key.name;
      if (key.value) text += L"=" + *key.value;
      text += L"\r\n";
    }
  }
  return text;
}

ReadResult Read(const Document& document, const std::optional<std::wstring>& section,
                const std::optional<std::wstring>& key, const std::wstring& defaultValue,
                std::uint32_t bufferChars) {
  if (bufferChars == 0) return {};
  if (!section) return ReadSectionNames(document, bufferChars);
  if (!key) {
    ReadResult names = ReadKeyNames(document, *section, bufferChars);
    if (names.text.empty() || names.text[0] == L'\0') {
      const std::wstring copy = CopyEntry(defaultValue, bufferChars);
      return {static_cast<std::uint32_t>(copy.size()), copy};
    }
    return names;
  }
  const std::wstring fallback = TrimDefault(defaultValue);
  const auto found = Find(document, *section, *key);
  const std::wstring& value = found.key && found.key->value ? *found.key->value : fallback;
  const std::wstring copy = CopyEntry(value, bufferChars);
  return {static_cast<std::uint32_t>(copy.size()), copy};
}

bool Write(Document& document, const std::optional<std::wstring>& section,
           const std::optional<std::wstring>& key, const std::optional<std::wstring>& value,
           bool& changed) {
  changed = false;
  if (!section) return false;  // nothing to write to (a flush, or no section named)
  if (!key) {
    changed = DeleteSection(document, *section);
    return true;
  }
  if (!value) {
    changed = DeleteKey(document, *section, *key);
    return true;
  }
  auto found = Find(document, *section, *key);
  if (!found.section) {
    document.sections.push_back(Section{TrimLeft(*section), {}});
    found.section = &document.sections.back();
  }
  if (!found.key) {
    found.section->keys.push_back(Key{TrimLeft(*key), std::nullopt});
    found.key = &found.section->keys.back();
  }
  const std::wstring stored = TrimLeft(*value);
  if (found.key->value == stored) return true;
  found.key->value = stored;
  changed = true;
  return true;
}

bool WriteSection(Document& document, const std::wstring& section,
                  const std::vector<std::pair<std::wstring, std::wstring>>& keys, bool& changed) {
  auto found = Find(document, section, std::wstring());
  if (!found.section) {
    document.sections.push_back(Section{TrimLeft(section), {}});
    found.section = &document.sections.back();
  }
  found.section->keys.clear();
  for (const auto& [key, value] : keys) {
    found.section->keys.push_back(Key{TrimLeft(key), TrimLeft(value)});
  }
  changed = true;
  return true;
}

}  // namespace sheetlore::sim::profile
