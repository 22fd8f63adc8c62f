// The rules of the system and host services that the component relies on, stated once and run
// against both platforms: natively on the simulated ones, under Wine on the Windows ones.
// Where the two disagree the simulation is wrong.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "tests/contract/backends.h"

namespace sheetlore::contract {
namespace {

class SystemContractTest : public ::testing::Test {
 protected:
  System& system() { return backend_->system(); }
  std::unique_ptr<SystemBackend> backend_ = MakeSystemBackend();
};

// The wizard is found by its caption: the whole caption, letter case aside for ASCII letters.
TEST_F(SystemContractTest, FindWindowMatchesTheWholeCaption) {
  const std::wstring caption = L"Add Printer Wizard 新增印表機 ÉΣЖĀＡ";
  EXPECT_EQ(system().FindWindow(caption), 0u);
  const WindowHandle window = backend_->OpenWindow(caption);
  ASSERT_NE(window, 0u);
  struct Variant {
    std::wstring caption;
    bool found;
  };
  const std::vector<Variant> variants = {
      {caption, true},
      {L"ADD PRINTER wizard 新增印表機 ÉΣЖĀＡ", true},
      {L"Add Printer Wizard 新增印表機 éσжāａ", true},  // every script's letters fold
      {caption.substr(0, caption.size() - 1), false},
      {caption + L" ", false},
  };
  for (const Variant& variant : variants) {
    SCOPED_TRACE(testing::PrintToString(variant.caption));
    EXPECT_EQ(system().FindWindow(variant.caption), variant.found ? window : 0u);
  }
  backend_->CloseWindow();
  EXPECT_EQ(system().FindWindow(caption), 0u);
}

// The clock counts milliseconds and never goes back; a sleep moves it. Each reading of the clock
// is bracketed by two readings of a reference clock, so the interval it counts lies between the
// inner and the outer reference interval however long the machine keeps the test waiting: a
// clock in seconds, in finer steps than milliseconds or at another rate fails, a late wake-up
// does not.
TEST_F(SystemContractTest, SleepsMoveTheMillisecondClockAsFarAsTheyLast) {
  const std::uint64_t outerStart = backend_->ReferenceMilliseconds();
  const std::uint64_t start = system().Milliseconds();
  const std::uint64_t innerStart = backend_->ReferenceMilliseconds();
  std::uint64_t previous = start;
  for (int i = 0; i < 30; ++i) {
    system().Sleep(10);
    const std::uint64_t now = system().Milliseconds();
    ASSERT_GE(now, previous) << "the clock went back";
    previous = now;
  }
  const std::uint64_t innerEnd = backend_->ReferenceMilliseconds();
  const std::uint64_t end = system().Milliseconds();
  const std::uint64_t outerEnd = backend_->ReferenceMilliseconds();
  ASSERT_GE(end, previous) << "the clock went back";
  const std::uint64_t counted = end - start;
  EXPECT_GE(counted, 300u - 32u);  // the tick may lag the sleeps by a step
  EXPECT_GE(counted + 32, innerEnd - innerStart);
  EXPECT_LE(counted, outerEnd - outerStart + 32);
}

TEST_F(SystemContractTest, FileExistsOnlyForOrdinaryAndReadOnlyFiles) {
  Host& host = backend_->host();
  const std::wstring ordinary = backend_->MakeFile(FileKind::kOrdinary);
  EXPECT_TRUE(host.FileExists(ordinary));
  std::wstring otherCase = ordinary;
  for (wchar_t& c : otherCase) c = static_cast<wchar_t>(std::towupper(c));
  EXPECT_TRUE(host.FileExists(otherCase));
  EXPECT_TRUE(host.FileExists(backend_->MakeFile(FileKind::kReadOnly)));
  EXPECT_FALSE(host.FileExists(backend_->MakeFile(FileKind::kHidden)));
  EXPECT_FALSE(host.FileExists(backend_->MakeFile(FileKind::kSystem)));
  EXPECT_FALSE(host.FileExists(ordinary + L".absent"));
  EXPECT_FALSE(host.FileExists(L""));
}

}  // namespace
}  // namespace sheetlore::contract
