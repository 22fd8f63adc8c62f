#include "component/paper_store_check.h"

#include <algorithm>
#include <cmath>

#include "component/number_text.h"
#include "component/paper_store_batch.h"
#include "platform/automation_error.h"

namespace sheetlore::paper_store {
namespace {

constexpr std::uint32_t kFirstListBufferChars = 10000;
constexpr std::uint32_t kLargestListBufferChars = 1u << 30;
constexpr std::uint32_t kValueBufferChars = 10000;
constexpr std::size_t kTailSections = 3;

ProfileFiles::KeyValues ReadSection(ProfileFiles& profile, const std::wstring& section,
                                    const std::wstring& path) {
  ProfileFiles::KeyValues values;
  for (const std::wstring& key : ReadKeyList(profile, section, path)) {
    std::wstring value;
    profile.GetString(section, key, std::wstring(), kValueBufferChars, value, path);
    values.emplace_back(key, value);
  }
  return values;
}

std::vector<std::wstring> Without(std::vector<std::wstring> names, const std::wstring& name) {
  std::erase_if(names, [&name](const std::wstring& n) { return SameProfileName(n, name); });
  return names;
}

bool IsAnyOf(const std::wstring& name, const std::vector<std::wstring>& names) {
  return std::any_of(names.begin(), names.end(),
                     [&name](const std::wstring& n) { return SameProfileName(n, name); });
}

std::vector<std::wstring> WithoutAll(std::vector<std::wstring> names,
                                     const std::vector<std::wstring>& gone) {
  std::erase_if(names, [&gone](const std::wstring& n) { return IsAnyOf(n, gone); });
  return names;
}

// Whether a text reads back as a finite number (a reading beyond the double range overflows).
bool ReadsBackFinite(const std::wstring& text) {
  try {
    return std::isfinite(ReadNumber(text));
  } catch (const AutomationError&) {
    return false;
  }
}

// Whether the paper's section reads back as its keys: in one section read where the platform
// has one (a new section holds those lines and no other; in a section with other lines, a key
// on the one line no other may be taken for, as written), else key by key.
bool KeysReadBack(ProfileFiles& profile, const std::wstring& path, const WrittenPaper& paper) {
  const auto lines = profile.ReadSection(paper.name, path);
  if (paper.wholeSection && lines) {
    if (lines->size() != paper.keys.size()) return false;
    for (std::size_t i = 0; i < lines->size(); ++i) {
      const auto& line = (*lines)[i];
      if (line.key != paper.keys[i].first || line.value != paper.keys[i].second) return false;
    }
    return true;
  }
  const auto onItsOwnLine = [&lines](const std::wstring& key, const std::wstring& value) {
    if (!lines) return false;
    const std::wstring wanted = MaybeSameKey(key);
    const auto same = [&wanted](const auto& line) { return MaybeSameKey(line.key) == wanted; };
    const auto found = std::find_if(lines->begin(), lines->end(), same);
    return found != lines->end() && found->key == key && found->value == value &&
           std::count_if(lines->begin(), lines->end(), same) == 1;
  };
  for (const auto& [key, value] : paper.keys) {
    if (onItsOwnLine(key, value)) continue;
    std::wstring stored;
    profile.GetString(paper.name, key, std::wstring(), kValueBufferChars, stored, path);
    if (stored != value) return false;
  }
  return true;
}

}  // namespace

std::vector<std::wstring> ReadKeyList(ProfileFiles& profile,
                                      const std::optional<std::wstring>& section,
                                      const std::wstring& path) {
  std::wstring text;
  // A list that does not fit comes back cut, with the buffer's size less two.
  for (std::uint32_t size = kFirstListBufferChars;; size *= 2) {
    const std::uint32_t copied =
        profile.GetString(section, std::nullopt, std::wstring(), size, text, path);
    if (copied == 0) return {};
    if (copied + 2 < size || size >= kLargestListBufferChars) break;
  }
  std::vector<std::wstring> names;
  std::wstring::size_type start = 0;
  while (start < text.size()) {
    auto end = text.find(L'\0', start);
    if (end == std::wstring::npos) end = text.size();
    if (end > start) names.emplace_back(text, start, end - start);
    start = end + 1;
  }
  return names;
}

StoreShape ReadShape(ProfileFiles& profile, const std::wstring& path) {
  StoreShape shape;
  shape.sections = ReadKeyList(profile, std::nullopt, path);
  shape.listed = ReadKeyList(profile, kListSection, path);
  const std::size_t first =
      shape.sections.size() > kTailSections ? shape.sections.size() - kTailSections : 0;
  for (std::size_t i = first; i < shape.sections.size(); ++i) {
    shape.tail.emplace_back(shape.sections[i], ReadSection(profile, shape.sections[i], path));
  }
  return shape;
}

bool TailReadsBack(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                   const std::vector<std::wstring>& sectionsAfter,
                   const std::vector<std::wstring>& changed) {
  if (sectionsAfter.empty()) return true;
  const std::wstring& last = sectionsAfter.back();
  if (IsAnyOf(last, changed)) return true;
  const auto found = std::find_if(before.tail.begin(), before.tail.end(),
                                  [&last](const auto& section) { return section.first == last; });
  // The list section may end the file: its line of the paper changed is the paper's name
  // again, every other line as before (or, where it was not read before, a name again).
  if (SameProfileName(last, kListSection)) {
    const ProfileFiles::KeyValues values = ReadSection(profile, last, path);
    return std::all_of(values.begin(), values.end(), [&](const auto& line) {
      if (found == before.tail.end() || IsAnyOf(line.first, changed)) {
        return line.first == TrimBlanks(line.second);
      }
      const auto old = std::find_if(found->second.begin(), found->second.end(),
                                    [&line](const auto& o) { return o.first == line.first; });
      return old != found->second.end() && old->second == line.second;
    });
  }
  return found != before.tail.end() && ReadSection(profile, last, path) == found->second;
}

bool WriteCameOut(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                  const std::wstring& name, const ProfileFiles::KeyValues& keys) {
  const StoreShape after = ReadShape(profile, path);
  // The first paper stored adds the list section.
  const bool listAdded =
      std::none_of(before.sections.begin(), before.sections.end(),
                   [](const std::wstring& s) { return SameProfileName(s, kListSection); });
  const std::vector<std::wstring> sectionsAfter =
      listAdded ? Without(after.sections, kListSection) : after.sections;
  if (Without(sectionsAfter, name) != Without(before.sections, name)) return false;
  if (Without(after.listed, name) != Without(before.listed, name)) return false;
  if (after.listed.size() == Without(after.listed, name).size()) return false;
  for (const auto& [key, value] : keys) {
    std::wstring stored;
    profile.GetString(name, key, std::wstring(), kValueBufferChars, stored, path);
    if (stored != value) return false;
  }
  return TailReadsBack(profile, path, before, after.sections, {name});
}

std::optional<ProfileFiles::KeyValues> PaperKeys(std::uint8_t mMode,
                                                 const std::array<double, 6>& measures) {
  static const std::array<std::wstring, 6> kMeasureKeys = {L"W", L"H", L"L", L"R", L"T", L"B"};
  ProfileFiles::KeyValues keys = {{L"mMode", std::to_wstring(unsigned{mMode})}};
  for (std::size_t i = 0; i < measures.size(); ++i) {
    // A value is kept only when its text reads back as a finite number: NaN and infinities
    // have no such text, and the largest values round up past the largest double.
    const std::wstring text = NumberText(measures[i]);
    if (!std::isfinite(measures[i]) || !ReadsBackFinite(text)) return std::nullopt;
    keys.emplace_back(kMeasureKeys[i], text);
  }
  return keys;
}

bool WritesCameOut(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                   const std::vector<WrittenPaper>& papers) {
  if (papers.empty()) return true;
  std::vector<std::wstring> names;
  for (const WrittenPaper& paper : papers) names.push_back(paper.name);
  const StoreShape after = ReadShape(profile, path);
  const bool listAdded =
      std::none_of(before.sections.begin(), before.sections.end(),
                   [](const std::wstring& s) { return SameProfileName(s, kListSection); });
  const std::vector<std::wstring> sectionsAfter =
      listAdded ? Without(after.sections, kListSection) : after.sections;
  if (WithoutAll(sectionsAfter, names) != WithoutAll(before.sections, names)) return false;
  if (WithoutAll(after.listed, names) != WithoutAll(before.listed, names)) return false;
  // Every paper listed once, as many list lines more as papers.
  if (after.listed.size() != WithoutAll(after.listed, names).size() + names.size()) return false;
  for (const WrittenPaper& paper : papers) {
    if (!KeysReadBack(profile, path, paper)) return false;
  }
  return TailReadsBack(profile, path, before, after.sections, names);
}

bool ReplacesCameOut(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                     const std::vector<WrittenPaper>& papers) {
  const StoreShape after = ReadShape(profile, path);
  if (after.sections != before.sections || after.listed != before.listed) return false;
  std::vector<std::wstring> names;
  for (const WrittenPaper& paper : papers) {
    if (!KeysReadBack(profile, path, paper)) return false;
    names.push_back(paper.name);
  }
  return TailReadsBack(profile, path, before, after.sections, names);
}

}  // namespace sheetlore::paper_store
