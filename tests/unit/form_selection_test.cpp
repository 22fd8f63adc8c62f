// FormSelect on the simulated current printer: the device settings record it edits, the
// calls it makes, and the failures it traps.
#include <gtest/gtest.h>

#include "component/cls_print.h"
#include "component/devmode_layout.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

using sim::Call;
namespace dm = sim::devmode;

const std::wstring kPrinter = L"Office Laser";

class FormSelectionTest : public ::testing::Test {
 protected:
  FormSelectionTest() {
    sim_.AddPrinter(kPrinter);
    sim_.ClearCalls();
  }

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

TEST(DevmodeLayoutTest, AgreesWithTheSimulatedRecord) {
  EXPECT_EQ(devmode_layout::kFieldsOffset, dm::kFields);
  EXPECT_EQ(devmode_layout::kFormNameOffset, dm::kFormName);
  EXPECT_EQ(devmode_layout::kFieldFormName, dm::kFieldFormName);
}

TEST_F(FormSelectionTest, SizesReadsEditsMergesAndAppliesTheRecord) {
  const std::vector<std::uint8_t> driverRecord = sim_.DeviceSettings(kPrinter);
  const std::wstring bytes = std::to_wstring(driverRecord.size());
  const std::wstring dc = std::to_wstring(sim_.PrinterDC(kPrinter));

  EXPECT_EQ(Select(L"A4", 1234), 1);

  const std::vector<Call>& calls = sim_.Calls();
  ASSERT_EQ(calls.size(), 9u);
  const std::wstring handle = calls.back().args.at(0);
  EXPECT_EQ(calls[0].api, sim::Api::CurrentPrinter);
  EXPECT_EQ(calls[1].api, sim::Api::DeviceName);
  EXPECT_EQ(calls[2].api, sim::Api::hDC);
  EXPECT_EQ(
      std::vector<Call>(calls.begin() + 3, calls.end()),
      (std::vector<Call>{
          {sim::Api::OpenPrinter, {kPrinter, L"4"}},
          {sim::Api::DocumentProperties, {L"1234", handle, kPrinter, sim::kNull, sim::kNull, L"0"}},
          {sim::Api::DocumentProperties, {L"1234", handle, kPrinter, bytes, sim::kNull, L"2"}},
          {sim::Api::DocumentProperties, {L"1234", handle, kPrinter, bytes, bytes, L"10"}},
          {sim::Api::ResetDC, {dc, bytes}},
          {sim::Api::ClosePrinter, {handle}},
      }));

  // Only the form name and the field mask differ from what the driver gave.
  std::vector<std::uint8_t> merged = sim_.LastMergeInput().value();
  EXPECT_EQ(dm::ReadName(merged, dm::kFormName), L"A4");
  EXPECT_EQ(MergedFormField(), u"A4" + std::u16string(1, u'\0') + std::u16string(29, u' '));
  EXPECT_EQ(dm::ReadU32(merged, dm::kFields), 0x10000u);
  ASSERT_EQ(merged.size(), driverRecord.size());
  for (std::size_t i = dm::kFormName; i < dm::kFormName + 64; ++i) merged[i] = driverRecord[i];
  for (std::size_t i = dm::kFields; i < dm::kFields + 4; ++i) merged[i] = driverRecord[i];
  EXPECT_EQ(merged, driverRecord);

  // The driver's merged answer is what the device context receives.
  EXPECT_EQ(sim_.LastResetDCRecord(), sim_.LastMergeOutput());
  EXPECT_EQ(sim_.DeviceSettingsOverruns(), 0u);
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
}

TEST_F(FormSelectionTest, TheFieldMaskIsExactlyTheFormNameWhateverTheDriverSet) {
  std::vector<std::uint8_t> record = sim_.DeviceSettings(kPrinter);
  dm::WriteU32(record, dm::kFields, 0xFFFFFFFFu);
  sim_.SetDeviceSettings(kPrinter, record);
  EXPECT_EQ(Select(L"Letter"), 1);
  EXPECT_EQ(dm::ReadU32(sim_.LastMergeInput().value(), dm::kFields), 0x10000u);
}

TEST_F(FormSelectionTest, LongNamesAreCutToTheField) {
  const std::u16string name31(31, u'n');
  EXPECT_EQ(Select(std::wstring(31, L'n')), 1);
  EXPECT_EQ(MergedFormField(), name31 + u'\0');

  EXPECT_EQ(Select(std::wstring(32, L'm')), 1);
  EXPECT_EQ(MergedFormField(), std::u16string(32, u'm'));

  std::wstring name40 = std::wstring(32, L'k') + L"overflow";
  EXPECT_EQ(Select(name40), 1);
  EXPECT_EQ(MergedFormField(), std::u16string(32, u'k'));
  // The bytes after the field are the driver's.
  EXPECT_EQ(dm::ReadU16(sim_.LastMergeInput().value(), dm::kFormName + 64),
            dm::ReadU16(sim_.DeviceSettings(kPrinter), dm::kFormName + 64));
}

TEST_F(FormSelectionTest, NamesOutsideAnyAnsiCodePageArriveIntact) {
  EXPECT_EQ(Select(L"信封 #10"), 1);
  EXPECT_EQ(dm::ReadName(sim_.LastMergeInput().value(), dm::kFormName), L"信封 #10");
}

TEST_F(FormSelectionTest, AFormTheDriverDoesNotKnowStillGivesOne) {
  EXPECT_EQ(Select(L"No such form"), 1);
}

TEST_F(FormSelectionTest, ARecordShorterThanTheEditedFieldsIsNeverOverrunAndGivesZero) {
  for (const std::int32_t size : {1, 100, 187}) {
    SCOPED_TRACE(size);
    sim_.SetDeviceSettingsSize(kPrinter, size);
    sim_.ClearCalls();
    EXPECT_EQ(Select(L"A4"), 0);
    EXPECT_EQ(sim_.DeviceSettingsOverruns(), 0u);
    // Read into a buffer of its own size, then kept from the driver and the device context.
    EXPECT_EQ(sim_.CountCalls(sim::Api::DocumentProperties), 2u);
    EXPECT_FALSE(sim_.LastMergeInput().has_value());
    EXPECT_EQ(sim_.CountCalls(sim::Api::ResetDC), 0u);
    EXPECT_EQ(sim_.CountCalls(sim::Api::ClosePrinter), 1u);
    EXPECT_EQ(sim_.OpenHandleCount(), 0u);
  }
  sim_.SetDeviceSettingsSize(kPrinter, 188);  // just long enough
  EXPECT_EQ(Select(L"A4"), 1);
  EXPECT_EQ(dm::ReadName(sim_.LastMergeInput().value(), dm::kFormName), L"A4");
}

TEST_F(FormSelectionTest, NoRecordAtAllGivesZeroAndStillCloses) {
  for (const std::int32_t size : {0, -1}) {
    sim_.SetDeviceSettingsSize(kPrinter, size);
    sim_.ClearCalls();
    EXPECT_EQ(Select(L"A4"), 0);
    EXPECT_EQ(sim_.CountCalls(sim::Api::DocumentProperties), 1u);
    EXPECT_EQ(sim_.CountCalls(sim::Api::ResetDC), 0u);
    EXPECT_EQ(sim_.CountCalls(sim::Api::ClosePrinter), 1u);
    EXPECT_EQ(sim_.OpenHandleCount(), 0u);
  }
}

TEST_F(FormSelectionTest, APrinterThatDoesNotOpenGivesZeroAndNothingElse) {
  sim_.FailCall(sim::Api::OpenPrinter);
  EXPECT_EQ(Select(L"A4"), 0);
  EXPECT_EQ(sim_.CountCalls(sim::Api::DocumentProperties), 0u);
  EXPECT_EQ(sim_.CountCalls(sim::Api::ResetDC), 0u);
  EXPECT_EQ(sim_.CountCalls(sim::Api::ClosePrinter), 0u);
}

TEST_F(FormSelectionTest, FailingReadsOfTheCurrentPrinterReachTheCaller) {
  for (const sim::Api failing : {sim::Api::CurrentPrinter, sim::Api::DeviceName, sim::Api::hDC}) {
    SCOPED_TRACE(failing);
    sim_.ClearCalls();
    sim_.FailCall(failing);
    EXPECT_THROW(Select(L"A4"), AutomationError);
    EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), 0u);
  }
  sim_.RemoveAllPrinters();
  EXPECT_THROW(Select(L"A4"), AutomationError);
  EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), 0u);
}

TEST_F(FormSelectionTest, TheSpoolersOwnResultsAreNotFailures) {
  // The read, the merge, the reset and the close report failure; none of them is a
  // run-time failure, so the selection still counts as done.
  sim_.FailCall(sim::Api::DocumentProperties, 2, 2);
  sim_.FailCall(sim::Api::ResetDC);
  sim_.FailCall(sim::Api::ClosePrinter);
  EXPECT_EQ(Select(L"A4"), 1);
}

TEST_F(FormSelectionTest, AFailingSizeQueryGivesZero) {
  sim_.FailCall(sim::Api::DocumentProperties);
  EXPECT_EQ(Select(L"A4"), 0);
  EXPECT_EQ(sim_.CountCalls(sim::Api::ClosePrinter), 1u);
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace sheetlore
