#include "component/paper_store_check.h"

#include <algorithm>

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
                   const std::vector<std::wstring>& sectionsAfter, const std::wstring& changed) {
  if (sectionsAfter.empty()) return true;
  const std::wstring& last = sectionsAfter.back();
  if (!changed.empty() && SameProfileName(last, changed)) return true;
  const auto found = std::find_if(before.tail.begin(), before.tail.end(),
                                  [&last](const auto& section) { return section.first == last; });
  // The list section may end the file: its line of the paper changed is the paper's name
  // again, every other line as before (or, where it was not read before, a name again).
  if (SameProfileName(last, kListSection)) {
    const ProfileFiles::KeyValues values = ReadSection(profile, last, path);
    return std::all_of(values.begin(), values.end(), [&](const auto& line) {
      if (found == before.tail.end() || SameProfileName(line.first, changed)) {
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
  return TailReadsBack(profile, path, before, after.sections, name);
}

}  // namespace sheetlore::paper_store
