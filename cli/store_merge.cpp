#include "cli/store_merge.h"

#include <algorithm>

#include "cli/paper_library.h"
#include "component/paper_store_file.h"

namespace sheetlore::cli {
namespace {

std::vector<std::wstring> ListedNames(ClsPrint& store) {
  std::vector<std::wstring> names;
  store.IniReadValue(0, std::wstring(), &names);
  std::erase_if(names, [](const std::wstring& name) { return name.empty(); });
  return names;
}

// The paper the target holds under name (as the profile service matches names), if any.
std::optional<rePaPer> Held(ClsPrint& target, const std::wstring& name) {
  const std::optional<std::wstring> listed = ListedNameFor(target, name, ListedNames(target));
  if (!listed) return std::nullopt;
  return target.IniReadValue(1, paper_store::TrimBlanks(*listed));
}

// Whether a file name is name, letter case aside (the file system's rule for ASCII names).
bool IsFileNamed(const std::wstring& file, const std::wstring& name) {
  const auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; };
  return std::equal(file.begin(), file.end(), name.begin(), name.end(),
                    [&fold](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
}

bool Write(ClsPrint& target, const std::wstring& name, const rePaPer& paper) {
  return target.IniWriteValue(name, paper.mMode, paper.W, paper.H, paper.L, paper.R, paper.T,
                              paper.B);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

void MergeStore(ClsPrint& target, ClsPrint& source, const std::wstring& label,
                MergeReport& report) {
  for (const std::wstring& listed : ListedNames(source)) {
    const std::wstring name = paper_store::TrimBlanks(listed);
    const rePaPer paper = source.IniReadValue(1, name);
    const std::optional<rePaPer> held = Held(target, name);
    if (held && *held == paper) {
      ++report.alike;
      continue;
    }
    std::wstring storedAs = name;
    if (held) {
      // The first suffixed name that is free, or that already holds this very paper (a merge
      // run again).
      for (int n = 1;; ++n) {
        storedAs = name + L" (" + label + (n == 1 ? L"" : L" " + std::to_wstring(n)) + L")";
        const std::optional<rePaPer> other = Held(target, storedAs);
        if (!other || *other == paper) break;
      }
      if (Held(target, storedAs)) {
        ++report.alike;
        continue;
      }
    }
    if (!Write(target, storedAs, paper)) {
      report.complete = false;
      report.notes.push_back(Quoted(name) + L" of the " + label +
                             L" store could not be stored; its store is kept as it is");
      continue;
    }
    if (held) {
      ++report.keptBoth;
      report.notes.push_back(Quoted(name) + L": the " + label +
                             L" store's version differs from the one kept under that name; "
                             L"it is kept as " +
                             Quoted(storedAs));
    } else {
      ++report.added;
    }
  }
}

std::wstring SourceLabel(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  const std::wstring file = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const auto dot = file.find_last_of(L'.');
  const std::wstring stem = dot == std::wstring::npos ? file : file.substr(0, dot);
  if (!IsFileNamed(file, paper_store::kFileName) || slash == std::wstring::npos || slash == 0) {
    return stem;
  }
  const std::wstring folder = path.substr(0, slash);
  const auto folderSlash = folder.find_last_of(L"\\/");
  return folderSlash == std::wstring::npos ? folder : folder.substr(folderSlash + 1);
}

}  // namespace sheetlore::cli
