// Which file is the paper store (the machine's setting or PrintSet.ini beside the DLL), and
// stores merged into one without losing a paper.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/store_merge.h"
#include "component/cls_print.h"
#include "component/paper_store_file.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::wstring kBeside = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";
const std::wstring kShared = L"C:\\ProgramData\\Sheetlore\\PrintSet.ini";

class StoreLocationTest : public ::testing::Test {
 protected:
  std::vector<std::wstring> Names(ClsPrint& store) {
    std::vector<std::wstring> names;
    store.IniReadValue(0, L"", &names);
    std::erase_if(names, [](const std::wstring& name) { return name.empty(); });
    return names;
  }

  sim::SimPlatform sim_;
  ClsPrint cls_{sim_.platform()};
};

TEST_F(StoreLocationTest, TheSettingChoosesTheFileAndWithoutItTheStoreIsBesideTheDll) {
  struct Row {
    std::wstring setting;
    std::wstring path;
    bool fromSetting;
  };
  const std::vector<Row> rows = {
      {L"", kBeside, false},
      {L"   ", kBeside, false},
      {kShared, kShared, true},
      {L" " + kShared + L" ", kShared, true},
      {L"D:/data/PrintSet.ini", L"D:/data/PrintSet.ini", true},
      {L"D:\\", L"D:\\", true},  // the shortest full path
      {L"D:", L"C:\\Program Files\\Sheetlore\\D:", true},
      {L"\\\\server\\share\\PrintSet.ini", L"\\\\server\\share\\PrintSet.ini", true},
      // Not a full path: taken from the DLL's folder, never from a current directory.
      {L"Shared.ini", L"C:\\Program Files\\Sheetlore\\Shared.ini", true},
      {L"C:Shared.ini", L"C:\\Program Files\\Sheetlore\\C:Shared.ini", true},
  };
  for (const Row& row : rows) {
    sim_.SetStoreFileSetting(row.setting);
    const paper_store::Location location = paper_store::FileLocation(sim_.platform().host);
    EXPECT_EQ(location.path, row.path) << row.setting;
    EXPECT_EQ(location.fromSetting, row.fromSetting) << row.setting;
  }
}

TEST_F(StoreLocationTest, EveryStoreCallUsesTheFileTheSettingNames) {
  sim_.SetStoreFileSetting(kShared);
  ASSERT_TRUE(cls_.IniWriteValue(L"Shared", 0, 10, 20, 0, 0, 0, 0));
  EXPECT_EQ(sim_.FilePaths(), std::vector<std::wstring>{kShared});
  sim_.SetStoreFileSetting(L"");
  EXPECT_TRUE(Names(cls_).empty());  // beside the DLL: nothing yet
  sim_.SetStoreFileSetting(kShared);
  EXPECT_THAT(Names(cls_), ElementsAre(L"Shared"));
  std::wstring name = L"Shared";
  cls_.IniDelValue(name);
  EXPECT_TRUE(Names(cls_).empty());
}

TEST_F(StoreLocationTest, MergingKeepsEveryPaperAndBothVersionsOfOneThatDiffers) {
  cli::StoreAt x64(sim_.platform(), L"C:\\Program Files\\Sheetlore\\PrintSet.ini");
  cli::StoreAt x86(sim_.platform(), L"C:\\Program Files (x86)\\Sheetlore\\PrintSet.ini");
  cli::StoreAt target(sim_.platform(), kShared);
  ASSERT_TRUE(x64.component().IniWriteValue(L"Only64", 0, 10, 20, 1, 9, 1, 19));
  ASSERT_TRUE(x64.component().IniWriteValue(L"Both", 1, 8.5, 11, 0, 0, 0, 0));
  ASSERT_TRUE(x64.component().IniWriteValue(L"Differs", 0, 10, 10, 0, 0, 0, 0));
  ASSERT_TRUE(x86.component().IniWriteValue(L"Only32", 0, 5, 6, 0, 0, 0, 0));
  ASSERT_TRUE(x86.component().IniWriteValue(L"both", 1, 8.5, 11, 0, 0, 0, 0));  // same paper
  ASSERT_TRUE(x86.component().IniWriteValue(L"Differs", 0, 12, 12, 0, 0, 0, 0));
  ASSERT_TRUE(target.component().IniWriteValue(L"Kept", 0, 1, 2, 0, 0, 0, 0));

  cli::MergeReport first;
  cli::MergeStore(target.component(), x64.component(), L"x64", first);
  EXPECT_EQ(first.added, 3u);
  EXPECT_TRUE(first.notes.empty());
  cli::MergeReport second;
  cli::MergeStore(target.component(), x86.component(), L"x86", second);
  EXPECT_TRUE(second.complete);
  EXPECT_EQ(second.added, 1u);
  EXPECT_EQ(second.alike, 1u);
  EXPECT_EQ(second.keptBoth, 1u);
  ASSERT_EQ(second.notes.size(), 1u);
  EXPECT_THAT(second.notes[0], HasSubstr(L"\"Differs (x86)\""));

  EXPECT_THAT(Names(target.component()),
              ElementsAre(L"Kept", L"Only64", L"Both", L"Differs", L"Only32", L"Differs (x86)"));
  EXPECT_EQ(target.component().IniReadValue(1, L"Differs").W, 10);
  EXPECT_EQ(target.component().IniReadValue(1, L"Differs (x86)").W, 12);
  EXPECT_EQ(target.component().IniReadValue(1, L"Only64"), (rePaPer{0, 10, 20, 1, 9, 1, 19}));

  // Merged again (an interrupted installer run twice): nothing new, no note.
  cli::MergeReport again;
  cli::MergeStore(target.component(), x86.component(), L"x86", again);
  EXPECT_EQ(again.added + again.keptBoth, 0u);
  EXPECT_TRUE(again.notes.empty());
  // A third version of the paper takes the next free suffix.
  ASSERT_TRUE(x86.component().IniWriteValue(L"Differs", 0, 14, 14, 0, 0, 0, 0));
  cli::MergeReport third;
  cli::MergeStore(target.component(), x86.component(), L"x86", third);
  EXPECT_EQ(target.component().IniReadValue(1, L"Differs (x86 2)").W, 14);
}

// A paper the target's profile service takes for one it holds is found by the service's rule,
// not the tool's: under a service that ignores the case of É, é5 is kept beside É5.
TEST_F(StoreLocationTest, MergingFindsHeldPapersAsTheProfileServiceMatchesNames) {
  sim_.SetProfileFoldsEveryLetter();
  cli::StoreAt source(sim_.platform(), L"C:\\old\\x86.ini");
  cli::StoreAt target(sim_.platform(), kShared);
  ASSERT_TRUE(source.component().IniWriteValue(L"é5", 0, 2, 2, 0, 0, 0, 0));
  ASSERT_TRUE(target.component().IniWriteValue(L"É5", 0, 1, 1, 0, 0, 0, 0));
  cli::MergeReport report;
  cli::MergeStore(target.component(), source.component(), L"x86", report);
  EXPECT_EQ(report.keptBoth, 1u);
  EXPECT_EQ(target.component().IniReadValue(1, L"É5").W, 1);
  EXPECT_EQ(target.component().IniReadValue(1, L"é5 (x86)").W, 2);
}

TEST_F(StoreLocationTest, APaperThatCannotBeStoredLeavesTheMergeIncomplete) {
  cli::StoreAt source(sim_.platform(), L"C:\\old\\x86.ini");
  cli::StoreAt target(sim_.platform(), kShared);
  ASSERT_TRUE(source.component().IniWriteValue(L"Letter", 0, 10, 20, 0, 0, 0, 0));
  ASSERT_TRUE(target.component().IniWriteValue(L"Kept", 0, 1, 2, 0, 0, 0, 0));
  sim_.MakeReadOnly(kShared);
  cli::MergeReport report;
  cli::MergeStore(target.component(), source.component(), L"x86", report);
  EXPECT_FALSE(report.complete);
  ASSERT_EQ(report.notes.size(), 1u);
  EXPECT_THAT(report.notes[0], HasSubstr(L"\"Letter\" of the x86 store could not be stored"));
}

TEST(StoreSourceLabel, NamesTheFileOrTheFolderOfAPrintSetIni) {
  EXPECT_EQ(cli::SourceLabel(L"C:\\ProgramData\\Sheetlore\\Upgrade\\x86.ini"), L"x86");
  EXPECT_EQ(cli::SourceLabel(L"C:\\Sheetlore\\x64\\PrintSet.ini"), L"x64");
  EXPECT_EQ(cli::SourceLabel(L"C:\\Sheetlore\\x64\\printset.INI"), L"x64");
  EXPECT_EQ(cli::SourceLabel(L"PrintSet.ini"), L"PrintSet");
}

}  // namespace
}  // namespace sheetlore
