// InchToCm, GetWindows and PrintCheck (with the add-printer wizard wait) on the simulated
// platform.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/sim_support.h"

namespace sheetlore {
namespace {

using sim::SimPlatform;

class EnvironmentTest : public testing::Test {
 protected:
  SimPlatform sim;
  ClsPrint print{sim.platform()};
};

using InchToCmTest = EnvironmentTest;

// Any mode but exactly true or false gives 0; the arguments by reference are never changed.
TEST_F(InchToCmTest, TrueConvertsInchesFalseCentimetresAndAnyOtherModeGivesZero) {
  struct Case {
    double value;
    std::int16_t mode;
    double expected;
  };
  for (const Case& c :
       {Case{1, kVariantTrue, 2.54}, Case{2.54, kVariantFalse, 1}, Case{-8.5, kVariantTrue, -21.59},
        Case{5, 1, 0}, Case{5, 2, 0}, Case{5, -2, 0}, Case{5, 32767, 0}, Case{5, -32768, 0}}) {
    double value = c.value;
    std::int16_t mode = c.mode;
    EXPECT_DOUBLE_EQ(print.InchToCm(value, mode), c.expected) << c.value << " mode " << c.mode;
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(mode, c.mode);
  }
  EXPECT_DOUBLE_EQ(print.InchToCm(1), 2.54);  // the mode defaults to inches to centimetres
  EXPECT_TRUE(sim.Calls().empty());
}

TEST_F(InchToCmTest, AProductBeyondTheDoubleRangeIsAnOverflow) {
  for (const double huge : {1e308, -1e308, std::numeric_limits<double>::max()}) {
    double value = huge;
    std::int16_t mode = kVariantTrue;
    const Raised raised = RaisedBy([&] { print.InchToCm(value, mode); });
    EXPECT_EQ(raised.number, 6) << huge;
    EXPECT_EQ(raised.description, L"Overflow");
  }
  // The other direction shrinks the value and cannot overflow.
  EXPECT_DOUBLE_EQ(print.InchToCm(1e308, false), 1e308 / 2.54);
  EXPECT_DOUBLE_EQ(print.InchToCm(1e308 / 2.54), 1e308);
}

using GetWindowsTest = EnvironmentTest;

// A failing version call gives 0, for that call only.
TEST_F(GetWindowsTest, AnswersThePlatformIdentifierOrZeroWhenTheVersionCallFails) {
  sim.FailCall(sim::Api::GetVersionEx);
  EXPECT_EQ(print.GetWindows(), 0);
  EXPECT_EQ(print.GetWindows(), 2);  // the NT family by default
  // 0 is the oldest 32-bit layer; the identifier is kept to 16 bits.
  for (const auto& [id, answer] : {std::pair{1u, 1}, {0u, 0}, {3u, 3}, {0x10002u, 2}}) {
    sim.SetPlatformId(id);
    EXPECT_EQ(print.GetWindows(), answer) << id;
  }
}

using PrintCheckTest = EnvironmentTest;

// Without a printer only exactly true (all bits set) asks for the wizard; with one, no mode
// does. Either way the answer comes at once and the arguments by reference are kept.
TEST_F(PrintCheckTest, WithoutTheWizardTheAnswerIsWhetherAPrinterIsInstalled) {
  const std::uint64_t start = sim.Now();
  for (const bool installed : {false, true}) {
    if (installed) sim.AddPrinter(L"Office");
    EXPECT_EQ(print.PrintCheck(), installed);
    std::wstring caption = kAddPrinterWizardCaption;
    for (const std::int16_t mode : {std::int16_t{0}, std::int16_t{1}, std::int16_t{-2}}) {
      std::int16_t byReference = mode;
      EXPECT_EQ(print.PrintCheck(byReference, caption), installed) << "mode " << mode;
      EXPECT_EQ(byReference, mode);
    }
    EXPECT_EQ(caption, kAddPrinterWizardCaption);
  }
  std::int16_t allBits = kVariantTrue;
  std::wstring caption = kAddPrinterWizardCaption;
  EXPECT_TRUE(print.PrintCheck(allBits, caption));
  EXPECT_TRUE(print.PrintCheck(true));
  EXPECT_EQ(sim.WizardStarts(), 0u);
  EXPECT_EQ(sim.Now(), start);
}

TEST_F(PrintCheckTest, FailuresToListPrintersOrStartTheWizardReachTheCaller) {
  sim.SetWizardFails(true);
  const std::uint64_t start = sim.Now();
  EXPECT_EQ(RaisedBy([&] { print.PrintCheck(true); }).hresult, 0x80004005u);
  EXPECT_EQ(sim.Now(), start);  // nothing is waited for after a failed start
  sim.FailCall(sim::Api::Printers);
  EXPECT_THROW(print.PrintCheck(), AutomationError);
}

constexpr std::uint64_t kAppearBoundMs = 60'000;
constexpr std::uint64_t kPauseAfterWizardMs = 2000;

class WizardTest : public EnvironmentTest {
 protected:
  // The wizard's window opens openAfter and closes closeAfter milliseconds after the wizard
  // starts; when installs is set, a printer is installed just before the window closes.
  void ScriptWizard(std::uint64_t openAfter, std::uint64_t closeAfter, bool installs,
                    const std::wstring& caption = kAddPrinterWizardCaption) {
    sim.OnWizardStart([=, this] {
      const std::uint64_t now = sim.Now();
      wizardStartedAt = now;
      sim.ScriptWindow(caption, now + openAfter, now + closeAfter);
    });
    if (installs) {
      sim.OnPumpMessages([=, this] {
        if (wizardStartedAt && sim.Now() + 50 >= *wizardStartedAt + closeAfter &&
            sim.PrinterNames().empty()) {
          sim.AddPrinter(L"Installed by the user");
        }
      });
    }
  }

  // The polls of the wait must each be followed by a short sleep: no pass runs back to back
  // with the next, and the caller's messages run on every pass.
  void ExpectPatientPolling() {
    const std::vector<sim::Call>& calls = sim.Calls();
    std::size_t polls = 0;
    bool sleptSincePoll = true;
    bool started = false;
    for (const sim::Call& call : calls) {
      started = started || call.api == sim::Api::StartAddPrinterWizard;
      if (!started) continue;
      if (call.api == sim::Api::FindWindow) {
        ++polls;
        EXPECT_TRUE(sleptSincePoll) << "poll " << polls << " followed the previous one at once";
        sleptSincePoll = false;
      } else if (call.api == sim::Api::Sleep) {
        const auto ms = std::stoul(call.args.at(0));
        EXPECT_GT(ms, 0u);
        if (ms != kPauseAfterWizardMs) {
          EXPECT_LE(ms, 100u) << "windows would stall";
        }
        sleptSincePoll = true;
      }
    }
    EXPECT_GT(polls, 0u);
    EXPECT_EQ(sim.CountCalls(sim::Api::PumpMessages), polls + 2);
  }

  // The answer comes the pause after the wait ended, give or take one poll.
  void ExpectAnsweredAfter(std::uint64_t waitEnded) {
    EXPECT_GE(sim.Now(), waitEnded + kPauseAfterWizardMs);
    EXPECT_LE(sim.Now(), waitEnded + kPauseAfterWizardMs + 100);
  }

  std::optional<std::uint64_t> wizardStartedAt;
};

// When the wizard's window opens and closes after the wizard starts, whether a printer is
// installed meanwhile, and the caption passed by reference.
using WizardSession = std::tuple<std::uint64_t, std::uint64_t, bool, std::wstring>;

class WizardSessionTest : public WizardTest, public testing::WithParamInterface<WizardSession> {};

// The answer is whether a printer is installed, about two seconds after the wizard's window
// closed, however long it stayed open; the arguments by reference are kept.
TEST_P(WizardSessionTest, TheAnswerComesThePauseAfterTheWizardsWindowCloses) {
  const auto& [openAfter, closeAfter, installs, caption] = GetParam();
  ScriptWizard(openAfter, closeAfter, installs, caption);
  std::int16_t mode = kVariantTrue;
  std::wstring byReference = caption;
  EXPECT_EQ(print.PrintCheck(mode, byReference), installs);
  EXPECT_EQ(mode, kVariantTrue);
  EXPECT_EQ(byReference, caption);
  EXPECT_EQ(sim.WizardStarts(), 1u);
  ASSERT_TRUE(wizardStartedAt);
  ExpectAnsweredAfter(*wizardStartedAt + closeAfter);
  ExpectPatientPolling();
}

// A window open by the first poll is not taken for an earlier window; looking for the default
// caption instead of the one passed would wait for the bound.
INSTANTIATE_TEST_SUITE_P(Sessions, WizardSessionTest,
                         testing::Values(WizardSession{700, 9000, true, kAddPrinterWizardCaption},
                                         WizardSession{0, 4000, false, kAddPrinterWizardCaption},
                                         WizardSession{200, 5 * kAppearBoundMs, true,
                                                       kAddPrinterWizardCaption},
                                         WizardSession{100, 1000, true, L"Add Printer"}));

TEST_F(WizardTest, AWindowThatNeverAppearsEndsTheWaitAfterTheBound) {
  // A wizard under another title: the printer it installs is still found.
  sim.OnWizardStart([this] {
    wizardStartedAt = sim.Now();
    sim.ScriptWindow(L"Add Printer", sim.Now(), sim.Now() + 5000);
    sim.AddPrinter(L"Installed by the user");
  });
  EXPECT_TRUE(print.PrintCheck(true));
  // On the simulated clock the bound is met exactly, not one poll later.
  EXPECT_EQ(sim.Now(), *wizardStartedAt + kAppearBoundMs + kPauseAfterWizardMs);
  ExpectPatientPolling();
  // About one poll every few dozen milliseconds, not thousands.
  EXPECT_LE(sim.CountCalls(sim::Api::FindWindow), kAppearBoundMs / 20);
}

TEST_F(WizardTest, AWindowOpenFromBeforeHoldsTheWaitAndTheBoundCountsFromItsClosing) {
  const std::uint64_t start = sim.Now();
  sim.SetFindWindowPollCost(7);  // slow lookups count against the bound too
  sim.ScriptWindow(kAddPrinterWizardCaption, 0, start + 3000);  // open from before
  sim.ScriptWindow(kAddPrinterWizardCaption, start + 10000, start + 15000);
  EXPECT_FALSE(print.PrintCheck(true));
  // Neither the first window's closing nor the gap ends the wait; the second closing does.
  ExpectAnsweredAfter(start + 15000);
  // The bound counts from when a window open from before closed.
  const std::uint64_t closesAt = sim.Now() + 2 * kAppearBoundMs;
  sim.ScriptWindow(kAddPrinterWizardCaption, 0, closesAt);
  EXPECT_FALSE(print.PrintCheck(true));
  ExpectAnsweredAfter(closesAt + kAppearBoundMs);
}

TEST_F(WizardTest, OtherCallsCanRunWhileTheWizardIsOpen) {
  ScriptWizard(0, 1000, /*installs=*/false);
  int conversions = 0;
  sim.OnPumpMessages([&] {
    if (print.InchToCm(1) == 2.54) ++conversions;
  });
  EXPECT_FALSE(print.PrintCheck(true));
  EXPECT_EQ(static_cast<std::size_t>(conversions), sim.CountCalls(sim::Api::PumpMessages));
  EXPECT_GT(conversions, 2);
}

}  // namespace
}  // namespace sheetlore
