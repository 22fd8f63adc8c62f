// The paper store: paper definitions kept in PrintSet.ini beside the component.
//
// Every call goes straight to the file through the platform's profile operations; nothing is
// kept in memory. Each call holds the file's lock, so that the calls of other processes on the
// same file never interleave with its reads and writes, and each change is made on the
// lock's copy of the file and committed only once it reads back as meant. The file always lives at
// the component's directory; while it does not exist the profile service answers every read with
// nothing (an empty store), and the first write creates it. No call ever names another profile
// file.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "component/cls_print.h"
#include "component/number_text.h"
#include "component/paper_store_check.h"
#include "component/paper_store_file.h"

namespace sheetlore {
namespace {

using paper_store::kListSection;

constexpr std::uint32_t kValueBufferChars = 10000;

const std::wstring kUnitKey = L"mMode";
const std::array<std::wstring, 6> kMeasureKeys = {L"W", L"H", L"L", L"R", L"T", L"B"};

std::vector<std::wstring> ReadNames(ProfileFiles& profile, const std::wstring& path) {
  return paper_store::ReadKeyList(profile, kListSection, path);
}

// One value of a paper, read by the point-only number reading; a missing key reads as 0.
double ReadMeasure(ProfileFiles& profile, const std::wstring& section, const std::wstring& key,
                   const std::wstring& path) {
  std::wstring text;
  profile.GetString(section, key, L"0", kValueBufferChars, text, path);
  return ReadNumber(text);
}

// The unit code: the stored number brought to the nearest whole number, halves to even.
std::uint8_t UnitCode(double stored) {
  const double rounded = std::nearbyint(stored);
  if (!(rounded >= 0 && rounded <= 255)) throw AutomationError::Overflow();
  return static_cast<std::uint8_t>(rounded);
}

}  // namespace

bool ClsPrint::IniWriteValue(const std::wstring& mFmtName, std::uint8_t mMode, double W, double H,
                             double L, double R, double T, double B) {
  if (!paper_store::IsStorableName(mFmtName)) return false;
  const auto written = paper_store::PaperKeys(mMode, {W, H, L, R, T, B});
  if (!written) return false;
  const ProfileFiles::KeyValues& keys = *written;

  ProfileFiles& profile = platform_.profile;
  const std::wstring path = paper_store::FilePath(platform_.host);
  const auto lock = profile.LockFile(path);
  if (!lock || profile.IsUnreadable(path)) return false;
  const paper_store::StoreShape before = paper_store::ReadShape(profile, path);
  // A new paper's section in one write. A stored paper's values are written in place, key by
  // key, so that every other line of its section (keys and comments that other tools or a
  // hand left there) stays where it is: a section write would drop the comments. Then the
  // list entry. Every write goes to the lock's change, which the file takes in one piece
  // only once all of it reads back as meant; a lock that ends without its commit undoes all
  // of it, so a paper never shows two versions mixed.
  if (paper_store::ReadKeyList(profile, mFmtName, path).empty()) {
    if (!profile.WriteSection(mFmtName, keys, path)) return false;
  } else {
    for (const auto& [key, value] : keys) {
      if (!profile.WriteString(mFmtName, key, value, path)) return false;
    }
  }
  if (!profile.WriteString(kListSection, mFmtName, mFmtName, path)) return false;
  if (!paper_store::WriteCameOut(profile, path, before, mFmtName, keys)) return false;
  return lock->Commit();
}

rePaPer ClsPrint::IniReadValue(std::int16_t mMode, const std::wstring& mFmtName,
                               std::vector<std::wstring>* mArry) {
  if (mArry != nullptr) *mArry = {std::wstring()};
  rePaPer paper;
  if (mMode == 0) {
    const std::wstring path = paper_store::FilePath(platform_.host);
    const auto lock = platform_.profile.LockFile(path);
    if (platform_.profile.IsUnreadable(path)) throw AutomationError::PathFileAccess();
    auto names = ReadNames(platform_.profile, path);
    if (mArry != nullptr && !names.empty()) *mArry = std::move(names);
  } else if (mMode == 1) {
    // The profile service ignores the blanks around a section name; so does the store.
    const std::wstring name = paper_store::TrimBlanks(mFmtName);
    if (!paper_store::IsAddressableName(name)) return paper;  // never stored: all zero
    ProfileFiles& profile = platform_.profile;
    const std::wstring path = paper_store::FilePath(platform_.host);
    const auto lock = profile.LockFile(path);
    if (profile.IsUnreadable(path)) throw AutomationError::PathFileAccess();
    paper.mMode = UnitCode(ReadMeasure(profile, name, kUnitKey, path));
    const std::array<double*, 6> fields = {&paper.W, &paper.H, &paper.L,
                                           &paper.R, &paper.T, &paper.B};
    for (std::size_t i = 0; i < fields.size(); ++i) {
      *fields[i] = ReadMeasure(profile, name, kMeasureKeys[i], path);
    }
  }
  return paper;
}

void ClsPrint::IniDelValue(std::wstring& mFmtName) {
  const std::wstring name = paper_store::TrimBlanks(mFmtName);
  if (!paper_store::IsAddressableName(name)) return;
  ProfileFiles& profile = platform_.profile;
  const std::wstring path = paper_store::FilePath(platform_.host);
  // Another process may add a name between the list reads below and the removal of an
  // emptied list heading: the whole delete holds the file, or changes nothing.
  const auto lock = profile.LockFile(path);
  if (!lock || profile.IsUnreadable(path)) return;
  const paper_store::StoreShape before = paper_store::ReadShape(profile, path);

  // The list entries naming this paper's section, as the profile service matches section
  // names (which letters it takes for one is its own affair).
  const std::vector<std::wstring> listed = ReadNames(profile, path);
  const auto entries = paper_store::EntriesOfSection(profile, path, name, listed);
  if (!entries) return;
  const auto namesThisPaper = [&](const std::wstring& entry) {
    return entries->MayName(entry, name);
  };

  // Only those entries are removed, one by one, so that names another writer adds
  // meanwhile stay listed.
  for (const std::wstring& entry : entries->same) {
    if (!profile.WriteString(kListSection, entry, std::nullopt, path)) return;
  }

  // The paper's section goes only once the list no longer names it, so that no listed paper
  // is ever left without its values (a failed list read looks like an empty list).
  const std::vector<std::wstring> remaining = ReadNames(profile, path);
  if (std::any_of(remaining.begin(), remaining.end(), namesThisPaper)) return;
  // The last paper gone, its list heading goes too. Both reads must agree the list held
  // nothing else, so a read that fails cannot take other names with it.
  if (!listed.empty() && remaining.empty() &&
      std::all_of(listed.begin(), listed.end(), namesThisPaper)) {
    if (!profile.WriteString(kListSection, std::nullopt, std::nullopt, path)) return;
  }
  profile.WriteString(name, std::nullopt, std::nullopt, path);
  const auto sectionMayGo = [&](const std::wstring& section) {
    return entries->MayName(section, name);
  };
  if (!paper_store::DeleteCameOut(profile, path, before, name, entries->same, sectionMayGo)) return;
  lock->Commit();
}

}  // namespace sheetlore
