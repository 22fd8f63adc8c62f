// The simulated system, shell and host: the fake clock and scripted windows, the recorded
// message boxes, the wizard, the printers as automation objects, and the call log.
#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace sheetlore::sim {
namespace {

class SimSystemTest : public ::testing::Test {
 protected:
  System& system() { return sim_.platform().system; }
  Host& host() { return sim_.platform().host; }
  SimPlatform sim_;
};

TEST_F(SimSystemTest, VersionReportsThePlatformIdOrFails) {
  std::uint32_t id = 0;
  ASSERT_TRUE(system().GetVersionEx(id));
  EXPECT_EQ(2u, id);
  sim_.SetPlatformId(1);
  ASSERT_TRUE(system().GetVersionEx(id));
  EXPECT_EQ(1u, id);
  sim_.FailVersion();
  id = 7;
  EXPECT_FALSE(system().GetVersionEx(id));
  EXPECT_EQ(7u, id);
}

TEST_F(SimSystemTest, OnlySleepAndWindowPollsMoveTheClock) {
  const std::uint64_t start = system().Milliseconds();
  EXPECT_EQ(start, system().Milliseconds());
  system().Sleep(250);
  EXPECT_EQ(start + 250, system().Milliseconds());
  sim_.SetFindWindowPollCost(10);
  system().FindWindow(L"Anything");
  EXPECT_EQ(start + 260, sim_.Now());
  system().PumpMessages();
  EXPECT_EQ(start + 260, sim_.Now());
}

TEST_F(SimSystemTest, ScriptedWindowsOpenAndCloseOnTheClock) {
  const std::uint64_t now = sim_.Now();
  const WindowHandle wizard = sim_.ScriptWindow(L"Add Printer", now + 100, now + 300);
  EXPECT_EQ(0u, system().FindWindow(L"Add Printer"));
  system().Sleep(100);
  EXPECT_EQ(wizard, system().FindWindow(L"Add Printer"));
  EXPECT_EQ(0u, system().FindWindow(L"add printer"));  // the caption must match exactly
  system().Sleep(200);
  EXPECT_EQ(0u, system().FindWindow(L"Add Printer"));

  const WindowHandle opened = sim_.OpenWindow(L"Other");
  EXPECT_EQ(opened, system().FindWindow(L"Other"));
  sim_.CloseWindow(L"Other");
  EXPECT_EQ(0u, system().FindWindow(L"Other"));
}

TEST_F(SimSystemTest, HooksLetATestPlayTheUser) {
  int polls = 0;
  sim_.OnFindWindow([&](const std::wstring& caption) {
    if (++polls == 3) sim_.OpenWindow(caption);
  });
  EXPECT_EQ(0u, system().FindWindow(L"Wizard"));
  EXPECT_EQ(0u, system().FindWindow(L"Wizard"));
  EXPECT_NE(0u, system().FindWindow(L"Wizard"));

  int pumps = 0;
  sim_.OnPumpMessages([&] { ++pumps; });
  system().PumpMessages();
  EXPECT_EQ(1, pumps);
}

TEST_F(SimSystemTest, MessageBoxesAreRecordedInOrder) {
  std::vector<std::wstring> seen;
  sim_.OnMessageBox([&](const Message& message) { seen.push_back(message.text); });
  system().MessageBox(L"first", L"title", 64);
  system().MessageBox(L"second", L"title", 64);
  ASSERT_EQ(2u, sim_.Messages().size());
  EXPECT_EQ((Message{L"first", L"title", 64}), sim_.Messages()[0]);
  EXPECT_EQ((std::vector<std::wstring>{L"first", L"second"}), seen);
}

TEST_F(SimSystemTest, TheWizardStartsRunsTheHookOrFails) {
  Shell& shell = sim_.platform().shell;
  sim_.OnWizardStart([&] { sim_.AddPrinter(L"New Printer"); });
  shell.StartAddPrinterWizard();
  EXPECT_EQ(1u, sim_.WizardStarts());
  EXPECT_EQ(std::vector<std::wstring>{L"New Printer"}, sim_.PrinterNames());

  sim_.SetWizardFails(true);
  EXPECT_THROW(shell.StartAddPrinterWizard(), AutomationError);
  sim_.SetWizardFails(false);
  sim_.FailCall(sim::Api::StartAddPrinterWizard);
  EXPECT_THROW(shell.StartAddPrinterWizard(), AutomationError);
  EXPECT_EQ(1u, sim_.WizardStarts());
  EXPECT_EQ(3u, sim_.CountCalls(sim::Api::StartAddPrinterWizard));
}

TEST_F(SimSystemTest, PrintersComeInOrderAndTheFirstIsCurrent) {
  sim_.AddPrinter(L"Office");
  sim_.AddPrinter(L"Label");
  const std::vector<PrinterRef> printers = host().Printers();
  ASSERT_EQ(2u, printers.size());
  EXPECT_EQ(L"Office", printers[0]->DeviceName());
  EXPECT_EQ(L"Label", printers[1]->DeviceName());
  EXPECT_EQ(L"Office", host().CurrentPrinter()->DeviceName());
  EXPECT_EQ(sim_.PrinterDC(L"Office"), host().CurrentPrinter()->hDC());

  sim_.SetCurrentPrinter(L"Label");
  EXPECT_EQ(L"Label", host().CurrentPrinter()->DeviceName());
  EXPECT_EQ(L"Nowhere", sim_.Printer(L"Nowhere")->DeviceName());
}

TEST_F(SimSystemTest, WithoutPrintersTheCurrentPrinterFails) {
  sim_.AddPrinter(L"Office");
  sim_.RemoveAllPrinters();
  EXPECT_TRUE(host().Printers().empty());
  const PrinterRef current = host().CurrentPrinter();
  ASSERT_TRUE(current);
  try {
    current->DeviceName();
    FAIL() << "no printer installed";
  } catch (const AutomationError& error) {
    EXPECT_EQ(482, error.number());
  }
  EXPECT_THROW(current->hDC(), AutomationError);
}

TEST_F(SimSystemTest, BrokenPrintersAndInjectedFailuresThrow) {
  const PrinterRef broken = sim_.MakeBrokenPrinter();
  try {
    broken->DeviceName();
    FAIL() << "a broken printer has no DeviceName";
  } catch (const AutomationError& error) {
    EXPECT_EQ(static_cast<std::int32_t>(0x80020006u), error.hresult());
  }
  sim_.AddPrinter(L"Office");
  sim_.FailCall(sim::Api::DeviceName);
  EXPECT_THROW(host().CurrentPrinter()->DeviceName(), AutomationError);
  EXPECT_EQ(L"Office", host().CurrentPrinter()->DeviceName());
  sim_.FailCall(sim::Api::Printers);
  EXPECT_THROW(host().Printers(), AutomationError);
}

TEST_F(SimSystemTest, FileExistsSeesOnlyOrdinaryFiles) {
  EXPECT_EQ(L"C:\\Program Files\\Sheetlore", host().ComponentDirectory());
  sim_.SetComponentDirectory(L"D:\\");
  EXPECT_EQ(L"D:\\", host().ComponentDirectory());

  EXPECT_FALSE(host().FileExists(L"D:\\\\PrintSet.ini"));
  sim_.SetFileText(L"D:\\\\PrintSet.ini", L"");
  EXPECT_TRUE(host().FileExists(L"d:\\\\printset.INI"));
  sim_.MakeHidden(L"D:\\\\PrintSet.ini");
  EXPECT_FALSE(host().FileExists(L"D:\\\\PrintSet.ini"));
  sim_.SetFileText(L"D:\\other.ini", L"");
  sim_.MakeSystem(L"D:\\other.ini");
  EXPECT_FALSE(host().FileExists(L"D:\\other.ini"));
}

TEST_F(SimSystemTest, TheCallLogKeepsEveryCallInOrder) {
  sim_.AddPrinter(L"Office");
  std::uint32_t id = 0;
  system().GetVersionEx(id);
  system().FindWindow(L"Caption");
  system().Sleep(5);
  host().CurrentPrinter()->DeviceName();
  host().FileExists(L"C:\\x.ini");
  EXPECT_EQ(
      (std::vector<sim::Api>{sim::Api::GetVersionEx, sim::Api::FindWindow, sim::Api::Sleep,
                             sim::Api::CurrentPrinter, sim::Api::DeviceName, sim::Api::FileExists}),
      sim_.CallNames());
  EXPECT_EQ((Call{sim::Api::Sleep, {L"5"}}), sim_.Calls()[2]);
  sim_.ClearCalls();
  EXPECT_TRUE(sim_.Calls().empty());
  EXPECT_EQ(0u, sim_.CountCalls(sim::Api::Sleep));
}

}  // namespace
}  // namespace sheetlore::sim
