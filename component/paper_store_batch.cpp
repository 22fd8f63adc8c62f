#include "component/paper_store_batch.h"

#include <algorithm>

#include "component/paper_store_file.h"

namespace sheetlore::paper_store {
namespace {

const std::wstring kLineEnd = L"\r\n";

// Below this many papers the service's own writes are as few.
constexpr std::size_t kFewestByText = 3;

std::wstring ListLine(const std::wstring& name) { return name + L"=" + name + kLineEnd; }

// What the service put before a section it added at the end of text: nothing or blank lines.
// Nothing when the write did more than add that section there.
std::optional<std::wstring> SeparatorBefore(const std::wstring& before, const std::wstring& after,
                                            const std::wstring& section) {
  const auto added = InsertionBetween(before, after);
  if (!added || added->at != before.size() || !added->text.ends_with(section)) return std::nullopt;
  std::wstring separator = added->text.substr(0, added->text.size() - section.size());
  for (std::size_t i = 0; i < separator.size(); i += kLineEnd.size()) {
    if (separator.compare(i, kLineEnd.size(), kLineEnd) != 0) return std::nullopt;
  }
  return separator;
}

}  // namespace

std::wstring MaybeSameKey(const std::wstring& name) {
  std::wstring key = TrimBlanks(name);
  for (wchar_t& c : key) {
    if (c >= L'A' && c <= L'Z') {
      c = static_cast<wchar_t>(c + (L'a' - L'A'));
    } else if (c == 0x0130 || c == 0x0131) {
      c = L'i';
    } else if (c == 0x017F) {
      c = L's';
    } else if (c == 0x212A) {
      c = L'k';
    } else if (c == 0x212B) {
      c = 0x00E5;
    }
    if (c >= 0x80 && !IsCaseless(c)) c = 0xFFFF;
  }
  return key;
}

std::wstring SectionText(const std::wstring& name, const ProfileFiles::KeyValues& keys) {
  std::wstring text = L"[" + name + L"]" + kLineEnd;
  for (const auto& [key, value] : keys) text += key + L"=" + value + kLineEnd;
  return text;
}

std::optional<Insertion> InsertionBetween(const std::wstring& before, const std::wstring& after) {
  if (after.size() <= before.size()) return std::nullopt;
  const std::size_t at = static_cast<std::size_t>(
      std::mismatch(before.begin(), before.end(), after.begin()).first - before.begin());
  const std::size_t length = after.size() - before.size();
  if (after.compare(at + length, std::wstring::npos, before, at) != 0) return std::nullopt;
  return Insertion{at, after.substr(at, length)};
}

bool WriteNewSections(ProfileFiles& profile, const std::wstring& path,
                      const std::vector<WrittenPaper>& papers, bool listHeld, bool byText) {
  const auto writeSection = [&](std::size_t i) {
    const WrittenPaper& paper = papers[i];
    if (paper.wholeSection) return profile.WriteSection(paper.name, paper.keys, path);
    return std::all_of(paper.keys.begin(), paper.keys.end(), [&](const auto& line) {
      return profile.WriteString(paper.name, line.first, line.second, path);
    });
  };
  const auto writeLine = [&](std::size_t i) {
    return profile.WriteString(kListSection, papers[i].name, papers[i].name, path);
  };
  ProfileFiles::KeyValues list;
  for (const WrittenPaper& paper : papers) list.emplace_back(paper.name, paper.name);

  std::size_t sections = 0;                          // papers whose section is written
  std::size_t lines = listHeld ? 0 : papers.size();  // papers whose list line is written
  if (byText && papers.size() >= kFewestByText) {
    // The service writes the first section, then the list or the first paper's list line and
    // the second section; how it laid out the last of those shows how it lays out the rest.
    if (!writeSection(0)) return false;
    sections = 1;
    std::optional<std::wstring> text;
    std::optional<std::wstring> separator;
    std::optional<Insertion> line;
    if (listHeld) {
      const auto afterSection = profile.ReadText(path);
      if (!writeLine(0)) return false;
      lines = 1;
      const auto afterLine = profile.ReadText(path);
      if (afterSection && afterLine) line = InsertionBetween(*afterSection, *afterLine);
      if (!line || line->text != ListLine(papers[0].name)) line.reset();
      if (!writeSection(1)) return false;
      sections = 2;
      text = profile.ReadText(path);
      if (line && text) {
        separator = SeparatorBefore(*afterLine, *text, SectionText(papers[1].name, papers[1].keys));
      }
    } else {
      const auto afterSection = profile.ReadText(path);
      if (!profile.WriteSection(kListSection, list, path)) return false;
      text = profile.ReadText(path);
      if (afterSection && text) {
        separator = SeparatorBefore(*afterSection, *text, SectionText(kListSection, list));
      }
    }
    if (separator) {
      std::wstring added;
      for (std::size_t i = sections; i < papers.size(); ++i) {
        added += *separator + SectionText(papers[i].name, papers[i].keys);
      }
      if (listHeld) {
        std::wstring listLines;
        for (std::size_t i = lines; i < papers.size(); ++i) listLines += ListLine(papers[i].name);
        text->insert(line->at + line->text.size(), listLines);
      }
      *text += added;
      if (profile.RewriteText(*text, path)) return true;
    }
  }
  for (; sections < papers.size(); ++sections) {
    if (!writeSection(sections)) return false;
    if (sections == 0 && !listHeld && !profile.WriteSection(kListSection, list, path)) return false;
  }
  for (; lines < papers.size(); ++lines) {
    if (!writeLine(lines)) return false;
  }
  return true;
}

}  // namespace sheetlore::paper_store
