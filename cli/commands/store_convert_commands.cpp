// sheetlore store-convert --codepage N [--dry-run]: a paper store of ANSI text (a file
// without a byte-order mark, such as one saved as UTF-8 by an editor) made a UTF-16 file,
// its text read in the code page the administrator names. The profile service reads such a
// file in the system's code page, where the names may not read as they were meant and no
// write is taken; as UTF-16 every name reads as written and every later name can be stored.
#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/paper_library.h"
#include "component/paper_store_check.h"
#include "component/paper_store_file.h"

namespace sheetlore::cli {
namespace {

using Reading = ProfileFiles::CodePageReading;

std::uint32_t CodePageArgument(const ParsedArguments& arguments) {
  const std::wstring text = arguments.Value(L"codepage").value_or(L"");
  const bool digits = !text.empty() && text.size() <= 5 &&
                      std::all_of(text.begin(), text.end(), [](wchar_t c) { return iswdigit(c); });
  if (!digits) throw BadArguments(L"--codepage needs the number of a code page, such as 65001");
  return static_cast<std::uint32_t>(std::stoul(text));
}

CommandOutcome ConvertStore(ClsPrint& component, const ParsedArguments& arguments) {
  const std::uint32_t codePage = CodePageArgument(arguments);
  const bool dryRun = arguments.Has(L"dry-run");
  ProfileFiles& profile = component.platform().profile;
  const std::wstring path = paper_store::FilePath(component.platform().host);
  // One change: the file is converted whole, or left as it was.
  const auto lock = profile.LockFile(path);
  if (!lock) {
    throw Refused(L"the paper store could not be locked: " + path +
                  L" (another program held it too long; nothing was changed, try again)");
  }
  const ProfileFiles::CodePageText read = profile.ReadInCodePage(path, codePage);
  const std::wstring number = std::to_wstring(codePage);
  Table table({{L"Paper", L"paper"}, {L"Status", L"status"}});
  switch (read.reading) {
    case Reading::Read:
      break;
    case Reading::NoFile:
      throw NotFound(L"there is no paper store to convert: " + path);
    case Reading::Unicode: {
      for (const LibraryPaper& paper : StoredPapers(component).papers) {
        table.AddRow({Text(paper.name), Text(L"unchanged")});
      }
      CommandOutcome outcome(std::move(table));
      outcome.message = L"the paper store is a Unicode file already; nothing was changed: " + path;
      return outcome;
    }
    case Reading::NotText:
      throw BadArguments(L"the paper store is not text of code page " + number +
                         L" (or cannot be read); nothing was changed: " + path);
    case Reading::NoCodePage:
      throw BadArguments(L"this system has no code page " + number);
  }
  // The list as the service reads it now (its names may read wrongly, but not their number).
  const std::size_t listedBefore =
      paper_store::ReadKeyList(profile, paper_store::kListSection, path).size();
  if (!profile.RewriteAsUnicode(read.text, path)) {
    throw Refused(L"the paper store could not be written: " + path + L" (" + lock->Problem() +
                  L"; nothing was changed)");
  }
  // Read back through the profile service, as every program will read it.
  const StoredPaperList stored = StoredPapers(component);
  if (stored.papers.size() + stored.unreadable.size() != listedBefore) {
    throw Refused(L"the converted store does not list the " + std::to_wstring(listedBefore) +
                  L" papers the file lists; nothing was changed: " + path);
  }
  const std::wstring status = dryRun ? L"would convert" : L"converted";
  for (const LibraryPaper& paper : stored.papers) table.AddRow({Text(paper.name), Text(status)});
  for (const StoredPaper& paper : stored.unreadable) {
    table.AddRow({Text(paper.paper.name), Text(status)});
  }
  // A dry run ends without its commit: the lock undoes the rewrite.
  if (!dryRun && !lock->Commit()) {
    throw Refused(L"the paper store could not be written: " + path + L" (" + lock->Problem() +
                  L"; nothing was changed)");
  }
  CommandOutcome outcome(std::move(table));
  if (!stored.unreadable.empty()) outcome.message = stored.UnreadableReport();
  return outcome;
}

}  // namespace

std::vector<Command> StoreConvertCommands() {
  return {
      {L"store-convert",
       L"--codepage N [--dry-run]",
       L"make an ANSI paper store a UTF-16 file",
       L"Reads the paper store, a file of ANSI text (no byte-order mark), in code page N\n"
       L"(65001 for UTF-8, 1252 Western, 950 Traditional Chinese, ...) and writes it again as\n"
       L"a UTF-16 file, keeping every paper, so that every name reads as written whatever the\n"
       L"system's code page. Lists the papers by their names as they will read.\n"
       L"  --codepage N   the code page the file was written in\n"
       L"  --dry-run      change nothing; list the names as they would read\n",
       {{L"codepage", true}, {L"dry-run", false}},
       0,
       0,
       ConvertStore},
  };
}

}  // namespace sheetlore::cli
