// PrintAddForm, PrintDelForm and PrintGetForm on the simulated spooler.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

using sim::Call;
using ::testing::ElementsAre;

const std::wstring kPrinter = L"Office Laser";

class FormOperationsTest : public ::testing::Test {
 protected:
  FormOperationsTest() {
    sim_.AddPrinter(kPrinter);
    sim_.ClearCalls();
  }

  // The handle the method opened, as the spooler calls after OpenPrinter name it.
  std::wstring OpenedHandle() const {
    for (const Call& call : sim_.Calls()) {
      if (call.api == sim::Api::ClosePrinter) return call.args.at(0);
    }
    return L"";
  }

  const FormInfo* FindForm(const std::wstring& name) const {
    for (const FormInfo& form : sim_.Forms()) {
      if (form.name == name) return &form;
    }
    return nullptr;
  }

  bool Add(std::wstring printer, std::wstring form, double cx, double cy, double left = 0,
           double right = 0, double top = 0, double bottom = 0) {
    return cls_.PrintAddForm(printer, form, cx, cy, left, right, top, bottom);
  }

  sim::SimPlatform sim_;
  ClsPrint cls_{sim_.platform()};
};

TEST_F(FormOperationsTest, BlankNamesFailBeforeAnyPlatformCall) {
  for (const std::wstring blank : {L"", L" ", L"    "}) {
    EXPECT_FALSE(Add(blank, L"Label", 10, 5));
    EXPECT_FALSE(Add(kPrinter, blank, 10, 5));
    std::wstring printer = blank;
    std::wstring form = L"Letter";
    EXPECT_FALSE(cls_.PrintDelForm(printer, form));
    EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
    printer = kPrinter;
    form = blank;
    EXPECT_FALSE(cls_.PrintDelForm(printer, form));
    EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
  }
  EXPECT_TRUE(sim_.Calls().empty());
}

TEST_F(FormOperationsTest, NamesReachTheSpoolerUntrimmed) {
  // Only blanks count for the emptiness test; the names themselves are passed as given.
  EXPECT_FALSE(Add(L" " + kPrinter + L" ", L"Label", 10, 5));
  EXPECT_EQ(sim_.Calls().at(1), (Call{sim::Api::OpenPrinter, {L" " + kPrinter + L" ", L"4"}}));

  EXPECT_TRUE(Add(kPrinter, L" Label ", 10, 5));
  EXPECT_NE(FindForm(L" Label "), nullptr);

  // A tab is not a blank: the name goes to the spooler.
  sim_.ClearCalls();
  EXPECT_FALSE(Add(L"\t", L"Label", 10, 5));
  EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), 1u);
}

TEST_F(FormOperationsTest, OutsideTheNtFamilyAddAndDeleteReportSuccessWithoutActing) {
  for (const std::uint32_t platformId : {0u, 1u, 3u}) {
    sim_.SetPlatformId(platformId);
    sim_.ClearCalls();
    EXPECT_TRUE(Add(kPrinter, L"Label", 10, 5));
    std::wstring printer = kPrinter;
    std::wstring form = L"Letter";
    EXPECT_TRUE(cls_.PrintDelForm(printer, form));
    EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
    EXPECT_THAT(sim_.CallNames(), ElementsAre(sim::Api::GetVersionEx, sim::Api::GetVersionEx,
                                              sim::Api::GetVersionEx));
  }
  EXPECT_EQ(FindForm(L"Label"), nullptr);
  EXPECT_NE(FindForm(L"Letter"), nullptr);

  sim_.FailVersion();
  EXPECT_TRUE(Add(kPrinter, L"Label", 10, 5));
  EXPECT_EQ(FindForm(L"Label"), nullptr);
}

TEST_F(FormOperationsTest, AddWithoutMarginsCoversTheWholeSheetAndScalesTheArguments) {
  std::wstring printer = kPrinter;
  std::wstring form = L"A4 portrait";
  double cx = 21, cy = 29.7, left = 0, right = 0, top = 0, bottom = 0;
  EXPECT_TRUE(cls_.PrintAddForm(printer, form, cx, cy, left, right, top, bottom));

  const std::wstring handle = OpenedHandle();
  EXPECT_EQ(
      sim_.Calls(),
      (std::vector<Call>{
          {sim::Api::GetVersionEx, {}},
          {sim::Api::OpenPrinter, {kPrinter, L"4"}},
          {sim::Api::AddForm,
           {handle, L"A4 portrait", L"0", L"210000", L"297000", L"0", L"0", L"210000", L"297000"}},
          {sim::Api::ClosePrinter, {handle}},
      }));
  EXPECT_EQ(cx, 210000);
  EXPECT_EQ(cy, 297000);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(right, 210000);
  EXPECT_EQ(bottom, 297000);
  ASSERT_NE(FindForm(L"A4 portrait"), nullptr);
  EXPECT_EQ(FindForm(L"A4 portrait")->flags, 0u);
}

TEST_F(FormOperationsTest, AddWithMarginsPassesEdgePositions) {
  std::wstring printer = kPrinter;
  std::wstring form = L"Margins";
  double cx = 21, cy = 29.7, left = 1, right = 20, top = 1.5, bottom = 28.2;
  EXPECT_TRUE(cls_.PrintAddForm(printer, form, cx, cy, left, right, top, bottom));
  EXPECT_EQ(*FindForm(L"Margins"),
            (FormInfo{0, L"Margins", 210000, 297000, 10000, 15000, 200000, 282000}));
  EXPECT_DOUBLE_EQ(left, 10000);
  EXPECT_DOUBLE_EQ(right, 200000);
  EXPECT_DOUBLE_EQ(top, 15000);
  EXPECT_DOUBLE_EQ(bottom, 282000);
}

TEST_F(FormOperationsTest, SizesRoundToTheNearestEvenThousandth) {
  // Scaled: 20000.5, 2.5, 3.5, (right 0: the width), 4.5, 5.5.
  EXPECT_TRUE(Add(kPrinter, L"R1", 2.00005, 0.00025, 0.00035, 0, 0.00045, 0.00055));
  EXPECT_EQ(*FindForm(L"R1"), (FormInfo{0, L"R1", 20000, 2, 4, 4, 20000, 6}));

  // Negative positions are the spooler's to judge; they round the same way (-2.5, -3.5).
  EXPECT_TRUE(Add(kPrinter, L"R2", 1, 1, -0.00025, 0, -0.00035, 0));
  EXPECT_EQ(FindForm(L"R2")->left, -2);
  EXPECT_EQ(FindForm(L"R2")->top, -4);
}

TEST_F(FormOperationsTest, SizesOutsideTheSpoolerRangeOverflowAndStillClose) {
  // The last values that fit, on both sides.
  EXPECT_TRUE(Add(kPrinter, L"Widest", 214748.3647, 1, -214748.3648, 0, 0, 0));
  EXPECT_EQ(FindForm(L"Widest")->cx, 2147483647);
  EXPECT_EQ(FindForm(L"Widest")->left, -2147483647 - 1);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double cx, cy, left, right, top, bottom;
  };
  for (const Case& c : {Case{214748.3648, 1, 0, 0, 0, 0}, Case{1, -214748.3649, 0, 0, 0, 0},
                        Case{1, 1, nan, 0, 0, 0}, Case{1, 1, 0, inf, 0, 0},
                        Case{nan, 1, 0, 0, 0, 0}, Case{1, 1, 0, 0, 0, 1e300}}) {
    sim_.ClearCalls();
    try {
      Add(kPrinter, L"TooBig", c.cx, c.cy, c.left, c.right, c.top, c.bottom);
      ADD_FAILURE() << "no overflow for cx " << c.cx;
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), 6);
      EXPECT_EQ(error.description(), L"Overflow");
    }
    EXPECT_EQ(sim_.CountCalls(sim::Api::AddForm), 0u);
    EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), 1u);
    EXPECT_EQ(sim_.CountCalls(sim::Api::ClosePrinter), 1u);
    EXPECT_EQ(sim_.OpenHandleCount(), 0u);
  }
  EXPECT_EQ(FindForm(L"TooBig"), nullptr);
}

TEST_F(FormOperationsTest, TheSpoolersRefusalIsReportedAndThePrinterClosed) {
  EXPECT_FALSE(Add(kPrinter, L"Letter", 10, 10));  // the name exists
  EXPECT_EQ(FindForm(L"Letter")->cx, 215900);
  std::wstring printer = kPrinter;
  std::wstring missing = L"No such form";
  EXPECT_FALSE(cls_.PrintDelForm(printer, missing));
  std::wstring builtin = L"Letter";
  EXPECT_FALSE(cls_.PrintDelForm(printer, builtin));
  EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), 3u);
  EXPECT_EQ(sim_.CountCalls(sim::Api::ClosePrinter), 3u);
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
}

TEST_F(FormOperationsTest, DeleteRemovesAUserForm) {
  ASSERT_TRUE(Add(kPrinter, L"Label", 10, 5));
  sim_.ClearCalls();
  std::wstring printer = kPrinter;
  std::wstring form = L"Label";
  EXPECT_TRUE(cls_.PrintDelForm(printer, form));
  EXPECT_EQ(FindForm(L"Label"), nullptr);
  const std::wstring handle = OpenedHandle();
  EXPECT_EQ(sim_.Calls(), (std::vector<Call>{{sim::Api::GetVersionEx, {}},
                                             {sim::Api::OpenPrinter, {kPrinter, L"4"}},
                                             {sim::Api::DeleteForm, {handle, L"Label"}},
                                             {sim::Api::ClosePrinter, {handle}}}));
}

TEST_F(FormOperationsTest, AnUnknownPrinterGivesFailureWithNothingToClose) {
  std::wstring printer = L"Nowhere";
  std::wstring form = L"Letter";
  EXPECT_FALSE(Add(printer, L"Label", 10, 5));
  EXPECT_FALSE(cls_.PrintDelForm(printer, form));
  EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
  EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), 3u);
  EXPECT_EQ(sim_.CountCalls(sim::Api::ClosePrinter), 0u);
  EXPECT_EQ(sim_.CallNames().size(), 6u);  // a version check and an open each
}

TEST_F(FormOperationsTest, AFailureAtEachSpoolerCallClosesWhatOpened) {
  for (const sim::Api failing : {sim::Api::OpenPrinter, sim::Api::AddForm, sim::Api::DeleteForm,
                                 sim::Api::GetForm, sim::Api::ClosePrinter}) {
    SCOPED_TRACE(failing);
    sim::SimPlatform sim;
    sim.AddPrinter(kPrinter);
    ClsPrint cls(sim.platform());
    std::wstring printer = kPrinter;
    std::wstring label = L"Label";
    std::wstring letter = L"Letter";
    double cx = 10, cy = 5, l = 0, r = 0, t = 0, b = 0;

    sim.FailCall(failing, 1, 100);
    const bool added = cls.PrintAddForm(printer, label, cx, cy, l, r, t, b);
    const bool deleted = cls.PrintDelForm(printer, label);
    const rePaPer read = cls.PrintGetForm(printer, letter);

    const bool opens = failing != sim::Api::OpenPrinter;
    EXPECT_EQ(added, opens && failing != sim::Api::AddForm);
    EXPECT_EQ(deleted, opens && failing != sim::Api::AddForm && failing != sim::Api::DeleteForm);
    EXPECT_EQ(read.W != 0, opens && failing != sim::Api::GetForm);
    EXPECT_EQ(sim.CountCalls(sim::Api::ClosePrinter), opens ? 3u : 0u);
    EXPECT_EQ(sim.OpenHandleCount(), 0u);
  }
}

TEST_F(FormOperationsTest, GetReadsAFormInCentimetresWithABufferOfTheSizeNeeded) {
  std::wstring printer = kPrinter;
  std::wstring form = L"Letter";
  const rePaPer letter = cls_.PrintGetForm(printer, form);
  EXPECT_EQ(letter, (rePaPer{0, 21.59, 27.94, 0, 21.59, 0, 27.94}));

  const std::wstring handle = OpenedHandle();
  const std::wstring needed = std::to_wstring(sim::FormBytes(L"Letter"));
  EXPECT_EQ(sim_.Calls(), (std::vector<Call>{{sim::Api::GetVersionEx, {}},
                                             {sim::Api::OpenPrinter, {kPrinter, L"4"}},
                                             {sim::Api::GetForm, {handle, L"Letter", L"0"}},
                                             {sim::Api::GetForm, {handle, L"Letter", needed}},
                                             {sim::Api::ClosePrinter, {handle}}}));
}

TEST_F(FormOperationsTest, GetReturnsTheStoredValuesOfAUserForm) {
  // A name far beyond 255 bytes is still found, and the printable area comes back as stored.
  const std::wstring longName(300, L'x');
  ASSERT_TRUE(Add(kPrinter, longName, 10.5, 20, 0.5, 10, 1.25, 19.5));
  std::wstring printer = kPrinter;
  std::wstring form = longName;
  EXPECT_EQ(cls_.PrintGetForm(printer, form), (rePaPer{0, 10.5, 20, 0.5, 10, 1.25, 19.5}));
}

TEST_F(FormOperationsTest, GetOfAMissingFormGivesZerosAfterOneCall) {
  std::wstring printer = kPrinter;
  std::wstring form = L"No such form";
  EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
  EXPECT_EQ(sim_.CountCalls(sim::Api::GetForm), 1u);
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
}

TEST_F(FormOperationsTest, GetFailingOnTheFillingCallGivesZeros) {
  sim_.FailCall(sim::Api::GetForm, 2);
  std::wstring printer = kPrinter;
  std::wstring form = L"Letter";
  EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
  EXPECT_EQ(sim_.CountCalls(sim::Api::GetForm), 2u);
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace sheetlore
