// sheetlore.exe's commands on the simulated platform: each command's output (text, JSON, CSV)
// and exit status, the refusals a real spooler gives (Wine's never does), a paper store that
// cannot be written, and no printer at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/doctor.h"
#include "cli_fixture.h"

namespace sheetlore::cli {
namespace {

constexpr int kUsage = Status(ExitCode::BadArguments);
constexpr int kNotFound = Status(ExitCode::NotFound);
constexpr int kRefused = Status(ExitCode::Refused);

// One command line and what it must give: the exit status, and stdout exactly when the command
// succeeds or a text stderr must hold (and nothing on stdout) when it does not.
struct Case {
  std::vector<std::wstring> arguments;
  int status;
  std::wstring expected;
};

class CliCommandsTest : public CliTest {
 protected:
  CliCommandsTest() { sim_.AddPrinter(L"Label"); }

  // Runs the cases in order, each on the state the ones before it left.
  void Expect(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::PrintToString(c.arguments));
      const RunResult result = Run(c.arguments);
      EXPECT_EQ(result.exitCode, c.status) << result.err;
      if (c.status == 0) {
        EXPECT_EQ(result.out, c.expected);
      } else {
        EXPECT_NE(result.err.find(c.expected), std::wstring::npos) << result.err;
        EXPECT_EQ(result.out, L"");
      }
    }
  }
};

TEST_F(CliCommandsTest, HelpNamesTheStoreAndEveryCommandHasItsUsage) {
  const RunResult help = Run({L"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find(L"Paper store: " + kStore), std::wstring::npos) << help.out;
  for (const wchar_t* command :
       {L"printers", L"forms", L"form-show", L"form-add", L"form-delete", L"form-find",
        L"form-select", L"install", L"dialog", L"papers", L"paper-show", L"paper-store",
        L"paper-delete", L"paper-export", L"paper-import", L"capture", L"apply"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(command)));
    EXPECT_NE(help.out.find(L"  " + std::wstring(command) + L" "), std::wstring::npos);
    for (const RunResult& usage : {Run({command, L"--help"}), Run({L"help", command})}) {
      EXPECT_EQ(usage.exitCode, 0);
      EXPECT_EQ(usage.out.rfind(L"Usage: sheetlore " + std::wstring(command), 0), 0u) << usage.out;
      EXPECT_NE(usage.out.find(L"Exit status:"), std::wstring::npos);
    }
  }
  EXPECT_NE(Run({L"help", L"apply"})
                .out.find(L"  5  apply --check: the printer does not match the library file"),
            std::wstring::npos);
}

TEST_F(CliCommandsTest, BadArgumentsEndWithTheUsageStatus) {
  Expect({
      {{}, kUsage, L"Usage: sheetlore COMMAND"},
      {{L"frobnicate"}, kUsage, L"unknown command \"frobnicate\""},
      {{L"forms", L"--colour"}, kUsage, L"unknown option --colour"},
      {{L"printers", L"--json", L"--csv"}, kUsage, L"cannot be used together"},
      {{L"form-add", kPrinter, L"Narrow", L"10"}, kUsage, L"missing argument"},
      {{L"form-show", kPrinter, L"Letter", L"extra"}, kUsage, L"unexpected argument \"extra\""},
      {{L"form-add", kPrinter, L"N", L"21cm", L"10"},
       kUsage,
       L"the width is not a number: \"21cm\""},
      {{L"paper-store", L"Comma", L"1,5", L"10"}, kUsage, L"is not a number: \"1,5\""},
      {{L"paper-store", L"Neg", L"10", L"10", L"--left", L"-1"}, kUsage, L"cannot be negative"},
      {{L"paper-store", L"Zero", L"0", L"10"}, kUsage, L"must be greater than 0"},
      {{L"paper-store", L"Top", L"10", L"10", L"--top"}, kUsage, L"--top needs a value"},
      {{L"form-find", L"8.5"}, kUsage, L"WIDTH/HEIGHT"},
      {{L"form-find", L"8.5/11/2"}, kUsage, L"WIDTH/HEIGHT"},
      {{L"form-add", kPrinter, L" ", L"10", L"10"}, kUsage, L"the form name is empty"},
      {{L"paper-store", L"a=b", L"10", L"10"}, kUsage, L"cannot hold the name"},
  });
  EXPECT_FALSE(sim_.FileExists(kStore));
}

TEST_F(CliCommandsTest, PrintersAndFormsInEachFormat) {
  Expect({
      {{L"printers"}, 0, L"Name          Default\nOffice Laser  yes\nLabel         no\n"},
      {{L"printers", L"--json"},
       0,
       L"[\n  {\n    \"name\": \"Office Laser\",\n    \"default\": true\n  },\n"
       L"  {\n    \"name\": \"Label\",\n    \"default\": false\n  }\n]\n"},
      {{L"--csv", L"printers"}, 0, L"Name,Default\nOffice Laser,yes\nLabel,no\n"},
      {{L"forms", L"No Such Printer"},
       kNotFound,
       L"printer not found or cannot be opened: No Such Printer"},
  });
  // The tables' first lines.
  RunResult result = Run({L"forms", L"Label"});
  EXPECT_TRUE(
      result.out.starts_with(L"No.  Name                            Width (cm)  Height (cm)\n"
                             L"  1  Letter                               21.59        27.94\n"
                             L"  2  Letter Small                         21.59        27.94\n"))
      << result.out;
  result = Run({L"forms", L"--csv"});
  EXPECT_NE(result.out.find(L"\n7,Executive,18.415,26.67\n8,"), std::wstring::npos);
  EXPECT_NE(result.out.find(L"\n9,A4,21,29.7\n"), std::wstring::npos);
  result = Run({L"forms", kPrinter, L"--json"});
  EXPECT_TRUE(result.out.starts_with(
      L"[\n  {\n    \"number\": 1,\n    \"name\": \"Letter\",\n    \"width_cm\": 21.59,\n"
      L"    \"height_cm\": 27.94\n  },\n  {\n"))
      << result.out;
}

TEST_F(CliCommandsTest, FormCommandsChangeTheSpoolerAndReportIt) {
  Expect({
      {{L"form-show", kPrinter, L"Letter"},
       0,
       L"Printer:     Office Laser\nForm:        Letter\nWidth (cm):  21.59\nHeight (cm): 27.94\n"
       L"Left (cm):   0\nRight (cm):  21.59\nTop (cm):    0\nBottom (cm): 27.94\n"},
      {{L"form-show", L"Label", L"A4", L"--json"},
       0,
       L"{\n  \"printer\": \"Label\",\n  \"form\": \"A4\",\n  \"width_cm\": 21,\n"
       L"  \"height_cm\": 29.7,\n  \"left_cm\": 0,\n  \"right_cm\": 21,\n  \"top_cm\": 0,\n"
       L"  \"bottom_cm\": 29.7\n}\n"},
      {{L"--csv", L"form-show", kPrinter, L"Envelope #10"},
       0,
       L"Printer,Form,Width (cm),Height (cm),Left (cm),Right (cm),Top (cm),Bottom (cm)\n"
       L"Office Laser,Envelope #10,10.4775,24.13,0,10.4775,0,24.13\n"},
      {{L"form-show", L"No Such Printer", L"Letter"}, kNotFound, L"printer not found"},
      {{L"form-add", kPrinter, L"Narrow Label", L"5", L"2.5", L"--left", L"0.2", L"--right",
        L"4.8"},
       0,
       L"Printer: Office Laser\nForm:    Narrow Label\nStatus:  added\n"},
      {{L"form-add", L"Label", L"Inch Label", L"4", L"6", L"--inches", L"--json"},
       0,
       L"{\n  \"printer\": \"Label\",\n  \"form\": \"Inch Label\",\n  \"status\": \"added\"\n}\n"},
      {{L"form-add", kPrinter, L"Narrow Label", L"5", L"5"},
       kRefused,
       L"already has a form named \"Narrow Label\""},
      {{L"form-add", kPrinter, L"Inch Label", L"4", L"6", L"--replace"},
       0,
       L"Printer: Office Laser\nForm:    Inch Label\nStatus:  replaced\n"},
      {{L"form-add", L"No Such Printer", L"Narrow", L"5", L"5"}, kNotFound, L"printer not found"},
      // A run-time error of the component ends with status 1 and its number and text.
      {{L"form-add", kPrinter, L"Huge", L"300000", L"10"}, 1, L"sheetlore: error 6: Overflow\n"},
      {{L"form-find", L"8.5/11"},
       0,
       L"No.:         1\nForm:        Letter\nWidth (cm):  21.59\nHeight (cm): 27.94\n"
       L"Status:      found\n"},
      {{L"form-find", L"11/17", L"--printer", L"Label", L"--csv"},
       0,
       L"No.,Form,Width (cm),Height (cm),Status\n3,Tabloid,27.94,43.18,found\n"},
      {{L"form-find", L"8.5/11", L"--printer", L"No Such Printer"}, kNotFound, L"not found"},
      {{L"form-select", L"A4"}, 0, L"Printer: Office Laser\nForm:    A4\nStatus:  selected\n"},
      {{L"form-select", L"Nope"}, kNotFound, L"no form named \"Nope\""},
      {{L"form-delete", kPrinter, L"Narrow Label"},
       0,
       L"Printer: Office Laser\nForm:    Narrow Label\nStatus:  deleted\n"},
      {{L"form-delete", kPrinter, L"Narrow Label"}, kNotFound, L"no form named \"Narrow Label\""},
      {{L"form-delete", L"No Such Printer", L"A5"}, kNotFound, L"printer not found"},
      {{L"form-delete", kPrinter, L"Letter"},
       kRefused,
       L"refused to delete the form \"Letter\": DeleteForm failed with error 87: The parameter "
       L"is incorrect.\n"},
  });
  ASSERT_NE(Form(L"Inch Label"), nullptr);
  EXPECT_EQ(Form(L"Inch Label")->cx, 40000);  // replaced in centimetres
  EXPECT_EQ(Form(L"Narrow Label"), nullptr);
  const RunResult found = Run({L"form-find", L"3/4", L"--json"});
  EXPECT_EQ(found.out,
            L"{\n  \"number\": " + std::to_wstring(sim::BuiltinForms().size() + 2) +
                L",\n  \"form\": \"3/4\",\n  \"width_cm\": 7.62,\n  \"height_cm\": 10.16,\n"
                L"  \"status\": \"added\"\n}\n");
  ASSERT_NE(Form(L"3/4"), nullptr);
  EXPECT_EQ(Form(L"3/4")->cy, 101600);
}

TEST_F(CliCommandsTest, PaperStoreCommandsAndInstall) {
  const std::wstring header = L"Name,Unit,Width,Height,Left,Right,Top,Bottom\n";
  Expect({
      {{L"install"}, 0, L"Paper  Width (cm)  Height (cm)  Status\n"},
      {{L"papers"}, 0, L"Name  Unit  Width  Height  Left  Right  Top  Bottom\n"},
      {{L"papers", L"--json"}, 0, L"[]\n"},
      {{L"paper-store", L"A5X", L"14.8", L"21"},
       0,
       L"Name:   A5X\nUnit:   cm\nWidth:  14.8\nHeight: 21\nLeft:   0\nRight:  0\nTop:    0\n"
       L"Bottom: 0\n"},
      {{L"--csv", L"paper-store", L"Inch Letter", L"8.5", L"11", L"--inches", L"--left", L"0.25",
        L"--right", L"8.25", L"--top", L"0.5", L"--bottom", L"10.5"},
       0,
       header + L"Inch Letter,in,8.5,11,0.25,8.25,0.5,10.5\n"},
      {{L"paper-store", L"標籤紙", L"5", L"3", L"--json"},
       0,
       L"{\n  \"name\": \"標籤紙\",\n  \"unit\": \"cm\",\n  \"width\": 5,\n  \"height\": 3,\n"
       L"  \"left\": 0,\n  \"right\": 0,\n  \"top\": 0,\n  \"bottom\": 0\n}\n"},
      {{L"papers"},
       0,
       L"Name         Unit  Width  Height  Left  Right  Top  Bottom\n"
       L"A5X          cm     14.8      21     0      0    0       0\n"
       L"Inch Letter  in      8.5      11  0.25   8.25  0.5    10.5\n"
       L"標籤紙       cm        5       3     0      0    0       0\n"},
      {{L"--csv", L"paper-store", L"A5X", L"17", L"21"}, 0, header + L"A5X,cm,17,21,0,0,0,0\n"},
      {{L"paper-show", L"a5x", L"--csv"}, 0, header + L"A5X,cm,17,21,0,0,0,0\n"},
      {{L"paper-show", L"Nope"}, kNotFound, L"no paper named \"Nope\""},
      // CSV quotes a field holding a comma or a quote; JSON escapes the quote.
      {{L"paper-store", L"Label, \"big\"", L"10", L"5", L"--csv"},
       0,
       header + L"\"Label, \"\"big\"\"\",cm,10,5,0,0,0,0\n"},
      {{L"paper-show", L"label, \"BIG\"", L"--json"},
       0,
       L"{\n  \"name\": \"Label, \\\"big\\\"\",\n  \"unit\": \"cm\",\n  \"width\": 10,\n"
       L"  \"height\": 5,\n  \"left\": 0,\n  \"right\": 0,\n  \"top\": 0,\n  \"bottom\": 0\n}\n"},
      {{L"paper-delete", L"Label, \"big\""}, 0, L"Paper:  Label, \"big\"\nStatus: deleted\n"},
      {{L"paper-delete", L"Nope"}, kNotFound, L"no paper named \"Nope\""},
      // A stored paper named like a form of the printer is kept as the printer has it.
      {{L"paper-store", L"Letter", L"10", L"10", L"--csv"},
       0,
       header + L"Letter,cm,10,10,0,0,0,0\n"},
      {{L"install", L"Label"},
       0,
       L"Paper        Width (cm)  Height (cm)  Status\n"
       L"A5X                  17           21  added\n"
       L"Inch Letter       21.59        27.94  added\n"
       L"標籤紙                5            3  added\n"
       L"Letter               10           10  exists\n"},
      {{L"install", L"No Such Printer"}, kNotFound, L"printer not found"},
      // Another spelling finds the paper as the profile service matches names.
      {{L"paper-delete", L" a5x"}, 0, L"Paper:  A5X\nStatus: deleted\n"},
      {{L"papers", L"--csv"},
       0,
       header + L"Inch Letter,in,8.5,11,0.25,8.25,0.5,10.5\n標籤紙,cm,5,3,0,0,0,0\n"
                L"Letter,cm,10,10,0,0,0,0\n"},
  });
  EXPECT_EQ(sim_.FileText(kStore).find(L"A5X"), std::wstring::npos);
  // The built-in Letter cannot be replaced; the other papers can.
  const RunResult replaced = Run({L"install", L"--replace", L"--csv"});
  EXPECT_EQ(replaced.exitCode, kRefused);
  EXPECT_EQ(replaced.out,
            L"Paper,Width (cm),Height (cm),Status,Error operation,Error code,Error text\n"
            L"Inch Letter,21.59,27.94,replaced,,,\n標籤紙,5,3,replaced,,,\n"
            L"Letter,10,10,refused,DeleteForm,87,The parameter is incorrect.\n");
  EXPECT_NE(replaced.err.find(L"refused some papers"), std::wstring::npos) << replaced.err;
  EXPECT_EQ(Form(L"Letter")->cx, 215900);
  // A store that cannot be written ends its commands with the refused status.
  sim_.MakeReadOnly(kStore);
  Expect({
      {{L"paper-store", L"B6", L"12.5", L"17.6"},
       kRefused,
       L"could not be written: C:\\Tools\\PrintSet.ini"},
      {{L"paper-delete", L"Letter"}, kRefused, L"could not be written"},
  });
}

// A hand-edited value the store's reads refuse (a unit code above 255, a number beyond a
// double) names its paper; the commands go on with the others and end with the failure status
// where their result is incomplete, and the export refuses as for any paper it cannot carry.
TEST_F(CliCommandsTest, AValueOutOfRangeNamesItsPaperAndTheOthersGoOn) {
  sim_.SetFileText(kStore,
                   L"[PrintMain]\r\nA5X=A5X\r\nWide=Wide\r\nUnit=Unit\r\n[A5X]\r\nmMode=0\r\n"
                   L"W=14.8\r\nH=21\r\n[Wide]\r\nmMode=0\r\nW=1e400\r\nH=5\r\n[Unit]\r\n"
                   L"mMode=300\r\nW=5\r\nH=5\r\n");
  const int kFailure = Status(ExitCode::Failure);
  const RunResult papers = Run({L"papers", L"--csv"});
  EXPECT_EQ(papers.exitCode, kFailure);
  EXPECT_EQ(papers.out, L"Name,Unit,Width,Height,Left,Right,Top,Bottom\nA5X,cm,14.8,21,0,0,0,0\n");
  for (const RunResult& result :
       {papers, Run({L"install", L"--csv"}), Run({L"paper-export", PathOf("out.json")})}) {
    EXPECT_NE(result.err.find(L"\"Wide\": a stored value cannot be read (error 6: Overflow)"),
              std::wstring::npos)
        << result.err;
    EXPECT_NE(result.err.find(L"\"Unit\": a stored value cannot be read"), std::wstring::npos)
        << result.err;
  }
  EXPECT_NE(Form(L"A5X"), nullptr);
  EXPECT_EQ(Run({L"install", L"--csv"}).out,
            L"Paper,Width (cm),Height (cm),Status\nA5X,14.8,21,exists\nWide,,,unreadable\n"
            L"Unit,,,unreadable\n");
  EXPECT_EQ(Run({L"install"}).exitCode, kFailure);
  EXPECT_EQ(ReadFile("out.json"), "");
  const RunResult shown = Run({L"paper-show", L"wide"});
  EXPECT_EQ(shown.exitCode, kFailure);
  EXPECT_NE(shown.err.find(L"the stored paper \"Wide\" cannot be read"), std::wstring::npos);
  // Such a paper can be corrected or removed.
  EXPECT_EQ(Run({L"paper-store", L"Wide", L"5", L"5"}).exitCode, 0);
  EXPECT_EQ(Run({L"paper-delete", L"Unit"}).exitCode, 0);
  EXPECT_EQ(Run({L"papers"}).exitCode, 0);
}

// paper-store refuses what the export and import refuse, and changes nothing.
TEST_F(CliCommandsTest, PaperStoreRefusesWhatAnImportRefuses) {
  ASSERT_EQ(Run({L"paper-store", L"A5X", L"14.8", L"21"}).exitCode, 0);
  const std::wstring before = sim_.FileText(kStore);
  Expect({
      {{L"paper-store", L"Big", L"1e300", L"5"}, kUsage, L"beyond the spooler's range"},
      {{L"paper-store", L"Long", L"123456789012345678", L"5"}, kUsage, L"beyond the spooler"},
      {{L"paper-store", L"A5X", L"10", L"1e300", L"--inches"}, kUsage, L"\"A5X\""},
  });
  EXPECT_EQ(sim_.FileText(kStore), before);
  EXPECT_EQ(Run({L"paper-export", PathOf("all.json")}).exitCode, 0);
  // A write that fails says why: the file held too long by another program, or an ANSI file
  // whose code page lacks the name's characters.
  sim_.SetLockFails(true);
  Expect(
      {{{L"paper-store", L"B5", L"17.6", L"25"}, kRefused, L"another program held it too long"}});
  sim_.SetLockFails(false);
  sim_.SetFileText(kStore, L"[PrintMain]\r\nA5X=A5X\r\n");
  Expect({{{L"paper-store", L"標籤", L"5", L"3"}, kRefused, L"cannot hold the name \"標籤\""}});
  EXPECT_EQ(sim_.FileText(kStore), L"[PrintMain]\r\nA5X=A5X\r\n");
  // An ANSI file holding text its code page cannot read back (文 stands for such bytes) takes
  // no write at all, and the refusal says why.
  const std::wstring unreadable = L"[PrintMain]\r\nA5X=A5X\r\n文=文\r\n";
  sim_.SetFileText(kStore, unreadable);
  Expect({{{L"paper-store", L"B5", L"17.6", L"25"}, kRefused, L"cannot read back unchanged"}});
  EXPECT_EQ(sim_.FileText(kStore), unreadable);
}

// An ANSI store saved as UTF-8 (each character here one byte) becomes UTF-16, read in the
// code page named, with every paper and every other line; a dry run lists the names as they
// will read and changes nothing; a file that is not text of that code page changes nothing.
TEST_F(CliCommandsTest, StoreConvertMakesAnAnsiStoreUtf16KeepingEveryPaper) {
  const std::wstring cafe = L"Caf\xC3\xA9 \xC3\x9C";
  const std::wstring utf8 = L"[PrintMain]\r\n" + cafe + L"=" + cafe + L"\r\nA5=A5\r\n[" + cafe +
                            L"]\r\n; from the label tool\r\nmMode=0\r\nW=10\r\nH=20\r\n[A5]\r\n"
                            L"mMode=0\r\nW=14.8\r\nH=21\r\n";
  sim_.SetFileText(kStore, utf8);
  const RunResult dry = Run({L"store-convert", L"--codepage", L"65001", L"--dry-run"});
  ASSERT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_EQ(dry.out,
            L"Paper   Status\nCafé Ü  would convert\n"
            L"A5      would convert\n");
  EXPECT_EQ(sim_.FileText(kStore), utf8);
  EXPECT_FALSE(sim_.FileIsUnicode(kStore));

  const RunResult done = Run({L"--csv", L"store-convert", L"--codepage=65001"});
  ASSERT_EQ(done.exitCode, 0) << done.err;
  EXPECT_NE(done.out.find(L"Café Ü,converted\nA5,converted\n"), std::wstring::npos) << done.out;
  EXPECT_TRUE(sim_.FileIsUnicode(kStore));
  EXPECT_NE(sim_.FileText(kStore).find(L"[Café Ü]\r\n; from the label tool\r\n"),
            std::wstring::npos);
  EXPECT_EQ(component_.IniReadValue(1, L"Café Ü"), (rePaPer{0, 10, 20, 0, 0, 0, 0}));
  EXPECT_EQ(Run({L"paper-store", L"標籤", L"5", L"3"}).exitCode, 0);
  const RunResult again = Run({L"store-convert", L"--codepage", L"65001"});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_NE(again.err.find(L"a Unicode file already"), std::wstring::npos) << again.err;

  const std::wstring notUtf8 = L"[PrintMain]\r\nA\xFF=A\xFF\r\n";
  sim_.SetFileText(kStore, notUtf8);
  Expect({{{L"store-convert", L"--codepage", L"65001"}, kUsage, L"not text of code page 65001"},
          {{L"store-convert", L"--codepage", L"4"}, kUsage, L"no code page 4"},
          {{L"store-convert", L"--codepage", L"utf8"}, kUsage, L"the number of a code page"},
          {{L"store-convert"}, kUsage, L"the number of a code page"}});
  EXPECT_EQ(sim_.FileText(kStore), notUtf8);
  EXPECT_FALSE(sim_.FileIsUnicode(kStore));
}

// A refused replacement puts the old form back or says it cannot.
TEST_F(CliCommandsTest, RefusedAddsAndReplacementsEndWithTheRefusedStatus) {
  sim_.FailCall(sim::Api::AddForm);
  Expect({{{L"form-add", kPrinter, L"Label", L"10", L"5"}, kRefused, L"refused to add the form"}});
  sim_.FailCall(sim::Api::AddForm);
  Expect({{{L"form-find", L"3/4"}, kRefused, L"no form of 3/4 inches, and the spooler refused"}});
  ASSERT_EQ(Run({L"form-add", kPrinter, L"Label", L"10", L"5", L"--left", L"1"}).exitCode, 0);
  const FormInfo label{0, L"Label", 100000, 50000, 10000, 0, 100000, 50000};
  const std::vector<std::wstring> replace{L"form-add", kPrinter, L"Label",
                                          L"20",       L"8",     L"--replace"};
  sim_.FailCall(sim::Api::DeleteForm);
  Expect({{replace, kRefused, L"the spooler refused to delete the old form \"Label\""}});
  EXPECT_EQ(sim_.Forms().back(), label);
  sim_.FailCall(sim::Api::AddForm);  // the new form; the old one's return succeeds
  Expect({{replace, kRefused, L"the old one is back"}});
  EXPECT_EQ(sim_.Forms().back(), label);
  sim_.FailCall(sim::Api::AddForm, 1, 2);
  Expect({{replace, kRefused, L"could not be put back: it is deleted"}});
  EXPECT_EQ(Form(L"Label"), nullptr);
}

TEST_F(CliCommandsTest, WithoutAPrinterTheCommandsThatNeedOneEndNotFound) {
  sim_.RemoveAllPrinters();
  const std::wstring none = L"no printer is installed";
  Expect({{{L"printers", L"--csv"}, 0, L"Name,Default\n"},
          {{L"forms"}, kNotFound, none},
          {{L"form-find", L"8.5/11"}, kNotFound, none},
          {{L"form-select", L"Letter"}, kNotFound, none},
          {{L"install"}, kNotFound, none}});
}

// One line of doctor's write test: the check, its verdict and what was found.
std::vector<std::wstring> Lines(const Findings& findings) {
  std::vector<std::wstring> lines;
  for (const Finding& f : findings) {
    EXPECT_EQ(f.area, L"write test");
    lines.push_back(f.check + (f.ok ? L": ok: " : L": FAIL: ") + f.detail +
                    (f.error ? L" (" + Describe(*f.error) + L")" : L""));
  }
  return lines;
}

// On a spooler that keeps its forms the write test passes every step and leaves the printer as
// it was; doctor_test.sh runs it on Wine's spooler, which fails it.
TEST_F(CliCommandsTest, DoctorWriteTestPassesWhereTheSpoolerKeepsFormsAndReportsRefusals) {
  const std::vector<FormInfo> before = sim_.Forms();
  EXPECT_EQ(Lines(WriteTestFindings(component_, kPrinter)),
            (std::vector<std::wstring>{
                L"add the form \"Sheetlore doctor 1\" to Office Laser: ok: accepted",
                L"the form is listed after adding: ok: yes", L"delete the form: ok: done",
                L"the form is gone after deleting: ok: yes",
                L"the printer's forms are as before: ok: yes"}));
  EXPECT_EQ(sim_.Forms(), before);
  sim_.FailCall(sim::Api::AddForm);
  EXPECT_EQ(Lines(WriteTestFindings(component_, kPrinter)).front(),
            L"add the form \"Sheetlore doctor 1\" to Office Laser: FAIL: refused (AddForm failed "
            L"with error 5: Access is denied. (changing forms needs administrator rights on the "
            L"print server))");
  sim_.SetInjectedError(1903);
  sim_.FailCall(sim::Api::DeleteForm);
  const std::vector<std::wstring> lines = Lines(WriteTestFindings(component_, kPrinter));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2],
            L"delete the form: FAIL: refused (DeleteForm failed with error 1903: The specified "
            L"form size is invalid.)");
  EXPECT_EQ(lines[3], L"the form is gone after deleting: FAIL: still listed: delete it by hand");
  EXPECT_EQ(lines[4], L"the printer's forms are as before: FAIL: they differ");
  EXPECT_NE(Form(L"Sheetlore doctor 1"), nullptr);
}

// Each refusal of the spooler reaches the tool with the call, the error code and the system's
// text: on stderr, and as fields where a script reads the data.
TEST_F(CliCommandsTest, EachSpoolerRefusalShowsItsCallCodeAndText) {
  Expect({
      {{L"form-add", L"No Such Printer", L"A", L"1", L"1"},
       kNotFound,
       L"OpenPrinter failed with error 1801: The printer name is invalid."},
      {{L"form-add", kPrinter, L"letter", L"1", L"1"},
       kRefused,
       L"AddForm failed with error 80: The file exists."},
      {{L"form-show", kPrinter, L"LETTER"},
       kNotFound,
       L"GetForm failed with error 1902: The specified form name is invalid."},
  });
  const RunResult json = Run({L"form-add", L"No Such Printer", L"A", L"1", L"1", L"--json"});
  EXPECT_EQ(json.exitCode, kNotFound);
  EXPECT_NE(json.out.find(L"\"error\": {\"operation\": \"OpenPrinter\", \"code\": 1801, "
                          L"\"text\": \"The printer name is invalid.\"}"),
            std::wstring::npos)
      << json.out;
  const RunResult csv = Run({L"form-delete", kPrinter, L"Letter", L"--csv"});
  EXPECT_EQ(csv.out,
            L"Message,Error operation,Error code,Error text\n"
            L"\"the spooler refused to delete the form \"\"Letter\"\"\",DeleteForm,87,The "
            L"parameter is incorrect.\n");
  // Access denied is the one error with a hint; no other refusal guesses at rights.
  sim_.FailCall(sim::Api::AddForm);
  const RunResult denied = Run({L"form-add", kPrinter, L"New", L"1", L"1"});
  EXPECT_NE(denied.err.find(L"error 5: Access is denied. (changing forms needs administrator"),
            std::wstring::npos)
      << denied.err;
  for (const RunResult& other : {json, csv}) {
    EXPECT_EQ(other.err.find(L"administrator"), std::wstring::npos) << other.err;
  }
}

// A store file another program holds open gives its sharing error.
TEST_F(CliCommandsTest, AStoreHeldByAnotherProgramGivesItsSharingError) {
  ASSERT_EQ(Run({L"paper-store", L"A", L"1", L"1"}).exitCode, 0);
  sim_.HoldFile(kStore);
  const RunResult held = Run({L"paper-store", L"B", L"1", L"1"});
  EXPECT_EQ(held.exitCode, kRefused);
  EXPECT_NE(held.err.find(L"failed with error 32: The process cannot access the file because "
                          L"it is being used by another process."),
            std::wstring::npos)
      << held.err;
}

}  // namespace
}  // namespace sheetlore::cli
