// The printer-form methods of the core over the Win32 platform, against Wine's spooler and
// the private CUPS queues: what the simulated spooler stands in for in the unit tests.

#include <gtest/gtest.h>

#include <cstddef>

#include "component/cls_print.h"
#include "component/devmode_layout.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_printer.h"
#include "platform/win32/windows_api.h"

namespace sheetlore {
namespace {

namespace layout = devmode_layout;

// The offsets FormSelect edits are those of the real wide record.
static_assert(offsetof(DEVMODEW, dmFields) == layout::kFieldsOffset);
static_assert(offsetof(DEVMODEW, dmFormName) == layout::kFormNameOffset);
static_assert(sizeof(DEVMODEW::dmFormName) / sizeof(WCHAR) == layout::kNameChars);
static_assert(offsetof(DEVMODEW, dmDisplayFrequency) + sizeof(DWORD) == layout::kWorkingCopyBytes);
static_assert(DM_FORMNAME == layout::kFieldFormName);

const std::wstring kOffice = L"Sheetlore_Office";  // the default queue
const std::wstring kLabel = L"Sheetlore_Label";

class FormsOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(win32::DefaultPrinterName(), kOffice)
        << "run inside the private environment (tools/wine-env)";
  }

  win32::Win32Platform win32_;
  ClsPrint cls_{win32_.platform()};
};

TEST_F(FormsOnWine, FormCheckListsTheBuiltInFormsOfTheCurrentPrinter) {
  std::optional<std::vector<FormRow>> rows;
  PrinterRef printer;
  ASSERT_TRUE(cls_.FormCheck(rows, printer));
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->DeviceName(), kOffice);
  ASSERT_EQ(rows->size(), 116u);
  EXPECT_EQ(rows->front(), (FormRow{L"Letter", 1, 21.59, 27.94}));
  for (std::size_t j = 0; j < rows->size(); ++j) {
    EXPECT_EQ((*rows)[j].position, static_cast<std::int32_t>(j + 1));
    EXPECT_FALSE((*rows)[j].name.empty());
    EXPECT_GT((*rows)[j].width, 0);
    EXPECT_GT((*rows)[j].height, 0);
  }

  // Another queue, named by its own printer object.
  PrinterRef label = std::make_shared<win32::Win32Printer>(kLabel);
  std::optional<std::vector<FormRow>> labelRows;
  ASSERT_TRUE(cls_.FormCheck(labelRows, label));
  EXPECT_EQ(labelRows, rows);
}

TEST_F(FormsOnWine, AnUnknownPrinterGivesFailureEverywhere) {
  std::wstring printer = L"No such queue";
  std::wstring form = L"Letter";
  double cx = 10, cy = 20, left = 0, right = 0, top = 0, bottom = 0;
  EXPECT_FALSE(cls_.PrintAddForm(printer, form, cx, cy, left, right, top, bottom));
  EXPECT_EQ(cx, 10);  // not opened: nothing written back
  EXPECT_FALSE(cls_.PrintDelForm(printer, form));
  EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});

  std::optional<std::vector<FormRow>> rows = std::vector<FormRow>{{L"kept", 1, 2, 3}};
  PrinterRef unknown = std::make_shared<win32::Win32Printer>(printer);
  EXPECT_FALSE(cls_.FormCheck(rows, unknown));
  EXPECT_EQ(rows->size(), 1u);
  EXPECT_EQ(cls_.gFormID(L"8.5/11", unknown), 0);
}

TEST_F(FormsOnWine, LetterIsFoundByItsSizeInInches) {
  EXPECT_EQ(cls_.gFormID(L"8.5/11", nullptr), 1);
  EXPECT_EQ(cls_.gFormID(L"8.5/11", std::make_shared<win32::Win32Printer>(kLabel)), 1);
}

TEST_F(FormsOnWine, PrintGetFormReadsLetterInCentimetres) {
  std::wstring printer = kOffice;
  std::wstring form = L"Letter";
  EXPECT_EQ(cls_.PrintGetForm(printer, form), (rePaPer{0, 21.59, 27.94, 0, 21.59, 0, 27.94}));
  std::wstring missing = L"No such form";
  EXPECT_EQ(cls_.PrintGetForm(printer, missing), rePaPer{});
}

TEST_F(FormsOnWine, PrintAddFormScalesAndWritesBack) {
  // Wine's AddForm and DeleteForm accept and change nothing: what shows here is the call's
  // result and the caller's variables.
  std::wstring printer = kOffice;
  std::wstring form = L"Sheetlore forms test";
  double cx = 21, cy = 29.7, left = 1, right = 0, top = 1.5, bottom = 0;
  EXPECT_TRUE(cls_.PrintAddForm(printer, form, cx, cy, left, right, top, bottom));
  EXPECT_EQ(cx, 210000);
  EXPECT_EQ(cy, 297000);
  EXPECT_EQ(left, 10000);
  EXPECT_EQ(right, 210000);
  EXPECT_EQ(top, 15000);
  EXPECT_EQ(bottom, 297000);
  EXPECT_TRUE(cls_.PrintDelForm(printer, form));

  double huge = 1e6, one = 1, zero = 0, zero2 = 0, zero3 = 0, zero4 = 0;
  try {
    cls_.PrintAddForm(printer, form, huge, one, zero, zero2, zero3, zero4);
    ADD_FAILURE() << "no overflow";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), 6);
  }
}

// Wine's driver takes the form name into the merged record but keeps the paper size it had,
// so the page size of the device context does not follow here as it does on Windows.
TEST_F(FormsOnWine, FormSelectGivesOneForAKnownAndAnUnknownForm) {
  std::wstring a4 = L"A4";
  EXPECT_EQ(cls_.FormSelect(a4, 0), 1);
  std::wstring unknown = L"No such form";
  EXPECT_EQ(cls_.FormSelect(unknown, 0), 1);
  std::wstring longName(40, L'x');
  EXPECT_EQ(cls_.FormSelect(longName, 0), 1);
}

}  // namespace
}  // namespace sheetlore
