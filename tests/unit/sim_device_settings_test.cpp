// The simulated driver counts what a real one would read or write past the caller's device
// settings records; the tests of short records rely on that count staying at 0.
#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace sheetlore::sim {
namespace {

TEST(SimDeviceSettings, ReadsAndWritesPastShortRecordsAreCounted) {
  SimPlatform sim;
  sim.AddPrinter(L"Office");
  Spooler& spooler = sim.platform().spooler;
  const PrinterHandle printer = spooler.OpenPrinter(L"Office", kPrinterAccessAdminister);
  std::vector<std::uint8_t> shortOutput(156);
  spooler.DocumentProperties(0, printer, L"Office", &shortOutput, nullptr, kDmOutBuffer);
  EXPECT_EQ(sim.DeviceSettingsOverruns(), 1u);
  // A record that claims more bytes than it holds is read past its end and written past it.
  std::vector<std::uint8_t> record = sim.DeviceSettings(L"Office");
  record.resize(180);
  spooler.DocumentProperties(0, printer, L"Office", &record, &record, kDmInBuffer | kDmOutBuffer);
  EXPECT_EQ(sim.DeviceSettingsOverruns(), 3u);
}

}  // namespace
}  // namespace sheetlore::sim
