// The dialog's commands: add all, save to the store and the printer, edit mode, delete and
// close, with every combination of destinations and units.
#include <tuple>

#include "tests/unit/frm_print_fixture.h"

namespace sheetlore::dialog_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::vector<std::wstring> kTyped = {L"8.5", L"11", L"0.25", L"8.25", L"0.5", L"10.5"};
// The typed values on the printer, as inches and as centimetres.
const FormInfo kAsInches{0, L"Custom", 215900, 279400, 6350, 12700, 209550, 266700};
const FormInfo kAsCentimetres{0, L"Custom", 85000, 110000, 2500, 5000, 82500, 105000};

class DialogCommandsTest : public DialogTest {
 protected:
  static void TypePaper(sim::SimDialog& d, const std::wstring& name) {
    ASSERT_TRUE(d.Type(kText2, name));
    for (std::int16_t i = 0; i < 6; ++i) {
      ASSERT_TRUE(d.Type(Text1(i), kTyped[static_cast<std::size_t>(i)]));
    }
  }

  bool Stored(const std::wstring& name) const {
    return sim_.FileText(kStore).find(L"[" + name + L"]") != std::wstring::npos;
  }
};

// --- Save ("新增格式") ---

// To the store, to the printer, and the option chosen: -1 none with A4 shown (the captions show
// inches), -2 none with an inch paper shown (the captions show centimetres). With no option
// chosen the fields hold the unit the captions show.
using SaveCase = std::tuple<bool, bool, std::int16_t>;

class DialogSaveTest : public DialogCommandsTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(DialogSaveTest, TheDestinationsTicked) {
  const auto [toStore, toPrinter, option] = GetParam();
  const bool inches = option == 1 || option == -1;
  if (option == -2) Store(L"Inch letter", 1, 8.5, 11);
  Show([&](sim::SimDialog& d) {
    ASSERT_EQ(d.UnitCaptions(), All(option == -2 ? kCm : kInch));
    ASSERT_TRUE(option < 0 || d.ChooseOption(option));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"  Custom  ");
    ASSERT_TRUE(d.Tick(Check1(0), toStore));
    ASSERT_TRUE(d.Tick(Check1(1), toPrinter));
    ASSERT_TRUE(d.Click(Cmd1(1)));
    // Back in browse mode whatever was saved (each mode's controls: EditModeEnables...).
    EXPECT_FALSE(d.IsEnabled(Text1(0)));
  });

  // The store receives the values as typed with the unit they were typed in; the printer
  // receives centimetres, and the message says how the add went.
  EXPECT_EQ(Stored(L"Custom"), toStore);
  if (toStore) {
    EXPECT_EQ(cls_.IniReadValue(1, L"Custom"),
              (rePaPer{static_cast<std::uint8_t>(inches ? 1 : 0), 8.5, 11, 0.25, 8.25, 0.5, 10.5}));
  }
  EXPECT_EQ(FormOrNone(L"Custom"), toPrinter ? (inches ? kAsInches : kAsCentimetres) : FormInfo{});
  EXPECT_EQ(MessageTexts(),
            toPrinter ? std::vector<std::wstring>{kAddOk} : std::vector<std::wstring>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, DialogSaveTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool(),
                                            ::testing::Values(-2, -1, 0, 1)));

TEST_F(DialogCommandsTest, SavingTheNameOfAnExistingFormReplacesItUnlessItIsBuiltIn) {
  // The built-in Letter cannot be deleted, so the add of the same name is refused.
  for (const std::wstring name : {L"Letter", L"Mine"}) {
    sim_.SetForms({{name == L"Mine" ? 0u : 1u, name, 100000, 100000, 0, 0, 100000, 100000}});
    Show([&name](sim::SimDialog& d) {
      ASSERT_TRUE(d.ChooseOption(0));
      ASSERT_TRUE(d.Choose(List1(1), name));
      ASSERT_TRUE(d.Click(Cmd1(2)));
      ASSERT_TRUE(d.Type(Text1(0), L"20"));
      ASSERT_TRUE(d.Click(Cmd1(1)));
    });
    EXPECT_EQ(MessageTexts().back(), name == L"Mine" ? kAddOk : kAddFailed);
    EXPECT_EQ(FormOrNone(name).cx, name == L"Mine" ? 200000 : 100000);
  }
}

// A refused add that replaced a user form puts the old form back and says whether it could;
// the first line stays the dialog's own message.
TEST_F(DialogCommandsTest, ARefusedReplacementPutsTheOldFormBackAndSaysSo) {
  const FormInfo mine{0, L"Mine", 100000, 200000, 1000, 2000, 99000, 198000};
  // The new form refused, then (second case) the old one refused too.
  for (const std::size_t refusals : {1u, 2u}) {
    sim_.SetForms({mine});
    Show([this, refusals](sim::SimDialog& d) {
      ASSERT_TRUE(d.ChooseOption(0));
      ASSERT_TRUE(d.Choose(List1(1), L"Mine"));
      ASSERT_TRUE(d.Click(Cmd1(2)));
      ASSERT_TRUE(d.Type(Text1(0), L"20"));
      ASSERT_TRUE(d.Tick(Check1(0), false));
      sim_.FailCall(sim::Api::AddForm, 1, refusals);
      ASSERT_TRUE(d.Click(Cmd1(1)));
    });
    EXPECT_EQ(FormOrNone(L"Mine"), refusals == 1 ? mine : FormInfo{});
    EXPECT_EQ(MessageTexts().back(),
              kAddFailed +
                  (refusals == 1 ? L"\n原有的格式已還原。" : L"\n原有的格式無法還原,已被刪除。"));
  }
  // A refused add of a new name stays the plain message.
  const std::size_t before = sim_.Messages().size();
  Show([this](sim::SimDialog& d) {
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"Fresh");
    ASSERT_TRUE(d.Tick(Check1(1), true));
    sim_.FailCall(sim::Api::AddForm);
    ASSERT_TRUE(d.Click(Cmd1(1)));
  });
  EXPECT_EQ(sim_.Messages().size(), before + 1);
  EXPECT_EQ(MessageTexts().back(), kAddFailed);
}

// A paper the store refuses is reported in the dialog's own message box, whether or not the
// printer is saved to as well; the printer's message is unchanged.
TEST_F(DialogCommandsTest, APaperTheStoreRefusesIsReported) {
  const std::wstring refused = L"自定義紙張儲存錯誤,請檢查!";
  for (const bool toPrinter : {false, true}) {
    const std::size_t before = sim_.Messages().size();
    Show([this, toPrinter](sim::SimDialog& d) {
      ASSERT_TRUE(d.Click(Cmd1(2)));
      TypePaper(d, L"Custom");
      ASSERT_TRUE(d.Tick(Check1(1), toPrinter));
      sim_.FailCall(sim::Api::WritePrivateProfileSection);
      ASSERT_TRUE(d.Click(Cmd1(1)));
    });
    EXPECT_FALSE(Stored(L"Custom"));
    ASSERT_GT(sim_.Messages().size(), before);
    EXPECT_EQ(sim_.Messages()[before], (sim::Message{refused, L"系統提示", 64}));
    const std::vector<std::wstring> texts = MessageTexts();
    const std::vector<std::wstring> expected =
        toPrinter ? std::vector<std::wstring>{refused, kAddOk} : std::vector<std::wstring>{refused};
    EXPECT_EQ(
        std::vector<std::wstring>(texts.begin() + static_cast<std::ptrdiff_t>(before), texts.end()),
        expected);
  }
}

// --- Delete ("刪除格式") ---

// From the store, from the printer.
class DialogDeleteTest : public DialogCommandsTest,
                         public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(DialogDeleteTest, TheDestinationsTicked) {
  const auto [fromStore, fromPrinter] = GetParam();
  Store(L"Custom", 0, 10, 20);
  sim_.SetForms({{0, L"Custom", 100000, 200000, 0, 0, 100000, 200000}});
  Show([&](sim::SimDialog& d) {
    ASSERT_TRUE(d.Type(kText2, L"  Custom  "));  // deleted under the trimmed name
    ASSERT_TRUE(d.Tick(Check1(0), fromStore));
    ASSERT_TRUE(d.Tick(Check1(1), fromPrinter));
    // A grey box counts as not ticked: with one destination ticked, the other one is grey.
    if (fromStore != fromPrinter) d.SetValue(Check1(fromStore ? 1 : 0), kGrayed);
    ASSERT_TRUE(d.Click(Cmd1(3)));
    // The mode is unchanged and the lists were refilled.
    EXPECT_FALSE(d.IsEnabled(Text1(0)));
    EXPECT_EQ(d.Items(List1(0)).empty(), fromStore);
    EXPECT_EQ(d.Items(List1(1)).empty(), fromPrinter);
  });
  EXPECT_EQ(Stored(L"Custom"), !fromStore);
  EXPECT_EQ(FormOrNone(L"Custom").name.empty(), fromPrinter);
  EXPECT_EQ(MessageTexts(),
            fromPrinter ? std::vector<std::wstring>{kDeleteOk} : std::vector<std::wstring>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, DialogDeleteTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST_F(DialogCommandsTest, DeletingAFormThePrinterLacksSaysSo) {
  Show([](sim::SimDialog& d) {
    ASSERT_TRUE(d.Type(kText2, L"A5"));
    ASSERT_TRUE(d.Click(Cmd1(3)));  // both boxes ticked with A4 loaded
  });
  EXPECT_THAT(MessageTexts(), ElementsAre(kDeleteFailed));
}

// --- Add all, edit, close ---

TEST_F(DialogCommandsTest, AddAllInstallsTheStoredPapersOnTheChosenPrinter) {
  sim_.AddPrinter(L"Back Office");
  Store(L"Inch letter", 1, 8.5, 11);
  Store(L"Metric", 0, 10, 20);
  Show([this](sim::SimDialog& d) {
    ASSERT_TRUE(d.Choose(kCombo1, L"Back Office"));
    ASSERT_TRUE(d.Tick(Check1(0), false));  // not consulted
    sim_.ClearCalls();
    ASSERT_TRUE(d.Click(Cmd1(0)));
    EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"A4", L"Letter", L"Inch letter", L"Metric"));
  });
  EXPECT_THAT(OpenedPrinters(sim_), ::testing::Each(std::wstring(L"Back Office")));
  // Only FormAllAdd's own message.
  EXPECT_THAT(MessageTexts(), ElementsAre(L"新增完成"));
}

TEST_F(DialogCommandsTest, EditModeEnablesTheFieldsAndLeavesOnlySaveAndCloseWhichStoresNothing) {
  // Each control enabled in edit mode, and in browse mode once edit mode ends.
  const std::vector<std::tuple<ControlRef, bool, bool>> modes = {
      {Text1(0), true, false},  {Text1(5), true, false},  {List1(0), false, true},
      {List1(1), false, true},  {Cmd1(0), false, true},   {Cmd1(1), true, true},
      {Cmd1(2), false, true},   {Cmd1(3), false, true},   {Cmd1(4), true, true},
      {Option1(0), true, true}, {Option1(1), true, true}, {kText2, true, true},
      {Check1(0), true, true},  {kCombo1, true, true}};
  const auto expectModes = [&modes](sim::SimDialog& d, bool editing) {
    for (const auto& [control, inEdit, inBrowse] : modes) {
      EXPECT_EQ(d.IsEnabled(control), editing ? inEdit : inBrowse)
          << static_cast<int>(control.group) << "(" << control.index << ")";
    }
  };
  Show([&expectModes](sim::SimDialog& d) {
    ASSERT_TRUE(d.Click(Cmd1(2)));
    expectModes(d, true);
    EXPECT_EQ(d.Focus(), kText2);
    // The user can choose no list entry, but still a printer.
    EXPECT_FALSE(d.Choose(List1(1), 1));
    EXPECT_TRUE(d.Choose(kCombo1, 0));
    EXPECT_EQ(d.Text(kText2), L"A4");  // refilled and loaded: no paper is stored
    // Edit mode again and other modes change nothing.
    for (const std::int16_t mode : {1, 2, -1}) Procedures().SetInputMode(mode);
    expectModes(d, true);
    Procedures().SetInputMode(0);
    expectModes(d, false);
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"Custom");
    ASSERT_TRUE(d.Click(Cmd1(4)));
  });
  EXPECT_FALSE(Stored(L"Custom"));
  EXPECT_EQ(FormOrNone(L"Custom"), FormInfo{});
}

// --- A component call that fails inside a command ---

TEST_F(DialogCommandsTest, AFailingCallEndsTheCommandWithAMessageAndTheDialogGoesOn) {
  Show([this](sim::SimDialog& d) {
    ASSERT_TRUE(d.ChooseOption(0));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"Custom");
    sim_.FailCall(sim::Api::DeviceName);  // the printer's name cannot be read
    ASSERT_TRUE(d.Click(Cmd1(1)));
    // The store was written, then the command ended: no form, still in edit mode.
    EXPECT_EQ(FormOrNone(L"Custom"), FormInfo{});
    EXPECT_TRUE(d.IsEnabled(Text1(0)));
    EXPECT_THAT(d.Items(List1(0)), IsEmpty());  // not refilled
    // The dialog is still open and the next click works.
    ASSERT_TRUE(d.Click(Cmd1(1)));
    EXPECT_FALSE(d.IsEnabled(Text1(0)));
  });
  EXPECT_THAT(sim_.Messages(), ElementsAre(sim::Message{L"Automation error", L"系統提示", 64},
                                           sim::Message{kAddOk, L"系統提示", 64}));
  EXPECT_TRUE(Stored(L"Custom"));
}

TEST_F(DialogCommandsTest, AFailureInAHandlerRaisedFromCodeEndsTheCommandThatRaisedIt) {
  Store(L"Custom", 0, 10, 20);
  Show([this](sim::SimDialog& d) {
    ASSERT_TRUE(d.Tick(Check1(1), false));
    // The delete refills both lists; with nothing stored any more the forms list selects its
    // first form, and reading the printer's name for it fails.
    sim_.FailCall(sim::Api::DeviceName, 2);
    ASSERT_TRUE(d.Click(Cmd1(3)));
    EXPECT_EQ(d.Text(kText2), L"Custom");  // the form was never loaded
    EXPECT_THAT(d.Items(List1(1)), ElementsAre(L"A4", L"Letter"));
    EXPECT_TRUE(d.IsOpen());
  });
  EXPECT_FALSE(Stored(L"Custom"));
  EXPECT_THAT(MessageTexts(), ElementsAre(L"Automation error"));
}

}  // namespace
}  // namespace sheetlore::dialog_test
