#pragma once
// How the paper store tells that a change came out as meant before it commits it.
//
// The profile service rewrites the whole file from its first line to its last, so a write that
// comes out short (a full disk, answered as a success by some services) loses the end of the
// file. A change therefore counts as made when the file's sections are the old ones in the old
// order (but for the paper changed), the list names the old papers in the old order (but for
// the paper changed), the paper changed reads back as written, and the section at the end of
// the file reads back whole: with every section present and the last one whole, nothing before
// it can be cut.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "component/paper_store_file.h"
#include "platform/platform.h"

namespace sheetlore::paper_store {

// The names of a section's keys (or, without a section, of the file's sections) in the file's
// order. The buffer grows until the whole list fits.
std::vector<std::wstring> ReadKeyList(ProfileFiles& profile,
                                      const std::optional<std::wstring>& section,
                                      const std::wstring& path);

// What a change is checked against: the file's sections, the list, and the last sections whole.
struct StoreShape {
  std::vector<std::wstring> sections;
  std::vector<std::wstring> listed;
  std::vector<std::pair<std::wstring, ProfileFiles::KeyValues>> tail;  // the last three sections
};

StoreShape ReadShape(ProfileFiles& profile, const std::wstring& path);

// A paper's keys as the store writes them: the unit code, then the six values as NumberText
// gives them (at most 15 significant digits). Nothing for a value that is not finite or whose
// text does not read back as a finite number.
std::optional<ProfileFiles::KeyValues> PaperKeys(
    std::uint8_t mMode, const std::array<double, 6>& measures);  // W H L R T B

// After writing the paper's keys (and its list entry).
bool WriteCameOut(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                  const std::wstring& name, const ProfileFiles::KeyValues& keys);

// After writing several new papers' keys and list entries in one change: the same check for
// all of them at once.
struct WrittenPaper {
  std::wstring name;
  ProfileFiles::KeyValues keys;
  bool wholeSection = true;  // written as a new section of those lines alone, not key by key
};
bool WritesCameOut(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                   const std::vector<WrittenPaper>& papers);

// After writing stored papers' values in place (papers with wholeSection false): the file's
// sections and list as before, and each paper's keys reading back as written.
bool ReplacesCameOut(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                     const std::vector<WrittenPaper>& papers);

// After deleting the paper: its section and list entries gone (those removedEntries), and the
// list section too when nothing else is listed; sectionMayGo tells which sections the service
// may have taken for the paper's.
template <typename SectionMayGo>
bool DeleteCameOut(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                   const std::wstring& name, const std::vector<std::wstring>& removedEntries,
                   SectionMayGo sectionMayGo);

// The common part of both checks: the section at the end of the file reads back as before
// (or is the paper changed, checked apart).
bool TailReadsBack(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                   const std::vector<std::wstring>& sectionsAfter,
                   const std::vector<std::wstring>& changed);

template <typename SectionMayGo>
bool DeleteCameOut(ProfileFiles& profile, const std::wstring& path, const StoreShape& before,
                   const std::wstring& name, const std::vector<std::wstring>& removedEntries,
                   SectionMayGo sectionMayGo) {
  const StoreShape after = ReadShape(profile, path);
  const auto isThePaper = [&name](const std::wstring& s) { return SameProfileName(s, name); };
  if (std::any_of(after.sections.begin(), after.sections.end(), isThePaper)) return false;
  std::vector<std::wstring> expectedList;
  for (const std::wstring& entry : before.listed) {
    if (std::find(removedEntries.begin(), removedEntries.end(), entry) == removedEntries.end()) {
      expectedList.push_back(entry);
    }
  }
  if (after.listed != expectedList) return false;
  // The sections after are the sections before, in order, less some that may go.
  std::size_t next = 0;
  for (const std::wstring& section : before.sections) {
    if (next < after.sections.size() && after.sections[next] == section) {
      ++next;
    } else if (!sectionMayGo(section) &&
               !(SameProfileName(section, kListSection) && expectedList.empty())) {
      return false;
    }
  }
  if (next != after.sections.size()) return false;
  return TailReadsBack(profile, path, before, after.sections, {});
}

}  // namespace sheetlore::paper_store
