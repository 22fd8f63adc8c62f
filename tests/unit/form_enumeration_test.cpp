// FormCheck and gFormID on the simulated spooler.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "component/cls_print.h"
#include "component/form_list.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/sim_support.h"

namespace sheetlore {
namespace {

using ::testing::ElementsAre;

const std::wstring kPrinter = L"Office Laser";
const std::wstring kOther = L"Label Printer";

FormInfo Form(const std::wstring& name, std::int32_t cx, std::int32_t cy) {
  return FormInfo{1, name, cx, cy, 0, 0, cx, cy};
}

class FormEnumerationTest : public ::testing::Test {
 protected:
  FormEnumerationTest() {
    sim_.AddPrinter(kPrinter);
    sim_.AddPrinter(kOther);
  }

  sim::SimPlatform sim_;
  ClsPrint cls_{sim_.platform()};
};

TEST_F(FormEnumerationTest, ListsEveryFormInOrderWithPositionsAndCentimetres) {
  std::optional<std::vector<FormRow>> rows;
  PrinterRef printer = sim_.Printer(kPrinter);
  ASSERT_TRUE(cls_.FormCheck(rows, printer));
  const std::vector<FormInfo>& builtin = sim::BuiltinForms();
  ASSERT_EQ(rows->size(), builtin.size());
  EXPECT_EQ(rows->front(), (FormRow{L"Letter", 1, 21.59, 27.94}));
  for (std::size_t j = 0; j < builtin.size(); ++j) {
    EXPECT_EQ((*rows)[j], (FormRow{builtin[j].name, static_cast<std::int32_t>(j + 1),
                                   builtin[j].cx / 10000.0, builtin[j].cy / 10000.0}));
  }
  // A failed sizing call is made good by the size the filling call reports.
  sim_.FailCall(sim::Api::EnumForms, 1);
  rows.reset();
  ASSERT_TRUE(cls_.FormCheck(rows, printer));
  EXPECT_EQ(rows->size(), builtin.size());
}

TEST_F(FormEnumerationTest, WithoutAPrinterObjectTheCurrentPrinterIsUsedAndHandedBack) {
  sim_.SetCurrentPrinter(kOther);
  std::optional<std::vector<FormRow>> rows;
  PrinterRef printer;
  ASSERT_TRUE(cls_.FormCheck(rows, printer));
  EXPECT_THAT(OpenedPrinters(sim_), ElementsAre(kOther));
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->DeviceName(), kOther);
}

// Failures, a printer object without DeviceName among them, leave the array as it was; a
// printer without forms empties it.
TEST_F(FormEnumerationTest, FailuresLeaveTheArrayAsItWasAndNoFormsGiveNoRows) {
  PrinterRef printer = sim_.Printer(kPrinter);
  PrinterRef unknown = sim_.Printer(L"Nowhere");
  PrinterRef broken = sim_.MakeBrokenPrinter();
  const std::vector<FormRow> earlier = {{L"kept", 7, 1, 2}};
  std::optional<std::vector<FormRow>> rows = earlier;
  sim_.SetPlatformId(1);
  EXPECT_FALSE(cls_.FormCheck(rows, printer));
  sim_.SetPlatformId(2);
  EXPECT_FALSE(cls_.FormCheck(rows, unknown));
  EXPECT_EQ(RaisedBy([&] { cls_.FormCheck(rows, broken); }).hresult, 0x80020006u);
  sim_.FailCall(sim::Api::EnumForms, 2);  // a failing filling call is no empty list
  EXPECT_FALSE(cls_.FormCheck(rows, printer));
  // Nor is "buffer too small" for a list that needs no more bytes than were offered: another
  // try would ask the same, so the enumeration ends there.
  sim_.SetInjectedError(122);
  sim_.FailCall(sim::Api::EnumForms, 2);
  sim_.ClearCalls();
  EXPECT_FALSE(cls_.FormCheck(rows, printer));
  EXPECT_EQ(sim_.CountCalls(sim::Api::EnumForms), 2u);
  EXPECT_EQ(rows, earlier);
  // A list that grows during every try is given up after the sizing call and three tries.
  sim_.GrowFormsDuringEnumeration(true);
  sim_.ClearCalls();
  EXPECT_FALSE(cls_.FormCheck(rows, printer));
  EXPECT_EQ(sim_.CountCalls(sim::Api::EnumForms), 4u);
  EXPECT_EQ(rows, earlier);
  sim_.GrowFormsDuringEnumeration(false);
  // A form read answered "buffer too small" with no size to offer ends there too.
  sim_.FailCall(sim::Api::GetForm);
  sim_.ClearCalls();
  EXPECT_FALSE(LookUpForm(sim_.platform().spooler, kPrinter, L"Letter"));
  EXPECT_EQ(sim_.CountCalls(sim::Api::GetForm), 1u);
  sim_.SetForms({});
  EXPECT_TRUE(cls_.FormCheck(rows, printer));
  EXPECT_EQ(rows, std::vector<FormRow>{});
}

class FormLookupTest : public FormEnumerationTest {
 protected:
  std::int32_t Lookup(const std::wstring& name) { return cls_.gFormID(name, printer_); }
  PrinterRef printer_ = sim_.Printer(kPrinter);
};

// Blanks anywhere are ignored, and anything after a second "/" plays no part.
TEST_F(FormLookupTest, TheFirstFormOfTheSizeInInchesWinsWhateverItsName) {
  for (const std::wstring name : {L"8.5/11", L" 8.5 / 1 1 ", L"8.5/11/99"}) {
    EXPECT_EQ(Lookup(name), 1) << testing::PrintToString(name);
  }
  sim_.SetForms({Form(L"Small", 100000, 100000), Form(L"Letter copy", 215900, 279400),
                 Form(L"Letter", 215900, 279400), Form(L"Letter rotated", 279400, 215900)});
  EXPECT_EQ(Lookup(L"8.5/11"), 2);
  EXPECT_EQ(Lookup(L"11/8.5"), 4);
  EXPECT_EQ(sim_.Forms().size(), 4u);
}

TEST_F(FormLookupTest, AMissingSizeIsAddedAtTheEndUnderTheNameAsked) {
  sim_.SetForms({Form(L"Small", 100000, 100000), Form(L"Letter rotated", 279400, 215900)});
  EXPECT_EQ(Lookup(L"8.5/11"), 3);
  ASSERT_EQ(sim_.Forms().size(), 3u);
  EXPECT_EQ(sim_.Forms().back(), (FormInfo{0, L"8.5/11", 215900, 279400, 0, 0, 215900, 279400}));
  EXPECT_EQ(Lookup(L"8.5/11"), 3);  // found from now on
  // The decimal point is the only separator: "8,5" reads as 8, 20.32 cm wide.
  EXPECT_EQ(Lookup(L"8,5/11"), 4);
  EXPECT_EQ(sim_.Forms().back().cx, 203200);
}

TEST_F(FormLookupTest, ANameWithoutSlashIsSubscriptOutOfRangeBeforeAnyCall) {
  for (const std::wstring name : {L"8.5", L"", L"8.5x11"}) {
    EXPECT_EQ(RaisedBy([&] { Lookup(name); }).number, 9) << testing::PrintToString(name);
  }
  EXPECT_TRUE(sim_.Calls().empty());
}

TEST_F(FormLookupTest, WithoutAPrinterObjectTheCurrentPrinterIsSearchedAndAddedTo) {
  sim_.SetCurrentPrinter(kOther);
  EXPECT_EQ(cls_.gFormID(L"3/5", nullptr),
            static_cast<std::int32_t>(sim::BuiltinForms().size()) + 1);
  EXPECT_THAT(OpenedPrinters(sim_), ElementsAre(kOther, kOther));
}

// So does a name the printer already has for another size.
TEST_F(FormLookupTest, FailuresGiveZero) {
  sim_.SetPlatformId(1);
  EXPECT_EQ(Lookup(L"8.5/11"), 0);
  sim_.SetPlatformId(2);
  EXPECT_EQ(cls_.gFormID(L"8.5/11", sim_.Printer(L"Nowhere")), 0);
  sim_.FailCall(sim::Api::AddForm);
  EXPECT_EQ(Lookup(L"3/5"), 0);
  sim_.SetForms({FormInfo{0, L"4/6", 1000, 1000, 0, 0, 1000, 1000}});
  EXPECT_EQ(Lookup(L"4/6"), 0);
  EXPECT_EQ(sim_.Forms().back().cx, 1000);
}

TEST_F(FormLookupTest, ThePositionCounterStopsAt32767) {
  // Forms of distinct sizes none of which is 1 x 1 inch.
  std::vector<FormInfo> forms;
  for (std::int32_t i = 0; i < 32767; ++i) {
    forms.push_back(Form(L"F" + std::to_wstring(i), 100000 + i, 100000));
  }
  forms.back() = Form(L"Square inch", 25400, 25400);
  sim_.SetForms(forms);
  EXPECT_EQ(Lookup(L"1/1"), 32767);  // the last position the counter reaches
  forms.back() = Form(L"Other", 1, 1);
  sim_.SetForms(forms);
  EXPECT_EQ(Lookup(L"1/1"), 32768);  // added after the 32767 forms searched
  forms.push_back(Form(L"After", 2, 2));
  sim_.SetForms(forms);
  EXPECT_EQ(RaisedBy([&] { Lookup(L"2/2"); }).number, 6);
  EXPECT_EQ(sim_.Forms().size(), forms.size());  // nothing added after the overflow
}

}  // namespace
}  // namespace sheetlore
