// paper-export, paper-import and capture: paper libraries moved between paper stores and taken
// from a printer's forms.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/paper_library.h"
#include "cli/text_encoding.h"
#include "cli_fixture.h"
#include "tests/contract/backends.h"

namespace sheetlore::cli {
namespace {

std::string Library(const std::string& papers) {
  return R"({"format": "sheetlore-paper-library", "version": 1, "papers": [)" + papers + "]}";
}

class PaperLibraryTest : public CliTest {
 protected:
  void Store(const std::wstring& name, std::uint8_t unit, double w, double h, double l = 0,
             double r = 0, double t = 0, double b = 0) {
    ASSERT_TRUE(component_.IniWriteValue(name, unit, w, h, l, r, t, b));
  }

  // The store's text, or no store at all.
  void SetStore(const std::optional<std::wstring>& text) {
    if (text) {
      sim_.SetFileText(kStore, *text);
    } else {
      sim_.RemoveFile(kStore);
    }
  }

  // Runs the command from the store text start with one write cut short and answered as a
  // success: after each count of whole writes below writes, at every step-th character and at
  // each of the last twelve. Each run must end refused with the store as it was, or stored as
  // whole leaves it (at most its last line break missing: every value still reads as written).
  // Answers how many runs were refused.
  std::size_t RefusedCuts(const std::vector<std::wstring>& command, const std::wstring& start,
                          const std::wstring& whole, std::size_t writes, std::size_t step) {
    sim_.SetFileText(kStore, start);
    const std::wstring before = sim_.FileText(kStore);
    std::size_t refused = 0;
    for (std::size_t writesBefore = 0; writesBefore < writes; ++writesBefore) {
      for (std::size_t keep = 0; keep < whole.size(); keep += keep + 12 < whole.size() ? step : 1) {
        SCOPED_TRACE(std::to_string(writesBefore) + " writes, then " + std::to_string(keep));
        sim_.SetFileText(kStore, start);
        sim_.CutNextWrite(keep, writesBefore);
        const int code = Run(command).exitCode;
        const std::wstring text = sim_.FileText(kStore);
        if (code == 0) {
          EXPECT_TRUE(whole.starts_with(text) &&
                      whole.find_first_not_of(L"\r\n", text.size()) == std::wstring::npos)
              << testing::PrintToString(text);
        } else {
          ++refused;
          EXPECT_EQ(code, Status(ExitCode::Refused));
          EXPECT_EQ(text, before);
        }
      }
    }
    return refused;
  }
};

TEST_F(PaperLibraryTest, ExportThenImportIntoAnEmptyStoreGivesTheSameStoreAndFile) {
  Store(L"A5X", 0, 14.8, 21);
  Store(L"Half letter", 1, 5.5, 8.5, 0.25, 5.25, 0.5, 8);
  Store(L"標籤 2", 0, 1.0 / 3, 123456.789012345, 0.00001, 0, 2.00005, 0);
  Store(L"Code seven", 7, 10, 20);  // a unit code of its own, which counts as centimetres
  const std::wstring storeBefore = sim_.FileText(kStore);
  RunResult result = Run({L"paper-export", PathOf("library.json"), L"--csv"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            L"\uFEFFpaper,status\nA5X,exported\nHalf letter,exported\n標籤 2,exported\n"
            L"Code seven,exported\n");
  const std::string exported = ReadFile("library.json");
  EXPECT_NE(exported.find(R"("name": "A5X",
      "unit": "cm",
      "width": 14.8,
      "height": 21,)"),
            std::string::npos)
      << exported;
  EXPECT_NE(exported.find(R"("unit": "in")"), std::string::npos);
  EXPECT_NE(exported.find(R"("unit": 7)"), std::string::npos);
  sim_.RemoveFile(kStore);
  result = Run({L"paper-import", PathOf("library.json"), L"--csv"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            L"\uFEFFpaper,status,note\nA5X,added,\nHalf letter,added,\n標籤 2,added,\nCode "
            L"seven,added,\n");
  EXPECT_EQ(sim_.FileText(kStore), storeBefore);
  // The same file as PowerShell's redirection writes it: UTF-16 with a byte-order mark.
  WriteFile("utf16.json", contract::Utf16File(FromUtf8(exported).value()));
  sim_.RemoveFile(kStore);
  ASSERT_EQ(Run({L"paper-import", PathOf("utf16.json")}).exitCode, 0);
  EXPECT_EQ(sim_.FileText(kStore), storeBefore);
}

TEST_F(PaperLibraryTest, AnyInvalidEntryRefusesTheWholeImportOrExportAndNamesIt) {
  Store(L"Kept", 0, 10, 20);
  const std::wstring storeBefore = sim_.FileText(kStore);
  const std::string good = R"({"name": "Fine", "unit": "cm", "width": 10, "height": 20})";
  const struct {
    std::string file;
    std::wstring reason;
  } cases[] = {
      {"{\"format\": \"sheetlore-paper-library\", \"version\": 1, \"papers\": [" + good,
       L"not JSON: parse error at line 1"},
      {R"({"format": "sheetlore-paper-library", "version": 2, "papers": []})",
       L"format version 2 is not one this program reads"},
      {R"({"version": 1, "papers": []})", L"not a paper library"},
      {Library(good + R"(, {"name": "Tab[1]", "unit": "cm", "width": 1, "height": 1})"),
       L"paper 2 (\"Tab[1]\"): the paper store cannot hold this name"},
      {Library(good + R"(, {"name": "Wide", "unit": "cm", "width": 1e999, "height": 1})"),
       L"number overflow"},
      {Library(R"({"name": "Neg", "unit": "in", "width": 8.5, "height": 11, "top": -0.5}, )" +
               good),
       L"paper 1 (\"Neg\"): the top is negative (-0.5)"},
      {Library(good + R"(, {"name": "Flat", "unit": "cm", "width": 10, "height": 0})"),
       L"paper 2 (\"Flat\"): the width and the height must be above 0"},
      {Library(good + R"(, {"name": "Huge", "unit": "cm", "width": 300000, "height": 1})"),
       L"paper 2 (\"Huge\"): a value is beyond the spooler's range"},
      {Library(good + R"(, {"name": "Text", "unit": "cm", "width": "10", "height": 1})"),
       L"paper 2 (\"Text\"): the width is not a number"},
      {Library(good + R"(, {"name": "Typo", "unit": "cm", "width": 1, "height": 1, "rigth": 1})"),
       L"paper 2: unknown member \"rigth\""},
      {Library(good + R"(, {"name": "Furlong", "unit": "mm", "width": 1, "height": 1})"),
       L"paper 2 (\"Furlong\"): the unit must be \"cm\" or \"in\""},
      {Library(good + R"(, {"name": "Wrap", "unit": 4294967296, "width": 1, "height": 1})"),
       L"paper 2 (\"Wrap\"): the unit must be"},
      {Library(good + R"(, {"name": "fine", "unit": "cm", "width": 1, "height": 1})"),
       L"paper 2 (\"fine\"): the name is listed twice"},
      // Right and bottom are edge positions: a right edge left of the left one, an area past the
      // sheet, and an area of no width are refused as form-add and paper-store refuse them.
      {Library(good + R"(, {"name": "X", "unit": "cm", "width": 10, "height": 5, "left": 5,
                            "right": 2})"),
       L"paper 2 (\"X\"): the printable area must lie inside the sheet"},
      {Library(good + R"(, {"name": "X", "unit": "in", "width": 4, "height": 6, "bottom": 6.5})"),
       L"(here: left 0, right 10.16 of a width of 10.16; top 0, bottom 16.51 of a height of "
       L"15.24 cm)"},
      {Library(good + R"(, {"name": "X", "unit": "cm", "width": 10, "height": 5, "left": 10})"),
       L"paper 2 (\"X\"): the printable area must lie inside the sheet"},
      // Windows PowerShell 5.1's Set-Content writes the ANSI code page (here "Café" in 1252).
      {Library("{\"name\": \"Caf\xE9\", \"unit\": \"cm\", \"width\": 10, \"height\": 20}"),
       L"the file is not UTF-8 or UTF-16 text (it may have been saved in an ANSI code page). "
       L"Save it as UTF-8"},
  };
  for (const auto& c : cases) {
    WriteFile("bad.json", c.file);
    const RunResult result = Run({L"paper-import", PathOf("bad.json"), L"--replace"});
    EXPECT_EQ(result.exitCode, Status(ExitCode::BadArguments)) << c.file;
    EXPECT_NE(result.err.find(L"nothing was changed"), std::wstring::npos) << result.err;
    EXPECT_NE(result.err.find(c.reason), std::wstring::npos) << result.err;
    EXPECT_EQ(sim_.FileText(kStore), storeBefore) << c.file;
  }
  EXPECT_EQ(Run({L"paper-import", PathOf("absent.json")}).exitCode, Status(ExitCode::NotFound));
  // Export refuses a store holding a paper that could not be imported.
  Store(L"Backwards", 0, -10, 20);
  const RunResult result = Run({L"paper-export", PathOf("library.json")});
  EXPECT_EQ(result.exitCode, Status(ExitCode::BadArguments));
  EXPECT_NE(result.err.find(L"\"Backwards\": the width is negative (-10)"), std::wstring::npos)
      << result.err;
  EXPECT_FALSE(std::filesystem::exists(PathOf("library.json")));
}

// Two names of one file that the profile service takes for one paper: the whole file is
// refused, by the service's rule (here one that ignores the case of every letter, as Windows'
// may), not by a rule of the tool's own.
TEST_F(PaperLibraryTest, NamesTheProfileServiceTakesForOneRefuseTheWholeImport) {
  sim_.SetProfileFoldsEveryLetter();
  Store(L"Kept", 0, 10, 20);
  const std::wstring before = sim_.FileText(kStore);
  WriteFile("twice.json", Library(R"({"name": "New", "unit": "cm", "width": 1, "height": 2},
                       {"name": "\u00c95", "unit": "cm", "width": 1, "height": 2},
                       {"name": "\u00e95", "unit": "cm", "width": 3, "height": 4})"));
  for (const wchar_t* replace : {L"--replace", L"--csv"}) {
    const RunResult result = Run({L"paper-import", PathOf("twice.json"), replace});
    EXPECT_EQ(result.exitCode, Status(ExitCode::BadArguments)) << result.out;
    EXPECT_NE(result.err.find(L"paper 3 (\"é5\"): the name is listed twice"), std::wstring::npos)
        << result.err;
    EXPECT_EQ(sim_.FileText(kStore), before);
  }
}

// The tool reads each paper's section once; whatever a hand left in it, every paper reads as
// the component's seven reads read it, and one those reads refuse is named as unreadable.
TEST_F(PaperLibraryTest, OneReadOfEachSectionReadsAsTheComponentsSevenReads) {
  sim_.SetFileText(kStore,
                   L"[PrintMain]\r\nQ=Q\r\nDup=Dup\r\nGap=Gap\r\nBare=Bare\r\nBig=Big\r\n"
                   L"None=None\r\n[Q]\r\nmMode=\"1\"\r\nW=' 8.5'\r\nH= 11 \r\n"
                   L"[Dup]\r\n; W=9\r\nw=3\r\nW=4\r\nh=5x\r\nmmode=1.5\r\n[Gap]\r\nH=2\r\n"
                   L"[Bare]\r\nW\r\nH=3\r\n[Big]\r\nmMode=300\r\nW=1\r\n");
  sim_.ClearCalls();
  const StoredPaperList stored = StoredPapers(component_);
  // Dup, Gap and None (no section) in one read each; the others as the component reads them.
  EXPECT_EQ(sim_.CountCalls(sim::Api::GetPrivateProfileSection), 6u);
  ASSERT_EQ(stored.papers.size(), 5u);
  for (const LibraryPaper& paper : stored.papers) {
    SCOPED_TRACE(testing::PrintToString(paper.name));
    EXPECT_EQ(paper.paper, component_.IniReadValue(1, paper.name));
  }
  EXPECT_EQ(stored.papers[1].paper, (rePaPer{2, 3, 5, 0, 0, 0, 0}));
  ASSERT_EQ(stored.unreadable.size(), 1u);
  EXPECT_EQ(stored.unreadable[0].paper.name, L"Big");
  EXPECT_THROW(component_.IniReadValue(1, L"Big"), AutomationError);
}

TEST_F(PaperLibraryTest, StoredNamesAreKeptUnlessReplacedAndAStoreThatCannotBeWrittenRefuses) {
  Store(L"A5X", 0, 14.8, 21);
  WriteFile("library.json", Library(R"({"name": "a5x", "unit": "cm", "width": 10, "height": 20},
                       {"name": "Card", "unit": "in", "width": 3, "height": 5})"));
  RunResult result = Run({L"paper-import", PathOf("library.json"), L"--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find(L"\"paper\": \"a5x\",\n    \"status\": \"unchanged\",\n    \"note\": "
                            L"\"differs; --replace replaces it\""),
            std::wstring::npos)
      << result.out;
  EXPECT_EQ(component_.IniReadValue(1, L"A5X").W, 14.8);
  EXPECT_EQ(component_.IniReadValue(1, L"Card"), (rePaPer{1, 3, 5, 0, 0, 0, 0}));
  result = Run({L"paper-import", PathOf("library.json"), L"--csv", L"--replace"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, L"\uFEFFpaper,status,note\na5x,replaced,\nCard,replaced,\n");
  EXPECT_EQ(component_.IniReadValue(1, L"A5X").W, 10);
  sim_.MakeReadOnly(kStore);
  result = Run({L"paper-import", PathOf("library.json"), L"--csv", L"--replace"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Refused));
  EXPECT_EQ(result.out,
            L"\uFEFFpaper,status,note\n"
            L"a5x,failed,\"the paper store could not be written, nothing was stored: the file "
            L"is read-only\"\n"
            L"Card,failed,\"the paper store could not be written, nothing was stored: the file "
            L"is read-only\"\n");
}

// An import is one change: a paper that cannot be stored leaves none stored; a store that
// cannot be read is never exported as an empty library.
TEST_F(PaperLibraryTest, AnImportStoresAllOrNoneAndAnUnreadableStoreIsNeverExported) {
  Store(L"A5X", 0, 14.8, 21);
  const std::wstring before = sim_.FileText(kStore);
  WriteFile("library.json", Library(R"({"name": "One", "unit": "cm", "width": 10, "height": 20},
                       {"name": "Two", "unit": "cm", "width": 3, "height": 5},
                       {"name": "Three", "unit": "cm", "width": 4, "height": 6})"));
  sim_.FailCall(sim::Api::WritePrivateProfileSection, 2);
  RunResult result = Run({L"paper-import", PathOf("library.json"), L"--csv"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Refused));
  EXPECT_EQ(result.out.find(L"added"), std::wstring::npos) << result.out;
  EXPECT_EQ(sim_.FileText(kStore), before);
  // Written, but cut short and answered as a success.
  sim_.CutNextWrite(40);
  EXPECT_EQ(Run({L"paper-import", PathOf("library.json")}).exitCode, Status(ExitCode::Refused));
  EXPECT_EQ(sim_.FileText(kStore), before);
  ASSERT_EQ(Run({L"paper-import", PathOf("library.json")}).exitCode, 0);
  EXPECT_EQ(component_.IniReadValue(1, L"Three"), (rePaPer{0, 4, 6, 0, 0, 0, 0}));
  // A single paper-store says why nothing was changed.
  const std::wstring four = sim_.FileText(kStore);
  sim_.CutNextWrite(100);
  result = Run({L"paper-store", L"Five", L"1", L"2"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Refused));
  EXPECT_NE(result.err.find(L"did not read back as written; nothing was changed"),
            std::wstring::npos)
      << result.err;
  sim_.FailCopiesForSpace(true);
  result = Run({L"paper-store", L"Five", L"1", L"2"});
  EXPECT_NE(result.err.find(L"the disk is full"), std::wstring::npos) << result.err;
  sim_.FailCopiesForSpace(false);
  EXPECT_EQ(sim_.FileText(kStore), four);

  sim_.MakeUnreadable(kStore);
  result = Run({L"paper-export", PathOf("out.json")});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Failure));
  EXPECT_NE(result.err.find(L"the paper store cannot be read"), std::wstring::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(PathOf("out.json")));
  for (const std::vector<std::wstring>& command :
       {std::vector<std::wstring>{L"papers"},
        {L"paper-show", L"A5X"},
        {L"paper-delete", L"A5X"},
        {L"paper-import", PathOf("library.json"), L"--replace"}}) {
    result = Run(command);
    EXPECT_EQ(result.exitCode, Status(ExitCode::Failure)) << command[0];
    EXPECT_NE(result.err.find(L"error 75: Path/File access error (the paper store cannot be read"),
              std::wstring::npos)
        << result.err;
  }
}

// An import writes its new papers in a few writes of the file however many it holds, checks
// the change once, and leaves the very text that the component's writes, one paper at a time,
// leave: into an absent store, an ANSI one and a UTF-16 one with other lines in the list.
TEST_F(PaperLibraryTest, AnImportWritesInAFewWritesTheTextThatPaperByPaperWritesLeave) {
  std::string papers;
  std::vector<std::wstring> names;
  for (int i = 0; i < 30; ++i) {
    names.push_back((i % 2 ? L"Café " : L"P") + std::to_wstring(i));
    papers += (i == 0 ? "" : ",") + std::string(R"({"name": ")") + ToUtf8(names.back()) +
              R"(", "unit": "cm", "width": 1, "height": 2.5})";
  }
  WriteFile("many.json", Library(papers));
  const std::optional<std::wstring> starts[] = {
      std::nullopt,
      L"; kept\r\n[PrintMain]\r\nOld=Old\r\n[Old]\r\nmMode=0\r\nW=1\r\n",
      L"\uFEFF[Old]\r\nW=1\r\n\r\n[PrintMain]\r\nOld=Old\r\n; 註\r\n\r\n[尾]\r\nx=1",
  };
  for (const auto& start : starts) {
    SCOPED_TRACE(testing::PrintToString(start.value_or(L"(absent)")));
    const auto reset = [&] { SetStore(start); };
    reset();
    sim_.ClearCalls();
    ASSERT_EQ(Run({L"paper-import", PathOf("many.json")}).exitCode, 0);
    EXPECT_EQ(sim_.CountCalls(sim::Api::WritePrivateProfileSection), 2u);
    EXPECT_EQ(sim_.CountCalls(sim::Api::WritePrivateProfileString), start ? 1u : 0u);
    EXPECT_EQ(sim_.CountCalls(sim::Api::WriteProfileText), 1u);
    std::size_t sectionListReads = 0;
    for (const sim::Call& call : sim_.Calls()) {
      sectionListReads +=
          call.api == sim::Api::GetPrivateProfileString && call.args[0] == sim::kNull;
    }
    EXPECT_LE(sectionListReads, 3u);
    const std::wstring imported = sim_.FileText(kStore);
    reset();
    for (const std::wstring& name : names) Store(name, 0, 1, 2.5);
    EXPECT_EQ(imported, sim_.FileText(kStore));
  }
  // The text write fails: nothing is stored.
  sim_.SetFileText(kStore, *starts[2]);
  const std::wstring before = sim_.FileText(kStore);
  sim_.FailCall(sim::Api::WriteProfileText);
  const RunResult failed = Run({L"paper-import", PathOf("many.json"), L"--csv"});
  EXPECT_EQ(failed.exitCode, Status(ExitCode::Refused));
  EXPECT_NE(
      failed.out.find(L"P0,failed,\"the paper store could not be written, nothing was stored"),
      std::wstring::npos)
      << failed.out;
  EXPECT_EQ(sim_.FileText(kStore), before);
  // Too few papers for text to pay go through the service, and a list it refuses to write is
  // reported as a store that could not be written, not as one that read back wrong.
  WriteFile("two.json", Library(R"({"name": "P0", "unit": "cm", "width": 1, "height": 2},
                       {"name": "P1", "unit": "cm", "width": 1, "height": 2})"));
  sim_.RemoveFile(kStore);
  sim_.FailCall(sim::Api::WritePrivateProfileSection, 2);
  const RunResult two = Run({L"paper-import", PathOf("two.json"), L"--csv"});
  EXPECT_NE(two.out.find(L"P0,failed,\"the paper store could not be written"), std::wstring::npos)
      << two.out;
  EXPECT_EQ(two.out.find(L"did not read back"), std::wstring::npos) << two.out;
  EXPECT_FALSE(sim_.FileExists(kStore));
  // So is a list line refused in the path by text.
  sim_.SetFileText(kStore, *starts[1]);
  sim_.FailCall(sim::Api::WritePrivateProfileString);
  const RunResult line = Run({L"paper-import", PathOf("many.json"), L"--csv"});
  EXPECT_NE(line.out.find(L"P0,failed,\"the paper store could not be written"), std::wstring::npos)
      << line.out;
  EXPECT_EQ(line.out.find(L"did not read back"), std::wstring::npos) << line.out;
  EXPECT_EQ(sim_.FileText(kStore), *starts[1]);
  // Few papers leave what the component's writes leave, into a store without a list or with one.
  for (const auto& start : {starts[0], starts[1]}) {
    const auto reset = [&] { SetStore(start); };
    reset();
    ASSERT_EQ(Run({L"paper-import", PathOf("two.json")}).exitCode, 0);
    const std::wstring imported = sim_.FileText(kStore);
    reset();
    Store(L"P0", 0, 1, 2);
    Store(L"P1", 0, 1, 2);
    EXPECT_EQ(imported, sim_.FileText(kStore));
  }
}

// A write cut short and answered as a success, wherever it falls among the import's writes (the
// service's, the text's) and wherever it cuts: the import is refused with the store as it was,
// or stored whole.
TEST_F(PaperLibraryTest, AnImportCutAnywhereIsRefusedWithNothingStoredOrStoredWhole) {
  std::string papers;
  for (int i = 0; i < 5; ++i) {
    papers += (i == 0 ? "" : ",") + std::string(R"({"name": "N)") + std::to_string(i) +
              R"(", "unit": "cm", "width": 1, "height": 2.5})";
  }
  WriteFile("five.json", Library(papers));
  // The list before the papers, and the list ending the file (where its new lines end it too).
  for (const std::wstring start :
       {L"[PrintMain]\r\nOld=Old\r\n[Old]\r\nmMode=0\r\nW=1\r\nH=2\r\n",
        L"[Old]\r\nmMode=0\r\nW=1\r\nH=2\r\n[PrintMain]\r\nOld=Old\r\n"}) {
    sim_.SetFileText(kStore, start);
    ASSERT_EQ(Run({L"paper-import", PathOf("five.json")}).exitCode, 0);
    EXPECT_GT(
        RefusedCuts({L"paper-import", PathOf("five.json")}, start, sim_.FileText(kStore), 6, 5),
        0u);
  }
}

// The same for a replace of stored papers, whose values change in place: a cut that leaves the
// file whole but for the end of the last value written is refused too.
TEST_F(PaperLibraryTest, AReplaceCutAnywhereIsRefusedWithNothingChangedOrChangedWhole) {
  std::string held;
  std::string changed;
  for (int i = 0; i < 5; ++i) {
    const std::string name = R"({"name": "N)" + std::to_string(i) + R"(", "unit": "cm", )";
    held += (i == 0 ? "" : ",") + name + R"("width": 1, "height": 2})";
    changed += (i == 0 ? "" : ",") + name + R"("width": 1, "height": 2, "bottom": 0.25})";
  }
  WriteFile("held.json", Library(held));
  WriteFile("changed.json", Library(changed));
  sim_.SetFileText(kStore, L"[PrintMain]\r\n");
  ASSERT_EQ(Run({L"paper-import", PathOf("held.json")}).exitCode, 0);
  const std::wstring start = sim_.FileText(kStore);
  sim_.ClearCalls();
  ASSERT_EQ(Run({L"paper-import", PathOf("changed.json"), L"--replace"}).exitCode, 0);
  const std::wstring whole = sim_.FileText(kStore);
  ASSERT_TRUE(whole.ends_with(L"B=0.25\r\n")) << whole;
  const std::size_t writes = sim_.CountCalls(sim::Api::WritePrivateProfileString) +
                             sim_.CountCalls(sim::Api::WriteProfileText);
  EXPECT_GT(
      RefusedCuts({L"paper-import", PathOf("changed.json"), L"--replace"}, start, whole, writes, 7),
      0u);
  // A paper listed twice, in two letter cases, is one whose list line the text cannot tell: it
  // goes through the component, and the replace still succeeds.
  std::wstring twice = start;
  twice.insert(twice.find(L"N3=N3\r\n") + 7, L"n3=n3\r\n");
  sim_.SetFileText(kStore, twice);
  ASSERT_EQ(Run({L"paper-import", PathOf("changed.json"), L"--replace"}).exitCode, 0);
  EXPECT_EQ(component_.IniReadValue(1, L"N3"), (rePaPer{0, 1, 2, 0, 0, 0, 0.25}));
}

// A new name that differs from a stored section's only where its character cannot have case
// (the last ASCII one, the first and last of each caseless block) is written as text; one whose
// character there may have case (the first past ASCII, just outside each block) might be that
// section to the service, and goes through it.
TEST_F(PaperLibraryTest, OnlyNamesThatMayBeAStoredSectionToTheServiceGoThroughIt) {
  const std::pair<wchar_t, bool> characters[] = {
      {0x7F, true},    {0x2E80, true},  {0x9FFF, true},  {0xAC00, true},  {0xD7AF, true},
      {0xF900, true},  {0xFAFF, true},  {0x80, false},   {0x2E7F, false}, {0xA000, false},
      {0xABFF, false}, {0xD7B0, false}, {0xF8FF, false}, {0xFB00, false}};
  for (const auto& [letter, asText] : characters) {
    SCOPED_TRACE(static_cast<int>(letter));
    std::string papers;
    for (int i = 1; i <= 3; ++i) {
      papers += (i == 1 ? "" : ",") + std::string(R"({"name": ")") +
                ToUtf8(std::wstring(1, letter) + std::to_wstring(i)) +
                R"(", "unit": "cm", "width": 1, "height": 2})";
    }
    WriteFile("letters.json", Library(papers));
    sim_.SetFileText(kStore,
                     L"\uFEFF[PrintMain]\r\n\u0100"
                     L"1=\u0100"
                     L"1\r\n[\u0100"
                     L"1]\r\nW=1\r\n");
    sim_.ClearCalls();
    ASSERT_EQ(Run({L"paper-import", PathOf("letters.json")}).exitCode, 0);
    EXPECT_EQ(sim_.CountCalls(sim::Api::WriteProfileText), asText ? 1u : 0u);
  }
}

// A section a hand edit left without its list line, under a name the service takes for a new
// paper's (ASCII letters of either case, the alphabet's ends included): that paper is not
// written as text beside it but through the service, which stores it in that section.
TEST_F(PaperLibraryTest, ANewNameTheServiceTakesForAnUnlistedSectionGoesThroughTheService) {
  WriteFile("three.json", Library(R"({"name": "P1", "unit": "cm", "width": 1, "height": 2},
                       {"name": "P2", "unit": "cm", "width": 1, "height": 2},
                       {"name": "AZ", "unit": "cm", "width": 3, "height": 4})"));
  for (const wchar_t* unlisted : {L"az", L"Az", L"aZ"}) {
    SCOPED_TRACE(testing::PrintToString(unlisted));
    sim_.SetFileText(kStore, L"[PrintMain]\r\nOld=Old\r\n[Old]\r\nW=1\r\n[" +
                                 std::wstring(unlisted) + L"]\r\nW=9\r\n");
    ASSERT_EQ(Run({L"paper-import", PathOf("three.json")}).exitCode, 0);
    EXPECT_EQ(component_.IniReadValue(1, L"AZ"), (rePaPer{0, 3, 4, 0, 0, 0, 0}));
  }
}

// A replace of many stored papers writes them in a few writes too, in place: the text is the one
// the component's writes one paper at a time leave, every other line of a section (comments,
// unknown keys, lines without "=") kept where it was. A paper whose lines the text cannot tell
// (a key written twice) goes through the component.
TEST_F(PaperLibraryTest, AReplaceWritesInPlaceInAFewWritesKeepingEveryOtherLine) {
  std::wstring start = L"\uFEFF[PrintMain]\r\n; the list\r\n";
  std::wstring sections;
  std::string papers;
  std::vector<std::wstring> names;
  for (int i = 0; i < 30; ++i) {
    names.push_back((i % 2 ? L"標籤" : L"P") + std::to_wstring(i));
    start += (i == 8 ? L"p8=p8" : names.back() + L"=" + names.back()) + L"\r\n";
    sections += L"[" + names.back() + L"]\r\n; note " + std::to_wstring(i) +
                L"\r\nmMode=0\r\nExtra=1\r\nW=1\r\nodd line\r\nH=2\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n";
    papers += (i == 0 ? "" : ",") + std::string(R"({"name": ")") + ToUtf8(names.back()) +
              R"(", "unit": "in", "width": 3, "height": 4.5})";
  }
  start += sections;
  start.insert(start.find(L"odd line", start.find(L"[P12]")), L"w=9\r\n");
  WriteFile("many.json", Library(papers));
  sim_.SetFileText(kStore, start);
  sim_.ClearCalls();
  ASSERT_EQ(Run({L"paper-import", PathOf("many.json"), L"--replace"}).exitCode, 0);
  EXPECT_EQ(sim_.CountCalls(sim::Api::WritePrivateProfileString), 3u * 8);
  EXPECT_EQ(sim_.CountCalls(sim::Api::WriteProfileText), 1u);
  const std::wstring replaced = sim_.FileText(kStore);
  EXPECT_NE(
      replaced.find(L"[標籤29]\r\n; note 29\r\nmMode=1\r\nExtra=1\r\nW=3\r\nodd line\r\nH=4.5"),
      std::wstring::npos);
  sim_.SetFileText(kStore, start);
  for (const std::wstring& name : names) Store(name, 1, 3, 4.5);
  EXPECT_EQ(replaced, sim_.FileText(kStore));
  // The text write cut short, answered as a success (the first two papers unchanged, so that it
  // is the first write): the check refuses the change and nothing is stored.
  const std::string taller = R"("unit": "in", "width": 3, "height": 4.5})";
  std::string cut = papers;
  for (int i = 0; i < 2; ++i) {
    cut.replace(cut.find(taller), taller.size(), R"("unit": "cm", "width": 1, "height": 2})");
  }
  WriteFile("cut.json", Library(cut));
  sim_.SetFileText(kStore, start);
  const std::wstring before = sim_.FileText(kStore);
  sim_.CutNextWrite(before.size() - 10);
  EXPECT_EQ(Run({L"paper-import", PathOf("cut.json"), L"--replace"}).exitCode,
            Status(ExitCode::Refused));
  EXPECT_EQ(sim_.FileText(kStore), before);
}

TEST_F(PaperLibraryTest, CaptureStoresUserFormsInCentimetresAndBuiltInOnesOnlyWithAll) {
  AddUserForm({0, L"Label", 101600, 50800, 2500, 1000, 99100, 49800});
  AddUserForm({0, L"Odd=Name", 10000, 10000, 0, 0, 10000, 10000});
  Store(L"Kept", 0, 1, 2);
  AddUserForm({0, L"kept", 30000, 30000, 0, 0, 30000, 30000});
  RunResult result = Run({L"capture", kPrinter, L"--csv"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Refused));
  EXPECT_EQ(result.out,
            L"\uFEFFpaper,status,note\n"
            L"Label,added,\n"
            L"kept,unchanged,differs; --replace replaces it\n"
            L"Odd=Name,failed,\"the paper store cannot hold this name: it must not be empty, "
            L"start or end with a blank, start with ;, be enclosed in matching quotes, be "
            L"PrintMain, or hold line breaks or other control characters, [, ] or =\"\n");
  EXPECT_EQ(component_.IniReadValue(1, L"Label"), (rePaPer{0, 10.16, 5.08, 0.25, 9.91, 0.1, 4.98}));
  EXPECT_EQ(component_.IniReadValue(1, L"Letter"), rePaPer{});
  result = Run({L"capture", kPrinter, L"--all", L"--replace", L"--csv"});
  EXPECT_NE(result.out.find(L"Letter,added,"), std::wstring::npos);
  EXPECT_NE(result.out.find(L"kept,replaced,"), std::wstring::npos);
  EXPECT_EQ(component_.IniReadValue(1, L"Letter"), (rePaPer{0, 21.59, 27.94, 0, 21.59, 0, 27.94}));
  EXPECT_EQ(component_.IniReadValue(1, L"Kept").W, 3);
  EXPECT_EQ(Run({L"capture", L"No Such Printer"}).exitCode, Status(ExitCode::NotFound));
}

}  // namespace
}  // namespace sheetlore::cli
