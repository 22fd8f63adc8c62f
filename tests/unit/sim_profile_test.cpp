// The simulated profile files: the Windows profile rules on the text of a file. The rules the
// paper store relies on are stated once for both platforms in tests/contract, and the full
// agreement with Wine's kernel32 is checked by tests/profile_diff; these cases pin the text
// the simulation writes and its own services (call log, failures, the default file).
#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace sheetlore::sim {
namespace {

const std::wstring kPath = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";

class SimProfileTest : public ::testing::Test {
 protected:
  bool Write(const std::optional<std::wstring>& section, const std::optional<std::wstring>& key,
             const std::optional<std::wstring>& value) {
    return sim_.platform().profile.WriteString(section, key, value, kPath);
  }

  std::wstring Read(const std::optional<std::wstring>& section,
                    const std::optional<std::wstring>& key, const std::wstring& defaultValue = L"",
                    std::uint32_t bufferChars = 10000) {
    std::wstring text;
    count_ =
        sim_.platform().profile.GetString(section, key, defaultValue, bufferChars, text, kPath);
    EXPECT_EQ(count_, text.size());
    return text;
  }

  SimPlatform sim_;
  std::uint32_t count_ = 0;
};

TEST_F(SimProfileTest, FirstWriteCreatesTheFileAndNewKeysAndSectionsGoAtTheEnd) {
  EXPECT_FALSE(sim_.FileExists(kPath));
  EXPECT_TRUE(Write(L"PrintMain", L"A5X", L"A5X"));
  EXPECT_TRUE(Write(L"A5X", L"mMode", L"0"));
  EXPECT_TRUE(Write(L"A5X", L"W", L"14.8"));
  EXPECT_TRUE(Write(L"PrintMain", L"B5", L"B5"));
  EXPECT_TRUE(Write(L"printmain", L"a5x", L"A5X"));  // same key: nothing changes
  EXPECT_EQ(
      L"[PrintMain]\r\nA5X=A5X\r\nB5=B5\r\n"
      L"[A5X]\r\nmMode=0\r\nW=14.8\r\n",
      sim_.FileText(kPath));
  EXPECT_EQ(std::vector<std::wstring>{kPath}, sim_.FilePaths());
}

TEST_F(SimProfileTest, NamesMatchWithoutCaseAndWithTheirBlanksTrimmed) {
  sim_.SetFileText(kPath, L"[Paper]\r\n  Width = 21 \r\n");
  EXPECT_EQ(L"21", Read(L"PAPER", L"width"));
  EXPECT_EQ(L"21", Read(L" paper ", L" WIDTH "));
  EXPECT_TRUE(Write(L"paper", L"WIDTH", L"  29.7"));  // leading blanks of a value dropped
  EXPECT_EQ(L"[Paper]\r\nWidth=29.7\r\n", sim_.FileText(kPath));
}

TEST_F(SimProfileTest, ValuesLoseOnePairOfQuotesAndMissingOnesGiveTheDefault) {
  sim_.SetFileText(kPath, L"[S]\r\nq=\"quoted\"\r\nsingle='x'\r\nhalf=\"open\r\n");
  EXPECT_EQ(L"quoted", Read(L"S", L"q"));
  EXPECT_EQ(L"x", Read(L"S", L"single"));
  EXPECT_EQ(L"\"open", Read(L"S", L"half"));
  EXPECT_EQ(L"0", Read(L"S", L"absent", L"0"));
  EXPECT_EQ(L"d", Read(L"Nowhere", L"q", L"d   "));  // trailing blanks of a default dropped
}

TEST_F(SimProfileTest, ShortBuffersCutValuesAndListsAsTheApiDoes) {
  sim_.SetFileText(kPath, L"[S]\r\nname=abcdef\r\nq=\"abc\"\r\nlong=1\r\nlonger=2\r\n");
  EXPECT_EQ(L"abc", Read(L"S", L"name", L"", 4));
  EXPECT_EQ(L"", Read(L"S", L"name", L"", 1));
  EXPECT_EQ(L"", Read(L"S", L"name", L"", 0));
  // A quoted value loses its last character whenever the rest fits the buffer.
  EXPECT_EQ(L"ab", Read(L"S", L"q", L"", 4));
  EXPECT_EQ(L"abc", Read(L"S", L"q", L"", 5));
  // A list that does not fit: the count is bufferChars - 2 and the last name is cut.
  EXPECT_EQ(std::wstring(L"name\0q\0lo", 9), Read(L"S", std::nullopt, L"", 11));
  EXPECT_EQ(9u, count_);
}

TEST_F(SimProfileTest, ReadOnlyFilesRefuseWrites) {
  sim_.SetFileText(kPath, L"[S]\r\nk=1\r\n");
  sim_.MakeReadOnly(kPath);
  EXPECT_FALSE(Write(L"S", L"k", L"2"));
  EXPECT_FALSE(Write(L"S", L"k", std::nullopt));
  EXPECT_FALSE(Write(L"S", std::nullopt, std::nullopt));
  EXPECT_EQ(L"[S]\r\nk=1\r\n", sim_.FileText(kPath));
  EXPECT_EQ(L"1", Read(L"S", L"k"));
}

TEST_F(SimProfileTest, AnEmptyPathIsTheSystemsDefaultProfile) {
  EXPECT_TRUE(sim_.platform().profile.WriteString(L"S", L"k", L"v", L""));
  EXPECT_TRUE(sim_.FileExists(L"c:\\WINDOWS\\win.ini"));
  EXPECT_FALSE(sim_.FileExists(kPath));
}

TEST_F(SimProfileTest, CallsAreLoggedAndCanBeMadeToFail) {
  sim_.FailCall(sim::Api::WritePrivateProfileString);
  EXPECT_FALSE(Write(L"S", L"k", L"v"));
  EXPECT_FALSE(sim_.FileExists(kPath));
  sim_.SetFileText(kPath, L"[S]\r\nk=v\r\n");
  sim_.FailCall(sim::Api::GetPrivateProfileString);
  EXPECT_EQ(L"", Read(L"S", L"k", L"d"));
  EXPECT_EQ(0u, count_);
  EXPECT_EQ(L"v", Read(L"S", L"k", L"d", 10));

  ASSERT_EQ(3u, sim_.Calls().size());
  EXPECT_EQ((Call{sim::Api::WritePrivateProfileString, {L"S", L"k", L"v", kPath}}),
            sim_.Calls()[0]);
  EXPECT_EQ((Call{sim::Api::GetPrivateProfileString, {L"S", L"k", L"d", L"10", kPath}}),
            sim_.Calls()[2]);
  sim_.platform().profile.WriteString(L"S", std::nullopt, std::nullopt, kPath);
  EXPECT_EQ((std::vector<std::wstring>{L"S", kNull, kNull, kPath}), sim_.Calls().back().args);
}

}  // namespace
}  // namespace sheetlore::sim

namespace sheetlore::sim {
namespace {

// The Windows calls take zero-ended strings: names and values end at their first zero
// character. (Found by the profile fuzz target: a key written with a leading zero character
// was kept whole and then hid the section's key list.)
TEST(SimProfileZeroTest, TextsEndAtTheirFirstZeroCharacter) {
  SimPlatform sim;
  ProfileFiles& profile = sim.platform().profile;
  const std::wstring path = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";
  EXPECT_TRUE(profile.WriteString(std::wstring(L"Paper\0junk", 10), std::wstring(L"W\0x", 3),
                                  std::wstring(L"21\0.5", 5), path + std::wstring(L"\0x", 2)));
  EXPECT_EQ(sim.FileText(path), L"[Paper]\r\nW=21\r\n");
  std::wstring text;
  EXPECT_EQ(profile.GetString(std::wstring(L"Paper\0other", 11), std::wstring(L"W\0y", 3), L"", 100,
                              text, path),
            2u);
  EXPECT_EQ(text, L"21");
  EXPECT_EQ(profile.GetString(L"Paper", L"H", std::wstring(L"0\0z", 3), 100, text, path), 1u);
  EXPECT_EQ(text, L"0");
}

}  // namespace
}  // namespace sheetlore::sim
