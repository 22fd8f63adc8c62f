// The Win32 spooler against Wine's spooler over the private CUPS queues.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/win32/win32_printer.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

const std::wstring kDefaultQueue = L"Sheetlore_Office";

class SpoolerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    printer_ = spooler_.OpenPrinter(kDefaultQueue, kPrinterAccessAdminister);
    ASSERT_NE(printer_, 0u) << "error " << spooler_.LastError();
  }
  void TearDown() override {
    if (printer_) {
      EXPECT_TRUE(spooler_.ClosePrinter(printer_));
    }
  }

  std::vector<std::uint8_t> ReadDevMode() {
    const auto bytes = spooler_.DocumentProperties(0, printer_, kDefaultQueue, nullptr, nullptr, 0);
    EXPECT_GE(bytes, static_cast<std::int32_t>(sizeof(DEVMODEW)));
    std::vector<std::uint8_t> record(bytes > 0 ? bytes : 0);
    EXPECT_EQ(
        spooler_.DocumentProperties(0, printer_, kDefaultQueue, &record, nullptr, kDmOutBuffer),
        IDOK);
    return record;
  }

  Win32Spooler spooler_;
  PrinterHandle printer_ = 0;
};

DEVMODEW Header(const std::vector<std::uint8_t>& record) {
  DEVMODEW header{};
  std::memcpy(&header, record.data(), std::min(record.size(), sizeof header));
  return header;
}

TEST(SpoolerOpen, UnknownPrinterFailsWithInvalidPrinterName) {
  Win32Spooler spooler;
  EXPECT_EQ(spooler.OpenPrinter(L"No such queue", kPrinterAccessAdminister), 0u);
  EXPECT_EQ(spooler.LastError(), kErrorInvalidPrinterName);
}

TEST_F(SpoolerTest, EnumFormsReportsSizeThenListsTheBuiltInForms) {
  std::vector<FormInfo> forms{FormInfo{}};
  std::uint32_t needed = 0;
  std::uint32_t returned = 99;
  EXPECT_FALSE(spooler_.EnumForms(printer_, 0, forms, needed, returned));
  EXPECT_EQ(spooler_.LastError(), kErrorInsufficientBuffer);
  EXPECT_TRUE(forms.empty());
  EXPECT_EQ(returned, 0u);
  ASSERT_GT(needed, 0u);

  std::uint32_t neededAgain = 0;
  EXPECT_FALSE(spooler_.EnumForms(printer_, needed - 1, forms, neededAgain, returned));
  EXPECT_EQ(neededAgain, needed);
  EXPECT_TRUE(forms.empty());

  ASSERT_TRUE(spooler_.EnumForms(printer_, needed, forms, neededAgain, returned));
  EXPECT_EQ(returned, 116u);
  ASSERT_EQ(forms.size(), 116u);
  EXPECT_EQ(forms[0], (FormInfo{1, L"Letter", 215900, 279400, 0, 0, 215900, 279400}));
  const auto a4 = std::find_if(forms.begin(), forms.end(),
                               [](const FormInfo& form) { return form.name == L"A4"; });
  ASSERT_NE(a4, forms.end());
  EXPECT_EQ(a4->cx, 210000);
  EXPECT_EQ(a4->cy, 297000);
}

TEST_F(SpoolerTest, GetFormReportsSizeThenFillsTheForm) {
  FormInfo form;
  std::uint32_t needed = 0;
  EXPECT_FALSE(spooler_.GetForm(printer_, L"A4", 0, form, needed));
  EXPECT_EQ(spooler_.LastError(), kErrorInsufficientBuffer);
  ASSERT_GE(needed, sizeof(FORM_INFO_1W));
  EXPECT_EQ(form, FormInfo{});

  std::uint32_t neededAgain = 0;
  ASSERT_TRUE(spooler_.GetForm(printer_, L"A4", needed, form, neededAgain));
  EXPECT_EQ(form, (FormInfo{1, L"A4", 210000, 297000, 0, 0, 210000, 297000}));
}

TEST_F(SpoolerTest, GetFormOfAnUnknownNameFails) {
  FormInfo form;
  std::uint32_t needed = 0;
  EXPECT_FALSE(spooler_.GetForm(printer_, L"No such form", 4096, form, needed));
  EXPECT_EQ(spooler_.LastError(), kErrorInvalidFormName);
}

TEST_F(SpoolerTest, AddAndDeleteFormReachTheSpooler) {
  // Wine's spooler accepts both calls and keeps no user forms; the calls must still succeed.
  const FormInfo form{0, L"新增格式 win32 test", 100000, 150000, 1000, 2000, 99000, 148000};
  EXPECT_TRUE(spooler_.AddForm(printer_, form));
  EXPECT_TRUE(spooler_.DeleteForm(printer_, form.name));
}

TEST_F(SpoolerTest, DocumentPropertiesReadsThePrintersSettings) {
  const auto record = ReadDevMode();
  ASSERT_GE(record.size(), sizeof(DEVMODEW));
  const DEVMODEW header = Header(record);
  EXPECT_EQ(std::wstring(header.dmDeviceName), kDefaultQueue);
  EXPECT_EQ(std::size_t{header.dmSize} + header.dmDriverExtra, record.size());
}

TEST_F(SpoolerTest, DocumentPropertiesMergesAFormNameInPlace) {
  auto record = ReadDevMode();
  ASSERT_GE(record.size(), sizeof(DEVMODEW));
  DEVMODEW header = Header(record);
  std::memset(header.dmFormName, 0, sizeof header.dmFormName);
  std::wcscpy(header.dmFormName, L"A4");
  header.dmFields = DM_FORMNAME;
  std::memcpy(record.data(), &header, sizeof header);

  // Output and input are the same buffer, as the component passes them.
  EXPECT_EQ(spooler_.DocumentProperties(0, printer_, kDefaultQueue, &record, &record,
                                        kDmInBuffer | kDmOutBuffer),
            IDOK);
  const DEVMODEW merged = Header(record);
  EXPECT_EQ(std::wstring(merged.dmDeviceName), kDefaultQueue);
  EXPECT_EQ(std::wstring(merged.dmFormName), L"A4");
  EXPECT_NE(merged.dmFields & DM_FORMNAME, 0u);

  auto printer = Win32Printer::DefaultPrinter();
  const DeviceContext dc = printer->hDC();
  EXPECT_EQ(spooler_.ResetDC(dc, record), dc);
}

TEST_F(SpoolerTest, DocumentPropertiesFillsAShortOutputOnlyAsFarAsItReaches) {
  const auto full = ReadDevMode();
  std::vector<std::uint8_t> prefix(10, 0xAB);
  EXPECT_EQ(spooler_.DocumentProperties(0, printer_, kDefaultQueue, &prefix, nullptr, kDmOutBuffer),
            IDOK);
  ASSERT_EQ(prefix.size(), 10u);
  EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), full.begin()));
}

TEST_F(SpoolerTest, DocumentPropertiesOfAShortInputDoesNotReadPastIt) {
  // Only the header's first fields: the driver is handed a complete, zero-padded record.
  auto record = ReadDevMode();
  record.resize(offsetof(DEVMODEW, dmFields));
  std::vector<std::uint8_t> output(ReadDevMode().size());
  EXPECT_EQ(spooler_.DocumentProperties(0, printer_, kDefaultQueue, &output, &record,
                                        kDmInBuffer | kDmOutBuffer),
            IDOK);
  EXPECT_EQ(std::wstring(Header(output).dmDeviceName), kDefaultQueue);
}

TEST(SpoolerResetDC, EmptyRecordIsRefused) {
  Win32Spooler spooler;
  auto printer = Win32Printer::DefaultPrinter();
  EXPECT_EQ(spooler.ResetDC(printer->hDC(), {}), 0u);
  EXPECT_EQ(spooler.LastError(), kErrorInvalidParameter);
}

}  // namespace
}  // namespace sheetlore::win32
