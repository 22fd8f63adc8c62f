// Two threads, each with its own component and its own maintenance dialog, at the same time:
// the dialog instance and the dialog's component reference exist once per thread, so neither
// dialog sees the other's printers, papers or fields, and closing one leaves the other open.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "component/cls_print.h"
#include "platform/dialog_layout.h"
#include "platform/sim/sim_dialog.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

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
  Meeting meeting(2);
  Outcome first, second;
  std::thread a([&] { RunDialog(L"Office", L"Alpha", 2.54, meeting, true, first); });
  std::thread b([&] { RunDialog(L"Label", L"Beta", 5.08, meeting, false, second); });
  a.join();
  b.join();
  // Each dialog shows only its own printer and paper (the width in inches), meets the other at
  // every step and shows no message; the one closed last is still open when the other closes.
  EXPECT_TRUE(first == (Outcome{{L"Office"}, {L"Alpha"}, L"1", false, true, 1, {}}));
  EXPECT_TRUE(second == (Outcome{{L"Label"}, {L"Beta"}, L"2", true, true, 1, {}}));
}

}  // namespace
}  // namespace sheetlore
