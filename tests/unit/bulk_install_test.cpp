// FormAllAdd: the paper store installed on a printer of the simulated print server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/sim_support.h"

namespace sheetlore {
namespace {

using sim::Message;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::wstring kPrinter = L"Office Laser";
const std::wstring kStore = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";
const Message kFinished{L"新增完成", L"系統提示", 64};

class BulkInstallTest : public ::testing::Test {
 protected:
  BulkInstallTest() { sim_.AddPrinter(kPrinter); }

  void Store(const std::wstring& name, std::uint8_t mode, double w, double h, double l = 0,
             double r = 0, double t = 0, double b = 0) {
    ASSERT_TRUE(cls_.IniWriteValue(name, mode, w, h, l, r, t, b));
  }

  // The error FormAllAdd ends with, or 0 when it returns.
  std::int32_t RunAndCatch(PrinterRef printer) {
    return RaisedBy([&] { cls_.FormAllAdd(printer); }).number;
  }

  sim::SimPlatform sim_;
  ClsPrint cls_{sim_.platform()};
  PrinterRef printer_ = sim_.Printer(kPrinter);
};

TEST_F(BulkInstallTest, InchPapersAreConvertedAndEveryOtherUnitIsTakenAsCentimetres) {
  Store(L"Inch", 1, 8.5, 11, 0.25, 8.25, 0.5, 10.5);
  Store(L"Metric", 0, 8.5, 11);
  Store(L"Unit two", 2, 8.5, 11, 1, 7, 2, 9);
  cls_.FormAllAdd(printer_);
  // Right and bottom 0 stand for the sheet's edges.
  EXPECT_EQ(std::vector<FormInfo>(sim_.Forms().end() - 3, sim_.Forms().end()),
            (std::vector<FormInfo>{{0, L"Inch", 215900, 279400, 6350, 12700, 209550, 266700},
                                   {0, L"Metric", 85000, 110000, 0, 0, 85000, 110000},
                                   {0, L"Unit two", 85000, 110000, 10000, 20000, 70000, 90000}}));
  EXPECT_THAT(sim_.Messages(), ElementsAre(kFinished));
}

TEST_F(BulkInstallTest, AnExistingFormKeepsItsSizeWhileTheOthersAreAdded) {
  std::vector<FormInfo> forms = sim_.Forms();
  forms.push_back(FormInfo{0, L"Label", 50000, 30000, 0, 0, 50000, 30000});
  sim_.SetForms(forms);
  Store(L"Label", 0, 10, 6);
  Store(L"Ticket", 0, 8, 20);
  cls_.FormAllAdd(printer_);
  EXPECT_EQ(*FindForm(sim_, L"Label"), forms.back());
  ASSERT_NE(FindForm(sim_, L"Ticket"), nullptr);
  EXPECT_EQ(FindForm(sim_, L"Ticket")->cx, 80000);
  EXPECT_EQ(sim_.Forms().size(), forms.size() + 1);
  EXPECT_THAT(sim_.Messages(), ElementsAre(kFinished));
}

// An empty store installs nothing (and is not created); a listed paper that cannot be read is
// passed over, not installed as 0 x 0. The message shows either way.
TEST_F(BulkInstallTest, AnEmptyStoreOrAnUnreadablePaperInstallsNothingAndAnUnreadableFileRaises) {
  const std::vector<FormInfo> before = sim_.Forms();
  cls_.FormAllAdd(printer_);
  EXPECT_EQ(sim_.Forms(), before);
  EXPECT_FALSE(sim_.FileExists(kStore));
  sim_.SetFileText(kStore,
                   L"[PrintMain]\r\nGone=Gone\r\nA5X=A5X\r\n"
                   L"[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\n");
  cls_.FormAllAdd(printer_);
  EXPECT_EQ(FindForm(sim_, L"Gone"), nullptr);
  ASSERT_NE(FindForm(sim_, L"A5X"), nullptr);
  EXPECT_EQ(sim_.Forms().size(), before.size() + 1);
  EXPECT_THAT(sim_.Messages(), ElementsAre(kFinished, kFinished));
  // A store that exists but cannot be read is no empty store: error 75, no message.
  sim_.MakeUnreadable(kStore);
  EXPECT_EQ(RunAndCatch(printer_), 75);
  EXPECT_EQ(sim_.Messages().size(), 2u);
}

// Without a printer the wizard opens: closed without installing one, nothing is done; a printer
// it installs receives the papers.
TEST_F(BulkInstallTest, WithoutAPrinterThePapersGoToThePrinterTheWizardInstalls) {
  Store(L"A5X", 0, 14.8, 21);
  for (const bool installs : {false, true}) {
    sim_.RemoveAllPrinters();
    sim_.OnWizardStart([this, installs] {
      sim_.ScriptWindow(L"新增印表機精靈", sim_.Now() + 500, sim_.Now() + 3000);
      if (installs) sim_.AddPrinter(kPrinter);
    });
    cls_.FormAllAdd(printer_);
    EXPECT_EQ(FindForm(sim_, L"A5X") != nullptr, installs);
    EXPECT_EQ(sim_.Messages().size(), installs ? 1u : 0u);
  }
  EXPECT_EQ(sim_.WizardStarts(), 2u);
  EXPECT_THAT(sim_.Messages(), ElementsAre(kFinished));
}

// A missing printer object is an object error, raised on the first listed name even when no
// paper can be installed (an empty store, or only a paper without its section).
TEST_F(BulkInstallTest, AMissingPrinterOrAnUnreadableDeviceNameEndsTheCallOnTheFirstPaper) {
  Store(L"A5X", 0, 14.8, 21);
  Store(L"B5", 0, 17.6, 25);
  EXPECT_EQ(RunAndCatch(nullptr), 91);
  EXPECT_EQ(RunAndCatch(sim_.MakeBrokenPrinter()), static_cast<std::int32_t>(0x80020006u));
  EXPECT_EQ(FindForm(sim_, L"A5X"), nullptr);
  EXPECT_THAT(sim_.Messages(), IsEmpty());
  // Failing on the second paper, the first stays installed.
  sim_.FailCall(sim::Api::DeviceName, 2);
  EXPECT_NE(RunAndCatch(printer_), 0);
  EXPECT_NE(FindForm(sim_, L"A5X"), nullptr);
  EXPECT_EQ(FindForm(sim_, L"B5"), nullptr);
  EXPECT_THAT(sim_.Messages(), IsEmpty());
  for (const wchar_t* text : {L"[PrintMain]\r\n", L"[PrintMain]\r\nGone=Gone\r\n"}) {
    sim_.SetFileText(kStore, text);
    EXPECT_EQ(RunAndCatch(nullptr), 91);
    EXPECT_EQ(RunAndCatch(sim_.MakeBrokenPrinter()), static_cast<std::int32_t>(0x80020006u));
    EXPECT_THAT(sim_.Messages(), IsEmpty());
  }
}

// More names than a sixteen-bit counter holds overflow before any paper is installed.
TEST_F(BulkInstallTest, AStoredUnitCodeOutsideAByteOrTooManyNamesOverflow) {
  std::wstring text = L"[PrintMain]\r\n";
  for (int i = 0; i <= 32767; ++i) text += L"P" + std::to_wstring(i) + L"=1\r\n";
  sim_.SetFileText(kStore, text);
  EXPECT_EQ(RunAndCatch(printer_), 6);
  EXPECT_EQ(sim_.Forms(), sim::BuiltinForms());
  sim_.SetFileText(kStore,
                   L"[PrintMain]\r\nA5X=A5X\r\nBad=Bad\r\n[A5X]\r\nmMode=0\r\nW=14.8\r\n"
                   L"H=21\r\n[Bad]\r\nmMode=300\r\n");
  EXPECT_EQ(RunAndCatch(printer_), 6);
  EXPECT_NE(FindForm(sim_, L"A5X"), nullptr);
  EXPECT_THAT(sim_.Messages(), IsEmpty());
}

}  // namespace
}  // namespace sheetlore
