#pragma once
// The store's file as lines of text, where stored papers' values are written in place as the
// profile service writes them key by key: the line of each key keeps its place and its key's
// spelling and takes the new value, and every other line (comments, keys the store does not
// know, lines without "=") stays as it is. Only what the text alone can tell for every profile
// service is written: a paper whose section or keys the service might find elsewhere is left
// to the service.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"

namespace sheetlore::paper_store {

// A stored paper's new values.
struct ReplacedPaper {
  std::wstring name;             // as the component is given it: section, list key and value
  ProfileFiles::KeyValues keys;  // every one of them already in the paper's section
};

class ProfileText {
 public:
  // Nothing for a text whose lines are not all ended by CR LF, or with a heading not of the
  // form "[name]".
  static std::optional<ProfileText> Parse(const std::wstring& text);

  // Writes the paper's values, and its list line's value, into their lines. False, with
  // nothing changed, where the text cannot tell which lines the service would write: the
  // section or the list line missing or not the only one the service may take for the name,
  // a key missing, repeated, or on a line of another form than "key=value".
  bool Replace(const ReplacedPaper& paper);

  std::wstring Text() const;

 private:
  struct Section {
    std::wstring name;
    std::size_t heading;  // its heading's line
    std::size_t end;      // the line after its last
  };
  // The line of the section that holds key, as "key=value" with no blanks; nothing where
  // another line of the section may hold it too, or none does.
  std::optional<std::size_t> KeyLine(const Section& section, const std::wstring& key) const;
  // The one section the service may take for name and that every service takes for it.
  std::optional<std::size_t> SectionFor(const std::wstring& name) const;

  std::vector<std::wstring> lines_;
  std::vector<Section> sections_;
  std::unordered_map<std::wstring, std::vector<std::size_t>> sectionsByKey_;  // MaybeSameKey
  std::unordered_map<std::wstring, std::vector<std::size_t>> listLinesByKey_;
};

}  // namespace sheetlore::paper_store
