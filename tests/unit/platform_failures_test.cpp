// The failure log over the simulated platform: each store call notes itself when it fails, and
// nothing when it succeeds.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "component/platform_failures.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

const std::wstring kPath = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";

TEST(FailureRecordingPlatformTest, EachStoreWriteNotesItsCallOnlyWhenItFails) {
  sim::SimPlatform sim;
  sim.SetFileText(kPath, L"[A]\r\nW=1\r\n");
  FailureRecordingPlatform recording(sim.platform());
  ProfileFiles& profile = recording.platform().profile;
  struct Step {
    const wchar_t* operation;
    std::function<bool(const std::wstring& path)> call;
  };
  const Step steps[] = {
      {L"WritePrivateProfileString",
       [&](auto& path) { return profile.WriteString(L"A", L"W", L"2", path); }},
      {L"WritePrivateProfileSection",
       [&](auto& path) {
         return profile.WriteSection(L"B", {{L"W", L"1"}}, path);
       }},
      {L"WriteFile", [&](auto& path) { return profile.RewriteAsUnicode(L"[A]\r\nW=3\r\n", path); }},
      {L"WriteFile", [&](auto& path) { return profile.RewriteText(L"[A]\r\nW=4\r\n", path); }},
      {L"LockFile",
       [&](auto& path) {
         sim.SetLockFails(path.empty());
         return profile.LockFile(kPath) != nullptr;
       }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(step.operation)));
    recording.log().Clear();
    EXPECT_TRUE(step.call(kPath));
    EXPECT_TRUE(recording.log().failures().empty());
    EXPECT_FALSE(step.call(L""));
    ASSERT_TRUE(recording.log().Last());
    EXPECT_EQ(recording.log().Last()->operation, step.operation);
    EXPECT_EQ(recording.log().failures().size(), 1u);
  }
  EXPECT_EQ(sim.FileText(kPath), L"[A]\r\nW=4\r\n");
  EXPECT_TRUE(sim.FileIsUnicode(kPath));
}

}  // namespace
}  // namespace sheetlore
