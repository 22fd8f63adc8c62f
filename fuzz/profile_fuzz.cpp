// The simulated profile files from arbitrary file text, then arbitrary operations. No call
// crashes, every answer is consistent with its count, and within the profile format's limits
// a key just written reads back as written, is listed among its section's keys, and keeps its
// value until something touches its section again.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/sim/profile_document.h"
#include "platform/sim/sim_platform.h"

namespace {

// Names as the profile service compares them: letter case ignored for ASCII letters only.
std::wstring FoldAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 0x20);
  }
  return text;
}

using sheetlore::fuzz::Check;
using sheetlore::fuzz::Input;
namespace sim = sheetlore::sim;

const std::wstring kPath = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";
constexpr std::uint32_t kBuffer = 10000;
const std::wstring kAbsent = L"<absent>";

bool IsBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20; }

std::wstring Trimmed(const std::wstring& text) {
  std::size_t start = 0;
  std::size_t end = text.size();
  while (start < end && IsBlank(text[start])) ++start;
  while (end > start && IsBlank(text[end - 1])) --end;
  return text.substr(start, end - start);
}

std::wstring WithoutControls(const std::wstring& text, const std::wstring& alsoDropped) {
  std::wstring kept;
  for (const wchar_t c : text) {
    if (c < 0x20 || alsoDropped.find(c) != std::wstring::npos) continue;
    kept.push_back(c);
  }
  return kept;
}

// A section or key name the format carries unchanged: no line breaks or other controls, no
// brackets or "=", nothing that trims away, not a comment.
std::optional<std::wstring> StorableName(const std::wstring& raw) {
  std::wstring name = Trimmed(WithoutControls(raw, L"[]="));
  if (name.empty() || name[0] == L';') return std::nullopt;
  return name;
}

// A value the format carries unchanged: no controls, nothing that trims away, and not wrapped
// in a pair of matching quotes (which a read removes).
std::optional<std::wstring> StorableValue(const std::wstring& raw) {
  std::wstring value = Trimmed(WithoutControls(raw, L""));
  if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0]) {
    return std::nullopt;
  }
  return value;
}

// The text with every character outside printable ASCII written as <hex>, for messages.
std::wstring Escaped(const std::wstring& text) {
  std::wstring escaped;
  for (const wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      escaped.push_back(c);
    } else {
      escaped += L"<" + std::to_wstring(static_cast<unsigned>(c)) + L">";
    }
  }
  return escaped;
}

std::optional<std::wstring> MaybeAbsent(Input& input) {
  if (input.Byte() % 4 == 0) return std::nullopt;
  return input.Text();
}

std::vector<std::wstring> SplitAtZeros(const std::wstring& text) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\0', start);
    if (end == std::wstring::npos) end = text.size();
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

class Session {
 public:
  explicit Session(const std::wstring& fileText) {
    // A UTF-16 file (the mark first), which holds every character an input brings; what a
    // file in the ANSI code page refuses is the profile contract's affair.
    if (!fileText.empty()) sim_.SetFileText(kPath, L"\xFEFF" + fileText);
  }

  std::wstring Read(const std::optional<std::wstring>& section,
                    const std::optional<std::wstring>& key, std::uint32_t buffer = kBuffer) {
    std::wstring text;
    const std::uint32_t count =
        sim_.platform().profile.GetString(section, key, kAbsent, buffer, text, kPath);
    Check(count == text.size(), "a read's count is the length of its text", text);
    Check(count < buffer || buffer == 0, "a read stays inside its buffer", text);
    return text;
  }

  bool Write(const std::optional<std::wstring>& section, const std::optional<std::wstring>& key,
             const std::optional<std::wstring>& value) {
    return sim_.platform().profile.WriteString(section, key, value, kPath);
  }

  // Keys written within the format's limits, by folded section and key, with their value.
  std::map<std::pair<std::wstring, std::wstring>, std::wstring> written;

  void Forget(const std::wstring& section) {
    const std::wstring folded = FoldAscii(Trimmed(section));
    for (auto it = written.begin(); it != written.end();) {
      it = it->first.first == folded ? written.erase(it) : std::next(it);
    }
  }

  std::wstring FileText() const { return sim_.FileText(kPath); }

  // How many lines of the first section of that name hold the key.
  int KeyLines(const std::wstring& section, const std::wstring& key) {
    const sim::profile::Document document = sim::profile::Parse(sim_.FileText(kPath));
    for (const sim::profile::Section& candidate : document.sections) {
      if (!sim::profile::SameName(candidate.name, section)) continue;
      int lines = 0;
      for (const sim::profile::Key& line : candidate.keys) {
        if (sim::profile::SameName(line.name, key)) ++lines;
      }
      return lines;
    }
    return 0;
  }

  // Whether the first key the section would list has an empty name.
  bool ListStartsUnnamed(const std::wstring& section) {
    const sim::profile::Document document = sim::profile::Parse(sim_.FileText(kPath));
    for (const sim::profile::Section& candidate : document.sections) {
      if (!sim::profile::SameName(candidate.name, section)) continue;
      for (const sim::profile::Key& key : candidate.keys) {
        if (!key.value || (!key.name.empty() && key.name[0] == L';')) continue;
        // A name the file holds with a zero character first is empty to the service too.
        return key.name.empty() || key.name[0] == L'\0';
      }
      return false;
    }
    return false;
  }

  void ForgetKey(const std::wstring& section, const std::wstring& key) {
    written.erase(std::make_pair(FoldAscii(section), FoldAscii(key)));
  }

  void CheckWrittenKeys() {
    for (const auto& [where, value] : written) {
      const std::wstring& originalSection = sections_.at(where);
      const std::wstring& originalKey = keys_.at(where);
      Check(Read(originalSection, originalKey) == value, "a written key keeps its value",
            originalSection + L"/" + originalKey + L"=" + value);
    }
  }

  void Remember(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    const auto where = std::make_pair(FoldAscii(section), FoldAscii(key));
    written[where] = value;
    sections_[where] = section;
    keys_[where] = key;
  }

 private:
  sim::SimPlatform sim_;
  std::map<std::pair<std::wstring, std::wstring>, std::wstring> sections_;
  std::map<std::pair<std::wstring, std::wstring>, std::wstring> keys_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  Session session(input.Text());

  for (int step = 0; step < 64 && !input.empty(); ++step) {
    switch (input.Byte() % 7) {
      case 0: {  // a write within the format's limits
        const auto section = StorableName(input.Text());
        const auto key = StorableName(input.Text());
        const auto value = StorableValue(input.Text());
        if (!section || !key || !value) break;
        Check(session.Write(*section, *key, *value), "a write succeeds", *section + L"/" + *key);
        Check(session.Read(*section, *key) == *value, "a key just written reads back",
              *section + L"/" + *key + L"=" + *value);
        const std::wstring keyList = session.Read(*section, std::nullopt);
        bool listed = false;
        for (const std::wstring& name : SplitAtZeros(keyList)) {
          listed = listed || sim::profile::SameName(name, *key);
        }
        // A section whose list of keys starts with a line "=value" (or a name that begins with
        // a zero character in the file) lists nothing at all: the profile service takes the
        // leading empty name for an empty answer.
        Check(listed || (keyList == kAbsent && session.ListStartsUnnamed(*section)),
              "a key just written is listed in its section",
              Escaped(*section + L"/" + *key + L" in " + session.FileText()));
        session.Remember(*section, *key, *value);
        break;
      }
      case 1: {  // a key deleted
        const auto section = StorableName(input.Text());
        const auto key = StorableName(input.Text());
        if (!section || !key) break;
        session.ForgetKey(*section, *key);
        // A file may hold a key twice; a delete removes the first line only.
        const bool heldOnce = session.KeyLines(*section, *key) <= 1;
        session.Write(*section, *key, std::nullopt);
        Check(!heldOnce || session.Read(*section, *key) == kAbsent,
              "a deleted key reads as the default",
              Escaped(*section + L"/" + *key + L" in " + session.FileText()));
        break;
      }
      case 2: {  // a section deleted
        const auto section = StorableName(input.Text());
        if (!section) break;
        session.Forget(*section);
        session.Write(*section, std::nullopt, std::nullopt);
        break;
      }
      case 3: {  // any read, with any buffer size
        const auto section = MaybeAbsent(input);
        const auto key = MaybeAbsent(input);
        const std::uint32_t buffer = input.Byte() % 2 == 0 ? kBuffer : input.Byte() % 40;
        session.Read(section, key, buffer);
        break;
      }
      case 4: {  // any write: names and values the format cannot carry, absent ones too
        const auto section = MaybeAbsent(input);
        const auto key = MaybeAbsent(input);
        const auto value = MaybeAbsent(input);
        session.Write(section, key, value);
        // Nothing can be said of what this did to the keys written so far.
        session.written.clear();
        break;
      }
      case 5:
        session.Read(std::nullopt, std::nullopt);
        break;
      default:
        session.CheckWrittenKeys();
        break;
    }
  }
  session.CheckWrittenKeys();
  return 0;
}
