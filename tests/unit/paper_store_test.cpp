// The paper store in PrintSet.ini on the simulated profile files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "component/cls_print.h"
#include "component/paper_store_check.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/sim_support.h"

namespace sheetlore {
namespace {

using ::testing::ElementsAre;
using namespace std::string_literals;

const std::wstring kStore = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";

class PaperStoreTest : public ::testing::Test {
 protected:
  bool Write(const std::wstring& name, std::uint8_t mode, double w, double h, double l = 0,
             double r = 0, double t = 0, double b = 0) {
    return cls_.IniWriteValue(name, mode, w, h, l, r, t, b);
  }

  std::vector<std::wstring> Names() {
    std::vector<std::wstring> names{L"left over"};
    EXPECT_EQ(cls_.IniReadValue(0, L"", &names), rePaPer{});
    return names;
  }

  rePaPer Read(const std::wstring& name) { return cls_.IniReadValue(1, name); }

  void Delete(std::wstring name) { cls_.IniDelValue(name); }

  std::wstring Text() const { return sim_.FileText(kStore); }

  sim::SimPlatform sim_;
  ClsPrint cls_{sim_.platform()};
};

TEST_F(PaperStoreTest, WritesAndDeletesLeaveExactlyTheExpectedFile) {
  // An absent file is an empty store until the first write creates it.
  EXPECT_THAT(Names(), ElementsAre(L""));
  EXPECT_EQ(Read(L"A5X"), rePaPer{});
  Delete(L"A5X");
  EXPECT_TRUE(sim_.FilePaths().empty());
  ASSERT_TRUE(Write(L"A5X", 0, 14.8, 21));
  ASSERT_TRUE(Write(L"Label 4x6", 1, 4, 6, 0.25, 3.75, 0.5, 0.00001));
  ASSERT_TRUE(Write(L"標籤紙", 255, 10.5, -3.25, 1e20));
  EXPECT_EQ(Text(),
            L"[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n"
            L"[PrintMain]\r\nA5X=A5X\r\nLabel 4x6=Label 4x6\r\n標籤紙=標籤紙\r\n"
            L"[Label 4x6]\r\nmMode=1\r\nW=4\r\nH=6\r\nL=0.25\r\nR=3.75\r\nT=0.5\r\nB=1E-05\r\n"
            L"[標籤紙]\r\nmMode=255\r\nW=10.5\r\nH=-3.25\r\nL=1E+20\r\nR=0\r\nT=0\r\nB=0\r\n");
  Delete(L"Label 4x6");
  EXPECT_EQ(Text(),
            L"[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n"
            L"[PrintMain]\r\nA5X=A5X\r\n標籤紙=標籤紙\r\n"
            L"[標籤紙]\r\nmMode=255\r\nW=10.5\r\nH=-3.25\r\nL=1E+20\r\nR=0\r\nT=0\r\nB=0\r\n");
  EXPECT_EQ(sim_.FilePaths(), std::vector<std::wstring>{kStore});  // no file but the store
}

TEST_F(PaperStoreTest, ListsNamesInFileOrderReadsPapersBackAndOverwritesInPlace) {
  ASSERT_TRUE(Write(L"C", 0, 1, 2));
  ASSERT_TRUE(Write(L"A", 1, 8.5, 11, 0.25, 8.25, 0.5, 10.5));
  ASSERT_TRUE(Write(L"B", 0, 3, 4));
  EXPECT_THAT(Names(), ElementsAre(L"C", L"A", L"B"));
  // Blanks around the name and the letter case do not matter to a read.
  for (const wchar_t* name : {L"A", L"  A ", L"a"}) {
    EXPECT_EQ(Read(name), (rePaPer{1, 8.5, 11, 0.25, 8.25, 0.5, 10.5})) << name;
  }
  EXPECT_EQ(Read(L"Missing"), rePaPer{});
  // Overwriting, in any letter case, keeps the list order and one entry per name.
  ASSERT_TRUE(Write(L"C", 1, 5, 6));
  ASSERT_TRUE(Write(L"c", 1, 5, 7));
  EXPECT_THAT(Names(), ElementsAre(L"C", L"A", L"B"));
  EXPECT_EQ(Read(L"C"), (rePaPer{1, 5, 7, 0, 0, 0, 0}));
}

// Lines another tool or a hand left in a paper's section (keys, comments, lines without "=")
// survive an overwrite where they were; the store's keys keep their place and letter case,
// and the ones missing follow at the end.
TEST_F(PaperStoreTest, AnOverwriteKeepsTheOtherLinesOfThePapersSection) {
  sim_.SetFileText(kStore,
                   L"[PrintMain]\r\nA5X=A5X\r\n[A5X]\r\n; from the label tool\r\n"
                   L"Origin=Label tool\r\nmmode=0\r\nw=14.8\r\nodd line\r\nH=21\r\n"
                   L"Colour=\r\n");
  ASSERT_TRUE(Write(L"A5X", 1, 5, 8));
  EXPECT_EQ(sim_.FileText(kStore),
            L"[PrintMain]\r\nA5X=A5X\r\n[A5X]\r\n; from the label tool\r\n"
            L"Origin=Label tool\r\nmmode=1\r\nw=5\r\nodd line\r\nH=8\r\nColour=\r\n"
            L"L=0\r\nR=0\r\nT=0\r\nB=0\r\n");
  EXPECT_EQ(Read(L"A5X"), (rePaPer{1, 5, 8, 0, 0, 0, 0}));
}

// Where the list ends the file, an overwrite leaves the list's other lines as they were: any
// of its writes cut short there, and answered as a success, is caught and the file left whole.
TEST_F(PaperStoreTest, AnOverwriteCutShortWhereTheListEndsTheFileIsCaught) {
  const std::wstring start =
      L"[Old]\r\nmMode=0\r\nW=1\r\nH=2\r\n[Two]\r\nW=2\r\n[PrintMain]\r\nOld=Old\r\nTwo=Two\r\n";
  sim_.SetFileText(kStore, start);
  ASSERT_TRUE(Write(L"Old", 1, 5, 8));
  const std::wstring whole = Text();
  for (std::size_t writesBefore = 0; writesBefore < 8; ++writesBefore) {
    for (std::size_t keep = start.size() - 12; keep < whole.size(); ++keep) {
      SCOPED_TRACE(std::to_string(writesBefore) + " writes, then " + std::to_string(keep));
      sim_.SetFileText(kStore, start);
      sim_.CutNextWrite(keep, writesBefore);
      if (Write(L"Old", 1, 5, 8)) {
        // Only the file's last line end may be missing: the file reads the same without it.
        const std::wstring text = Text();
        EXPECT_TRUE(whole.starts_with(text) && whole.size() - text.size() <= 2)
            << testing::PrintToString(text);
      } else {
        EXPECT_EQ(Text(), start);
      }
    }
  }
}

// The delete's read-back check on its own: a delete after which a section stands that was not
// there before (here added by hand before the check) is not taken as done.
TEST_F(PaperStoreTest, ADeleteAfterWhichANewSectionStandsIsNotTakenAsDone) {
  ASSERT_TRUE(Write(L"A", 0, 1, 2));
  ASSERT_TRUE(Write(L"B", 0, 1, 2));
  ProfileFiles& profile = sim_.platform().profile;
  const paper_store::StoreShape before = paper_store::ReadShape(profile, kStore);
  Delete(L"B");
  const auto mayGo = [](const std::wstring& section) { return section == L"B"; };
  EXPECT_TRUE(paper_store::DeleteCameOut(profile, kStore, before, L"B", {L"B"}, mayGo));
  sim_.SetFileText(kStore, Text() + L"[C]\r\nW=1\r\n");
  EXPECT_FALSE(paper_store::DeleteCameOut(profile, kStore, before, L"B", {L"B"}, mayGo));
}

TEST_F(PaperStoreTest, ModeArgumentReplacesTheArrayInEveryMode) {
  ASSERT_TRUE(Write(L"A5X", 0, 14.8, 21));
  // Modes other than 0 and 1 read nothing.
  for (const std::int16_t mode : {std::int16_t{1}, std::int16_t{2}, std::int16_t{-1}}) {
    std::vector<std::wstring> names{L"x", L"y"};
    EXPECT_EQ(cls_.IniReadValue(mode, L"A5X", &names),
              (mode == 1 ? rePaPer{0, 14.8, 21, 0, 0, 0, 0} : rePaPer{}));
    EXPECT_THAT(names, ElementsAre(L"")) << mode;
  }
}

TEST_F(PaperStoreTest, DeleteRemovesTheEntriesOfTheSectionTheServiceRemoves) {
  // A hand-edited list: a note, and a name listed twice in two letter cases.
  sim_.SetFileText(kStore,
                   L"[PrintMain]\r\n; note\r\nA5X=A5X\r\nB5=B5\r\na5x=a5x\r\nC=C\r\n"
                   L"[A5X]\r\nW=1\r\n[B5]\r\nW=2\r\n[C]\r\nW=3\r\n");
  Delete(L"D");  // missing: nothing changes
  Delete(L"A5X");
  EXPECT_EQ(Text(), L"[PrintMain]\r\n; note\r\nB5=B5\r\nC=C\r\n[B5]\r\nW=2\r\n[C]\r\nW=3\r\n");
  // Blanks around the name and the letter case do not count; inner blanks do.
  Delete(L" b5 ");
  EXPECT_THAT(Names(), ElementsAre(L"C"));
  Delete(L"C ");
  EXPECT_EQ(Text(), L"");  // the last paper takes the list heading with it
  EXPECT_THAT(Names(), ElementsAre(L""));
  ASSERT_TRUE(Write(L"A 5", 0, 1, 2));
  Delete(L"A  5");
  EXPECT_THAT(Names(), ElementsAre(L"A 5"));
  // The profile service takes section names without regard to case for ASCII letters only: a
  // delete removes the list entries of exactly the section the service removes.
  for (const auto& [name, w] :
       {std::pair{L"É5", 1}, {L"é5", 3}, {L"Σx", 5}, {L"σx", 7}, {L"Ab", 9}}) {
    ASSERT_TRUE(Write(name, 0, w, w + 1));
  }
  Delete(L"é5");
  Delete(L"σx");
  EXPECT_THAT(Names(), ElementsAre(L"A 5", L"É5", L"Σx", L"Ab"));
  EXPECT_EQ(Read(L"É5"), (rePaPer{0, 1, 2, 0, 0, 0, 0}));
  EXPECT_EQ(Read(L"Σx"), (rePaPer{0, 5, 6, 0, 0, 0, 0}));
  // An ASCII variant is the same section, and its entry goes with it.
  Delete(L"aB");
  EXPECT_THAT(Names(), ElementsAre(L"A 5", L"É5", L"Σx"));
  EXPECT_EQ(Text().find(L"[Ab]"), std::wstring::npos);
  EXPECT_EQ(Text().find(L"Sheetlore"), std::wstring::npos) << "the probe was left behind";
  // Names of a script without letter case are never one name with another: no probe is
  // written, however many such names of the same length are listed.
  for (const wchar_t* name : {L"標籤紙一", L"標籤紙二", L"標籤紙三"})
    ASSERT_TRUE(Write(name, 0, 1, 2));
  sim_.ClearCalls();
  Delete(L"標籤紙二");
  EXPECT_THAT(Names(), ElementsAre(L"A 5", L"É5", L"Σx", L"標籤紙一", L"標籤紙三"));
  const auto& calls = sim_.Calls();
  EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), [](const sim::Call& call) {
    return std::find(call.args.begin(), call.args.end(), L"Sheetlore.SectionProbe") !=
           call.args.end();
  })) << "a caseless name was probed";
  // Under a service that ignores the case of every letter, as Windows' may, é5 names É5's
  // section: the probe finds it and its list entry goes with it.
  sim_.SetProfileFoldsEveryLetter();
  Delete(L"é5");
  EXPECT_THAT(Names(), ElementsAre(L"A 5", L"Σx", L"標籤紙一", L"標籤紙三"));
}

// The probe's read of a near name that fails answers neither way: no entries are told apart,
// and the probe's mark still goes.
TEST_F(PaperStoreTest, AProbeReadThatFailsLeavesTheEntriesUndecided) {
  ASSERT_TRUE(Write(L"É5", 0, 1, 2));
  ASSERT_TRUE(Write(L"é5", 0, 3, 4));
  ProfileFiles& profile = sim_.platform().profile;
  const std::vector<std::wstring> listed = {L"É5", L"é5"};
  ASSERT_TRUE(paper_store::EntriesOfSection(profile, kStore, L"é5", listed));
  sim_.FailCall(sim::Api::GetPrivateProfileString);
  EXPECT_FALSE(paper_store::EntriesOfSection(profile, kStore, L"é5", listed));
  EXPECT_EQ(Text().find(L"Sheetlore"), std::wstring::npos) << "the probe was left behind";
}

TEST_F(PaperStoreTest, StoredValuesAreReadByThePointOnlyReadingAndUnitCodesRoundHalfToEven) {
  sim_.SetFileText(kStore,
                   L"[PrintMain]\r\nP=P\r\n[P]\r\nmMode=1.5\r\nW=14.8cm\r\nH=abc\r\n"
                   L"L= 1 2 . 5\r\nR=14,8\r\nT=\"2.5\"\r\n");
  // B is missing and reads as 0; mMode 1.5 rounds to the even 2.
  EXPECT_EQ(Read(L"P"), (rePaPer{2, 14.8, 0, 12.5, 14, 2.5, 0}));
  // A unit code outside a byte overflows.
  const auto readUnit = [this](const std::wstring& stored) {
    sim_.SetFileText(kStore, L"[P]\r\nmMode=" + stored + L"\r\n");
    return Read(L"P").mMode;
  };
  for (const auto& [stored, mode] :
       {std::pair{L"0.5", 0}, {L"2.5", 2}, {L"-0.4", 0}, {L"254.5", 254}, {L"255.4", 255}}) {
    EXPECT_EQ(readUnit(stored), mode) << stored;
  }
  for (const std::wstring stored : {L"300", L"255.5", L"-0.6", L"-1", L"1E+300"}) {
    EXPECT_EQ(RaisedBy([&] { readUnit(stored); }).number, 6) << testing::PrintToString(stored);
  }
}

TEST_F(PaperStoreTest, RefusedNamesChangeNothingAndCallNothing) {
  ASSERT_TRUE(Write(L"A5X", 0, 14.8, 21));
  const std::wstring before = Text();
  const std::vector<std::wstring> refused = {
      L"",          L" ",         L"   ",        L" A",           L"A ",
      L"PrintMain", L"printmain", L"PRINTMAIN",  L"A\r\nB",       L"A\nB",
      L"A\rB",      L"A\tB",      L"\tA",        L"A\x1A",        L"A\0B"s,
      L"A\xD800",   L"A\xDBFF",   L"\xDC00\x41", L"\xDC00\xD800", L"\xD800\x41"};
  sim_.ClearCalls();
  for (std::wstring name : refused) {
    EXPECT_FALSE(Write(name, 0, 1, 2)) << testing::PrintToString(name);
    // Reads and deletes take the name without its end blanks, as the profile service does.
    if (name == L" A" || name == L"A ") continue;
    EXPECT_EQ(Read(name), rePaPer{}) << testing::PrintToString(name);
    cls_.IniDelValue(name);
  }
  EXPECT_TRUE(sim_.Calls().empty());
  EXPECT_EQ(Text(), before);
  // Names a line of the file would change are refused for writing only: an older file may
  // list them (see below).
  for (std::wstring name : {L"[A", L"A]", L"[A]", L"A[B", L"A=B", L"=", L";A", L"\"A\"", L"'A'"}) {
    EXPECT_FALSE(Write(name, 0, 1, 2)) << testing::PrintToString(name);
    EXPECT_EQ(Read(name), rePaPer{}) << testing::PrintToString(name);
    cls_.IniDelValue(name);
  }
  EXPECT_EQ(Text(), before);
}

// Papers an older component or a hand edit listed under names the store no longer writes can
// still be read and deleted, wherever the profile service can find their sections; every name
// the format can carry is written, listed, read back and deleted like any other.
TEST_F(PaperStoreTest, NamesTheFormatCanCarryAndOlderListedNamesRoundTrip) {
  const std::vector<std::wstring> legacy = {L"a]b", L"x[y", L"[z", L"\"q\"", L"'s'"};
  std::wstring list = L"\xFEFF[PrintMain]\r\n";
  std::wstring sections;
  for (const std::wstring& name : legacy) {
    list += name + L"=" + name + L"\r\n";
    sections += L"[" + name + L"]\r\nmMode=1\r\nW=3\r\nH=4\r\n";
  }
  sim_.SetFileText(kStore, list + sections);
  std::vector<std::wstring> names = legacy;
  for (const std::wstring name :
       {L"A;B", L"\"A", L"A\"", L"'A\"", L"A#B", L"A  B", L"紙張 A4", L"\x3000A\x3000",
        L"Ｌｅｔｔｅｒ", L"\xD834\xDD1E clef", L"PrintMain2", L"-1"}) {
    EXPECT_TRUE(Write(name, 1, 3, 4)) << testing::PrintToString(name);
    names.push_back(name);
  }
  EXPECT_EQ(Names(), names);
  for (const std::wstring& name : names) {
    EXPECT_EQ(Read(name), (rePaPer{1, 3, 4, 0, 0, 0, 0})) << testing::PrintToString(name);
    Delete(name);
  }
  EXPECT_EQ(Text(), L"");
}

TEST_F(PaperStoreTest, ValuesWithoutANumberTextThatReadsBackAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double largest = std::numeric_limits<double>::max();  // 15 digits round it past itself
  EXPECT_FALSE(Write(L"A", 0, nan, 1));
  EXPECT_FALSE(Write(L"A", 0, 1, 1, 0, 0, 0, -inf));
  EXPECT_FALSE(Write(L"A", 0, largest, 1));
  EXPECT_FALSE(Write(L"A", 0, 1, 1, 0, 0, -largest));
  EXPECT_FALSE(sim_.FileExists(kStore));
  // The largest value whose text still reads back is kept.
  ASSERT_TRUE(Write(L"A", 0, 1.79769313486231e308, 1));
  EXPECT_EQ(Read(L"A").W, 1.79769313486231e308);
}

TEST_F(PaperStoreTest, AHiddenOrSystemFileIsStillTheStoreAndADriveRootGivesTwoBackslashes) {
  ASSERT_TRUE(Write(L"A5X", 0, 14.8, 21));
  sim_.MakeHidden(kStore);
  sim_.MakeSystem(kStore);
  ASSERT_TRUE(Write(L"B5", 0, 17.6, 25));
  EXPECT_THAT(Names(), ElementsAre(L"A5X", L"B5"));
  EXPECT_EQ(sim_.FilePaths(), std::vector<std::wstring>{kStore});  // no file but the store
  sim_.SetComponentDirectory(L"D:\\");
  ASSERT_TRUE(Write(L"A5X", 0, 14.8, 21));
  EXPECT_TRUE(sim_.FileExists(L"D:\\\\PrintSet.ini"));
}

// A read-only file, or a lock that cannot be taken: writes report false and nothing changes.
TEST_F(PaperStoreTest, AStoreThatCannotBeWrittenOrLockedChangesNothing) {
  for (const bool readOnly : {true, false}) {
    sim::SimPlatform sim;
    ClsPrint cls(sim.platform());
    ASSERT_TRUE(cls.IniWriteValue(L"A5X", 0, 14.8, 21, 0, 0, 0, 0));
    const std::wstring before = sim.FileText(kStore);
    readOnly ? sim.MakeReadOnly(kStore) : sim.SetLockFails(true);
    EXPECT_FALSE(cls.IniWriteValue(L"B5", 0, 17.6, 25, 0, 0, 0, 0));
    EXPECT_FALSE(cls.IniWriteValue(L"A5X", 1, 1, 1, 0, 0, 0, 0));
    std::wstring name = L"A5X";
    cls.IniDelValue(name);
    EXPECT_EQ(sim.FileText(kStore), before) << readOnly;
  }
}

// Whatever single call of a write or a delete fails (a read that answers nothing, a write the
// service refuses), the file is exactly as before or exactly as the change makes it, and no
// other file is left.
TEST_F(PaperStoreTest, AChangeMeetingAnyFailingCallLeavesTheFileWhollyOldOrWhollyNew) {
  // é5 beside É5, which the service tells apart: a delete probes, and a failed probe read
  // must stop it rather than take É5's entry for é5's.
  const auto change = [](ClsPrint& cls, bool remove) {
    if (remove) {
      std::wstring name = L"é5";
      cls.IniDelValue(name);
    } else {
      cls.IniWriteValue(L"é5", 1, 3, 4, 5, 6, 7, 8);
    }
  };
  for (const bool remove : {false, true}) {
    for (const sim::Api failing :
         {sim::Api::GetPrivateProfileString, sim::Api::WritePrivateProfileString,
          sim::Api::WritePrivateProfileSection}) {
      for (std::size_t nth = 1; nth < 60; ++nth) {
        SCOPED_TRACE(testing::PrintToString(failing) + " " + std::to_string(nth) +
                     (remove ? " delete" : " write"));
        sim::SimPlatform sim;
        ClsPrint cls(sim.platform());
        ASSERT_TRUE(cls.IniWriteValue(L"A5X", 0, 14.8, 21, 0, 0, 0, 0));
        ASSERT_TRUE(cls.IniWriteValue(L"É5", 0, 17.6, 25, 0, 0, 0, 0));
        ASSERT_TRUE(cls.IniWriteValue(L"é5", 0, 17.6, 25, 0, 0, 0, 0));
        ASSERT_TRUE(cls.IniWriteValue(L"C6", 0, 11.4, 16.2, 0, 0, 0, 0));
        const std::wstring before = sim.FileText(kStore);
        change(cls, remove);
        const std::wstring after = sim.FileText(kStore);
        sim.SetFileText(kStore, before);
        sim.FailCall(failing, nth);
        change(cls, remove);
        const std::wstring text = sim.FileText(kStore);
        EXPECT_TRUE(text == before || text == after) << testing::PrintToString(text);
        EXPECT_EQ(sim.FilePaths(), std::vector<std::wstring>{kStore});
      }
    }
  }
}

// A write that comes out short but is answered as a success (a full disk under a service that
// trusts its short write) is caught by reading back and undone whole, wherever it is cut; so
// is one made on the file itself where the folder takes no copy.
TEST_F(PaperStoreTest, AShortWriteAnsweredAsSuccessIsCaughtAndUndone) {
  for (const bool inPlace : {false, true}) {
    sim::SimPlatform sim;
    ClsPrint cls(sim.platform());
    for (int i = 0; i < 5; ++i) {
      ASSERT_TRUE(cls.IniWriteValue(L"P" + std::to_wstring(i), 0, 10 + i, 20, 0, 0, 0, 0));
    }
    const std::wstring before = sim.FileText(kStore);
    sim.RefuseCopies(inPlace);
    for (std::size_t keep = 0; keep < before.size() + 40; keep += 7) {
      SCOPED_TRACE(std::to_string(keep) + (inPlace ? " in place" : " on a copy"));
      for (const bool overwrite : {false, true}) {
        const wchar_t* written = overwrite ? L"P2" : L"New";
        sim.CutNextWrite(keep);
        const bool stored = cls.IniWriteValue(written, 1, 3, 4, 5, 6, 7, 8);
        if (stored) {
          // Only a cut past the end of the new text leaves it whole.
          EXPECT_EQ(cls.IniReadValue(1, written), (rePaPer{1, 3, 4, 5, 6, 7, 8}));
          EXPECT_EQ(cls.IniReadValue(1, L"P4"), (rePaPer{0, 14, 20, 0, 0, 0, 0}));
          sim.SetFileText(kStore, before);
        } else {
          EXPECT_EQ(sim.FileText(kStore), before);
        }
        std::wstring name = L"P4";
        sim.CutNextWrite(keep);
        cls.IniDelValue(name);
        const std::wstring afterDelete = sim.FileText(kStore);
        EXPECT_TRUE(afterDelete == before || afterDelete.find(L"[P4]") == std::wstring::npos);
        if (afterDelete != before) {
          EXPECT_EQ(cls.IniReadValue(1, L"P3"), (rePaPer{0, 13, 20, 0, 0, 0, 0}));
          sim.SetFileText(kStore, before);
        }
        EXPECT_EQ(sim.FilePaths(), std::vector<std::wstring>{kStore});
      }
    }
  }
}

// A copy that fails for lack of space, or a copy that cannot replace the file, refuses the
// change and leaves the file and its folder as they were; a nested lock's writes reach the
// file only with the outer commit.
TEST_F(PaperStoreTest, AChangeThatCannotBeCopiedOrCommittedIsRefusedAndNestedLocksCommitOnce) {
  ASSERT_TRUE(Write(L"A5X", 0, 14.8, 21));
  const std::wstring before = Text();
  for (const bool space : {true, false}) {
    space ? sim_.FailCopiesForSpace(true) : sim_.FailCommits(true);
    EXPECT_FALSE(Write(L"B5", 0, 17.6, 25));
    std::wstring name = L"A5X";
    Delete(name);
    EXPECT_EQ(Text(), before);
    EXPECT_EQ(sim_.FilePaths(), std::vector<std::wstring>{kStore});
    sim_.FailCopiesForSpace(false);
    sim_.FailCommits(false);
  }
  ProfileFiles& profile = sim_.platform().profile;
  for (const bool commit : {false, true}) {
    const auto outer = profile.LockFile(kStore);
    ASSERT_TRUE(Write(L"B5", 0, 17.6, 25));
    ASSERT_TRUE(Write(L"C6", 0, 11.4, 16.2));
    EXPECT_THAT(Names(), ElementsAre(L"A5X", L"B5", L"C6"));
    EXPECT_EQ(Text(), before);
    if (commit) {
      EXPECT_TRUE(outer->Commit());
    }
  }
  EXPECT_THAT(Names(), ElementsAre(L"A5X", L"B5", L"C6"));
  // An inner change that failed spoils the outer one.
  const std::wstring three = Text();
  const auto outer = profile.LockFile(kStore);
  ASSERT_TRUE(Write(L"D7", 0, 1, 2));
  sim_.CutNextWrite(10);
  EXPECT_FALSE(Write(L"E8", 0, 1, 2));
  EXPECT_FALSE(outer->Commit());
  EXPECT_FALSE(outer->Problem().empty());
  EXPECT_EQ(Text(), three);
}

// A file that exists but cannot be read is an error for every read, never an empty store; an
// absent file is still the empty store.
TEST_F(PaperStoreTest, AFileThatCannotBeReadRaisesPathFileAccessErrorAndIsNeverWritten) {
  ASSERT_TRUE(Write(L"A5X", 0, 14.8, 21));
  sim_.MakeUnreadable(kStore);
  for (const std::int16_t mode : {0, 1}) {
    try {
      std::vector<std::wstring> names;
      cls_.IniReadValue(mode, L"A5X", &names);
      ADD_FAILURE() << "no error in mode " << mode;
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), 75);
      EXPECT_EQ(error.description(), L"Path/File access error");
    }
  }
  EXPECT_FALSE(Write(L"B5", 0, 17.6, 25));
  sim_.RemoveFile(kStore);
  EXPECT_THAT(Names(), ElementsAre(L""));
}

// A file without the byte-order mark is read and written in the ANSI code page: names it
// cannot hold are refused, and never collapse into another paper's section.
TEST_F(PaperStoreTest, AnAnsiFileKeepsItsEncodingAndRefusesWhatItCannotHold) {
  sim_.SetFileText(kStore, L"; papers\r\n");
  EXPECT_TRUE(Write(L"Ax", 0, 1, 2));
  EXPECT_TRUE(Write(L"Éx", 0, 3, 4));
  EXPECT_FALSE(Write(L"Āx", 0, 5, 6));
  EXPECT_FALSE(Write(L"標籤", 0, 7, 8));
  EXPECT_FALSE(sim_.FileIsUnicode(kStore));
  EXPECT_THAT(Names(), ElementsAre(L"Ax", L"Éx"));
  EXPECT_EQ(Read(L"Ax"), (rePaPer{0, 1, 2, 0, 0, 0, 0}));
  EXPECT_EQ(Read(L"Āx"), rePaPer{});
}

TEST_F(PaperStoreTest, TenThousandPapersAreAllListedInOneReadAndReadBack) {
  std::vector<std::wstring> expected;
  std::wstring list = L"[PrintMain]\r\n";
  std::wstring papers;
  for (int i = 0; i < 10000; ++i) {
    // Names of 30 characters: 30 times what a 10000-character answer holds.
    std::wstring name = L"Paper number " + std::to_wstring(i);
    name += std::wstring(30 - name.size(), L'x');
    list += name + L"=" + name + L"\r\n";
    papers += L"[" + name + L"]\r\nmMode=" + std::to_wstring(i % 2) + L"\r\nW=" +
              std::to_wstring(i) + L".5\r\nB=" + std::to_wstring(i) + L"\r\n";
    expected.push_back(name);
  }
  sim_.SetFileText(kStore, list + papers);
  EXPECT_EQ(Names(), expected);
  for (int i = 0; i < 10000; i += 997) {
    EXPECT_EQ(Read(expected[i]),
              (rePaPer{static_cast<std::uint8_t>(i % 2), i + 0.5, 0, 0, 0, 0, i + 0.0}))
        << i;
  }
  ASSERT_TRUE(Write(L"Last", 0, 1, 2));
  expected.push_back(L"Last");
  EXPECT_EQ(Names(), expected);
  Delete(expected.front());
  expected.erase(expected.begin());
  EXPECT_EQ(Names(), expected);
}

// --- The lock ---------------------------------------------------------------------------------
// The paper store holds the file's lock around every profile call it makes, so that store
// operations of other processes on the same file cannot interleave with its reads and writes.

// The simulated profile files, counting the locks held and the calls made without one.
class LockWatchingProfile final : public ProfileFiles {
 public:
  explicit LockWatchingProfile(ProfileFiles& inner) : inner_(inner) {}

  std::uint32_t GetString(const std::optional<std::wstring>& section,
                          const std::optional<std::wstring>& key, const std::wstring& defaultValue,
                          std::uint32_t bufferChars, std::wstring& text,
                          const std::wstring& path) override {
    Note(path);
    return inner_.GetString(section, key, defaultValue, bufferChars, text, path);
  }
  bool WriteString(const std::optional<std::wstring>& section,
                   const std::optional<std::wstring>& key, const std::optional<std::wstring>& value,
                   const std::wstring& path) override {
    Note(path);
    return inner_.WriteString(section, key, value, path);
  }
  bool WriteSection(const std::wstring& section, const KeyValues& keys,
                    const std::wstring& path) override {
    Note(path);
    return inner_.WriteSection(section, keys, path);
  }
  std::unique_ptr<FileLock> LockFile(const std::wstring& path) override {
    EXPECT_EQ(path, kStore);
    ++locksTaken;
    return std::make_unique<Held>(held);
  }

  int locksTaken = 0;
  int callsUnlocked = 0;
  int callsLocked = 0;
  int held = 0;

 private:
  class Held final : public FileLock {
   public:
    explicit Held(int& held) : held_(held) { ++held_; }
    ~Held() override { --held_; }

   private:
    int& held_;
  };

  void Note(const std::wstring& path) {
    EXPECT_EQ(path, kStore);
    ++(held > 0 ? callsLocked : callsUnlocked);
  }

  ProfileFiles& inner_;
};

class PaperStoreLockTest : public ::testing::Test {
 protected:
  PaperStoreLockTest() {
    sim_.SetFileText(kStore,
                     L"[PrintMain]\r\nA5X=A5X\r\nLabel=Label\r\n"
                     L"[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n"
                     L"[Label]\r\nmMode=1\r\nW=4\r\nH=6\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n");
  }

  void ExpectEveryCallLocked(int calls, int locks) {
    EXPECT_EQ(profile_.callsUnlocked, 0);
    EXPECT_GE(profile_.callsLocked, calls);
    EXPECT_EQ(profile_.locksTaken, locks);
    EXPECT_EQ(profile_.held, 0) << "a lock outlived its call";
  }

  sim::SimPlatform sim_;
  LockWatchingProfile profile_{sim_.platform().profile};
  Platform platform_{sim_.platform().spooler, profile_, sim_.platform().system,
                     sim_.platform().shell, sim_.platform().host};
  ClsPrint cls_{platform_};
};

// Each call takes the lock once: a write holds it for both its writes, a delete from its first
// read to its last write (the last paper's list heading goes under the same lock as the reads
// that saw the list empty), and a read for its reads.
TEST_F(PaperStoreLockTest, EveryCallHoldsTheFileForAllItsProfileCalls) {
  EXPECT_TRUE(cls_.IniWriteValue(L"New", 0, 10, 15, 0, 0, 0, 0));
  ExpectEveryCallLocked(2, 1);
  for (std::wstring name : {L"A5X", L"New"}) cls_.IniDelValue(name);
  ExpectEveryCallLocked(2 + 3, 3);
  std::vector<std::wstring> names;
  cls_.IniReadValue(0, L"", &names);
  EXPECT_EQ(names, std::vector<std::wstring>{L"Label"});
  EXPECT_EQ(cls_.IniReadValue(1, L"Label").W, 4);
  ExpectEveryCallLocked(2 + 3 + 8, 5);
  std::wstring last = L"Label";
  cls_.IniDelValue(last);
  ExpectEveryCallLocked(2 + 3 + 8, 6);
  EXPECT_EQ(sim_.FileText(kStore), L"");
}

}  // namespace
}  // namespace sheetlore
