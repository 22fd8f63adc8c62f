#pragma once
// A profile file's text as the profile service sees it, and the rules by which
// GetPrivateProfileString and WritePrivateProfileString read and change it (the rules of
// the Windows profile API as Wine's kernel32 implements them). The simulated profile
// files parse the text on every call, apply one operation and write the text back when it
// changed, as the real service does.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sheetlore::sim::profile {

struct Key {
  std::wstring name;
  std::optional<std::wstring> value;  // absent for a line without "="
};

struct Section {
  std::wstring name;  // empty for the lines before the first heading
  std::vector<Key> keys;
};

struct Document {
  std::vector<Section> sections;
  // The file starts with the UTF-16 byte-order mark (U+FEFF in the text): the profile
  // service keeps every character of it. Without the mark it is a file of the ANSI code
  // page.
  bool unicode = false;
};

// Whether two section or key names are the same to the profile service: letter case is
// ignored for the ASCII letters only (É and é name two sections), unless the thread's
// service is set to ignore it for every letter that has a case, as Windows' own may.
bool SameName(const std::wstring& a, const std::wstring& b);

enum class NameRule { AsciiLetters, EveryLetter };
// The rule of the calling thread's simulated profile service (AsciiLetters at first).
void SetNameRule(NameRule rule);

// Reads a file's text (a leading U+FEFF is the byte-order mark): lines split at runs of CR and LF,
// blank lines dropped, blanks trimmed around lines, names and values. A non-empty text starts with
// an unnamed section that holds the lines before the first heading.
Document Parse(const std::wstring& text);
// Writes a document back: the mark when it had one, "[name]" headings and "name=value" lines, each
// ended by CR LF.
std::wstring Serialize(const Document& document);

// The answer of a profile read: the characters the call copied and its result.
struct ReadResult {
  std::uint32_t count = 0;
  std::wstring text;  // the first count characters of the caller's buffer
};

// GetPrivateProfileString over a document: a value (section and key), the key names of a
// section (no key) or the section names (no section), bounded by bufferChars.
ReadResult Read(const Document& document, const std::optional<std::wstring>& section,
                const std::optional<std::wstring>& key, const std::wstring& defaultValue,
                std::uint32_t bufferChars);

// WritePrivateProfileString over a document (the caller has already refused read-only
// files). Returns the call's result; changed tells whether the file must be written.
bool Write(Document& document, const std::optional<std::wstring>& section,
           const std::optional<std::wstring>& key, const std::optional<std::wstring>& value,
           bool& changed);

// WritePrivateProfileSection over a document: every key of the section (added at the end
// when missing) is replaced by the given lines, each "key=value".
bool WriteSection(Document& document, const std::wstring& section,
                  const std::vector<std::pair<std::wstring, std::wstring>>& keys, bool& changed);

}  // namespace sheetlore::sim::profile
