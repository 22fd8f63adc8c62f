#include "component/profile_text.h"

#include "component/paper_store_batch.h"
#include "component/paper_store_file.h"

namespace sheetlore::paper_store {
namespace {

const std::wstring kLineEnd = L"\r\n";

// The key of a line: the text before its first "=", or the whole line without one.
std::wstring LineKey(const std::wstring& line) { return line.substr(0, line.find(L'=')); }

}  // namespace

std::optional<ProfileText> ProfileText::Parse(const std::wstring& text) {
  ProfileText parsed;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(kLineEnd, start);
    if (end == std::wstring::npos) return std::nullopt;
    std::wstring line = text.substr(start, end - start);
    if (line.find_first_of(L"\r\n") != std::wstring::npos) return std::nullopt;
    start = end + kLineEnd.size();
    const std::size_t trimmedStart = line.find_first_not_of(L" \t");
    if (trimmedStart != std::wstring::npos && line[trimmedStart] == L'[') {
      if (trimmedStart != 0 || line.back() != L']' || line.find(L']') != line.size() - 1) {
        return std::nullopt;
      }
      if (!parsed.sections_.empty()) parsed.sections_.back().end = parsed.lines_.size();
      std::wstring name = line.substr(1, line.size() - 2);
      parsed.sectionsByKey_[MaybeSameKey(name)].push_back(parsed.sections_.size());
      parsed.sections_.push_back({std::move(name), parsed.lines_.size(), 0});
    }
    parsed.lines_.push_back(std::move(line));
  }
  if (!parsed.sections_.empty()) parsed.sections_.back().end = parsed.lines_.size();
  if (const auto list = parsed.SectionFor(kListSection)) {
    const Section& section = parsed.sections_[*list];
    for (std::size_t i = section.heading + 1; i < section.end; ++i) {
      parsed.listLinesByKey_[MaybeSameKey(LineKey(parsed.lines_[i]))].push_back(i);
    }
  }
  return parsed;
}

std::optional<std::size_t> ProfileText::SectionFor(const std::wstring& name) const {
  const auto found = sectionsByKey_.find(MaybeSameKey(name));
  if (found == sectionsByKey_.end() || found->second.size() != 1) return std::nullopt;
  const std::size_t index = found->second.front();
  if (!SameProfileName(sections_[index].name, TrimBlanks(name))) return std::nullopt;
  if (sections_[index].name != TrimBlanks(sections_[index].name)) return std::nullopt;
  return index;
}

std::optional<std::size_t> ProfileText::KeyLine(const Section& section,
                                                const std::wstring& key) const {
  std::optional<std::size_t> found;
  for (std::size_t i = section.heading + 1; i < section.end; ++i) {
    if (MaybeSameKey(LineKey(lines_[i])) != MaybeSameKey(key)) continue;
    if (found) return std::nullopt;
    found = i;
  }
  if (!found) return std::nullopt;
  const std::wstring& line = lines_[*found];
  const std::wstring spelling = LineKey(line);
  if (spelling.size() == line.size() || !SameProfileName(spelling, key) ||
      spelling != TrimBlanks(spelling)) {
    return std::nullopt;
  }
  return found;
}

bool ProfileText::Replace(const ReplacedPaper& paper) {
  const auto section = SectionFor(paper.name);
  const auto list = SectionFor(kListSection);
  if (!section || !list) return false;
  std::vector<std::pair<std::size_t, std::wstring>> changes;
  for (const auto& [key, value] : paper.keys) {
    const auto line = KeyLine(sections_[*section], key);
    if (!line) return false;
    changes.emplace_back(*line, LineKey(lines_[*line]) + L"=" + value);
  }
  const auto listLines = listLinesByKey_.find(MaybeSameKey(paper.name));
  if (listLines == listLinesByKey_.end() || listLines->second.size() != 1) return false;
  const std::size_t listLine = listLines->second.front();
  const std::wstring listKey = LineKey(lines_[listLine]);
  if (listKey.size() == lines_[listLine].size() || !SameProfileName(listKey, paper.name) ||
      listKey != TrimBlanks(listKey)) {
    return false;
  }
  changes.emplace_back(listLine, listKey + L"=" + paper.name);
  for (auto& [line, text] : changes) lines_[line] = std::move(text);
  return true;
}

std::wstring ProfileText::Text() const {
  std::wstring text;
  for (const std::wstring& line : lines_) text += line + kLineEnd;
  return text;
}

}  // namespace sheetlore::paper_store
