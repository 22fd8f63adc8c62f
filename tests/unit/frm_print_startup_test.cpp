// The maintenance dialog opening: FormShow's checks, Form_Load's lists and first entry, the
// printer choice, and a fresh dialog on every show.
#include <memory>
#include <tuple>
#include <utility>

#include "tests/unit/frm_print_fixture.h"

namespace sheetlore::dialog_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using DialogStartupTest = DialogTest;

// What start-up shows in browse mode, by what the printer has and what is stored.
TEST_F(DialogStartupTest, TheFirstEntryIsLoadedInBrowseMode) {
  struct StartUp {
    const char* label;
    std::size_t forms;
    std::vector<std::wstring> papers;
    int formSelected;
    std::wstring name;
    std::vector<std::wstring> fields;
    std::wstring caption;
    std::int16_t ticks;
  };
  const std::vector<std::wstring> a4InInches = {
      L"8.26771653543307", L"11.6929133858268", L"0", L"8.26771653543307", L"0",
      L"11.6929133858268"};
  const std::vector<std::wstring> inchLetterInCm = {L"21.59",  L"27.94", L"0.635",
                                                    L"20.955", L"1.27",  L"26.67"};
  const std::vector<std::wstring> papers = {L"Inch letter", L"Metric"};
  const std::vector<StartUp> rows = {
      {"nothing at all", 0, {}, -1, L"", All(L""), kCm, kUnchecked},
      {"forms only", 2, {}, 0, L"A4", a4InInches, kInch, kChecked},
      {"papers stored", 2, papers, -1, L"Inch letter", inchLetterInCm, kCm, kChecked}};
  const std::vector<FormInfo> forms = sim_.Forms();
  for (const StartUp& c : rows) {
    SCOPED_TRACE(c.label);
    sim_.SetForms(c.forms ? forms : std::vector<FormInfo>{});
    if (!c.papers.empty()) {
      Store(L"Inch letter", 1, 8.5, 11, 0.25, 8.25, 0.5, 10.5);
      Store(L"Metric", 0, 21, 29.7);
    }
    Show([&c](sim::SimDialog& d) {
      EXPECT_THAT(d.Items(kCombo1), ElementsAre(L"Office Laser"));
      EXPECT_EQ(d.Text(kCombo1), L"Office Laser");
      EXPECT_EQ(d.Items(List1(0)), c.papers);
      EXPECT_EQ(d.SelectedIndex(List1(0)), c.papers.empty() ? -1 : 0);
      EXPECT_EQ(d.Items(List1(1)).size(), c.forms);
      EXPECT_EQ(d.SelectedIndex(List1(1)), c.formSelected);
      EXPECT_EQ(d.Text(kText2), c.name);
      // No unit option is chosen: a paper shows in the other unit than its own.
      EXPECT_EQ(d.FieldTexts(), c.fields);
      EXPECT_EQ(d.UnitCaptions(), All(c.caption));
      EXPECT_EQ(d.Value(Option1(0)) + d.Value(Option1(1)), 0);
      EXPECT_EQ(d.Value(Check1(0)), c.ticks);
      EXPECT_EQ(d.Value(Check1(1)), c.ticks);
      for (std::int16_t i = 0; i < 6; ++i) EXPECT_FALSE(d.IsEnabled(Text1(i)));
      for (std::int16_t i = 0; i < 5; ++i) EXPECT_TRUE(d.IsEnabled(Cmd1(i)));
    });
  }
  EXPECT_THAT(sim_.Messages(), IsEmpty());
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
}

// A host that reports the object given as the current printer, under a name the printers list
// need not hold.
class CurrentPrinterHost final : public Host {
 public:
  CurrentPrinterHost(Host& inner, PrinterRef current)
      : inner_(inner), current_(std::move(current)) {}
  std::vector<PrinterRef> Printers() override { return inner_.Printers(); }
  PrinterRef CurrentPrinter() override { return current_; }
  std::wstring ComponentDirectory() override { return inner_.ComponentDirectory(); }
  bool FileExists(const std::wstring& path) override { return inner_.FileExists(path); }
  std::wstring StoreFileSetting() override { return inner_.StoreFileSetting(); }

 private:
  Host& inner_;
  PrinterRef current_;
};

// Combo1 chooses the current printer by its exact name; "" is installed printers, none of them
// the default. A name matching none in letter case leaves the first chosen, yet the current
// printer is the dialog's and lists the forms.
TEST_F(DialogStartupTest, TheCurrentPrinterIsChosenByItsExactNameOrElseTheFirst) {
  sim_.RemoveAllPrinters();
  for (const wchar_t* name : {L"P1", L"P2", L"P3", L"P4", L"P5"}) sim_.AddPrinter(name);
  Store(L"Custom", 0, 10, 20);
  Platform& simulated = sim_.platform();
  CurrentPrinterHost renamed(simulated.host, sim_.Printer(L"p3"));
  const std::vector<std::tuple<std::wstring, int, std::wstring>> rows = {
      {L"P3", 2, L"P3"}, {L"", 0, L"P1"}, {L"p3", 0, L"p3"}};
  for (const auto& [current, chosen, dialogPrinter] : rows) {
    sim_.SetCurrentPrinter(current);
    Host& host = current == L"p3" ? renamed : simulated.host;
    Platform platform{simulated.spooler, simulated.profile, simulated.system, simulated.shell, host,
                      &dialogs_};
    dialogs_.OnShow([&](sim::SimDialog& d) {
      EXPECT_THAT(d.Items(kCombo1), ElementsAre(L"P1", L"P2", L"P3", L"P4", L"P5"));
      EXPECT_EQ(d.SelectedIndex(kCombo1), chosen);
      EXPECT_EQ(Procedures().DialogPrinter()->DeviceName(), dialogPrinter);
      EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"A4", L"Letter"));
      EXPECT_EQ(d.Text(kText2), L"Custom");
    });
    ClsPrint(platform).FormShow();
  }
  EXPECT_EQ(dialogs_.ShowCount(), 3u);
  EXPECT_THAT(sim_.Messages(), IsEmpty());
}

TEST_F(DialogStartupTest, ChoosingAPrinterListsItsFormsAgainWithoutTouchingTheFields) {
  sim_.AddPrinter(L"Back Office");
  sim_.AddPrinter(L"Gone");
  // Without stored papers the choice loads the printer's first form.
  Show([](sim::SimDialog& d) {
    ASSERT_TRUE(d.Type(kText2, L"typed"));
    ASSERT_TRUE(d.Choose(kCombo1, L"Back Office"));
    EXPECT_EQ(d.Text(kText2), L"A4");
    EXPECT_EQ(d.SelectedIndex(List1(1)), 0);
  });
  // With a paper stored, the fields are left as they were.
  Store(L"Custom", 0, 10, 20);
  Show([this](sim::SimDialog& d) {
    const std::vector<std::wstring> fields = d.FieldTexts();
    ASSERT_TRUE(d.Choose(kCombo1, L"Back Office"));
    EXPECT_EQ(Procedures().DialogPrinter()->DeviceName(), L"Back Office");
    EXPECT_EQ(d.SelectedIndex(List1(1)), -1);
    EXPECT_EQ(d.FieldTexts(), fields);
    EXPECT_EQ(d.Text(kText2), L"Custom");
    // The printer already chosen is listed again all the same.
    sim_.SetForms({{0, L"New", 100000, 100000, 0, 0, 100000, 100000}});
    ASSERT_TRUE(d.Choose(kCombo1, L"Back Office"));
    EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"New"));
    // A printer gone since the list was filled leaves the current printer the dialog's.
    sim_.RemoveAllPrinters();
    sim_.AddPrinter(L"Office Laser");
    sim_.SetCurrentPrinter(L"Office Laser");
    ASSERT_TRUE(d.Choose(kCombo1, L"Gone"));
    EXPECT_EQ(Procedures().DialogPrinter()->DeviceName(), L"Office Laser");
  });
}

TEST_F(DialogStartupTest, EveryShowStartsAFreshDialogAndReleasesItAfterwards) {
  Store(L"Custom", 0, 10, 20);
  Show([this](sim::SimDialog& d) {
    EXPECT_TRUE(ThreadDialogState().instance);
    EXPECT_TRUE(ThreadDialogState().component);
    EXPECT_EQ(RaisedBy([this] { cls_.FormShow(); }).number, 400) << "a second dialog was shown";
    ASSERT_TRUE(d.Click(Cmd1(2)));
    ASSERT_TRUE(d.Type(Text1(0), L"99"));
    ASSERT_TRUE(d.ChooseOption(1));
  });
  EXPECT_FALSE(ThreadDialogState().instance);
  EXPECT_FALSE(ThreadDialogState().component);
  Show([](sim::SimDialog& d) {
    // The stored centimetres, shown in inches as at the first start-up.
    EXPECT_EQ(d.Text(Text1(0)), L"3.93700787401575");
    EXPECT_EQ(d.Value(Option1(1)), 0);
    EXPECT_FALSE(d.IsEnabled(Text1(0)));
  });
  EXPECT_EQ(dialogs_.ShowCount(), 2u);
}

TEST_F(DialogStartupTest, OnTheOlderPlatformFamilyOnlyTheMessageIsShown) {
  sim_.SetPlatformId(1);
  cls_.FormShow();
  EXPECT_EQ(dialogs_.ShowCount(), 0u);
  EXPECT_THAT(sim_.Messages(),
              ElementsAre(sim::Message{L"當前程序只支持win2000及以上系統", L"系統提示", 64}));
}

TEST_F(DialogStartupTest, WithoutAPrinterTheDialogOpensOnlyOnceTheWizardAddedOne) {
  sim_.RemoveAllPrinters();
  cls_.FormShow();
  EXPECT_EQ(sim_.WizardStarts(), 1u);
  EXPECT_EQ(dialogs_.ShowCount(), 0u);
  EXPECT_THAT(sim_.Messages(), IsEmpty());
  sim_.OnWizardStart([this] { sim_.AddPrinter(L"New Printer"); });
  Show([](sim::SimDialog& d) { EXPECT_THAT(d.Items(kCombo1), ElementsAre(L"New Printer")); });
  EXPECT_EQ(dialogs_.ShowCount(), 1u);
}

TEST_F(DialogStartupTest, AFailureDuringStartUpIsShownAndTheDialogStillOpens) {
  sim_.FailCall(sim::Api::Printers, 2);  // FormShow's printer check reads them first
  Show([](sim::SimDialog& d) {
    EXPECT_THAT(d.Items(kCombo1), IsEmpty());
    EXPECT_TRUE(d.Click(Cmd1(4)));
    EXPECT_FALSE(d.IsOpen());
  });
  EXPECT_THAT(sim_.Messages(), ElementsAre(sim::Message{L"Automation error", L"系統提示", 64}));
}

// Window systems that end the show without Form_Unload: one that cannot create the window,
// one whose window ends without unloading the dialog.
class FailingDialogHost final : public DialogHost {
 public:
  void ShowModal(DialogEvents&) override {
    throw AutomationError(static_cast<std::int32_t>(0x80070008u), L"Not enough memory");
  }
};
class NoUnloadDialogHost final : public DialogHost {
 public:
  void ShowModal(DialogEvents&) override {}
};

TEST_F(DialogStartupTest, AShowThatEndsWithoutUnloadingLeavesNothingBehind) {
  FailingDialogHost failing;
  NoUnloadDialogHost noUnload;
  // No window system at all (not implemented), one that fails, one that does not unload.
  const std::vector<std::pair<DialogHost*, std::uint32_t>> hosts = {
      {nullptr, 0x80004001u}, {&failing, 0x80070008u}, {&noUnload, 0}};
  for (const auto& [host, hresult] : hosts) {
    sim_.SetDialogHost(host);
    EXPECT_EQ(RaisedBy([this] { cls_.FormShow(); }).hresult, hresult);
    EXPECT_FALSE(ThreadDialogState().instance);
    EXPECT_FALSE(ThreadDialogState().component);
  }
  sim_.SetDialogHost(&dialogs_);
  Show();
  EXPECT_EQ(dialogs_.ShowCount(), 1u);
}

}  // namespace
}  // namespace sheetlore::dialog_test
