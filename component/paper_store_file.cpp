#include "component/paper_store_file.h"

#include <algorithm>
#include <cstdint>
#include <random>

namespace sheetlore::paper_store {
namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool HasLoneSurrogate(std::wstring_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (IsHighSurrogate(c)) {
      if (i + 1 >= text.size() || !IsLowSurrogate(text[i + 1])) return true;
      ++i;  // the pair's second half
    } else if (IsLowSurrogate(c)) {
      return true;
    }
  }
  return false;
}

bool IsQuote(wchar_t c) { return c == L'"' || c == L'\''; }

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 0x20) : c; }

// Whether a profile service that ignores letter case could take a and b for one name: the
// same length, and at each place the same character, the same ASCII letter, or two
// characters outside ASCII that could be case variants (neither of a caseless script). The
// service itself decides.
bool MayBeOneName(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return FoldAscii(x) == FoldAscii(y) ||
           (x >= 0x80 && y >= 0x80 && !IsCaseless(x) && !IsCaseless(y));
  });
}

const std::wstring kProbeKey = L"Sheetlore.SectionProbe";

// A text no earlier probe left behind.
std::wstring ProbeToken() {
  std::random_device random;
  return std::to_wstring(random()) + L"." + std::to_wstring(random());
}

}  // namespace

bool IsCaseless(wchar_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
         (c >= 0xF900 && c <= 0xFAFF);
}

Location FileLocation(Host& host) {
  const std::wstring setting = TrimBlanks(host.StoreFileSetting());
  if (setting.empty()) return {host.ComponentDirectory() + L"\\" + kFileName, false};
  const bool fullPath =
      setting.starts_with(L"\\\\") ||
      (setting.size() >= 3 && setting[1] == L':' && (setting[2] == L'\\' || setting[2] == L'/'));
  if (fullPath) return {setting, true};
  return {host.ComponentDirectory() + L"\\" + setting, true};
}

std::wstring FilePath(Host& host) { return FileLocation(host).path; }

std::wstring TrimBlanks(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return std::wstring();
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

bool IsStorableName(std::wstring_view name) {
  if (name.empty() || name.front() == L' ' || name.back() == L' ') return false;
  if (SameProfileName(name, kListSection)) return false;
  const bool hasForbidden = std::any_of(name.begin(), name.end(), [](wchar_t c) {
    return c < 0x20 || c == L'[' || c == L']' || c == L'=';
  });
  if (hasForbidden) return false;
  if (name.front() == L';') return false;
  if (name.size() >= 2 && IsQuote(name.front()) && name.back() == name.front()) return false;
  return !HasLoneSurrogate(name);
}

bool SameProfileName(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

bool IsAddressableName(std::wstring_view name) {
  if (name.empty() || SameProfileName(name, kListSection)) return false;
  if (std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x20; })) return false;
  return !HasLoneSurrogate(name);
}

bool SectionEntries::MayName(const std::wstring& entry, const std::wstring& name) const {
  if (std::find(same.begin(), same.end(), entry) != same.end()) return true;
  if (std::find(other.begin(), other.end(), entry) != other.end()) return false;
  return MayBeOneName(entry, name);
}

std::optional<SectionEntries> EntriesOfSection(ProfileFiles& profile, const std::wstring& path,
                                               const std::wstring& name,
                                               const std::vector<std::wstring>& listed) {
  SectionEntries entries;
  std::vector<std::wstring> near;
  for (const std::wstring& entry : listed) {
    if (entry == name) {
      entries.same.push_back(entry);
    } else if (MayBeOneName(entry, name)) {
      near.push_back(entry);
    }
  }
  if (near.empty()) return entries;

  // A mark written to the paper's section is seen through a near name exactly when the
  // service takes that name for the same section. The mark goes again before the answer is
  // used.
  const std::wstring token = ProbeToken();
  if (!profile.WriteString(name, kProbeKey, token, path)) return std::nullopt;
  // A read that fails answers nothing, not even the default: the question stays open.
  const std::wstring absent = L"-";
  bool answered = true;
  for (const std::wstring& entry : near) {
    std::wstring seen;
    profile.GetString(entry, kProbeKey, absent, 64, seen, path);
    if (seen == token) {
      entries.same.push_back(entry);
    } else if (seen == absent) {
      entries.other.push_back(entry);
    } else {
      answered = false;
    }
  }
  const bool removed = profile.WriteString(name, kProbeKey, std::nullopt, path);
  if (!answered || !removed) return std::nullopt;
  return entries;
}

}  // namespace sheetlore::paper_store
