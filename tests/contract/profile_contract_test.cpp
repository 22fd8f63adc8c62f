// The rules of the profile files that the paper store relies on, stated once and run against
// both platforms: natively on the simulated profile files, under Wine on the Windows ones.
// Where the two disagree the simulation is wrong.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/contract/backends.h"

namespace sheetlore::contract {
namespace {

constexpr std::uint32_t kBuffer = 10000;

class ProfileContractTest : public ::testing::Test {
 protected:
  std::wstring Read(const std::optional<std::wstring>& section,
                    const std::optional<std::wstring>& key) {
    std::wstring text = L"stale";
    const auto count = profile().GetString(section, key, L"<none>", kBuffer, text, path());
    EXPECT_EQ(count, text.size());
    return text;
  }
  std::wstring Keys(const std::wstring& section) {
    std::wstring text;
    profile().GetString(section, std::nullopt, L"", kBuffer, text, path());
    return text;
  }
  bool Write(const std::optional<std::wstring>& section, const std::optional<std::wstring>& key,
             const std::optional<std::wstring>& value) {
    return profile().WriteString(section, key, value, path());
  }
  bool StartsWithMark() {
    const auto bytes = backend_->FileBytes();
    return bytes && bytes->rfind("\xFF\xFE", 0) == 0;
  }

  ProfileFiles& profile() { return backend_->profile(); }
  const std::wstring& path() { return backend_->path(); }

  std::unique_ptr<ProfileBackend> backend_ = MakeProfileBackend();
};

TEST_F(ProfileContractTest, SectionsAndKeysIgnoreLetterCaseForAsciiLettersOnly) {
  struct Pair {
    std::wstring written;
    std::wstring variant;
    bool same;
  };
  const std::vector<Pair> pairs = {
      {L"Ab", L"aB", true},  {L"É5", L"é5", false}, {L"Āx", L"āx", false},
      {L"Σx", L"σx", false}, {L"Жx", L"жx", false}, {L"Ａx", L"ａx", false},
  };
  for (const Pair& pair : pairs) {
    SCOPED_TRACE(testing::PrintToString(pair.written));
    backend_->SetFileBytes(std::nullopt);
    ASSERT_TRUE(Write(pair.written, pair.written, L"1"));
    EXPECT_EQ(Read(pair.variant, pair.written), pair.same ? L"1" : L"<none>");
    EXPECT_EQ(Read(pair.written, pair.variant), pair.same ? L"1" : L"<none>");
    // A delete of the variant removes the section only when the service takes it for one.
    ASSERT_TRUE(Write(pair.variant, std::nullopt, std::nullopt));
    EXPECT_EQ(Read(pair.written, pair.written), pair.same ? L"<none>" : L"1");
  }
}

// A file of nothing but blank lines counts as empty, for a key's write and a section's.
TEST_F(ProfileContractTest, AnAbsentOrEmptyFileBecomesUtf16OnItsFirstWrite) {
  for (const std::optional<std::string>& start :
       {std::optional<std::string>(), std::optional<std::string>(""),
        std::optional<std::string>("\r\n"), std::optional<std::string>(" \r\n\t\r\n\r\n")}) {
    SCOPED_TRACE(start ? "file \"" + *start + "\"" : "no file");
    backend_->SetFileBytes(start);
    if (start && !start->empty()) {
      ASSERT_TRUE(profile().WriteSection(L"標籤", {{L"W", L"1"}}, path()));
    } else {
      ASSERT_TRUE(Write(L"標籤", L"W", L"1"));
    }
    ASSERT_TRUE(Write(L"紙張", L"W", L"2"));
    EXPECT_TRUE(StartsWithMark());
    EXPECT_EQ(Read(L"標籤", L"W"), L"1");
    EXPECT_EQ(Read(L"紙張", L"W"), L"2");
    EXPECT_EQ(Read(std::nullopt, std::nullopt), std::wstring(L"標籤\0紙張\0", 6));
  }
  // Deleting from an absent file creates nothing.
  backend_->SetFileBytes(std::nullopt);
  EXPECT_TRUE(Write(L"標籤", std::nullopt, std::nullopt));
  EXPECT_FALSE(backend_->FileBytes());
}

// A file of ANSI text keeps its encoding; a name its code page cannot hold exactly is never
// turned into another (標籤 into ??): reads find nothing, writes fail and change nothing. The
// run names the code page it expects (SHEETLORE_EXPECT_ACP), so that a run meant for one code
// page cannot pass under another.
TEST_F(ProfileContractTest, AnAnsiFileRefusesWhatItsCodePageCannotHold) {
  const unsigned codePage = backend_->AnsiCodePage();
  if (const char* expected = std::getenv("SHEETLORE_EXPECT_ACP")) {
    ASSERT_EQ(codePage, std::strtoul(expected, nullptr, 10));
  }
  ASSERT_TRUE(codePage == 1252 || codePage == 950) << codePage;
  const bool chinese = codePage == 950;
  const std::wstring held = chinese ? L"標籤" : L"É5";
  const std::vector<std::wstring> notHeld = {chinese ? L"Āx" : L"標籤", L"ب5"};
  const std::string start = "[Ax]\r\nK=1\r\n[??]\r\nK=2\r\n[?5]\r\nK=3\r\n[?x]\r\nK=4\r\n";
  backend_->SetFileBytes(start);
  for (const std::wstring& name : notHeld) {
    SCOPED_TRACE(testing::PrintToString(name));
    EXPECT_EQ(Read(name, L"K"), L"<none>");
    EXPECT_EQ(Keys(name), L"");
    EXPECT_FALSE(Write(name, L"K", L"5"));
    EXPECT_FALSE(Write(L"Ax", name, L"5"));
    EXPECT_FALSE(Write(L"Ax", L"V", name));
    EXPECT_FALSE(profile().WriteSection(name, {{L"K", L"5"}}, path()));
    EXPECT_EQ(profile().LastError(), kErrorNoUnicodeTranslation);
    EXPECT_EQ(backend_->FileBytes(), start);
  }
  ASSERT_TRUE(Write(held, L"K", L"6"));
  EXPECT_EQ(Read(held, L"K"), L"6");
  EXPECT_FALSE(StartsWithMark());

  // UTF-8 saved without a mark: under code page 950 its bytes do not all read as characters
  // and would be rewritten as substitutes, so every write is refused; code page 1252 reads and
  // writes every byte back.
  const std::string utf8 = "[Caf\xC3\xA9 \xC3\x9C]\r\nK=1\r\n";
  backend_->SetFileBytes(utf8);
  EXPECT_EQ(profile().KeepsExistingText(path()), !chinese);
  EXPECT_EQ(Write(L"Ax", L"K", L"7"), !chinese);
  EXPECT_EQ(profile().WriteSection(L"Ax", {{L"K", L"8"}}, path()), !chinese);
  EXPECT_EQ(Write(L"Ax", std::nullopt, std::nullopt), !chinese);
  ASSERT_TRUE(backend_->FileBytes());
  EXPECT_EQ(backend_->FileBytes()->substr(0, utf8.size()), utf8);
}

// A file's whole text, read and written back with a section added at its end, is the file the
// service's own write of that section makes, and reads back through the service as written: in
// a UTF-16 file (names outside ASCII, under a lock) and in an ANSI file (in its code page). A
// file with another mark, or a text its code page cannot hold, is neither read nor written.
TEST_F(ProfileContractTest, ASectionAddedAsTextIsTheServicesOwnWriteOfIt) {
  const bool chinese = backend_->AnsiCodePage() == 950;
  const std::wstring ansiName = chinese ? L"標籤" : L"É5";
  const struct {
    std::optional<std::string> start;  // the file before its first section is written
    std::wstring name;                 // of the section, its first key and that key's value
    std::wstring value;
  } cases[] = {
      {std::nullopt, L"標籤 É", L"２１ü"},
      {Utf16File(L"[A]\r\nk=1\r\n\r\n; note\r\n"), L"Ａx", L"1"},
      {std::string("[Ax]\r\nK=1\r\n"), ansiName, ansiName},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.name));
    const auto start = [&] {
      backend_->SetFileBytes(c.start);
      ASSERT_TRUE(profile().WriteSection(L"First", {{L"K", c.value}}, path()));
    };
    start();
    ASSERT_TRUE(profile().WriteSection(c.name, {{c.name, c.value}, {L"W", L"2"}}, path()));
    const auto serviceBytes = backend_->FileBytes();
    start();
    {
      const auto lock = profile().LockFile(path());
      const std::optional<std::wstring> text = profile().ReadText(path());
      ASSERT_TRUE(text);
      if (c.start && c.start->starts_with("[Ax]")) {
        // An ANSI file takes no character its code page lacks, and stays as it was.
        EXPECT_FALSE(profile().RewriteText(*text + L"[ب5]\r\nK=1\r\n", path()));
        EXPECT_EQ(profile().ReadText(path()), text);
      }
      ASSERT_TRUE(profile().RewriteText(
          *text + L"[" + c.name + L"]\r\n" + c.name + L"=" + c.value + L"\r\nW=2\r\n", path()));
      EXPECT_EQ(Read(c.name, c.name), c.value);
      ASSERT_TRUE(lock->Commit());
    }
    EXPECT_EQ(backend_->FileBytes(), serviceBytes);
    EXPECT_EQ(Keys(c.name), c.name + L'\0' + L"W" + L'\0');
    EXPECT_EQ(Read(L"First", L"K"), c.value);
  }
  const std::string utf8 = "\xEF\xBB\xBF[A]\r\nK=1\r\n";
  backend_->SetFileBytes(utf8);
  EXPECT_FALSE(profile().ReadText(path()));
  EXPECT_FALSE(profile().RewriteText(L"[A]\r\nK=2\r\n", path()));
  EXPECT_EQ(backend_->FileBytes(), utf8);
}

// Values lose the blanks and the quotes around them; key lists keep the file's order and the
// first spelling of a name; a new key goes last in its section; a null value deletes one key, a
// null key the whole section; a short buffer takes what fits before its closing zero.
TEST_F(ProfileContractTest, KeyListsKeepTheFileOrderAndDeletesRemoveOnlyWhatTheyName) {
  backend_->SetFileBytes(Utf16File(L"[A]\r\nk1 = \"quoted\"\r\nk2=  two  \r\n[B]\r\nk=1\r\n"));
  EXPECT_EQ(Read(L"A", L"k1"), L"quoted");
  EXPECT_EQ(Read(L"a", L"K2"), L"two");
  ASSERT_TRUE(Write(L"a", L"k3", L"3"));
  ASSERT_TRUE(Write(L"A", L"K1", L"one"));
  EXPECT_EQ(Keys(L"A"), std::wstring(L"k1\0k2\0k3\0", 9));
  ASSERT_TRUE(Write(L"A", L"K2", std::nullopt));
  EXPECT_EQ(Keys(L"A"), std::wstring(L"k1\0k3\0", 6));
  EXPECT_EQ(Read(L"A", L"k1"), L"one");
  ASSERT_TRUE(Write(L"b", std::nullopt, std::nullopt));
  EXPECT_EQ(Read(std::nullopt, std::nullopt), std::wstring(L"A\0", 2));
  EXPECT_EQ(Read(L"B", L"k"), L"<none>");
  std::wstring text;
  EXPECT_EQ(profile().GetString(L"A", L"k1", L"", 3, text, path()), 2u);
  EXPECT_EQ(text, L"on");
}

TEST_F(ProfileContractTest, WriteSectionReplacesEveryKeyInPlaceOrAddsTheSectionAtTheEnd) {
  backend_->SetFileBytes(Utf16File(L"[A]\r\nold=1\r\nW=9\r\n[B]\r\nk=1\r\n"));
  ASSERT_TRUE(profile().WriteSection(L"a", {{L"mMode", L"1"}, {L"W", L"14.8"}}, path()));
  ASSERT_TRUE(profile().WriteSection(L"C", {{L"mMode", L"0"}}, path()));
  EXPECT_EQ(Read(std::nullopt, std::nullopt), std::wstring(L"A\0B\0C\0", 6));
  EXPECT_EQ(Keys(L"A"), std::wstring(L"mMode\0W\0", 8));
  EXPECT_EQ(Read(L"A", L"W"), L"14.8");
  EXPECT_EQ(Read(L"C", L"mMode"), L"0");
  EXPECT_EQ(Read(L"B", L"k"), L"1");
}

// A value write changes its own line only: comments and lines without "=" stay where they
// are, and a new key follows the section's last line.
TEST_F(ProfileContractTest, AValueWriteKeepsEveryOtherLineOfItsSection) {
  backend_->SetFileBytes(Utf16File(L"[A]\r\n; note=x\r\nw=1\r\nodd line\r\n[B]\r\nk=1\r\n"));
  ASSERT_TRUE(Write(L"a", L"W", L"2"));
  ASSERT_TRUE(Write(L"A", L"H", L"3"));
  EXPECT_EQ(backend_->FileBytes(),
            Utf16File(L"[A]\r\n; note=x\r\nw=2\r\nodd line\r\nH=3\r\n[B]\r\nk=1\r\n"));
}

// A section's lines in one read: comments left out, a line without "=" without a value,
// values as the file holds them, the section found in any ASCII letter case.
TEST_F(ProfileContractTest, ASectionReadGivesItsLinesAsTheFileHoldsThem) {
  backend_->SetFileBytes(
      Utf16File(L"[A]\r\n; c=1\r\nw = 1 \r\nodd\r\nK=\"q\"\r\nW=2\r\n[B]\r\nk=1\r\n"));
  const auto lines = profile().ReadSection(L"a", path());
  ASSERT_TRUE(lines);
  std::wstring seen;
  for (const auto& line : *lines) seen += line.key + L"|" + line.value.value_or(L"(none)") + L";";
  EXPECT_EQ(seen, L"w|1;odd|(none);K|\"q\";W|2;");
  EXPECT_EQ(Read(L"A", L"K"), L"q");
  const auto missing = profile().ReadSection(L"C", path());
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->empty());
}

TEST_F(ProfileContractTest, AFileThatCannotBeWrittenRefusesEveryWriteAndKeepsItsBytes) {
  const std::string start = Utf16File(L"[S]\r\nk=1\r\n");
  backend_->SetFileBytes(start);
  backend_->BlockWrites();
  EXPECT_FALSE(Write(L"S", L"k", L"2"));
  EXPECT_EQ(profile().LastError(), kErrorSharingViolation);
  EXPECT_FALSE(Write(L"T", L"k", L"2"));
  EXPECT_FALSE(profile().WriteSection(L"S", {{L"k", L"3"}}, path()));
  EXPECT_EQ(profile().LastError(), kErrorSharingViolation);
  EXPECT_EQ(backend_->FileBytes(), start);
}

// An empty path names no file: reads find nothing, not even the default, and writes fail.
TEST_F(ProfileContractTest, AnEmptyPathReadsAndWritesNothing) {
  EXPECT_FALSE(profile().WriteString(L"S", L"K", L"V", L""));
  EXPECT_FALSE(profile().WriteSection(L"S", {{L"K", L"V"}}, L""));
  std::wstring text = L"stale";
  EXPECT_EQ(profile().GetString(L"S", L"K", L"default", kBuffer, text, L""), 0u);
  EXPECT_EQ(text, L"");
}

// The calls take zero-ended texts: names, values and the path end at their first zero.
// (Found by the profile fuzz target: a key written with a leading zero character was kept
// whole and then hid the section's key list.)
TEST_F(ProfileContractTest, TextsEndAtTheirFirstZeroCharacter) {
  backend_->SetFileBytes(std::nullopt);
  const std::wstring cutPath = path() + std::wstring(L"\0x", 2);
  EXPECT_TRUE(profile().WriteString(std::wstring(L"Paper\0junk", 10), std::wstring(L"W\0x", 3),
                                    std::wstring(L"21\0.5", 5), cutPath));
  EXPECT_EQ(Keys(L"Paper"), std::wstring(L"W\0", 2));
  std::wstring text;
  EXPECT_EQ(profile().GetString(std::wstring(L"Paper\0other", 11), std::wstring(L"W\0y", 3), L"",
                                kBuffer, text, path()),
            2u);
  EXPECT_EQ(text, L"21");
  EXPECT_EQ(profile().GetString(L"Paper", L"H", std::wstring(L"0\0z", 3), kBuffer, text, path()),
            1u);
  EXPECT_EQ(text, L"0");
}

// A lock is a change: its writes are read back under it but reach the file only with the
// outermost lock's commit; a lock ended without one, or a nested lock that wrote and ended
// without one, leaves the file's bytes as they were.
TEST_F(ProfileContractTest, ALockedChangeReachesTheFileOnlyWithTheOutermostCommit) {
  ASSERT_TRUE(Write(L"PrintMain", L"A5X", L"A5X"));
  const auto before = backend_->FileBytes();
  const std::wstring both(L"A5X\0B5\0", 7);
  {
    const auto outer = profile().LockFile(path());
    ASSERT_TRUE(outer);
    {
      const auto inner = profile().LockFile(path());
      ASSERT_TRUE(Write(L"PrintMain", L"B5", L"B5"));
      EXPECT_TRUE(inner->Commit());
    }
    EXPECT_EQ(Keys(L"PrintMain"), both);
    EXPECT_EQ(backend_->FileBytes(), before);
  }
  EXPECT_EQ(backend_->FileBytes(), before);
  {
    const auto outer = profile().LockFile(path());
    {
      const auto inner = profile().LockFile(path());
      ASSERT_TRUE(Write(L"PrintMain", L"B5", L"B5"));
    }
    EXPECT_FALSE(outer->Commit());
    EXPECT_FALSE(outer->Problem().empty());
  }
  EXPECT_EQ(backend_->FileBytes(), before);
  {
    const auto outer = profile().LockFile(path());
    ASSERT_TRUE(Write(L"PrintMain", L"B5", L"B5"));
    EXPECT_TRUE(outer->Commit());
    EXPECT_TRUE(outer->Problem().empty());
  }
  EXPECT_EQ(Keys(L"PrintMain"), both);
  EXPECT_NE(backend_->FileBytes(), before);
  // A lock that writes nothing to an absent file creates none.
  backend_->SetFileBytes(std::nullopt);
  {
    const auto lock = profile().LockFile(path());
    Write(L"Missing", std::nullopt, std::nullopt);
    EXPECT_TRUE(lock->Commit());
  }
  EXPECT_EQ(backend_->FileBytes(), std::nullopt);
}

}  // namespace
}  // namespace sheetlore::contract
