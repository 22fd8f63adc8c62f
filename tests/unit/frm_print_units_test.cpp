// The dialog's unit switch and list selection: conversions from the text shown, the unit
// record in lbCap(0), and entries loaded in the dialog's unit.
#include "tests/unit/frm_print_fixture.h"

namespace sheetlore::dialog_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using DialogUnitsTest = DialogTest;

TEST_F(DialogUnitsTest, SwitchingConvertsTheTextShownAndTheUnitShownAlreadyChangesNothing) {
  Store(L"Inch letter", 1, 8.5, 11);  // shown in centimetres at start-up
  Show([](sim::SimDialog& d) {
    ASSERT_EQ(d.UnitCaptions(), All(kCm));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    // An empty field becomes zero, letters after a number are ignored, a comma ends it.
    const std::vector<std::wstring> typed = {L"21", L"29.7", L"", L"12abc", L"abc", L"1,5"};
    for (std::int16_t i = 0; i < 6; ++i) {
      ASSERT_TRUE(d.Type(Text1(i), typed[static_cast<std::size_t>(i)]));
    }
    ASSERT_TRUE(d.ChooseOption(0));
    EXPECT_EQ(d.FieldTexts(), typed);
    ASSERT_TRUE(d.ChooseOption(1));
    EXPECT_THAT(d.FieldTexts(), ElementsAre(L"8.26771653543307", L"11.6929133858268", L"0",
                                            L"4.7244094488189", L"0", L"0.393700787401575"));
    EXPECT_EQ(d.UnitCaptions(), All(kInch));
    ASSERT_TRUE(d.ChooseOption(0));
    EXPECT_EQ(d.Text(Text1(0)), L"21");
    EXPECT_EQ(d.Text(Text1(1)), L"29.7000000000001");
    EXPECT_EQ(d.UnitCaptions(), All(kCm));
  });
}

TEST_F(DialogUnitsTest, AValueThatCannotBeConvertedLeavesFieldsCaptionsAndOptionAsTheyWere) {
  Store(L"Metric", 0, 21, 29.7);  // shown in inches at start-up
  Show([](sim::SimDialog& d) {
    ASSERT_TRUE(d.ChooseOption(1));
    ASSERT_TRUE(d.Click(Cmd1(2)));
    ASSERT_TRUE(d.Type(Text1(5), L"1E308"));
    const auto fields = d.FieldTexts();
    ASSERT_TRUE(d.ChooseOption(0));  // 1E308 inches are beyond every float in centimetres
    EXPECT_EQ(d.FieldTexts(), fields);
    EXPECT_EQ(d.UnitCaptions(), All(kInch));
    EXPECT_EQ(d.Value(Option1(0)), 0);
    EXPECT_EQ(d.Value(Option1(1)), 1);
    // The save that follows stores and sends inches.
    ASSERT_TRUE(d.Type(Text1(0), L"8.5"));
    ASSERT_TRUE(d.Type(Text1(5), L"10.5"));
    ASSERT_TRUE(d.Click(Cmd1(1)));
  });
  EXPECT_EQ(cls_.IniReadValue(1, L"Metric").mMode, 1);
  EXPECT_EQ(FormOrNone(L"Metric").cx, 215900);
  EXPECT_THAT(MessageTexts(), ElementsAre(L"Overflow", kAddOk));
}

TEST_F(DialogUnitsTest, AnEntryTooLargeToConvertIsShownInItsOwnUnitWithItsOption) {
  Store(L"Huge", 1, 1E308, 11);
  Store(L"Small", 0, 10, 20);
  Show([](sim::SimDialog& d) {
    // At start-up with no option chosen, then loaded after centimetres were chosen.
    for (const bool optionChosen : {false, true}) {
      if (optionChosen) {
        ASSERT_TRUE(d.Choose(List1(0), L"Small"));
        ASSERT_TRUE(d.ChooseOption(0));
        ASSERT_TRUE(d.Choose(List1(0), L"Huge"));
      }
      EXPECT_EQ(d.Text(Text1(0)), L"1E+308");
      EXPECT_EQ(d.Text(Text1(1)), L"11");
      EXPECT_EQ(d.UnitCaptions(), All(kInch));
      EXPECT_EQ(d.Value(Option1(0)), 0);
      EXPECT_EQ(d.Value(Option1(1)), optionChosen ? 1 : 0);
    }
  });
  EXPECT_THAT(MessageTexts(), ElementsAre(L"Overflow", L"Overflow"));
}

// An entry loads in the unit of the option chosen; with none chosen, in the other unit than its
// own (a printer's form counts as centimetres). Each entry is chosen after another, so a
// missing conversion shows.
TEST_F(DialogUnitsTest, AnEntryIsShownInTheDialogsUnit) {
  Store(L"Inch paper", 1, 8.5, 11);
  Store(L"Cm paper", 0, 21, 29.7);
  sim_.AddPrinter(L"Other");
  const std::vector<std::wstring> a4Cm = {L"21", L"29.7"};
  const std::vector<std::wstring> a4Inch = {L"8.26771653543307", L"11.6929133858268"};
  struct Entry {
    ControlRef list;
    std::wstring name;
    bool inInches;
    std::vector<std::wstring> cm, inch;
  };
  const std::vector<Entry> entries = {
      {List1(1), L"A4", false, a4Cm, a4Inch},
      {List1(0), L"Inch paper", true, {L"21.59", L"27.94"}, {L"8.5", L"11"}},
      {List1(0), L"Cm paper", false, a4Cm, a4Inch}};
  for (const std::int16_t option : {-1, 0, 1}) {
    Show([&](sim::SimDialog& d) {
      ASSERT_TRUE(option < 0 || d.ChooseOption(option));
      for (const Entry& e : entries) {
        SCOPED_TRACE(testing::Message() << "option " << option << ", " << e.name);
        ASSERT_TRUE(d.Choose(e.list, e.name));
        const bool inches = option == 1 || (option < 0 && !e.inInches);
        EXPECT_EQ((std::vector{d.Text(Text1(0)), d.Text(Text1(1))}), inches ? e.inch : e.cm);
        EXPECT_EQ(d.UnitCaptions(), All(inches ? kInch : kCm));
        EXPECT_EQ(d.Text(kText2), e.name);
        // The option chosen stays chosen, and no other is.
        EXPECT_EQ(d.Value(Option1(0)), option == 0 ? 1 : 0);
        EXPECT_EQ(d.Value(Option1(1)), option == 1 ? 1 : 0);
      }
    });
  }
}

TEST_F(DialogUnitsTest, AnEntryThatIsNoLongerThereLoadsAsZeros) {
  Store(L"Gone", 0, 10, 20);
  Show([this](sim::SimDialog& d) {
    // Another program removes the paper and the form after the lists were filled.
    sim_.SetFileText(kStore, L"[PrintMain]\r\nGone=Gone\r\n");
    ASSERT_TRUE(d.Choose(List1(0), L"Gone"));
    EXPECT_EQ(d.FieldTexts(), All(L"0"));
    EXPECT_EQ(d.Text(kText2), L"Gone");
    sim_.SetForms({});
    ASSERT_TRUE(d.Choose(List1(1), L"A4"));
    EXPECT_EQ(d.FieldTexts(), All(L"0"));
    EXPECT_EQ(d.Value(Check1(1)), kChecked);
  });
  EXPECT_THAT(sim_.Messages(), IsEmpty());
}

}  // namespace
}  // namespace sheetlore::dialog_test
