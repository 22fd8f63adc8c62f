#include "cli/paper_library.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "cli/command_error.h"
#include "component/form_list.h"
#include "component/number_text.h"
#include "component/paper_store_batch.h"
#include "component/paper_store_check.h"
#include "component/paper_store_file.h"
#include "component/profile_text.h"
#include "component/spooler_units.h"

namespace sheetlore::cli {
namespace {

// The component's error for a paper store that exists but cannot be read.
constexpr std::int32_t kFileAccessError = 75;

struct NamedValue {
  const wchar_t* name;
  double value;
};

std::vector<NamedValue> Values(const rePaPer& paper) {
  return {{L"width", paper.W}, {L"height", paper.H}, {L"left", paper.L},
          {L"right", paper.R}, {L"top", paper.T},    {L"bottom", paper.B}};
}

bool SameAsciiName(const std::wstring& a, const wchar_t* b) {
  const auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; };
  const std::wstring_view other(b);
  return std::equal(a.begin(), a.end(), other.begin(), other.end(),
                    [&fold](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
}

// A listed paper from one read of its section, each value read as the component reads its
// key: the first line of the key's name (every service takes a name of ASCII letters only in
// any letter case for one, and no other), "0" where it is missing, the point-only number
// reading. Nothing where that one read cannot stand for the component's seven reads: a
// platform without section reads, a name the component would not look up, a value in quotes or
// with blanks at an end (which the value read removes), a line of the key without "=", a value
// longer than the component's buffer, or one the component refuses. The component's own reads
// then decide, with their errors.
std::optional<rePaPer> ReadInOne(ClsPrint& component, const std::wstring& name) {
  static const wchar_t* const kKeys[] = {L"mMode", L"W", L"H", L"L", L"R", L"T", L"B"};
  constexpr std::size_t kLongestValue = 9998;
  if (!paper_store::IsAddressableName(name)) return std::nullopt;
  const auto lines = component.platform().profile.ReadSection(
      name, paper_store::FilePath(component.platform().host));
  if (!lines) return std::nullopt;
  std::array<std::optional<std::wstring>, 7> values;
  for (const ProfileFiles::SectionLine& line : *lines) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i] || !SameAsciiName(line.key, kKeys[i])) continue;
      if (!line.value) return std::nullopt;
      values[i] = *line.value;
    }
  }
  std::array<double, 7> numbers{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::wstring text = values[i].value_or(L"0");
    if (text.size() > kLongestValue) return std::nullopt;
    const auto plain = [](wchar_t c) { return c != L'"' && c != L'\'' && c != L' ' && c != L'\t'; };
    if (!text.empty() && (!plain(text.front()) || !plain(text.back()))) return std::nullopt;
    try {
      numbers[i] = ReadNumber(text);
    } catch (const AutomationError&) {
      return std::nullopt;
    }
  }
  const double unit = std::nearbyint(numbers[0]);
  if (!(unit >= 0 && unit <= 255)) return std::nullopt;
  return rePaPer{static_cast<std::uint8_t>(unit),
                 numbers[1],
                 numbers[2],
                 numbers[3],
                 numbers[4],
                 numbers[5],
                 numbers[6]};
}

}  // namespace

std::optional<std::wstring> PaperProblem(ClsPrint& component, const LibraryPaper& library) {
  if (!paper_store::IsStorableName(library.name)) {
    return std::wstring(L"the paper store cannot hold this name: ") + kStorableNameRule;
  }
  if (auto problem = ValueProblem(library.paper)) return problem;
  return GeometryProblem(component, library.paper);
}

std::optional<std::wstring> ValueProblem(const rePaPer& paper) {
  for (const NamedValue& value : Values(paper)) {
    const std::wstring name = value.name;
    if (!std::isfinite(value.value)) return L"the " + name + L" is not a finite number";
    if (value.value < 0) return L"the " + name + L" is negative (" + NumberText(value.value) + L")";
  }
  return std::nullopt;
}

std::optional<std::wstring> GeometryProblem(ClsPrint& component, const rePaPer& paper) {
  if (auto problem = ValueProblem(paper)) return problem;
  FormInfo form;
  try {
    form = FormForMeasures(L"", CentimetreMeasures(component, paper));
  } catch (const AutomationError&) {
    return std::wstring(L"a value is beyond the spooler's range (at most 214748 cm)");
  }
  if (form.cx <= 0 || form.cy <= 0) {
    return std::wstring(L"the width and the height must be above 0");
  }
  const bool inside = 0 <= form.left && form.left < form.right && form.right <= form.cx &&
                      0 <= form.top && form.top < form.bottom && form.bottom <= form.cy;
  if (inside) return std::nullopt;
  const auto cm = [](std::int32_t units) { return NumberText(SpoolerUnitsToCentimetres(units)); };
  return std::wstring(kPrintableAreaRule) + L" (here: left " + cm(form.left) + L", right " +
         cm(form.right) + L" of a width of " + cm(form.cx) + L"; top " + cm(form.top) +
         L", bottom " + cm(form.bottom) + L" of a height of " + cm(form.cy) + L" cm)";
}

FormInfo FormForMeasures(const std::wstring& name, const Measures& cm) {
  const double cx = cm.width * kSpoolerUnitsPerCentimetre;
  const double cy = cm.height * kSpoolerUnitsPerCentimetre;
  const double right = cm.right * kSpoolerUnitsPerCentimetre;
  const double bottom = cm.bottom * kSpoolerUnitsPerCentimetre;
  FormInfo form;
  form.flags = kUserForm;
  form.name = name;
  form.cx = RoundToSpoolerUnits(cx);
  form.cy = RoundToSpoolerUnits(cy);
  form.left = RoundToSpoolerUnits(cm.left * kSpoolerUnitsPerCentimetre);
  form.top = RoundToSpoolerUnits(cm.top * kSpoolerUnitsPerCentimetre);
  // Right and bottom 0 stand for the sheet's own edges, decided before rounding.
  form.right = RoundToSpoolerUnits(right == 0 ? cx : right);
  form.bottom = RoundToSpoolerUnits(bottom == 0 ? cy : bottom);
  return form;
}

Measures CentimetreMeasures(ClsPrint& component, const rePaPer& paper) {
  const auto cm = [&](double value) { return component.PaperCentimetres(paper.mMode, value); };
  return {false, cm(paper.W), cm(paper.H), cm(paper.L), cm(paper.R), cm(paper.T), cm(paper.B)};
}

StoredPaper ReadStoredPaper(ClsPrint& component, const std::wstring& listedName) {
  if (const auto paper = ReadInOne(component, paper_store::TrimBlanks(listedName))) {
    return {{listedName, *paper}, {}};
  }
  try {
    return {{listedName, component.IniReadValue(1, paper_store::TrimBlanks(listedName))}, {}};
  } catch (const AutomationError& error) {
    if (error.number() == kFileAccessError) throw;  // the whole store, not this paper
    return {{listedName, rePaPer{}},
            L"a stored value cannot be read (error " + std::to_wstring(error.number()) + L": " +
                error.description() +
                L"); correct it with paper-store or remove it with "
                L"paper-delete"};
  }
}

std::optional<std::wstring> ListedNameFor(ClsPrint& component, const std::wstring& name,
                                          const std::vector<std::wstring>& listed) {
  const std::wstring wanted = paper_store::TrimBlanks(name);
  const auto listedAs = [&listed](const std::wstring& trimmed) -> std::optional<std::wstring> {
    const auto found = std::find_if(listed.begin(), listed.end(), [&](const std::wstring& entry) {
      return !entry.empty() && paper_store::TrimBlanks(entry) == trimmed;
    });
    return found == listed.end() ? std::nullopt : std::optional<std::wstring>(*found);
  };
  if (auto exact = listedAs(wanted)) return exact;
  if (!paper_store::IsAddressableName(wanted)) return std::nullopt;
  // Each paper is listed as "name=name": the value the service reads for the wanted key is the
  // name of the entry it takes that key for.
  constexpr std::uint32_t kNameBufferChars = 32768;
  std::wstring value;
  component.platform().profile.GetString(paper_store::kListSection, wanted, L"", kNameBufferChars,
                                         value, paper_store::FilePath(component.platform().host));
  if (value.empty()) return std::nullopt;
  return listedAs(paper_store::TrimBlanks(value));
}

std::vector<StoredPaper> ReadListedPapers(ClsPrint& component) {
  // The whole store as one state of the file, and one lock instead of one a paper.
  const auto lock =
      component.platform().profile.LockFile(paper_store::FilePath(component.platform().host));
  std::vector<std::wstring> names;
  component.IniReadValue(0, std::wstring(), &names);
  std::vector<StoredPaper> papers;
  for (const std::wstring& name : names) {
    if (name.empty()) continue;  // an empty store lists one empty name
    papers.push_back(ReadStoredPaper(component, name));
  }
  return papers;
}

StoredPaperList StoredPapers(ClsPrint& component) {
  StoredPaperList list;
  for (StoredPaper& stored : ReadListedPapers(component)) {
    if (stored.problem) {
      list.unreadable.push_back(std::move(stored));
    } else {
      list.papers.push_back(std::move(stored.paper));
    }
  }
  return list;
}

std::wstring StoredPaperList::UnreadableReport() const {
  if (unreadable.empty()) return std::wstring();
  std::wstring report = L"some stored papers cannot be read:";
  for (const StoredPaper& stored : unreadable) {
    report += L"\n  \"" + stored.paper.name + L"\": " + *stored.problem;
  }
  return report;
}

namespace {

// Whether the paper stored under that name holds the same unit and values as the one given.
std::wstring StoredNote(ClsPrint& component, const LibraryPaper& paper,
                        const std::vector<std::wstring>& stored) {
  const std::optional<std::wstring> listed = ListedNameFor(component, paper.name, stored);
  const StoredPaper current = ReadStoredPaper(component, *listed);
  const bool same = !current.problem && current.paper.paper == paper.paper;
  return same ? L"the same" : L"differs; --replace replaces it";
}

// What AddToStore decided for one paper, before anything is written.
enum class Action { Keep, Replace, Add };

// Writes each paper with the component's own write, one change of the file per paper. Used
// where new papers of the same list may be taken for one by the profile service, which only
// the file can tell once the earlier one is in it.
struct WriteOutcome {
  std::vector<StoreResult> results;
  bool failed = false;
};
WriteOutcome AddOneByOne(ClsPrint& component, const std::vector<LibraryPaper>& papers, bool replace,
                         RepeatedName repeated, bool lockHeld) {
  std::vector<std::wstring> stored;
  component.IniReadValue(0, std::wstring(), &stored);
  std::vector<std::wstring> named;  // as listed: the stored papers this list has named so far
  std::vector<StoreResult> results;
  bool failed = !lockHeld;
  for (std::size_t i = 0; i < papers.size(); ++i) {
    const LibraryPaper& library = papers[i];
    const std::optional<std::wstring> listedAs = ListedNameFor(component, library.name, stored);
    if (listedAs && std::find(named.begin(), named.end(), *listedAs) != named.end()) {
      const std::wstring why =
          L"the name is listed twice (the paper store takes it for \"" + *listedAs + L"\")";
      if (repeated == RepeatedName::RefuseAll) {
        // The lock ends without its commit: nothing of this list is stored.
        throw BadArguments(
            L"the library file cannot be used, nothing was changed: some papers are not "
            L"valid:\n  paper " +
            std::to_wstring(i + 1) + L" (\"" + library.name + L"\"): " + why);
      }
      results.push_back({library.name, L"unchanged", why});
      continue;
    }
    named.push_back(listedAs.value_or(library.name));
    const bool exists = listedAs.has_value();
    if (exists && !replace) {
      results.push_back({library.name, L"unchanged", StoredNote(component, library, stored)});
      continue;
    }
    const rePaPer& p = library.paper;
    if (failed || !component.IniWriteValue(library.name, p.mMode, p.W, p.H, p.L, p.R, p.T, p.B)) {
      failed = true;
      results.push_back({library.name, L"failed", L"the paper store could not be written"});
      continue;
    }
    results.push_back({library.name, exists ? L"replaced" : L"added", L""});
    if (!exists) stored.push_back(library.name);
  }
  return {std::move(results), failed};
}

// Writes the new papers of one change: each section in one write (a section the file already
// holds under that name key by key, as the component writes it), the list section, when the
// file has none, in one write right after the first paper's section (where the component's
// first write would put it), otherwise one line a paper; most of it as one write of the file's
// text where no section of the file may be taken for a new one; then one check of the whole
// change. False when a paper cannot be written, a write failed or the change did not read back
// as meant (then with readBackProblem).
bool WriteNewPapers(ClsPrint& component, const std::vector<const LibraryPaper*>& papers,
                    std::wstring& readBackProblem) {
  if (papers.empty()) return true;
  ProfileFiles& profile = component.platform().profile;
  const std::wstring path = paper_store::FilePath(component.platform().host);
  const paper_store::StoreShape before = paper_store::ReadShape(profile, path);
  std::vector<std::wstring> sectionKeys;
  for (const std::wstring& section : before.sections) {
    sectionKeys.push_back(paper_store::MaybeSameKey(section));
  }
  std::sort(sectionKeys.begin(), sectionKeys.end());
  std::vector<paper_store::WrittenPaper> written;
  bool noneMayBeHeld = true;
  std::wstring allNames;  // every new name, for one question whether the file can hold them
  for (const LibraryPaper* library : papers) {
    if (!paper_store::IsStorableName(library->name)) return false;
    const rePaPer& p = library->paper;
    auto keys = paper_store::PaperKeys(p.mMode, {p.W, p.H, p.L, p.R, p.T, p.B});
    if (!keys) return false;
    // Asked only where the file holds a section the service may take for this one.
    const bool mayBeHeld = std::binary_search(sectionKeys.begin(), sectionKeys.end(),
                                              paper_store::MaybeSameKey(library->name));
    const bool sectionHeld =
        mayBeHeld && !paper_store::ReadKeyList(profile, library->name, path).empty();
    noneMayBeHeld = noneMayBeHeld && !mayBeHeld;
    allNames += library->name;
    written.push_back({library->name, std::move(*keys), !sectionHeld});
  }
  const bool listHeld =
      std::any_of(before.sections.begin(), before.sections.end(), [](const std::wstring& s) {
        return paper_store::SameProfileName(s, paper_store::kListSection);
      });
  const bool byText = noneMayBeHeld && profile.HoldsText(allNames, path);
  if (!paper_store::WriteNewSections(profile, path, written, listHeld, byText)) return false;
  if (paper_store::WritesCameOut(profile, path, before, written)) return true;
  readBackProblem = L"what was written did not read back as written";
  return false;
}

// Writes stored papers' values in place, as the component writes them key by key. The first
// two go through the component; where the file's text, written in place for the second as
// ProfileText writes it, is what the component's writes made of it, the others that the text
// can tell are written as one text write and checked once, the rest through the component.
// False when a write failed or did not read back as meant (then with readBackProblem).
bool ReplaceStoredPapers(ClsPrint& component, const std::vector<const LibraryPaper*>& papers,
                         std::wstring& readBackProblem) {
  ProfileFiles& profile = component.platform().profile;
  const std::wstring path = paper_store::FilePath(component.platform().host);
  const auto byComponent = [&component](const LibraryPaper& library) {
    const rePaPer& p = library.paper;
    return component.IniWriteValue(library.name, p.mMode, p.W, p.H, p.L, p.R, p.T, p.B);
  };
  const auto replacedPaper = [](const LibraryPaper& library) {
    const rePaPer& p = library.paper;
    std::optional<paper_store::ReplacedPaper> paper;
    if (!paper_store::IsStorableName(library.name)) return paper;
    auto keys = paper_store::PaperKeys(p.mMode, {p.W, p.H, p.L, p.R, p.T, p.B});
    if (keys) paper = paper_store::ReplacedPaper{library.name, std::move(*keys)};
    return paper;
  };
  std::size_t done = 0;
  if (papers.size() >= 3) {
    if (!byComponent(*papers[0])) return false;
    const auto first = profile.ReadText(path);
    if (!byComponent(*papers[1])) return false;
    done = 2;
    const auto second = profile.ReadText(path);
    auto model = first ? paper_store::ProfileText::Parse(*first) : std::nullopt;
    const auto probe = replacedPaper(*papers[1]);
    if (second && model && probe && model->Replace(*probe) && model->Text() == *second) {
      model = paper_store::ProfileText::Parse(*second);
      const paper_store::StoreShape before = paper_store::ReadShape(profile, path);
      std::vector<paper_store::WrittenPaper> written;
      std::vector<const LibraryPaper*> left;
      for (std::size_t i = done; i < papers.size(); ++i) {
        const auto paper = replacedPaper(*papers[i]);
        if (paper && model && model->Replace(*paper)) {
          written.push_back({paper->name, paper->keys, false});
        } else {
          left.push_back(papers[i]);
        }
      }
      if (!written.empty()) {
        if (!profile.RewriteText(model->Text(), path)) return false;
        if (!paper_store::ReplacesCameOut(profile, path, before, written)) {
          readBackProblem = L"what was written did not read back as written";
          return false;
        }
      }
      return std::all_of(left.begin(), left.end(),
                         [&](const LibraryPaper* library) { return byComponent(*library); });
    }
  }
  for (; done < papers.size(); ++done) {
    if (!byComponent(*papers[done])) return false;
  }
  return true;
}

}  // namespace

std::vector<StoreResult> AddToStore(ClsPrint& component, const std::vector<LibraryPaper>& papers,
                                    bool replace, RepeatedName repeated) {
  // One change: every paper is stored, or none.
  ProfileFiles& profile = component.platform().profile;
  const auto lock = profile.LockFile(paper_store::FilePath(component.platform().host));
  std::vector<std::wstring> stored;
  component.IniReadValue(0, std::wstring(), &stored);
  // First what becomes of each paper, nothing written: names match those stored before the
  // change as the service matches them, and new names of this list one another as one of them
  // already in the file would, which only the service can tell where their keys agree.
  std::vector<std::wstring> named;  // as listed: the stored papers this list has named so far
  std::vector<std::wstring> newKeys;
  std::vector<StoreResult> results;
  std::vector<Action> actions;
  bool oneByOne = false;
  for (std::size_t i = 0; i < papers.size() && !oneByOne; ++i) {
    const LibraryPaper& library = papers[i];
    const std::optional<std::wstring> listedAs = ListedNameFor(component, library.name, stored);
    if (!listedAs) {
      std::wstring key = paper_store::MaybeSameKey(library.name);
      if (std::find(newKeys.begin(), newKeys.end(), key) != newKeys.end()) {
        oneByOne = true;
        break;
      }
      newKeys.push_back(std::move(key));
    }
    if (listedAs && std::find(named.begin(), named.end(), *listedAs) != named.end()) {
      const std::wstring why =
          L"the name is listed twice (the paper store takes it for \"" + *listedAs + L"\")";
      if (repeated == RepeatedName::RefuseAll) {
        // The lock ends without its commit: nothing of this list is stored.
        throw BadArguments(
            L"the library file cannot be used, nothing was changed: some papers are not "
            L"valid:\n  paper " +
            std::to_wstring(i + 1) + L" (\"" + library.name + L"\"): " + why);
      }
      results.push_back({library.name, L"unchanged", why});
      actions.push_back(Action::Keep);
      continue;
    }
    named.push_back(listedAs.value_or(library.name));
    const bool exists = listedAs.has_value();
    if (exists && !replace) {
      results.push_back({library.name, L"unchanged", StoredNote(component, library, stored)});
      actions.push_back(Action::Keep);
      continue;
    }
    results.push_back({library.name, exists ? L"replaced" : L"added", L""});
    actions.push_back(exists ? Action::Replace : Action::Add);
  }
  bool failed = !lock;
  std::wstring unreadBack;
  if (oneByOne) {
    WriteOutcome outcome = AddOneByOne(component, papers, replace, repeated, lock != nullptr);
    results = std::move(outcome.results);
    failed = outcome.failed;
  } else {
    // Stored papers are written in place; then the new ones at the end of the file, in order,
    // as the component's writes one after another would leave them.
    std::vector<const LibraryPaper*> added;
    std::vector<const LibraryPaper*> replaced;
    for (std::size_t i = 0; i < papers.size(); ++i) {
      if (actions[i] == Action::Add) added.push_back(&papers[i]);
      if (actions[i] == Action::Replace) replaced.push_back(&papers[i]);
    }
    failed = failed || !ReplaceStoredPapers(component, replaced, unreadBack) ||
             !WriteNewPapers(component, added, unreadBack);
  }
  if (!failed && lock->Commit()) return results;
  std::wstring problem = lock && !lock->Problem().empty() ? lock->Problem() : unreadBack;
  const std::wstring why = problem.empty() ? L"" : L": " + problem;
  for (StoreResult& result : results) {
    if (result.status == L"unchanged") continue;
    result.status = L"failed";
    result.note = L"the paper store could not be written, nothing was stored" + why;
  }
  return results;
}

}  // namespace sheetlore::cli
