// FormSelect on the simulated current printer: the device settings record it edits, the
// modes it asks the driver for, and the failures it traps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

namespace dm = sim::devmode;

const std::wstring kPrinter = L"Office Laser";

class FormSelectionTest : public ::testing::Test {
 protected:
  FormSelectionTest() { sim_.AddPrinter(kPrinter); }

  std::int16_t Select(std::wstring name, std::int32_t window = 0) {
    return cls_.FormSelect(name, window);
  }

  // The 32 wide characters of dmFormName in the record sent to the merge.
  std::u16string MergedFormField() const {
    const std::vector<std::uint8_t> record = sim_.LastMergeInput().value();
    std::u16string field;
    for (std::size_t i = 0; i < 32; ++i) {
      field.push_back(static_cast<char16_t>(dm::ReadU16(record, dm::kFormName + 2 * i)));
    }
    return field;
  }

  sim::SimPlatform sim_;
  ClsPrint cls_{sim_.platform()};
};

TEST_F(FormSelectionTest, SizesReadsEditsMergesAndAppliesTheRecord) {
  const std::vector<std::uint8_t> driverRecord = sim_.DeviceSettings(kPrinter);
  EXPECT_EQ(Select(L"A4", 1234), 1);
  // The size query, the read and the merge without a prompt, each owned by the window given.
  std::vector<std::vector<std::wstring>> queries;
  for (const sim::Call& call : sim_.Calls()) {
    if (call.api == sim::Api::DocumentProperties) queries.push_back({call.args[0], call.args[5]});
  }
  EXPECT_EQ(queries, (std::vector<std::vector<std::wstring>>{
                         {L"1234", L"0"}, {L"1234", L"2"}, {L"1234", L"10"}}));
  // Only the form name and the field mask differ from what the driver gave.
  std::vector<std::uint8_t> merged = sim_.LastMergeInput().value();
  EXPECT_EQ(MergedFormField(), u"A4" + std::u16string(1, u'\0') + std::u16string(29, u' '));
  EXPECT_EQ(dm::ReadU32(merged, dm::kFields), 0x10000u);
  ASSERT_EQ(merged.size(), driverRecord.size());
  for (std::size_t i = dm::kFormName; i < dm::kFormName + 64; ++i) merged[i] = driverRecord[i];
  for (std::size_t i = dm::kFields; i < dm::kFields + 4; ++i) merged[i] = driverRecord[i];
  EXPECT_EQ(merged, driverRecord);
  // The driver's merged answer is what the printer's device context receives.
  EXPECT_EQ(sim_.LastResetDCRecord(), sim_.LastMergeOutput());
  EXPECT_EQ(sim_.Calls().at(sim_.Calls().size() - 2).args.at(0),
            std::to_wstring(sim_.PrinterDC(kPrinter)));
  EXPECT_EQ(sim_.DeviceSettingsOverruns(), 0u);
  // The field mask is exactly the form name's whatever the driver set.
  dm::WriteU32(merged, dm::kFields, 0xFFFFFFFFu);
  sim_.SetDeviceSettings(kPrinter, merged);
  EXPECT_EQ(Select(L"Letter"), 1);
  EXPECT_EQ(dm::ReadU32(sim_.LastMergeInput().value(), dm::kFields), 0x10000u);
}

// Names outside any ANSI code page arrive intact, a form the driver does not know still gives 1,
// and long names are cut to the field.
TEST_F(FormSelectionTest, NamesArriveIntactOrCutToTheField) {
  EXPECT_EQ(Select(L"信封 #10"), 1);
  EXPECT_EQ(dm::ReadName(sim_.LastMergeInput().value(), dm::kFormName), L"信封 #10");
  EXPECT_EQ(Select(L"No such form"), 1);
  EXPECT_EQ(Select(std::wstring(31, L'n')), 1);
  EXPECT_EQ(MergedFormField(), std::u16string(31, u'n') + u'\0');
  EXPECT_EQ(Select(std::wstring(32, L'm')), 1);
  EXPECT_EQ(MergedFormField(), std::u16string(32, u'm'));
  std::wstring name40 = std::wstring(32, L'k') + L"overflow";
  EXPECT_EQ(Select(name40), 1);
  EXPECT_EQ(MergedFormField(), std::u16string(32, u'k'));
  // The bytes after the field are the driver's.
  EXPECT_EQ(dm::ReadU16(sim_.LastMergeInput().value(), dm::kFormName + 64),
            dm::ReadU16(sim_.DeviceSettings(kPrinter), dm::kFormName + 64));
}

// No record, one shorter than the fields edited, a printer that does not open or a size query
// that fails: 0, and the record is neither overrun nor sent to the driver or the device context.
TEST_F(FormSelectionTest, WithoutAUsableRecordTheSelectionGivesZero) {
  struct Case {
    std::int32_t size;
    std::optional<sim::Api> failing;
  };
  for (const Case& c :
       {Case{-1, {}}, Case{0, {}}, Case{1, {}}, Case{100, {}}, Case{187, {}},
        Case{284, sim::Api::OpenPrinter}, Case{284, sim::Api::DocumentProperties}}) {
    SCOPED_TRACE(c.size);
    sim::SimPlatform sim;
    sim.AddPrinter(kPrinter);
    sim.SetDeviceSettingsSize(kPrinter, c.size);
    if (c.failing) sim.FailCall(*c.failing);
    ClsPrint cls(sim.platform());
    std::wstring form = L"A4";
    EXPECT_EQ(cls.FormSelect(form, 0), 0);
    EXPECT_EQ(sim.DeviceSettingsOverruns(), 0u);
    EXPECT_FALSE(sim.LastMergeInput().has_value());
    EXPECT_FALSE(sim.LastResetDCRecord().has_value());
    // A record the driver sizes is still read, into a buffer of exactly that size.
    std::vector<std::wstring> reads;
    for (const sim::Call& call : sim.Calls()) {
      if (call.api == sim::Api::DocumentProperties && call.args[5] == L"2") {
        reads.push_back(call.args[3]);
      }
    }
    EXPECT_EQ(reads, c.size > 0 && !c.failing ? std::vector{std::to_wstring(c.size)}
                                              : std::vector<std::wstring>{});
  }
  // The zero counts above can fail: the simulated driver counts a read into a buffer shorter
  // than its record, as a real one would write past it.
  std::vector<std::uint8_t> shortOutput(156);
  sim_.platform().spooler.DocumentProperties(0, 0, kPrinter, &shortOutput, nullptr, kDmOutBuffer);
  EXPECT_EQ(sim_.DeviceSettingsOverruns(), 1u);
  sim_.SetDeviceSettingsSize(kPrinter, 188);  // just long enough
  EXPECT_EQ(Select(L"A4"), 1);
  EXPECT_EQ(dm::ReadName(sim_.LastMergeInput().value(), dm::kFormName), L"A4");
}

// The read, the merge, the reset and the close reporting failure are no run-time failures, so
// the selection still counts as done; failing reads of the current printer reach the caller.
TEST_F(FormSelectionTest, OnlyFailingReadsOfTheCurrentPrinterReachTheCaller) {
  sim_.FailCall(sim::Api::DocumentProperties, 2, 2);
  sim_.FailCall(sim::Api::ResetDC);
  sim_.FailCall(sim::Api::ClosePrinter);
  EXPECT_EQ(Select(L"A4"), 1);
  // Each is still noted for the caller, with the error the call left.
  std::vector<std::wstring> noted;
  for (const PlatformFailure& failure : cls_.Failures()) noted.push_back(failure.operation);
  EXPECT_THAT(noted, testing::IsSupersetOf({L"DocumentProperties", L"ResetDC", L"ClosePrinter"}));
  for (const sim::Api failing : {sim::Api::CurrentPrinter, sim::Api::DeviceName, sim::Api::hDC}) {
    SCOPED_TRACE(failing);
    sim_.FailCall(failing);
    EXPECT_THROW(Select(L"A4"), AutomationError);
  }
  sim_.RemoveAllPrinters();
  EXPECT_THROW(Select(L"A4"), AutomationError);
}

}  // namespace
}  // namespace sheetlore
