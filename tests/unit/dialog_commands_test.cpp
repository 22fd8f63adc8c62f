// The dialog's commands: add all, save to the store and the printer, edit mode, delete and
// close, with every combination of destinations and units.
#include "tests/unit/dialog_fixture.h"

namespace sheetlore::dialog_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::vector<std::wstring> kTyped = {L"8.5", L"11", L"0.25", L"8.25", L"0.5", L"10.5"};
// The typed values in thousandths of a millimetre, as inches and as centimetres, in
// FORM_INFO_1 order: cx, cy, left, top, right, bottom.
const std::vector<std::wstring> kAsInches = {L"215900", L"279400", L"6350",
                                             L"12700",  L"209550", L"266700"};
const std::vector<std::wstring> kAsCentimetres = {L"85000", L"110000", L"2500",
                                                  L"5000",  L"82500",  L"105000"};

class DialogCommandsTest : public DialogTest {
 protected:
  static void TypePaper(sim::SimDialog& d, const std::wstring& name) {
    ASSERT_TRUE(d.Type(kText2, name));
    for (std::int16_t i = 0; i < 6; ++i) {
      ASSERT_TRUE(d.Type(Text1(i), kTyped[static_cast<std::size_t>(i)]));
    }
  }

  // The size arguments of the AddForm calls for a form name.
  std::vector<std::vector<std::wstring>> AddedSizes(const std::wstring& name) const {
    std::vector<std::vector<std::wstring>> sizes;
    for (const sim::Call& call : CallsNamed(sim::Api::AddForm)) {
      if (call.args.at(1) == name) sizes.emplace_back(call.args.begin() + 3, call.args.end());
    }
    return sizes;
  }

  bool Stored(const std::wstring& name) const {
    return sim_.FileText(kStore).find(L"[" + name + L"]") != std::wstring::npos;
  }
};

// --- Save ("新增格式") ---

struct SaveCase {
  const char* label;
  bool toStore;
  bool toPrinter;
  std::int16_t option;  // -1: none chosen (the captions then show inches)
};

class DialogSaveTest : public DialogCommandsTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(DialogSaveTest, TheDestinationsTicked) {
  const SaveCase& c = GetParam();
  const bool inches = c.option != 0;
  Show([&c](sim::SimDialog& d) {
    ASSERT_EQ(d.UnitCaptions(), All(kInch));  // A4 loaded with no option chosen
    if (c.option >= 0) {
      ASSERT_TRUE(d.ChooseOption(c.option));
    }
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"  Custom  ");
    ASSERT_TRUE(d.Tick(Check1(0), c.toStore));
    ASSERT_TRUE(d.Tick(Check1(1), c.toPrinter));
    ASSERT_TRUE(d.Click(Cmd1(1)));
    // Back in browse mode whatever was saved.
    for (std::int16_t i = 0; i < 6; ++i) EXPECT_FALSE(d.IsEnabled(Text1(i)));
    for (std::int16_t i = 0; i < 5; ++i) EXPECT_TRUE(d.IsEnabled(Cmd1(i)));
    EXPECT_TRUE(d.IsEnabled(List1(0)));
    EXPECT_TRUE(d.IsEnabled(List1(1)));
  });

  // The store receives the values as typed with the unit they were typed in.
  EXPECT_EQ(Stored(L"Custom"), c.toStore);
  if (c.toStore) {
    EXPECT_EQ(cls_.IniReadValue(1, L"Custom"),
              (rePaPer{static_cast<std::uint8_t>(inches ? 1 : 0), 8.5, 11, 0.25, 8.25, 0.5, 10.5}));
    EXPECT_NE(sim_.FileText(kStore).find(L"W=8.5\r\nH=11\r\nL=0.25\r\nR=8.25\r\nT=0.5\r\nB=10.5"),
              std::wstring::npos);
  }
  // The printer receives centimetres, and the message says how the add went.
  if (c.toPrinter) {
    EXPECT_THAT(AddedSizes(L"Custom"), ElementsAre(inches ? kAsInches : kAsCentimetres));
    EXPECT_THAT(MessageTexts(), ElementsAre(kAddOk));
  } else {
    EXPECT_THAT(AddedSizes(L"Custom"), IsEmpty());
    EXPECT_THAT(MessageTexts(), IsEmpty());
  }
  EXPECT_EQ(FindForm(L"Custom") != nullptr, c.toPrinter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogSaveTest,
    ::testing::Values(
        SaveCase{"NeitherMetric", false, false, 0}, SaveCase{"StoreMetric", true, false, 0},
        SaveCase{"PrinterMetric", false, true, 0}, SaveCase{"BothMetric", true, true, 0},
        SaveCase{"NeitherImperial", false, false, 1}, SaveCase{"StoreImperial", true, false, 1},
        SaveCase{"PrinterImperial", false, true, 1}, SaveCase{"BothImperial", true, true, 1},
        SaveCase{"NeitherNoOption", false, false, -1}, SaveCase{"StoreNoOption", true, false, -1},
        SaveCase{"PrinterNoOption", false, true, -1}, SaveCase{"BothNoOption", true, true, -1}),
    [](const auto& param) { return std::string(param.param.label); });

TEST_F(DialogCommandsTest, ASaveWithNoOptionChosenUsesTheUnitTheCaptionsShow) {
  // An inch paper opens in centimetres: the fields then hold centimetres.
  Store(L"Inch letter", 1, 8.5, 11);
  Show([](sim::SimDialog& d) {
    ASSERT_EQ(d.UnitCaptions(), All(kCm));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"Custom");
    ASSERT_TRUE(d.Click(Cmd1(1)));
  });
  EXPECT_EQ(cls_.IniReadValue(1, L"Custom").mMode, 0);
  EXPECT_THAT(AddedSizes(L"Custom"), ElementsAre(kAsCentimetres));
}

TEST_F(DialogCommandsTest, SavingTheNameOfAnExistingFormReplacesIt) {
  Show([](sim::SimDialog& d) {
    ASSERT_TRUE(d.ChooseOption(0));
    ASSERT_TRUE(d.Choose(List1(1), L"Letter"));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    ASSERT_TRUE(d.Type(Text1(0), L"20"));
    ASSERT_TRUE(d.Click(Cmd1(1)));
  });
  // The built-in Letter cannot be deleted, so the add of the same name is refused.
  EXPECT_THAT(MessageTexts(), ElementsAre(kAddFailed));

  sim_.SetForms({{0, L"Mine", 100000, 100000, 0, 0, 100000, 100000}});
  Show([](sim::SimDialog& d) {
    ASSERT_TRUE(d.ChooseOption(0));
    ASSERT_TRUE(d.Choose(List1(1), L"Mine"));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    ASSERT_TRUE(d.Type(Text1(0), L"20"));
    ASSERT_TRUE(d.Click(Cmd1(1)));
  });
  ASSERT_NE(FindForm(L"Mine"), nullptr);
  EXPECT_EQ(FindForm(L"Mine")->cx, 200000);
  EXPECT_EQ(MessageTexts().back(), kAddOk);
}

TEST_F(DialogCommandsTest, TheStoreIsWrittenBeforeThePrinterIsTouched) {
  Show([this](sim::SimDialog& d) {
    ASSERT_TRUE(d.ChooseOption(1));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"Custom");
    sim_.ClearCalls();
    ASSERT_TRUE(d.Click(Cmd1(1)));
  });
  const auto names = sim_.CallNames();
  const auto lastWrite =
      std::find(names.rbegin(), names.rend(), sim::Api::WritePrivateProfileString);
  const auto firstOpen = std::find(names.begin(), names.end(), sim::Api::OpenPrinter);
  ASSERT_NE(lastWrite, names.rend());
  ASSERT_NE(firstOpen, names.end());
  EXPECT_LT(names.rend() - lastWrite - 1, firstOpen - names.begin());
  // Delete first, then add, then the message, then the lists.
  const auto deleteAt = std::find(names.begin(), names.end(), sim::Api::DeleteForm);
  const auto addAt = std::find(names.begin(), names.end(), sim::Api::AddForm);
  const auto messageAt = std::find(names.begin(), names.end(), sim::Api::MessageBox);
  EXPECT_LT(deleteAt, addAt);
  EXPECT_LT(addAt, messageAt);
  EXPECT_NE(std::find(messageAt, names.end(), sim::Api::EnumForms), names.end());
}

// --- Delete ("刪除格式") ---

struct DeleteCase {
  const char* label;
  bool fromStore;
  bool fromPrinter;
};

class DialogDeleteTest : public DialogCommandsTest,
                         public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DialogDeleteTest, TheDestinationsTicked) {
  const DeleteCase& c = GetParam();
  Store(L"Custom", 0, 10, 20);
  sim_.SetForms({{0, L"Custom", 100000, 200000, 0, 0, 100000, 200000}});
  Show([&c](sim::SimDialog& d) {
    ASSERT_EQ(d.Text(kText2), L"Custom");
    ASSERT_TRUE(d.Tick(Check1(0), c.fromStore));
    ASSERT_TRUE(d.Tick(Check1(1), c.fromPrinter));
    ASSERT_TRUE(d.Click(Cmd1(3)));
    // The mode is unchanged and the lists were refilled.
    EXPECT_FALSE(d.IsEnabled(Text1(0)));
    EXPECT_EQ(d.Items(List1(0)).empty(), c.fromStore);
    EXPECT_EQ(d.Items(List1(1)).empty(), c.fromPrinter);
  });
  EXPECT_EQ(Stored(L"Custom"), !c.fromStore);
  EXPECT_EQ(FindForm(L"Custom") == nullptr, c.fromPrinter);
  if (c.fromPrinter) {
    EXPECT_THAT(MessageTexts(), ElementsAre(kDeleteOk));
  } else {
    EXPECT_THAT(MessageTexts(), IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DialogDeleteTest,
                         ::testing::Values(DeleteCase{"Neither", false, false},
                                           DeleteCase{"Store", true, false},
                                           DeleteCase{"Printer", false, true},
                                           DeleteCase{"Both", true, true}),
                         [](const auto& param) { return std::string(param.param.label); });

TEST_F(DialogCommandsTest, DeletingAFormThePrinterLacksSaysSoAndATrimmedNameIsUsed) {
  Store(L"A5", 0, 14.8, 21);
  Show([](sim::SimDialog& d) {
    ASSERT_TRUE(d.Type(kText2, L"  A5  "));
    ASSERT_TRUE(d.Click(Cmd1(3)));
  });
  EXPECT_FALSE(Stored(L"A5"));
  EXPECT_THAT(MessageTexts(), ElementsAre(kDeleteFailed));
  EXPECT_EQ(CallsNamed(sim::Api::DeleteForm).back().args.at(1), L"A5");
}

TEST_F(DialogCommandsTest, AGreyCheckBoxCountsAsNotTicked) {
  Store(L"Custom", 0, 10, 20);
  Show([](sim::SimDialog& d) {
    Procedures();  // the dialog is open
    d.SetValue(Check1(0), kGrayed);
    d.SetValue(Check1(1), kGrayed);
    ASSERT_TRUE(d.Click(Cmd1(3)));
  });
  EXPECT_TRUE(Stored(L"Custom"));
  EXPECT_THAT(MessageTexts(), IsEmpty());
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
  for (const sim::Call& open : CallsNamed(sim::Api::OpenPrinter)) {
    EXPECT_EQ(open.args.at(0), L"Back Office");
  }
  ASSERT_NE(FindForm(L"Inch letter"), nullptr);
  EXPECT_EQ(FindForm(L"Inch letter")->cx, 215900);
  // Only FormAllAdd's own message.
  EXPECT_THAT(MessageTexts(), ElementsAre(L"新增完成"));
}

TEST_F(DialogCommandsTest, EditModeEnablesTheFieldsAndLeavesOnlySaveAndClose) {
  Show([](sim::SimDialog& d) {
    ASSERT_TRUE(d.Click(Cmd1(2)));
    for (std::int16_t i = 0; i < 6; ++i) EXPECT_TRUE(d.IsEnabled(Text1(i)));
    EXPECT_FALSE(d.IsEnabled(List1(0)));
    EXPECT_FALSE(d.IsEnabled(List1(1)));
    EXPECT_FALSE(d.IsEnabled(Cmd1(0)));
    EXPECT_TRUE(d.IsEnabled(Cmd1(1)));
    EXPECT_FALSE(d.IsEnabled(Cmd1(2)));
    EXPECT_FALSE(d.IsEnabled(Cmd1(3)));
    EXPECT_TRUE(d.IsEnabled(Cmd1(4)));
    EXPECT_TRUE(d.IsEnabled(Option1(0)));
    EXPECT_TRUE(d.IsEnabled(Option1(1)));
    EXPECT_TRUE(d.IsEnabled(kText2));
    EXPECT_TRUE(d.IsEnabled(Check1(0)));
    EXPECT_TRUE(d.IsEnabled(kCombo1));
    EXPECT_EQ(d.Focus(), kText2);
    // The user can choose no list entry, but still a printer.
    EXPECT_FALSE(d.Choose(List1(1), 1));
    EXPECT_FALSE(d.Click(Cmd1(3)));
    EXPECT_TRUE(d.Choose(kCombo1, 0));
    EXPECT_EQ(d.Text(kText2), L"A4");  // refilled and loaded: no paper is stored

    // Twice in a row changes nothing; other modes change nothing; browse keeps Text2 on.
    Procedures().SetInputMode(1);
    EXPECT_EQ(d.Focus(), kText2);
    EXPECT_FALSE(d.IsEnabled(Cmd1(0)));
    Procedures().SetInputMode(2);
    Procedures().SetInputMode(-1);
    EXPECT_TRUE(d.IsEnabled(Text1(0)));
    EXPECT_FALSE(d.IsEnabled(List1(0)));
    Procedures().SetInputMode(0);
    EXPECT_FALSE(d.IsEnabled(Text1(0)));
    EXPECT_TRUE(d.IsEnabled(kText2));
    EXPECT_TRUE(d.IsEnabled(Option1(0)));
    EXPECT_TRUE(d.IsEnabled(Option1(1)));
    EXPECT_TRUE(d.IsEnabled(Cmd1(3)));
  });
}

TEST_F(DialogCommandsTest, EditThenCloseStoresNothing) {
  sim::SimDialog& dialog = Show([this](sim::SimDialog& d) {
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"Custom");
    sim_.ClearCalls();
    ASSERT_TRUE(d.Click(Cmd1(4)));
    EXPECT_FALSE(d.IsOpen());
    EXPECT_FALSE(d.Click(Cmd1(1)));  // closed
  });
  EXPECT_EQ(sim_.CountCalls(sim::Api::WritePrivateProfileString), 0u);
  EXPECT_EQ(sim_.CountCalls(sim::Api::AddForm), 0u);
  const auto& raised = dialog.RaisedHandlers();
  ASSERT_GE(raised.size(), 2u);
  EXPECT_EQ(raised[raised.size() - 2], L"Cmd1_Click(4)");
  EXPECT_EQ(raised.back(), L"Form_Unload");
  EXPECT_FALSE(ThreadDialogState().instance);
}

// --- A component call that fails inside a command ---

TEST_F(DialogCommandsTest, AFailingCallEndsTheCommandWithAMessageAndTheDialogGoesOn) {
  Show([this](sim::SimDialog& d) {
    ASSERT_TRUE(d.ChooseOption(0));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    TypePaper(d, L"Custom");
    sim_.FailCall(sim::Api::DeviceName);  // the printer's name cannot be read
    sim_.ClearCalls();
    ASSERT_TRUE(d.Click(Cmd1(1)));
    // The store was written, then the command ended: no form, still in edit mode.
    EXPECT_EQ(sim_.CountCalls(sim::Api::OpenPrinter), 0u);
    EXPECT_TRUE(d.IsEnabled(Text1(0)));
    EXPECT_THAT(d.Items(List1(0)), IsEmpty());  // not refilled
    EXPECT_TRUE(d.IsOpen());

    // The next click works.
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
