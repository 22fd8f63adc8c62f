// PrintAddForm, PrintDelForm and PrintGetForm on the simulated spooler.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/sim_support.h"

namespace sheetlore {
namespace {

const std::wstring kPrinter = L"Office Laser";

class FormOperationsTest : public ::testing::Test {
 protected:
  FormOperationsTest() {
    sim_.AddPrinter(kPrinter);
    sim_.ClearCalls();
  }

  bool Add(std::wstring printer, std::wstring form, double cx, double cy, double left = 0,
           double right = 0, double top = 0, double bottom = 0) {
    return cls_.PrintAddForm(printer, form, cx, cy, left, right, top, bottom);
  }

  sim::SimPlatform sim_;
  ClsPrint cls_{sim_.platform()};
};

// Only blanks count for the emptiness test, which comes before any platform call; every other
// name, end blanks and tabs included, reaches the spooler as given.
TEST_F(FormOperationsTest, BlankNamesFailBeforeAnyCallAndOthersReachTheSpoolerUntrimmed) {
  for (const std::wstring blank : {L"", L" ", L"    "}) {
    EXPECT_FALSE(Add(blank, L"Label", 10, 5));
    EXPECT_FALSE(Add(kPrinter, blank, 10, 5));
    for (auto [printer, form] : {std::pair{blank, std::wstring(L"Letter")}, {kPrinter, blank}}) {
      EXPECT_FALSE(cls_.PrintDelForm(printer, form));
      EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
    }
  }
  EXPECT_TRUE(sim_.Calls().empty());
  EXPECT_FALSE(Add(L" " + kPrinter + L" ", L"Label", 10, 5));
  EXPECT_FALSE(Add(L"\t", L"Label", 10, 5));
  EXPECT_EQ(OpenedPrinters(sim_), (std::vector<std::wstring>{L" " + kPrinter + L" ", L"\t"}));
  EXPECT_TRUE(Add(kPrinter, L" Label ", 10, 5));
  EXPECT_NE(FindForm(sim_, L" Label "), nullptr);
}

TEST_F(FormOperationsTest, OutsideTheNtFamilyAddAndDeleteReportSuccessWithoutActing) {
  for (const std::uint32_t platformId : {0u, 1u, 3u}) {
    sim_.SetPlatformId(platformId);
    EXPECT_TRUE(Add(kPrinter, L"Label", 10, 5));
    std::wstring printer = kPrinter, form = L"Letter";
    EXPECT_TRUE(cls_.PrintDelForm(printer, form));
    EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
  }
  sim_.FailVersion();
  EXPECT_TRUE(Add(kPrinter, L"Label", 10, 5));
  EXPECT_EQ(sim_.Forms(), sim::BuiltinForms());
  EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), 0u);
}

// The centimetres given become thousandths of a millimetre, in the form stored and in the
// arguments passed by reference; a right or bottom of 0 means the sheet's edge.
TEST_F(FormOperationsTest, AddStoresTheSizeAndPrintableAreaAndScalesTheArguments) {
  struct Case {
    double cx, cy, left, right, top, bottom;
    FormInfo stored;
  };
  for (const Case& c :
       {Case{21, 29.7, 0, 0, 0, 0, {0, L"F", 210000, 297000, 0, 0, 210000, 297000}},
        Case{
            21, 29.7, 1, 20, 1.5, 28.2, {0, L"F", 210000, 297000, 10000, 15000, 200000, 282000}}}) {
    std::wstring printer = kPrinter, form = L"F";
    double cx = c.cx, cy = c.cy, left = c.left, right = c.right, top = c.top, bottom = c.bottom;
    EXPECT_TRUE(cls_.PrintAddForm(printer, form, cx, cy, left, right, top, bottom));
    EXPECT_EQ(sim_.Forms().back(), c.stored);
    const FormInfo& f = c.stored;
    EXPECT_EQ((std::vector<double>{cx, cy, left, right, top, bottom}),
              (std::vector<double>{210000, 297000, 1.0 * f.left, 1.0 * f.right, 1.0 * f.top,
                                   1.0 * f.bottom}));
    ASSERT_TRUE(cls_.PrintDelForm(printer, form));
    EXPECT_EQ(FindForm(sim_, L"F"), nullptr);
  }
  // Sizes round to the nearest even thousandth: 20000.5, 2.5, 3.5, (right 0), 4.5, 5.5.
  EXPECT_TRUE(Add(kPrinter, L"R1", 2.00005, 0.00025, 0.00035, 0, 0.00045, 0.00055));
  EXPECT_EQ(*FindForm(sim_, L"R1"), (FormInfo{0, L"R1", 20000, 2, 4, 4, 20000, 6}));
  // Negative positions are the spooler's to judge; they round the same way (-2.5, -3.5).
  EXPECT_TRUE(Add(kPrinter, L"R2", 1, 1, -0.00025, 0, -0.00035, 0));
  EXPECT_EQ(FindForm(sim_, L"R2")->left, -2);
  EXPECT_EQ(FindForm(sim_, L"R2")->top, -4);
}

TEST_F(FormOperationsTest, SizesOutsideTheSpoolerRangeOverflowAndStillClose) {
  // The last values that fit, on both sides.
  EXPECT_TRUE(Add(kPrinter, L"Widest", 214748.3647, 1, -214748.3648, 0, 0, 0));
  EXPECT_EQ(FindForm(sim_, L"Widest")->cx, 2147483647);
  EXPECT_EQ(FindForm(sim_, L"Widest")->left, -2147483647 - 1);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double cx, cy, left, right, top, bottom;
  };
  for (const Case& c : {Case{214748.3648, 1, 0, 0, 0, 0}, Case{1, -214748.3649, 0, 0, 0, 0},
                        Case{1, 1, nan, 0, 0, 0}, Case{1, 1, 0, inf, 0, 0},
                        Case{nan, 1, 0, 0, 0, 0}, Case{1, 1, 0, 0, 0, 1e300}}) {
    EXPECT_EQ(RaisedBy([&] {
                Add(kPrinter, L"TooBig", c.cx, c.cy, c.left, c.right, c.top, c.bottom);
              }).description,
              L"Overflow")
        << "cx " << c.cx;
    EXPECT_EQ(sim_.OpenHandleCount(), 0u);
  }
  EXPECT_EQ(FindForm(sim_, L"TooBig"), nullptr);
}

// Each method's answer when the spooler refuses, fails at one call, or has no such printer.
TEST_F(FormOperationsTest, RefusalsAndFailuresGiveFailureAndChangeNothing) {
  std::wstring printer = kPrinter, missing = L"No such form", builtin = L"Letter";
  EXPECT_FALSE(Add(kPrinter, L"Letter", 10, 10));  // the name exists
  EXPECT_FALSE(cls_.PrintDelForm(printer, missing));
  EXPECT_FALSE(cls_.PrintDelForm(printer, builtin));
  EXPECT_EQ(cls_.PrintGetForm(printer, missing), rePaPer{});
  std::wstring nowhere = L"Nowhere";
  EXPECT_FALSE(Add(nowhere, L"Label", 10, 5));
  EXPECT_FALSE(cls_.PrintDelForm(nowhere, builtin));
  EXPECT_EQ(cls_.PrintGetForm(nowhere, builtin), rePaPer{});
  EXPECT_EQ(sim_.Forms(), sim::BuiltinForms());
  sim_.FailCall(sim::Api::GetForm, 2);  // the call that fills the buffer
  EXPECT_EQ(cls_.PrintGetForm(printer, builtin), rePaPer{});
  for (const sim::Api failing : {sim::Api::OpenPrinter, sim::Api::AddForm, sim::Api::DeleteForm,
                                 sim::Api::GetForm, sim::Api::ClosePrinter}) {
    SCOPED_TRACE(failing);
    sim::SimPlatform sim;
    sim.AddPrinter(kPrinter);
    ClsPrint cls(sim.platform());
    std::wstring label = L"Label";
    double cx = 10, cy = 5, l = 0, r = 0, t = 0, b = 0;
    sim.FailCall(failing, 1, 100);
    const bool added = cls.PrintAddForm(printer, label, cx, cy, l, r, t, b);
    const bool deleted = cls.PrintDelForm(printer, label);
    const rePaPer read = cls.PrintGetForm(printer, builtin);
    const bool opens = failing != sim::Api::OpenPrinter;
    EXPECT_EQ(added, opens && failing != sim::Api::AddForm);
    EXPECT_EQ(deleted, opens && failing != sim::Api::AddForm && failing != sim::Api::DeleteForm);
    EXPECT_EQ(read.W != 0, opens && failing != sim::Api::GetForm);
  }
}

TEST_F(FormOperationsTest, GetReadsAFormInCentimetresAsStored) {
  std::wstring printer = kPrinter, form = L"Letter";
  EXPECT_EQ(cls_.PrintGetForm(printer, form), (rePaPer{0, 21.59, 27.94, 0, 21.59, 0, 27.94}));
  // A name far beyond 255 bytes is still found, and the printable area comes back as stored.
  const std::wstring longName(300, L'x');
  ASSERT_TRUE(Add(kPrinter, longName, 10.5, 20, 0.5, 10, 1.25, 19.5));
  form = longName;
  EXPECT_EQ(cls_.PrintGetForm(printer, form), (rePaPer{0, 10.5, 20, 0.5, 10, 1.25, 19.5}));
}

// Every refusal leaves the failing call and its error for the caller to read; the answers of
// the calls that ask for a size first are no failures, so a read that succeeds leaves none.
TEST_F(FormOperationsTest, ARefusalLeavesTheFailingCallAndItsErrorAndASizedReadLeavesNone) {
  const auto last = [this] { return cls_.LastFailure().value_or(PlatformFailure{}); };
  EXPECT_FALSE(Add(L"No Such Printer", L"Label", 10, 5));
  EXPECT_EQ(last(), (PlatformFailure{L"OpenPrinter", kErrorInvalidPrinterName}));
  EXPECT_FALSE(Add(kPrinter, L"Letter", 10, 5));
  EXPECT_EQ(last(), (PlatformFailure{L"AddForm", kErrorFileExists}));
  std::wstring printer = kPrinter, form = L"Letter";
  EXPECT_FALSE(cls_.PrintDelForm(printer, form));
  EXPECT_EQ(last(), (PlatformFailure{L"DeleteForm", kErrorInvalidParameter}));
  cls_.ForgetFailures();
  EXPECT_NE(cls_.PrintGetForm(printer, form), rePaPer{});
  EXPECT_EQ(cls_.Failures(), std::vector<PlatformFailure>{});
  form = L"LETTER";  // the read matches the name exactly
  EXPECT_EQ(cls_.PrintGetForm(printer, form), rePaPer{});
  EXPECT_EQ(last(), (PlatformFailure{L"GetForm", kErrorInvalidFormName}));
  // So does a store write the profile service refuses.
  sim_.FailCall(sim::Api::WritePrivateProfileString);
  EXPECT_FALSE(cls_.IniWriteValue(L"Kept out", 0, 1, 2, 0, 0, 0, 0));
  EXPECT_EQ(last().operation, L"WritePrivateProfileString");
  // A loop of refusals keeps only the newest.
  for (int i = 0; i < 40; ++i) Add(L"No Such Printer", L"Label", 10, 5);
  EXPECT_EQ(cls_.Failures().size(), FailureLog::kKept);
}

}  // namespace
}  // namespace sheetlore
