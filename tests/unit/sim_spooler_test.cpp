// The simulated print server's rules: handles, the shared form list, the refusals and error
// codes of the real spooler, the buffer protocol and the device settings records.
#include <gtest/gtest.h>

#include <numeric>

#include "platform/sim/sim_platform.h"

namespace sheetlore::sim {
namespace {

constexpr std::uint32_t kErrorInvalidHandle = 6;

class SimSpoolerTest : public ::testing::Test {
 protected:
  SimSpoolerTest() {
    sim_.AddPrinter(L"Office");
    sim_.AddPrinter(L"Label");
  }

  PrinterHandle Open(const std::wstring& name) {
    return spooler().OpenPrinter(name, kPrinterAccessAdminister);
  }
  Spooler& spooler() { return sim_.platform().spooler; }

  static FormInfo UserForm(const std::wstring& name) {
    return FormInfo{0, name, 100000, 150000, 0, 0, 100000, 150000};
  }

  std::uint32_t AllFormBytes() const {
    std::uint32_t total = 0;
    for (const FormInfo& form : sim_.Forms()) total += FormBytes(form.name);
    return total;
  }

  SimPlatform sim_;
};

TEST_F(SimSpoolerTest, HandlesAreTrackedFromOpenToClose) {
  EXPECT_EQ(0u, Open(L"Nowhere"));
  EXPECT_EQ(kErrorInvalidPrinterName, spooler().LastError());

  const PrinterHandle office = Open(L"office");  // printer names match without case
  const PrinterHandle label = Open(L"Label");
  ASSERT_NE(0u, office);
  ASSERT_NE(0u, label);
  EXPECT_NE(office, label);
  EXPECT_EQ(2u, sim_.OpenHandleCount());

  EXPECT_TRUE(spooler().ClosePrinter(office));
  EXPECT_FALSE(spooler().ClosePrinter(office));
  EXPECT_EQ(kErrorInvalidHandle, spooler().LastError());
  EXPECT_FALSE(spooler().ClosePrinter(0xdead));
  EXPECT_EQ(1u, sim_.OpenHandleCount());

  std::vector<FormInfo> forms;
  std::uint32_t needed = 0;
  std::uint32_t returned = 0;
  EXPECT_FALSE(spooler().EnumForms(office, 100000, forms, needed, returned));
  EXPECT_EQ(kErrorInvalidHandle, spooler().LastError());
}

TEST_F(SimSpoolerTest, EnumFormsReportsBytesNeededAndFillsOnlyALargeEnoughBuffer) {
  const PrinterHandle printer = Open(L"Office");
  std::vector<FormInfo> forms{UserForm(L"stale")};
  std::uint32_t needed = 0;
  std::uint32_t returned = 7;

  EXPECT_FALSE(spooler().EnumForms(printer, 0, forms, needed, returned));
  EXPECT_EQ(kErrorInsufficientBuffer, spooler().LastError());
  EXPECT_EQ(AllFormBytes(), needed);
  EXPECT_TRUE(forms.empty());
  EXPECT_EQ(0u, returned);

  EXPECT_FALSE(spooler().EnumForms(printer, needed - 1, forms, needed, returned));
  EXPECT_TRUE(forms.empty());

  ASSERT_TRUE(spooler().EnumForms(printer, needed, forms, needed, returned));
  EXPECT_EQ(116u, returned);
  EXPECT_EQ(BuiltinForms(), forms);
  EXPECT_EQ((FormInfo{1, L"Letter", 215900, 279400, 0, 0, 215900, 279400}), forms.front());
}

TEST_F(SimSpoolerTest, FormsAreSharedByEveryPrinterOfTheServer) {
  const PrinterHandle office = Open(L"Office");
  const PrinterHandle label = Open(L"Label");
  ASSERT_TRUE(spooler().AddForm(office, UserForm(L"Cheque")));

  FormInfo form;
  std::uint32_t needed = 0;
  ASSERT_TRUE(spooler().GetForm(label, L"Cheque", 1000, form, needed));
  EXPECT_EQ(UserForm(L"Cheque"), form);
  EXPECT_EQ(L"Cheque", sim_.Forms().back().name);  // added at the end of the list
  EXPECT_EQ(117u, sim_.Forms().size());
}

TEST_F(SimSpoolerTest, AddFormRefusesExistingNamesInAnyCaseAndInvalidForms) {
  const PrinterHandle printer = Open(L"Office");
  EXPECT_FALSE(spooler().AddForm(printer, UserForm(L"LETTER")));
  EXPECT_EQ(kErrorFileExists, spooler().LastError());
  ASSERT_TRUE(spooler().AddForm(printer, UserForm(L"Cheque")));
  EXPECT_FALSE(spooler().AddForm(printer, UserForm(L"cheque")));
  EXPECT_EQ(kErrorFileExists, spooler().LastError());

  FormInfo empty = UserForm(L"");
  EXPECT_FALSE(spooler().AddForm(printer, empty));
  EXPECT_EQ(kErrorInvalidParameter, spooler().LastError());
  FormInfo noWidth = UserForm(L"Flat");
  noWidth.cx = 0;
  EXPECT_FALSE(spooler().AddForm(printer, noWidth));
  FormInfo inverted = UserForm(L"Inverted");
  inverted.left = 200000;
  EXPECT_FALSE(spooler().AddForm(printer, inverted));
  EXPECT_EQ(kErrorInvalidParameter, spooler().LastError());

  FormInfo claimsBuiltin = UserForm(L"Claims");
  claimsBuiltin.flags = 1;
  ASSERT_TRUE(spooler().AddForm(printer, claimsBuiltin));
  EXPECT_EQ(0u, sim_.Forms().back().flags);  // every added form is a user form
  EXPECT_EQ(118u, sim_.Forms().size());
}

TEST_F(SimSpoolerTest, DeleteFormKeepsBuiltinFormsAndReportsMissingOnes) {
  const PrinterHandle printer = Open(L"Office");
  EXPECT_FALSE(spooler().DeleteForm(printer, L"A4"));
  EXPECT_EQ(kErrorInvalidParameter, spooler().LastError());
  EXPECT_FALSE(spooler().DeleteForm(printer, L"Nothing"));
  EXPECT_EQ(kErrorInvalidFormName, spooler().LastError());

  ASSERT_TRUE(spooler().AddForm(printer, UserForm(L"Cheque")));
  EXPECT_TRUE(spooler().DeleteForm(printer, L"CHEQUE"));
  EXPECT_EQ(BuiltinForms(), sim_.Forms());
}

TEST_F(SimSpoolerTest, GetFormMatchesWithoutCaseAndFollowsTheBufferProtocol) {
  const PrinterHandle printer = Open(L"Office");
  FormInfo form;
  std::uint32_t needed = 0;
  EXPECT_FALSE(spooler().GetForm(printer, L"a4", 0, form, needed));
  EXPECT_EQ(kErrorInsufficientBuffer, spooler().LastError());
  EXPECT_EQ(kFormRecordBytes + 6u, needed);  // "A4" and its terminator in wide characters

  ASSERT_TRUE(spooler().GetForm(printer, L"a4", needed, form, needed));
  EXPECT_EQ(L"A4", form.name);
  EXPECT_EQ(210000, form.cx);

  EXPECT_FALSE(spooler().GetForm(printer, L"A9 Nothing", 1000, form, needed));
  EXPECT_EQ(kErrorInvalidFormName, spooler().LastError());
  EXPECT_EQ(0u, needed);
}

TEST_F(SimSpoolerTest, DocumentPropertiesReportsSizeCopiesAndMerges) {
  const PrinterHandle printer = Open(L"Office");
  const std::int32_t size =
      spooler().DocumentProperties(0, printer, L"Office", nullptr, nullptr, 0);
  EXPECT_EQ(220 + 64, size);

  std::vector<std::uint8_t> record(static_cast<std::size_t>(size));
  EXPECT_EQ(1, spooler().DocumentProperties(0, printer, L"Office", &record, nullptr, kDmOutBuffer));
  EXPECT_EQ(L"Office", devmode::ReadName(record, devmode::kDeviceName));
  EXPECT_EQ(L"Letter", devmode::ReadName(record, devmode::kFormName));
  EXPECT_EQ(220u, devmode::ReadU16(record, devmode::kSize));
  EXPECT_EQ(64u, devmode::ReadU16(record, devmode::kDriverExtra));

  devmode::WriteName(record, devmode::kFormName, L"A4");
  devmode::WriteU32(record, devmode::kFields, devmode::kFieldFormName);
  devmode::WriteU16(record, devmode::kPaperSize, 9);  // not named in dmFields: not merged
  EXPECT_EQ(1, spooler().DocumentProperties(0, printer, L"Office", &record, &record,
                                            kDmInBuffer | kDmOutBuffer));
  EXPECT_EQ(L"A4", devmode::ReadName(record, devmode::kFormName));
  EXPECT_EQ(1u, devmode::ReadU16(record, devmode::kPaperSize));
  EXPECT_TRUE(devmode::ReadU32(record, devmode::kFields) & devmode::kFieldFormName);
  ASSERT_TRUE(sim_.LastMergeInput());
  EXPECT_EQ(devmode::kFieldFormName, devmode::ReadU32(*sim_.LastMergeInput(), devmode::kFields));
  EXPECT_EQ(record, sim_.LastMergeOutput());
  EXPECT_EQ(L"Letter", devmode::ReadName(sim_.DeviceSettings(L"Office"), devmode::kFormName));
  EXPECT_EQ(0u, sim_.DeviceSettingsOverruns());
}

TEST_F(SimSpoolerTest, DocumentPropertiesCountsOverrunsOfShortRecords) {
  const PrinterHandle printer = Open(L"Office");
  std::vector<std::uint8_t> shortOutput(156);
  spooler().DocumentProperties(0, printer, L"Office", &shortOutput, nullptr, kDmOutBuffer);
  EXPECT_EQ(1u, sim_.DeviceSettingsOverruns());

  // A record that claims more bytes than it holds is read past its end by the driver.
  std::vector<std::uint8_t> record = sim_.DeviceSettings(L"Office");
  record.resize(180);
  spooler().DocumentProperties(0, printer, L"Office", &record, &record, kDmInBuffer | kDmOutBuffer);
  EXPECT_EQ(3u, sim_.DeviceSettingsOverruns());  // read past the input and wrote past it
}

TEST_F(SimSpoolerTest, DeviceSettingsSizeIsConfigurable) {
  const PrinterHandle printer = Open(L"Label");
  sim_.SetDeviceSettingsSize(L"Label", 120);
  EXPECT_EQ(120, spooler().DocumentProperties(0, printer, L"Label", nullptr, nullptr, 0));
  EXPECT_EQ(120u, sim_.DeviceSettings(L"Label").size());
  EXPECT_EQ(120u, devmode::ReadU16(sim_.DeviceSettings(L"Label"), devmode::kSize));

  sim_.SetDeviceSettingsSize(L"Label", -1);
  EXPECT_EQ(-1, spooler().DocumentProperties(0, printer, L"Label", nullptr, nullptr, 0));
  std::vector<std::uint8_t> record(300);
  EXPECT_GT(0, spooler().DocumentProperties(0, printer, L"Label", &record, nullptr, kDmOutBuffer));
}

TEST_F(SimSpoolerTest, ResetDCAcceptsOnlyAPrintersContext) {
  const std::vector<std::uint8_t> record = sim_.DeviceSettings(L"Office");
  const DeviceContext dc = sim_.PrinterDC(L"Office");
  ASSERT_NE(0u, dc);
  EXPECT_EQ(dc, spooler().ResetDC(dc, record));
  EXPECT_EQ(record, sim_.LastResetDCRecord());
  EXPECT_EQ(0u, spooler().ResetDC(dc + 1000, record));
}

TEST_F(SimSpoolerTest, InjectedFailuresHitTheNthCallAndAreLogged) {
  sim_.FailCall(sim::Api::OpenPrinter, 2);
  sim_.SetInjectedError(1722);
  const PrinterHandle first = Open(L"Office");
  EXPECT_NE(0u, first);
  EXPECT_EQ(0u, Open(L"Office"));
  EXPECT_EQ(1722u, spooler().LastError());
  EXPECT_NE(0u, Open(L"Office"));

  sim_.FailCall(sim::Api::AddForm);
  EXPECT_FALSE(spooler().AddForm(first, UserForm(L"Cheque")));
  EXPECT_EQ(116u, sim_.Forms().size());
  EXPECT_TRUE(spooler().AddForm(first, UserForm(L"Cheque")));

  ASSERT_EQ(5u, sim_.Calls().size());
  EXPECT_EQ((Call{sim::Api::OpenPrinter, {L"Office", L"4"}}), sim_.Calls()[0]);
  EXPECT_EQ((Call{sim::Api::AddForm,
                  {std::to_wstring(first), L"Cheque", L"0", L"100000", L"150000", L"0", L"0",
                   L"100000", L"150000"}}),
            sim_.Calls()[3]);
  EXPECT_EQ(3u, sim_.CountCalls(sim::Api::OpenPrinter));
}

}  // namespace
}  // namespace sheetlore::sim
