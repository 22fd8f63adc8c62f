// Two threads, each with its own component and its own maintenance dialog, at the same time:
// the dialog instance and the dialog's component reference exist once per thread, so neither
// dialog sees the other's printers, papers or fields, and closing one leaves the other open.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "component/cls_print.h"
#include "dialog/dialog_layout.h"
#include "platform/sim/sim_dialog.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

using ::testing::ElementsAre;

constexpr ControlRef kStoredPapers{Control::List1, 0};
constexpr ControlRef kPrinters{Control::Combo1};
constexpr ControlRef kWidth{Control::Text1, 0};

// Threads meet here; a thread that does not arrive within two minutes (far beyond any busy
// machine's delay: only a thread that is stuck) fails the meeting instead of hanging the test.
class Meeting {
 public:
  explicit Meeting(int parties) : parties_(parties) {}
  bool Arrive() {
    std::unique_lock lock(mutex_);
    const int generation = generation_;
    if (++arrived_ == parties_) {
      arrived_ = 0;
      ++generation_;
      changed_.notify_all();
      return true;
    }
    return changed_.wait_for(lock, std::chrono::minutes(2),
                             [&] { return generation_ != generation; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int parties_;
  int arrived_ = 0;
  int generation_ = 0;
};

struct Outcome {
  std::vector<std::wstring> printers;
  std::vector<std::wstring> papersWhileBothOpen;
  std::wstring widthWhileBothOpen;
  bool openAfterTheOtherClosed = false;
  bool met = true;
  std::size_t shows = 0;
  std::vector<std::wstring> messages;
  bool operator==(const Outcome&) const = default;
};

// One thread's session: its own platform, printer, store, component and dialog.
void RunDialog(const std::wstring& printer, const std::wstring& paper, double width,
               Meeting& meeting, bool closesFirst, Outcome& outcome) {
  sim::SimPlatform sim;
  sim::SimDialogHost dialogs;
  sim.SetDialogHost(&dialogs);
  sim.AddPrinter(printer);
  ClsPrint cls(sim.platform());
  cls.IniWriteValue(paper, 0, width, 20, 0, 0, 0, 0);

  dialogs.OnShow([&](sim::SimDialog& dialog) {
    outcome.met = meeting.Arrive() && outcome.met;  // both dialogs are open now
    outcome.printers = dialog.Items(kPrinters);
    EXPECT_TRUE(dialog.Choose(kStoredPapers, 0));
    outcome.papersWhileBothOpen = dialog.Items(kStoredPapers);
    outcome.widthWhileBothOpen = dialog.Text(kWidth);
    outcome.met = meeting.Arrive() && outcome.met;
    if (closesFirst) {
      dialog.Close();
      outcome.met = meeting.Arrive() && outcome.met;
    } else {
      outcome.met = meeting.Arrive() && outcome.met;  // the other one has closed
      outcome.openAfterTheOtherClosed = dialog.IsOpen();
      EXPECT_TRUE(dialog.Choose(kStoredPapers, 0));  // still works on its own component
      dialog.Close();
    }
  });
  cls.FormShow();
  outcome.shows = dialogs.ShowCount();
  for (const sim::Message& message : sim.Messages()) outcome.messages.push_back(message.text);
}

TEST(ThreadIsolationTest, TwoThreadsEachWithTheirOwnObjectAndDialog) {
  // Each session alone first: what it shows when nothing else runs.
  Meeting alone(1);
  Outcome firstAlone, secondAlone;
  RunDialog(L"Office", L"Alpha", 10, alone, true, firstAlone);
  RunDialog(L"Label", L"Beta", 30, alone, false, secondAlone);
  Meeting meeting(2);
  Outcome first, second;
  std::thread a([&] { RunDialog(L"Office", L"Alpha", 10, meeting, true, first); });
  std::thread b([&] { RunDialog(L"Label", L"Beta", 30, meeting, false, second); });
  a.join();
  b.join();
  // Each session shows and ends exactly as it does when it runs alone.
  EXPECT_TRUE(first == firstAlone);
  EXPECT_TRUE(second == secondAlone);
  EXPECT_TRUE(first.met && second.met);
  EXPECT_EQ(first.shows, 1u);
  EXPECT_EQ(second.shows, 1u);
  EXPECT_THAT(first.printers, ElementsAre(L"Office"));
  EXPECT_THAT(second.printers, ElementsAre(L"Label"));
  EXPECT_THAT(first.papersWhileBothOpen, ElementsAre(L"Alpha"));
  EXPECT_THAT(second.papersWhileBothOpen, ElementsAre(L"Beta"));
  EXPECT_FALSE(first.widthWhileBothOpen.empty());
  EXPECT_NE(first.widthWhileBothOpen, second.widthWhileBothOpen);
  EXPECT_TRUE(second.openAfterTheOtherClosed);
}

}  // namespace
}  // namespace sheetlore
