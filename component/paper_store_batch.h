#pragma once
// Many new papers written in one change of the store's file in a few writes. The profile
// service rewrites the whole file on every write, so one write a paper costs time that grows
// with the square of their number. The first papers go through the service; what those writes
// did to the file's text shows how the service lays out a section it adds at the end and a
// line it adds to the list, and the other papers are laid out the same way and written into
// the lock's copy as text, in one write. Whatever the service did otherwise (rewrote other
// lines, used another line end) leaves the rest to the service, paper by paper.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "component/paper_store_check.h"
#include "platform/platform.h"

namespace sheetlore::paper_store {

// A key that two names share whenever some profile service may take them for one: letters
// without case (digits, signs, CJK ideographs, kana, Hangul) as they are, ASCII letters and the
// few other letters whose case pairs with an ASCII letter folded to that letter, and every
// other letter as one placeholder. Names with different keys are never taken for one.
std::wstring MaybeSameKey(const std::wstring& name);

// A section as the profile service writes one: its heading and its key=value lines, each
// ended by CR LF.
std::wstring SectionText(const std::wstring& name, const ProfileFiles::KeyValues& keys);

// What one write put into a text: where, and what, when it added text there and changed
// nothing else.
struct Insertion {
  std::size_t at = 0;
  std::wstring text;
};
std::optional<Insertion> InsertionBetween(const std::wstring& before, const std::wstring& after);

// Writes the papers (none of them in the file before, as the caller has made sure) and their
// lines in the list section, which listHeld tells whether the file has: each paper's section
// at the end of the file in order, and the list section, where the file has none, right after
// the first paper's (where the component's first write would put it). With byText, and
// enough papers for it to pay, most of it as one text write: the file's bytes are those the
// service's writes one after another would leave. False when a write failed.
bool WriteNewSections(ProfileFiles& profile, const std::wstring& path,
                      const std::vector<WrittenPaper>& papers, bool listHeld, bool byText);

}  // namespace sheetlore::paper_store
