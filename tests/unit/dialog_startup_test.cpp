// The maintenance dialog opening: FormShow's checks, Form_Load with its nested handlers, the
// printer choice, and a fresh dialog on every show.
#include <memory>

#include "tests/unit/dialog_fixture.h"

namespace sheetlore::dialog_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DialogStartupTest : public DialogTest {};

TEST_F(DialogStartupTest, WithoutStoredPapersTheCurrentPrintersFirstFormIsLoadedInInches) {
  sim::SimDialog& dialog = Show([](sim::SimDialog& d) {
    EXPECT_THAT(d.Items(kCombo1), ElementsAre(L"Office Laser"));
    EXPECT_EQ(d.Text(kCombo1), L"Office Laser");
    EXPECT_THAT(d.Items(List1(0)), IsEmpty());
    EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"A4", L"Letter"));
    EXPECT_EQ(d.SelectedIndex(List1(1)), 0);
    EXPECT_EQ(d.Text(kText2), L"A4");
    // No unit option is chosen, so the centimetres of the form are shown in inches.
    EXPECT_THAT(d.FieldTexts(), ElementsAre(L"8.26771653543307", L"11.6929133858268", L"0",
                                            L"8.26771653543307", L"0", L"11.6929133858268"));
    EXPECT_EQ(d.UnitCaptions(), All(kInch));
    EXPECT_EQ(d.Value(Option1(0)), 0);
    EXPECT_EQ(d.Value(Option1(1)), 0);
    EXPECT_EQ(d.Value(Check1(0)), kChecked);
    EXPECT_EQ(d.Value(Check1(1)), kChecked);
    // Browse mode.
    for (std::int16_t i = 0; i < 6; ++i) EXPECT_FALSE(d.IsEnabled(Text1(i)));
    for (std::int16_t i = 0; i < 5; ++i) EXPECT_TRUE(d.IsEnabled(Cmd1(i)));
  });
  // Combo1_Click fills the forms and loads the first; FillList(1) at the end does both again.
  EXPECT_THAT(dialog.RaisedHandlers(), ElementsAre(L"Form_Load", L"Combo1_Click", L"List1_Click(1)",
                                                   L"List1_Click(1)", L"Form_Unload"));
  EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST_F(DialogStartupTest, WithStoredPapersTheFirstStoredPaperIsLoadedAndNoFormIsSelected) {
  Store(L"Inch letter", 1, 8.5, 11, 0.25, 8.25, 0.5, 10.5);
  Store(L"Metric", 0, 21, 29.7);
  sim::SimDialog& dialog = Show([](sim::SimDialog& d) {
    EXPECT_THAT(d.Items(List1(0)), ElementsAre(L"Inch letter", L"Metric"));
    EXPECT_EQ(d.SelectedIndex(List1(0)), 0);
    EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"A4", L"Letter"));
    EXPECT_EQ(d.SelectedIndex(List1(1)), -1);
    EXPECT_EQ(d.Text(kText2), L"Inch letter");
    // An inch paper with no option chosen is shown in centimetres.
    EXPECT_THAT(d.FieldTexts(),
                ElementsAre(L"21.59", L"27.94", L"0.635", L"20.955", L"1.27", L"26.67"));
    EXPECT_EQ(d.UnitCaptions(), All(kCm));
    EXPECT_EQ(d.Value(Check1(0)), kChecked);
    EXPECT_EQ(d.Value(Check1(1)), kChecked);
  });
  EXPECT_THAT(dialog.RaisedHandlers(), ElementsAre(L"Form_Load", L"Combo1_Click", L"List1_Click(1)",
                                                   L"List1_Click(0)", L"Form_Unload"));
}

TEST_F(DialogStartupTest, APrinterWithoutFormsAndNoStoredPapersLeavesTheFieldsEmpty) {
  sim_.SetForms({});
  Show([](sim::SimDialog& d) {
    EXPECT_THAT(d.Items(List1(1)), IsEmpty());
    EXPECT_EQ(d.FieldTexts(), All(L""));
    EXPECT_EQ(d.UnitCaptions(), All(kCm));
    EXPECT_EQ(d.Text(kText2), L"");
    EXPECT_EQ(d.Value(Check1(0)), kUnchecked);
    EXPECT_EQ(d.Value(Check1(1)), kUnchecked);
  });
}

TEST_F(DialogStartupTest, TheCurrentPrinterThirdOfFiveIsChosenAndListed) {
  sim_.RemoveAllPrinters();
  for (const wchar_t* name : {L"P1", L"P2", L"P3", L"P4", L"P5"}) sim_.AddPrinter(name);
  sim_.SetCurrentPrinter(L"P3");
  Show([](sim::SimDialog& d) {
    EXPECT_THAT(d.Items(kCombo1), ElementsAre(L"P1", L"P2", L"P3", L"P4", L"P5"));
    EXPECT_EQ(d.SelectedIndex(kCombo1), 2);
    EXPECT_EQ(d.Text(kCombo1), L"P3");
    EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"A4", L"Letter"));
  });
  // Every printer opened during start-up was the third.
  const auto opens = CallsNamed(sim::Api::OpenPrinter);
  ASSERT_FALSE(opens.empty());
  for (const sim::Call& open : opens) EXPECT_EQ(open.args.at(0), L"P3");
}

// A host whose current printer reports its name in other letters than the printers list.
class LowerCaseCurrentPrinterHost final : public Host {
 public:
  explicit LowerCaseCurrentPrinterHost(Host& inner) : inner_(inner) {}
  std::vector<PrinterRef> Printers() override { return inner_.Printers(); }
  PrinterRef CurrentPrinter() override {
    struct Renamed final : PrinterObject {
      explicit Renamed(PrinterRef printer) : printer_(std::move(printer)) {}
      std::wstring DeviceName() override {
        std::wstring name = printer_->DeviceName();
        for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
        return name;
      }
      DeviceContext hDC() override { return printer_->hDC(); }
      PrinterRef printer_;
    };
    return std::make_shared<Renamed>(inner_.CurrentPrinter());
  }
  std::wstring ComponentDirectory() override { return inner_.ComponentDirectory(); }
  bool FileExists(const std::wstring& path) override { return inner_.FileExists(path); }

 private:
  Host& inner_;
};

TEST_F(DialogStartupTest, ACurrentPrinterMatchingNoNameInCaseLeavesTheFirstPrinterChosen) {
  sim_.RemoveAllPrinters();
  for (const wchar_t* name : {L"First", L"Second", L"Third"}) sim_.AddPrinter(name);
  sim_.SetCurrentPrinter(L"Third");
  Platform& simulated = sim_.platform();
  LowerCaseCurrentPrinterHost host(simulated.host);
  Platform platform{simulated.spooler, simulated.profile, simulated.system, simulated.shell, host,
                    &dialogs_};
  ClsPrint component(platform);

  dialogs_.OnShow([this](sim::SimDialog& d) {
    EXPECT_EQ(d.SelectedIndex(kCombo1), 0);
    EXPECT_EQ(d.Text(kCombo1), L"First");
    // The dialog's printer object is the current printer all the same.
    ASSERT_TRUE(Procedures().DialogPrinter());
    EXPECT_EQ(Procedures().DialogPrinter()->DeviceName(), L"third");
  });
  component.FormShow();
  // Combo1_Click listed the first printer; the last refill the current printer.
  const auto opens = CallsNamed(sim::Api::OpenPrinter);
  ASSERT_GE(opens.size(), 2u);
  EXPECT_EQ(opens.front().args.at(0), L"First");
  EXPECT_EQ(opens.back().args.at(0), L"third");
}

TEST_F(DialogStartupTest, WithPrintersButNoDefaultTheFirstPrinterIsChosenAndStartUpCompletes) {
  sim_.AddPrinter(L"Second");
  sim_.SetCurrentPrinter(L"");  // installed printers, none of them the default
  Store(L"Custom", 0, 10, 20);
  Show([this](sim::SimDialog& d) {
    EXPECT_THAT(d.Items(kCombo1), ElementsAre(L"Office Laser", L"Second"));
    EXPECT_EQ(d.SelectedIndex(kCombo1), 0);
    ASSERT_TRUE(Procedures().DialogPrinter());
    EXPECT_EQ(Procedures().DialogPrinter()->DeviceName(), L"Office Laser");
    EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"A4", L"Letter"));
    EXPECT_THAT(d.Items(List1(0)), ElementsAre(L"Custom"));
    EXPECT_FALSE(d.IsEnabled(Text1(0)));  // browse mode
    EXPECT_EQ(d.Text(kText2), L"Custom");
  });
  EXPECT_THAT(sim_.Messages(), IsEmpty());
}

TEST_F(DialogStartupTest, ChoosingAPrinterMakesItTheDialogsPrinterWithoutTouchingTheFields) {
  sim_.AddPrinter(L"Back Office");
  Store(L"Custom", 0, 10, 20);
  Show([this](sim::SimDialog& d) {
    const std::vector<std::wstring> fields = d.FieldTexts();
    sim_.ClearCalls();
    ASSERT_TRUE(d.Choose(kCombo1, L"Back Office"));
    EXPECT_EQ(Procedures().DialogPrinter()->DeviceName(), L"Back Office");
    EXPECT_EQ(CallsNamed(sim::Api::OpenPrinter).at(0).args.at(0), L"Back Office");
    EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"A4", L"Letter"));
    EXPECT_EQ(d.SelectedIndex(List1(1)), -1);
    EXPECT_EQ(d.FieldTexts(), fields);
    EXPECT_EQ(d.Text(kText2), L"Custom");

    // The printer already shown is listed again all the same.
    sim_.ClearCalls();
    ASSERT_TRUE(d.Choose(kCombo1, L"Back Office"));
    EXPECT_EQ(CallsNamed(sim::Api::EnumForms).size(), 2u);
  });
}

TEST_F(DialogStartupTest, WithoutStoredPapersAPrinterChoiceLoadsItsFirstForm) {
  sim_.AddPrinter(L"Back Office");
  Show([](sim::SimDialog& d) {
    ASSERT_TRUE(d.Type(kText2, L"typed"));
    ASSERT_TRUE(d.Choose(kCombo1, L"Back Office"));
    EXPECT_EQ(d.Text(kText2), L"A4");
    EXPECT_EQ(d.SelectedIndex(List1(1)), 0);
  });
}

TEST_F(DialogStartupTest, StartUpListsThroughTheComponentOnly) {
  Show();
  // FormCheck: one open, two enumerations, one close for each listing.
  const auto names = sim_.CallNames();
  EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), sim_.CountCalls(sim::Api::ClosePrinter));
  EXPECT_EQ(sim_.CountCalls(sim::Api::EnumForms), 4u);
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
  // The stored names are read once, from the paper store's list.
  const auto reads = CallsNamed(sim::Api::GetPrivateProfileString);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].args.at(0), L"PrintMain");
  EXPECT_EQ(reads[0].args.at(1), sim::kNull);
  EXPECT_EQ(reads[0].args.at(4), kStore);
}

TEST_F(DialogStartupTest, EveryShowStartsAFreshDialogAndReleasesItAfterwards) {
  Store(L"Custom", 0, 10, 20);
  Show([](sim::SimDialog& d) {
    EXPECT_TRUE(ThreadDialogState().instance);
    EXPECT_TRUE(ThreadDialogState().component);
    ASSERT_TRUE(d.Click(Cmd1(2)));
    ASSERT_TRUE(d.Type(Text1(0), L"99"));
    ASSERT_TRUE(d.ChooseOption(1));
  });
  EXPECT_FALSE(ThreadDialogState().instance);
  EXPECT_FALSE(ThreadDialogState().component);

  sim::SimDialog& second = Show([](sim::SimDialog& d) {
    // The stored centimetres, shown in inches as at the first start-up.
    EXPECT_EQ(d.Text(Text1(0)), L"3.93700787401575");
    EXPECT_EQ(d.UnitCaptions(), All(kInch));
    EXPECT_EQ(d.Value(Option1(1)), 0);
    EXPECT_FALSE(d.IsEnabled(Text1(0)));
  });
  EXPECT_EQ(second.RaisedHandlers().front(), L"Form_Load");
  EXPECT_EQ(dialogs_.ShowCount(), 2u);
}

TEST_F(DialogStartupTest, AShowWhileTheDialogIsOpenIsRefused) {
  Show([this](sim::SimDialog&) {
    try {
      cls_.FormShow();
      ADD_FAILURE() << "a second dialog was shown";
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), 400);
    }
  });
  EXPECT_EQ(dialogs_.ShowCount(), 1u);
}

TEST_F(DialogStartupTest, OnTheOlderPlatformFamilyOnlyTheMessageIsShown) {
  sim_.SetPlatformId(1);
  cls_.FormShow();
  EXPECT_EQ(dialogs_.ShowCount(), 0u);
  EXPECT_THAT(sim_.Messages(),
              ElementsAre(sim::Message{L"當前程序只支持win2000及以上系統", L"系統提示", 64}));
}

TEST_F(DialogStartupTest, WithNoPrinterAndNoneFromTheWizardNothingIsShown) {
  sim_.RemoveAllPrinters();
  cls_.FormShow();
  EXPECT_EQ(sim_.WizardStarts(), 1u);
  EXPECT_EQ(dialogs_.ShowCount(), 0u);
  EXPECT_THAT(sim_.Messages(), IsEmpty());
}

TEST_F(DialogStartupTest, APrinterFromTheWizardLetsTheDialogOpen) {
  sim_.RemoveAllPrinters();
  sim_.OnWizardStart([this] { sim_.AddPrinter(L"New Printer"); });
  Show([](sim::SimDialog& d) { EXPECT_THAT(d.Items(kCombo1), ElementsAre(L"New Printer")); });
  EXPECT_EQ(dialogs_.ShowCount(), 1u);
}

TEST_F(DialogStartupTest, AFailureDuringStartUpIsShownAndTheDialogStillOpens) {
  sim_.FailCall(sim::Api::Printers, 2);  // FormShow's printer check reads them first
  Show([](sim::SimDialog& d) {
    EXPECT_TRUE(d.IsOpen());
    EXPECT_THAT(d.Items(kCombo1), IsEmpty());
    EXPECT_TRUE(d.Click(Cmd1(4)));
    EXPECT_FALSE(d.IsOpen());
  });
  EXPECT_THAT(sim_.Messages(), ElementsAre(sim::Message{L"Automation error", L"系統提示", 64}));
}

// A window system that cannot create the dialog's window.
class FailingDialogHost final : public DialogHost {
 public:
  void ShowModal(DialogEvents&) override {
    throw AutomationError(static_cast<std::int32_t>(0x80070008u), L"Not enough memory");
  }
};

TEST_F(DialogStartupTest, AWindowThatCannotBeCreatedLeavesNothingBehind) {
  FailingDialogHost failing;
  sim_.SetDialogHost(&failing);
  EXPECT_THROW(cls_.FormShow(), AutomationError);
  EXPECT_FALSE(ThreadDialogState().instance);
  EXPECT_FALSE(ThreadDialogState().component);

  sim_.SetDialogHost(&dialogs_);
  Show();
  EXPECT_EQ(dialogs_.ShowCount(), 1u);
}

TEST_F(DialogStartupTest, WithoutADialogWindowFormShowFailsAsNotImplemented) {
  sim_.SetDialogHost(nullptr);
  try {
    cls_.FormShow();
    ADD_FAILURE() << "FormShow returned";
  } catch (const AutomationError& error) {
    EXPECT_EQ(static_cast<std::uint32_t>(error.hresult()), 0x80004001u);
  }
}

}  // namespace
}  // namespace sheetlore::dialog_test
