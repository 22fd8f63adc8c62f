// The rules of the print spooler that the component relies on, stated once and run against
// both platforms: natively on the simulated print server, under Wine on the Windows one over
// CUPS queues. Where the two disagree the simulation is wrong. The simulation's table of
// built-in forms and its device settings layout are checked here against the platform's.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "tests/contract/backends.h"

namespace sheetlore::contract {
namespace {

namespace devmode = sim::devmode;
using sim::BuiltinForms;

const std::wstring kOffice = L"Sheetlore_Office";
const std::wstring kLabel = L"Sheetlore_Label";
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::int32_t kIdOk = 1;

class SpoolerContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    office_ = Open(kOffice);
    ASSERT_NE(office_, 0u) << "error " << spooler().LastError();
  }
  void TearDown() override {
    if (office_) {
      EXPECT_TRUE(spooler().ClosePrinter(office_));
    }
  }

  Spooler& spooler() { return backend_->spooler(); }
  PrinterHandle Open(const std::wstring& name) {
    return spooler().OpenPrinter(name, kPrinterAccessAdminister);
  }
  std::uint32_t Bytes(const std::wstring& name) {
    return backend_->FormRecordBytes() + static_cast<std::uint32_t>((name.size() + 1) * 2);
  }
  std::vector<FormInfo> Enumerate(PrinterHandle printer) {
    std::vector<FormInfo> forms;
    std::uint32_t needed = 0, returned = 0;
    spooler().EnumForms(printer, 0, forms, needed, returned);
    EXPECT_TRUE(spooler().EnumForms(printer, needed, forms, needed, returned));
    return forms;
  }
  std::vector<std::uint8_t> OfficeRecord() {
    const std::int32_t size =
        spooler().DocumentProperties(0, office_, kOffice, nullptr, nullptr, 0);
    EXPECT_GE(size, static_cast<std::int32_t>(devmode::kPublicBytes));
    std::vector<std::uint8_t> record(static_cast<std::size_t>(std::max(size, 0)));
    EXPECT_EQ(spooler().DocumentProperties(0, office_, kOffice, &record, nullptr, kDmOutBuffer),
              kIdOk);
    return record;
  }
  void ExpectRefused(bool succeeded, std::uint32_t error, const char* what) {
    EXPECT_FALSE(succeeded) << what;
    EXPECT_EQ(succeeded ? error : spooler().LastError(), error) << what;
  }

  std::unique_ptr<SpoolerBackend> backend_ = MakeSpoolerBackend();
  PrinterHandle office_ = 0;
};

TEST_F(SpoolerContractTest, PrintersOpenByNameInAnyCaseAndTheirHandlesEndAtClose) {
  ExpectRefused(Open(L"No such queue") != 0, kErrorInvalidPrinterName, "unknown printer");
  const PrinterHandle label = Open(L"SHEETLORE_label");
  ASSERT_NE(label, 0u);
  EXPECT_TRUE(spooler().ClosePrinter(label));  // office_ stays open until TearDown closes it
  ExpectRefused(spooler().ClosePrinter(label), kErrorInvalidHandle, "closed twice");
  std::vector<FormInfo> forms;
  std::uint32_t needed = 0, returned = 0;
  ExpectRefused(spooler().EnumForms(label, 100000, forms, needed, returned), kErrorInvalidHandle,
                "forms of a closed handle");
}

TEST_F(SpoolerContractTest, EnumFormsReportsTheBytesNeededThenListsTheBuiltInForms) {
  std::uint32_t all = 0;
  for (const FormInfo& form : BuiltinForms()) all += Bytes(form.name);
  std::vector<FormInfo> forms{FormInfo{}};
  std::uint32_t needed = 0, returned = 99;
  ExpectRefused(spooler().EnumForms(office_, 0, forms, needed, returned), kErrorInsufficientBuffer,
                "no buffer");
  EXPECT_EQ(needed, all);
  EXPECT_TRUE(forms.empty());
  EXPECT_EQ(returned, 0u);
  ExpectRefused(spooler().EnumForms(office_, all - 1, forms, needed, returned),
                kErrorInsufficientBuffer, "one byte short");
  EXPECT_EQ(needed, all);
  EXPECT_TRUE(forms.empty());

  ASSERT_TRUE(spooler().EnumForms(office_, all, forms, needed, returned));
  EXPECT_EQ(returned, 116u);
  EXPECT_EQ(forms, BuiltinForms());
}

TEST_F(SpoolerContractTest, GetFormReadsEveryBuiltInFormByItsExactNameWithTheBufferProtocol) {
  for (const FormInfo& expected : BuiltinForms()) {
    SCOPED_TRACE(testing::PrintToString(expected.name));
    FormInfo form;
    std::uint32_t needed = 0;
    ExpectRefused(spooler().GetForm(office_, expected.name, 0, form, needed),
                  kErrorInsufficientBuffer, "no buffer");
    EXPECT_EQ(needed, Bytes(expected.name));
    ExpectRefused(spooler().GetForm(office_, expected.name, needed - 1, form, needed),
                  kErrorInsufficientBuffer, "one byte short");
    EXPECT_EQ(form, FormInfo{});
    ASSERT_TRUE(spooler().GetForm(office_, expected.name, needed, form, needed));
    EXPECT_EQ(form, expected);
    // Only in its own letter case.
    std::wstring lower = expected.name;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    if (lower != expected.name) {
      ExpectRefused(spooler().GetForm(office_, lower, 4096, form, needed), kErrorInvalidFormName,
                    "another letter case");
    }
  }
  FormInfo form;
  std::uint32_t needed = 0;
  ExpectRefused(spooler().GetForm(office_, L"No such form", 4096, form, needed),
                kErrorInvalidFormName, "unknown form");
}

// An added form is kept as a user form, listed last for every printer, until it is deleted by
// the name GetForm finds it by (the spooler's one rule for names). Wine's spooler keeps no added
// form and refuses none: there the add and the delete must succeed all the same.
TEST_F(SpoolerContractTest, AddedFormsAreSharedUntilDeletedAndBadOnesAreRefused) {
  const auto form = [](const std::wstring& name, std::int32_t cx = 100000, std::int32_t left = 0) {
    return FormInfo{1, name, cx, 150000, left, 0, 100000, 150000};
  };
  ASSERT_TRUE(spooler().AddForm(office_, form(L"新增 Cheque")));
  if (backend_->KeepsAddedForms()) {
    FormInfo kept = form(L"新增 Cheque");
    kept.flags = 0;  // kept as a user form whatever it claims
    const PrinterHandle label = Open(kLabel);
    EXPECT_EQ(Enumerate(label).back(), kept);
    spooler().ClosePrinter(label);
    ExpectRefused(spooler().AddForm(office_, form(L"新增 Cheque")), kErrorFileExists,
                  "added twice");
    ExpectRefused(spooler().AddForm(office_, form(L"Letter")), kErrorFileExists, "a built-in name");
    ExpectRefused(spooler().AddForm(office_, form(L"")), kErrorInvalidParameter, "no name");
    ExpectRefused(spooler().AddForm(office_, form(L"Flat", 0)), kErrorInvalidParameter, "no width");
    ExpectRefused(spooler().AddForm(office_, form(L"Inverted", 100000, 200000)),
                  kErrorInvalidParameter, "inverted area");
    ExpectRefused(spooler().DeleteForm(office_, L"A4"), kErrorInvalidParameter, "built-in form");
    ExpectRefused(spooler().DeleteForm(office_, L"Nothing"), kErrorInvalidFormName, "missing");
  }
  EXPECT_TRUE(spooler().DeleteForm(office_, L"新增 Cheque"));
  EXPECT_EQ(Enumerate(office_), BuiltinForms());
}

// The local print server opens by a null name whatever the access asked for, and its handle
// lists, finds and takes the same forms as a printer's; it has no device settings.
TEST_F(SpoolerContractTest, TheLocalPrintServerServesTheSameForms) {
  for (const std::uint32_t access : {kServerAccessEnumerate, kServerAccessAdminister}) {
    const PrinterHandle server = spooler().OpenPrintServer(L"", access);
    ASSERT_NE(server, 0u) << "error " << spooler().LastError();
    EXPECT_EQ(Enumerate(server), BuiltinForms());
    FormInfo form;
    std::uint32_t needed = 0;
    EXPECT_TRUE(spooler().GetForm(server, L"A4", 4096, form, needed));
    EXPECT_EQ(form.cx, 210000);
    EXPECT_TRUE(
        spooler().AddForm(server, FormInfo{0, L"Server slip", 80000, 40000, 0, 0, 80000, 40000}));
    if (backend_->KeepsAddedForms()) {
      EXPECT_EQ(Enumerate(office_).back().name, L"Server slip");
    }
    EXPECT_TRUE(spooler().DeleteForm(server, L"Server slip"));
    EXPECT_EQ(Enumerate(office_), BuiltinForms());
    EXPECT_TRUE(spooler().ClosePrinter(server));
  }
  ExpectRefused(spooler().OpenPrintServer(L"\\\\no-such-server", kServerAccessEnumerate) != 0,
                kErrorInvalidPrinterName, "unknown server");
}

TEST_F(SpoolerContractTest, DocumentPropertiesGivesThePrintersRecordAndMergesAFormName) {
  std::vector<std::uint8_t> record = OfficeRecord();
  EXPECT_EQ(devmode::ReadName(record, devmode::kDeviceName), kOffice);
  EXPECT_EQ(std::size_t{devmode::ReadU16(record, devmode::kSize)} +
                devmode::ReadU16(record, devmode::kDriverExtra),
            record.size());

  // Output and input are the same buffer, as the component passes them.
  const std::uint16_t paperSize = devmode::ReadU16(record, devmode::kPaperSize);
  devmode::WriteName(record, devmode::kFormName, L"A4");
  devmode::WriteU32(record, devmode::kFields, devmode::kFieldFormName);
  devmode::WriteU16(record, devmode::kPaperSize, paperSize == 9 ? 1 : 9);  // not named: kept
  ASSERT_EQ(spooler().DocumentProperties(0, office_, kOffice, &record, &record,
                                         kDmInBuffer | kDmOutBuffer),
            kIdOk);
  EXPECT_EQ(devmode::ReadName(record, devmode::kDeviceName), kOffice);
  EXPECT_EQ(devmode::ReadName(record, devmode::kFormName), L"A4");
  EXPECT_EQ(devmode::ReadU16(record, devmode::kPaperSize), paperSize);
  EXPECT_TRUE(devmode::ReadU32(record, devmode::kFields) & devmode::kFieldFormName);
  const DeviceContext dc = backend_->OfficeDC();
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(spooler().ResetDC(dc, record), dc);
  ExpectRefused(spooler().ResetDC(dc, {}) != 0, kErrorInvalidParameter, "empty record");
  EXPECT_EQ(spooler().ResetDC(dc + 0x4444, record), 0u);
}

TEST_F(SpoolerContractTest, ShortRecordsAreFilledAndReadOnlyAsFarAsTheyReach) {
  const std::vector<std::uint8_t> full = OfficeRecord();
  std::vector<std::uint8_t> prefix(10, 0xAB);
  EXPECT_EQ(spooler().DocumentProperties(0, office_, kOffice, &prefix, nullptr, kDmOutBuffer),
            kIdOk);
  EXPECT_EQ(prefix, std::vector<std::uint8_t>(full.begin(), full.begin() + 10));

  // Only the header's first fields: the driver is handed a complete, zero-padded record.
  const std::vector<std::uint8_t> shortInput(full.begin(), full.begin() + devmode::kFields);
  std::vector<std::uint8_t> output(full.size());
  EXPECT_EQ(spooler().DocumentProperties(0, office_, kOffice, &output, &shortInput,
                                         kDmInBuffer | kDmOutBuffer),
            kIdOk);
  EXPECT_EQ(devmode::ReadName(output, devmode::kDeviceName), kOffice);
}

}  // namespace
}  // namespace sheetlore::contract
