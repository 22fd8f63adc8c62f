// How much processor time the add-printer wizard wait costs: a wizard window that opens after
// half a second and closes after three, on the real clock, waited for once with the wait's
// normal poll interval and once polling without a pause (as a busy loop would).
//
//   wizard_wait_bench            prints wall time, CPU time and their ratio for both
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "component/wizard_wait.h"

namespace {

using Clock = std::chrono::steady_clock;

// A System whose one window exists between two moments of the real clock.
class RealClockSystem final : public sheetlore::System {
 public:
  RealClockSystem(std::chrono::milliseconds opensAfter, std::chrono::milliseconds closesAfter)
      : start_(Clock::now()), opensAt_(start_ + opensAfter), closesAt_(start_ + closesAfter) {}

  bool GetVersionEx(std::uint32_t& platformId) override {
    platformId = 2;
    return true;
  }
  sheetlore::WindowHandle FindWindow(const std::wstring&) override {
    ++polls;
    const auto now = Clock::now();
    return now >= opensAt_ && now < closesAt_ ? 1 : 0;
  }
  void Sleep(std::uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  void PumpMessages() override {}
  std::uint64_t Milliseconds() override {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count());
  }
  void MessageBox(const std::wstring&, const std::wstring&, std::uint32_t) override {}

  // Whether the window, by the real clock, has closed by now.
  bool WindowHasClosed() const { return Clock::now() >= closesAt_; }

  std::uint64_t polls = 0;

 private:
  Clock::time_point start_;
  Clock::time_point opensAt_;
  Clock::time_point closesAt_;
};

void Measure(const char* label, std::uint32_t pollIntervalMs) {
  RealClockSystem system(std::chrono::milliseconds(500), std::chrono::milliseconds(3000));
  sheetlore::WizardWaitTiming timing;
  timing.pollIntervalMs = pollIntervalMs;

  const std::clock_t cpuBefore = std::clock();
  const auto wallBefore = Clock::now();
  sheetlore::WaitForWizardWindow(system, L"Add Printer",
                                 sheetlore::WizardWaitState::WaitingForWindow, timing);
  const bool afterClosing = system.WindowHasClosed();
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  const double cpu = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;

  std::printf("%-28s wall %.3f s  cpu %8.2f ms  cpu/wall %6.3f%%  polls %llu  %s\n", label, wall,
              cpu * 1000, 100.0 * cpu / wall, static_cast<unsigned long long>(system.polls),
              afterClosing ? "ended after the window closed" : "ended while it was open");
}

}  // namespace

int main() {
  Measure("wait, 50 ms between polls", sheetlore::WizardWaitTiming{}.pollIntervalMs);
  Measure("polling without a pause", 0);
  return 0;
}
