// apply: a printer's forms brought to a paper library, checked without changes, pruned, and on
// remote print servers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace sheetlore::cli {
namespace {

// The spooler here finds form names in any letter case, as Windows' may; apply asks it.
// Equal: on the printer with the same size. Different: on the printer with another printable
// area, its name in other letters. Missing: not on the printer. letter: the built-in form Letter,
// in inches.
const char kLibrary[] = R"({"format": "sheetlore-paper-library", "version": 1, "papers": [
  {"name": "Equal", "unit": "cm", "width": 2.00005, "height": 10, "right": 1.5},
  {"name": "Different", "unit": "cm", "width": 10, "height": 20, "left": 1},
  {"name": "Missing", "unit": "in", "width": 4, "height": 6, "top": 0.25, "bottom": 5.75},
  {"name": "letter", "unit": "in", "width": 8.5, "height": 11}
]})";

class ApplyLibraryTest : public CliTest {
 protected:
  ApplyLibraryTest() {
    sim_.SetFormNamesMatchAnyCase(true);
    WriteFile("library.json", kLibrary);
    // 2.00005 cm is 20000 units: halves go to the even neighbour.
    AddUserForm({0, L"Equal", 20000, 100000, 0, 0, 15000, 100000});
    AddUserForm({0, L"different", 100000, 200000, 0, 0, 100000, 200000});
    AddUserForm({0, L"Extra", 50000, 50000, 0, 0, 50000, 50000});
  }

  RunResult Apply(std::vector<std::wstring> options, const std::wstring& printer = kPrinter) {
    std::vector<std::wstring> arguments = {L"apply", PathOf("library.json"), printer};
    arguments.insert(arguments.end(), options.begin(), options.end());
    if (std::find(options.begin(), options.end(), L"--json") == options.end()) {
      arguments.push_back(L"--csv");
    }
    return Run(arguments);
  }
};

TEST_F(ApplyLibraryTest, CheckReportsWhatWouldChangeAndChangesNothing) {
  const std::vector<FormInfo> before = sim_.Forms();
  RunResult result = Apply({L"--check"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Differs));
  EXPECT_EQ(
      result.out,
      L"\uFEFFform,status,note\nEqual,unchanged,\nDifferent,would replace,\nMissing,would add,\n"
      L"letter,unchanged,the printer names it Letter\n");
  EXPECT_NE(result.err.find(L"Office Laser does not match the library: 2 form(s) to change"),
            std::wstring::npos)
      << result.err;
  result = Apply({L"--check", L"--prune"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Differs));
  EXPECT_NE(result.out.find(L"\nExtra,would delete,\n"), std::wstring::npos) << result.out;
  EXPECT_EQ(sim_.Forms(), before);
}

TEST_F(ApplyLibraryTest, ApplyAddsAndReplacesThenASecondRunFindsEverythingUnchanged) {
  RunResult result = Apply({});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            L"\uFEFFform,status,note\nEqual,unchanged,\nDifferent,replaced,\nMissing,added,\n"
            L"letter,unchanged,the printer names it Letter\n");
  EXPECT_EQ(*Form(L"Different"),
            (FormInfo{0, L"Different", 100000, 200000, 10000, 0, 100000, 200000}));
  EXPECT_EQ(*Form(L"Missing"), (FormInfo{0, L"Missing", 101600, 152400, 0, 6350, 101600, 146050}));
  EXPECT_EQ(Form(L"different"), nullptr);  // replaced under the paper's name
  ASSERT_NE(Form(L"Extra"), nullptr);      // not listed, and no --prune
  const std::vector<FormInfo> applied = sim_.Forms();
  result = Apply({L"--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.find(L"\"status\": \"added\""), std::wstring::npos);
  EXPECT_NE(result.out.find(L"\"form\": \"Missing\",\n    \"status\": \"unchanged\""),
            std::wstring::npos)
      << result.out;
  EXPECT_EQ(sim_.Forms(), applied);
  EXPECT_EQ(Apply({L"--check"}).exitCode, 0);
}

// The adds the spooler refuses are reported while the other changes are done, among them
// --prune's deletes of the user forms the file does not list (never built-in ones).
TEST_F(ApplyLibraryTest, AFailedAddIsReportedWhileTheOtherChangesAreDone) {
  AddUserForm({0, L"Missing", 1, 1, 0, 0, 1, 1});
  WriteFile("library.json", R"({"format": "sheetlore-paper-library", "version": 1, "papers": [
    {"name": "One", "unit": "cm", "width": 1, "height": 1},
    {"name": "Two", "unit": "cm", "width": 2, "height": 2},
    {"name": "Missing", "unit": "cm", "width": 3, "height": 3},
    {"name": "Four", "unit": "cm", "width": 4, "height": 4}]})");
  // Two's add, and Missing's new size (its replacement then adds the old form back).
  sim_.FailCall(sim::Api::AddForm, 2);
  sim_.FailCall(sim::Api::AddForm, 3);
  sim_.SetInjectedError(1902);
  const RunResult result = Apply({L"--prune"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Refused));
  EXPECT_EQ(result.out,
            L"\uFEFFform,status,note,error_operation,error_code,error_text\nOne,added,,,,\n"
            L"Two,failed,the spooler refused to add the form,AddForm,1902,The specified form name "
            L"is invalid.\n"
            L"Missing,failed,the spooler refused the new size; the old form is back,AddForm,1902,"
            L"The specified form name is invalid.\n"
            L"Four,added,,,,\nEqual,deleted,,,,\ndifferent,deleted,,,,\nExtra,deleted,,,,\n");
  EXPECT_NE(result.err.find(L"2 form(s) could not be changed (see their notes and errors)"),
            std::wstring::npos)
      << result.err;
  EXPECT_NE(Form(L"One"), nullptr);
  EXPECT_EQ(Form(L"Two"), nullptr);
  EXPECT_EQ(Form(L"Missing")->cx, 1);
  EXPECT_NE(Form(L"Four"), nullptr);
  EXPECT_EQ(Form(L"Extra"), nullptr);
  EXPECT_EQ(sim_.Forms().size(), sim::BuiltinForms().size() + 3);  // One, Missing, Four
}

// A change the spooler took counts only once the forms read back show it.
TEST_F(ApplyLibraryTest, ChangesThatCannotBeReadBackAreReportedAsFailed) {
  sim_.FailCall(sim::Api::EnumForms, 3, 100);  // every read after the plan's two fails
  const RunResult result = Apply({});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Refused));
  EXPECT_EQ(result.out,
            L"\uFEFFform,status,note\nEqual,unchanged,\n"
            L"Different,failed,the printer's forms could not be read back\n"
            L"Missing,failed,the printer's forms could not be read back\n"
            L"letter,unchanged,the printer names it Letter\n");
}

// What no change can mend (a built-in form of the name with another size, a paper no form can
// be) is "impossible" in both modes, with exit status 6 once nothing else is to be done: a
// detection script then stops asking for a remediation that cannot help.
TEST_F(ApplyLibraryTest, WhatNoChangeCanMendIsImpossibleInBothModes) {
  WriteFile("library.json", R"({"format": "sheetlore-paper-library", "version": 1, "papers": [
    {"name": "letter", "unit": "cm", "width": 21, "height": 29.7},
    {"name": "Inverted", "unit": "cm", "width": 10, "height": 5, "left": 5, "right": 2},
    {"name": "Vast", "unit": "cm", "width": 1e9, "height": 5},
    {"name": "New", "unit": "cm", "width": 1, "height": 1}]})");
  const std::wstring impossible =
      L"\uFEFFform,status,note\nletter,impossible,\"a built-in form of this name has another size, "
      L"and built-in forms cannot be changed\"\n"
      L"Inverted,impossible,\"no form can be this paper: the printable area must lie inside the "
      L"sheet";
  RunResult result = Apply({L"--check"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Differs));  // New can still be added
  EXPECT_TRUE(result.out.starts_with(impossible)) << result.out;
  EXPECT_NE(result.out.find(L"\nVast,impossible,no form can be this paper: a value is beyond the "
                            L"spooler's range (at most 214748 cm)\nNew,would add,\n"),
            std::wstring::npos)
      << result.out;
  result = Apply({});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Impossible)) << result.err;
  EXPECT_TRUE(result.out.starts_with(impossible)) << result.out;
  EXPECT_NE(result.out.find(L"\nNew,added,\n"), std::wstring::npos) << result.out;
  EXPECT_NE(result.err.find(L"3 paper(s) cannot be made forms of Office Laser by any change"),
            std::wstring::npos)
      << result.err;
  EXPECT_EQ(result.err.find(L"administrator"), std::wstring::npos) << result.err;
  result = Apply({L"--check", L"--json"});
  EXPECT_EQ(result.exitCode, Status(ExitCode::Impossible));
  EXPECT_NE(result.out.find(L"\"status\": \"impossible\""), std::wstring::npos) << result.out;
  EXPECT_EQ(Form(L"Letter")->cx, 215900);
  EXPECT_EQ(Form(L"Inverted"), nullptr);
}

// Where the spooler finds names only as they are spelt (Wine's), a paper in other letters is a
// form of its own: apply follows the spooler, not a letter-case rule of its own.
TEST_F(ApplyLibraryTest, NamesMatchByTheSpoolersOwnRule) {
  sim_.SetFormNamesMatchAnyCase(false);
  const RunResult result = Apply({});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            L"\uFEFFform,status,note\nEqual,unchanged,\nDifferent,added,\nMissing,added,\n"
            L"letter,added,\n");
  EXPECT_NE(Form(L"different"), nullptr);
  EXPECT_NE(Form(L"Letter"), nullptr);
  EXPECT_EQ(Apply({L"--check"}).exitCode, 0);
}

TEST_F(ApplyLibraryTest, AnInvalidFileOrAnUnknownPrinterTouchesNoPrinter) {
  WriteFile("library.json", R"({"format": "sheetlore-paper-library", "version": 1, "papers": [
    {"name": "Bad", "unit": "cm", "width": -1, "height": 1}]})");
  const std::vector<FormInfo> before = sim_.Forms();
  EXPECT_EQ(Apply({}).exitCode, Status(ExitCode::BadArguments));
  WriteFile("library.json", kLibrary);
  EXPECT_EQ(Apply({}, L"Nowhere").exitCode, Status(ExitCode::NotFound));
  EXPECT_EQ(sim_.Forms(), before);
}

// Forms set up by hand on one machine, captured, exported and applied to another printer give
// the same forms there, to the unit.
TEST_F(ApplyLibraryTest, CapturedFormsExportedAndAppliedElsewhereMatchExactly) {
  AddUserForm({0, L"Odd", 123457, 98765, 1, 3, 123455, 98761});
  ASSERT_EQ(Run({L"capture", kPrinter}).exitCode, 0);
  ASSERT_EQ(Run({L"paper-export", PathOf("library.json")}).exitCode, 0);
  const std::vector<FormInfo> handMade = sim_.Forms();
  sim_.SetForms(sim::BuiltinForms());
  RunResult result = Apply({});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(sim_.Forms(), handMade);
  EXPECT_EQ(Apply({L"--check"}).exitCode, 0);
}

// A \\server\printer name reaches the spooler exactly as written: forms change on that server.
TEST_F(ApplyLibraryTest, RemotePrinterNamesPassThroughUnchanged) {
  const std::wstring remote = L"\\\\print01\\Front Desk";
  sim_.AddPrinter(remote);
  sim_.ClearCalls();
  ASSERT_EQ(Apply({}, remote).exitCode, 0);
  ASSERT_EQ(Run({L"capture", remote}).exitCode, 0);
  ASSERT_EQ(Run({L"form-add", remote, L"Remote", L"1", L"1"}).exitCode, 0);
  ASSERT_EQ(Run({L"install", remote}).exitCode, 0);
  // apply: plan, add, replacement, read-back; capture; form-add; install.
  const std::vector<std::wstring> opened = OpenedPrinters(sim_);
  EXPECT_THAT(opened, ::testing::Each(remote));
  EXPECT_GE(opened.size(), 8u);
}

}  // namespace
}  // namespace sheetlore::cli
