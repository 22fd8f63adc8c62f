// sheetlore.exe's commands on the simulated platform: each command's output (text, JSON, CSV)
// and exit status, the refusals a real spooler gives (Wine's never does), a paper store that
// cannot be written, and no printer at all.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/doctor.h"
#include "cli/text_encoding.h"
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
        // With --json or --csv the error is on stdout too; text prints nothing there.
        const bool formatted = std::any_of(c.arguments.begin(), c.arguments.end(),
                                           [](const std::wstring& a) { return a == L"--json"; }) !=
                               std::any_of(c.arguments.begin(), c.arguments.end(),
                                           [](const std::wstring& a) { return a == L"--csv"; });
        EXPECT_EQ(result.out.empty(), !formatted) << result.out;
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
  // --version: the release's own version, numbers and dots, on stdout.
  const RunResult version = Run({L"--version"});
  EXPECT_EQ(version.exitCode, 0) << version.err;
  EXPECT_EQ(version.out, L"sheetlore " + ReleaseVersion() + L"\n");
  EXPECT_EQ(ReleaseVersion().find_first_not_of(L"0123456789."), std::wstring::npos);
  EXPECT_EQ(std::count(version.out.begin(), version.out.end(), L'.'), 2);
  EXPECT_EQ(Run({L"--version", L"papers"}).exitCode, Status(ExitCode::BadArguments));
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
      {{L"form-add", L"Narrow", L"10"}, kUsage, L"missing argument"},
      {{L"form-add", kPrinter, L"Narrow", L"10", L"5", L"--server", L"\\\\print01"},
       kUsage,
       L"give a printer or --server, not both"},
      {{L"forms", L"--server", L"print01"}, kUsage, L"--server takes a print server's name"},
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
      {{L"printers"}, 0, L"Printer       Default\nOffice Laser  yes\nLabel         no\n"},
      {{L"printers", L"--json"},
       0,
       L"[\n  {\n    \"printer\": \"Office Laser\",\n    \"default\": true\n  },\n"
       L"  {\n    \"printer\": \"Label\",\n    \"default\": false\n  }\n]\n"},
      {{L"--csv", L"printers"}, 0, L"\uFEFFprinter,default\nOffice Laser,true\nLabel,false\n"},
      {{L"forms", L"No Such Printer"},
       kNotFound,
       L"printer not found or cannot be opened: No Such Printer"},
  });
  // The tables' first lines.
  // Each form with its kind and printable area.
  AddUserForm({0, L"Label 10x5", 100000, 50000, 5000, 2500, 95000, 47500});
  AddUserForm({2, L"Driver Roll", 80000, 300000, 0, 0, 80000, 300000});
  RunResult result = Run({L"forms", L"Label"});
  EXPECT_TRUE(result.out.starts_with(
      L"No.  Form                            Kind     Width (cm)  Height (cm)  Left (cm)  "
      L"Top (cm)  Right (cm)  Bottom (cm)\n"
      L"  1  Letter                          builtin       21.59        27.94          0         "
      L"0       21.59        27.94\n"))
      << result.out;
  result = Run({L"forms", L"--csv"});
  EXPECT_TRUE(result.out.starts_with(
      L"\uFEFFnumber,form,kind,width_cm,height_cm,left_cm,top_cm,right_cm,bottom_cm\n"));
  EXPECT_NE(result.out.find(L"\n7,Executive,builtin,18.415,26.67,0,0,18.415,26.67\n8,"),
            std::wstring::npos);
  EXPECT_NE(result.out.find(L"\n9,A4,builtin,21,29.7,0,0,21,29.7\n"), std::wstring::npos);
  EXPECT_TRUE(result.out.ends_with(L",Label 10x5,user,10,5,0.5,0.25,9.5,4.75\n" +
                                   std::to_wstring(sim::BuiltinForms().size() + 2) +
                                   L",Driver Roll,printer,8,30,0,0,8,30\n"))
      << result.out;
  result = Run({L"forms", kPrinter, L"--json"});
  EXPECT_TRUE(result.out.starts_with(
      L"[\n  {\n    \"number\": 1,\n    \"form\": \"Letter\",\n    \"kind\": \"builtin\",\n"
      L"    \"width_cm\": 21.59,\n    \"height_cm\": 27.94,\n    \"left_cm\": 0,\n"
      L"    \"top_cm\": 0,\n    \"right_cm\": 21.59,\n    \"bottom_cm\": 27.94\n  },\n  {\n"))
      << result.out;
}

TEST_F(CliCommandsTest, FormCommandsChangeTheSpoolerAndReportIt) {
  Expect({
      {{L"form-show", kPrinter, L"Letter"},
       0,
       L"Printer:     Office Laser\nForm:        Letter\nKind:        builtin\nWidth (cm):  21.59\n"
       L"Height (cm): 27.94\nLeft (cm):   0\nTop (cm):    0\nRight (cm):  21.59\n"
       L"Bottom (cm): 27.94\n"},
      {{L"form-show", L"Label", L"A4", L"--json"},
       0,
       L"{\n  \"printer\": \"Label\",\n  \"form\": \"A4\",\n  \"kind\": \"builtin\",\n"
       L"  \"width_cm\": 21,\n  \"height_cm\": 29.7,\n  \"left_cm\": 0,\n  \"top_cm\": 0,\n"
       L"  \"right_cm\": 21,\n  \"bottom_cm\": 29.7\n}\n"},
      {{L"--csv", L"form-show", kPrinter, L"Envelope #10"},
       0,
       L"\uFEFFprinter,form,kind,width_cm,height_cm,left_cm,top_cm,right_cm,bottom_cm\n"
       L"Office Laser,Envelope #10,builtin,10.4775,24.13,0,0,10.4775,24.13\n"},
      {{L"form-show", L"No Such Printer", L"Letter"}, kNotFound, L"printer not found"},
      {{L"form-add", kPrinter, L"Narrow Label", L"5", L"2.5", L"--left", L"0.2", L"--right",
        L"4.8"},
       0,
       L"Printer: Office Laser\nForm:    Narrow Label\nStatus:  added\nNote:\n"},
      {{L"form-add", L"Label", L"Inch Label", L"4", L"6", L"--inches", L"--json"},
       0,
       L"{\n  \"printer\": \"Label\",\n  \"form\": \"Inch Label\",\n  \"status\": \"added\",\n"
       L"  \"note\": \"\"\n}\n"},
      {{L"form-add", kPrinter, L"Narrow Label", L"5", L"5"},
       kRefused,
       L"already has a form named \"Narrow Label\" of another size"},
      // The same form again changes nothing and says so.
      {{L"form-add", kPrinter, L"Narrow Label", L"5", L"2.5", L"--left", L"0.2", L"--right",
        L"4.8"},
       0,
       L"Printer: Office Laser\nForm:    Narrow Label\nStatus:  unchanged\nNote:    the same\n"},
      {{L"form-add", kPrinter, L"Inch Label", L"4", L"6", L"--replace"},
       0,
       L"Printer: Office Laser\nForm:    Inch Label\nStatus:  replaced\nNote:\n"},
      {{L"form-add", L"No Such Printer", L"Narrow", L"5", L"5"}, kNotFound, L"printer not found"},
      // Beyond the spooler's range: refused before the printer is asked, as paper-store does.
      {{L"form-add", kPrinter, L"Huge", L"300000", L"10"},
       kUsage,
       L"the form \"Huge\" is not added: a value is beyond the spooler's range"},
      {{L"form-find", L"8.5/11"},
       0,
       L"No.:         1\nForm:        Letter\nKind:        builtin\nWidth (cm):  21.59\n"
       L"Height (cm): 27.94\nLeft (cm):   0\nTop (cm):    0\nRight (cm):  21.59\n"
       L"Bottom (cm): 27.94\nStatus:      unchanged\n"},
      {{L"form-find", L"11/17", L"--printer", L"Label", L"--csv"},
       0,
       L"\uFEFFnumber,form,kind,width_cm,height_cm,left_cm,top_cm,right_cm,bottom_cm,status\n"
       L"3,Tabloid,builtin,27.94,43.18,0,0,27.94,43.18,unchanged\n"},
      {{L"form-find", L"8.5/11", L"--printer", L"No Such Printer"}, kNotFound, L"not found"},
      {{L"form-select", L"A4"},
       0,
       L"Printer: Office Laser\nForm:    A4\nStatus:  selected\nNote:\n"},
      {{L"form-select", L"Nope"}, kNotFound, L"no form named \"Nope\""},
      {{L"form-delete", kPrinter, L"Narrow Label"},
       0,
       L"Printer: Office Laser\nForm:    Narrow Label\nStatus:  deleted\nNote:\n"},
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
  EXPECT_EQ(
      found.out,
      L"{\n  \"number\": " + std::to_wstring(sim::BuiltinForms().size() + 2) +
          L",\n  \"form\": \"3/4\",\n  \"kind\": \"user\",\n  \"width_cm\": 7.62,\n"
          L"  \"height_cm\": 10.16,\n  \"left_cm\": 0,\n  \"top_cm\": 0,\n  \"right_cm\": 7.62,\n"
          L"  \"bottom_cm\": 10.16,\n  \"status\": \"added\"\n}\n");
  ASSERT_NE(Form(L"3/4"), nullptr);
  EXPECT_EQ(Form(L"3/4")->cy, 101600);
}

TEST_F(CliCommandsTest, PaperStoreCommandsAndInstall) {
  const std::wstring header = L"\uFEFFpaper,unit,width,height,left,top,right,bottom\n";
  Expect({
      {{L"install"}, 0, L"Paper  Width (cm)  Height (cm)  Status  Note\n"},
      {{L"papers"}, 0, L"Paper  Unit  Width  Height  Left  Top  Right  Bottom\n"},
      {{L"papers", L"--json"}, 0, L"[]\n"},
      {{L"paper-store", L"A5X", L"14.8", L"21"},
       0,
       L"Paper:  A5X\nUnit:   cm\nWidth:  14.8\nHeight: 21\nLeft:   0\nTop:    0\nRight:  0\n"
       L"Bottom: 0\n"},
      {{L"--csv", L"paper-store", L"Inch Letter", L"8.5", L"11", L"--inches", L"--left", L"0.25",
        L"--right", L"8.25", L"--top", L"0.5", L"--bottom", L"10.5"},
       0,
       header + L"Inch Letter,in,8.5,11,0.25,0.5,8.25,10.5\n"},
      {{L"paper-store", L"標籤紙", L"5", L"3", L"--json"},
       0,
       L"{\n  \"paper\": \"標籤紙\",\n  \"unit\": \"cm\",\n  \"width\": 5,\n  \"height\": 3,\n"
       L"  \"left\": 0,\n  \"top\": 0,\n  \"right\": 0,\n  \"bottom\": 0\n}\n"},
      {{L"papers"},
       0,
       L"Paper        Unit  Width  Height  Left  Top  Right  Bottom\n"
       L"A5X          cm     14.8      21     0    0      0       0\n"
       L"Inch Letter  in      8.5      11  0.25  0.5   8.25    10.5\n"
       L"標籤紙       cm        5       3     0    0      0       0\n"},
      {{L"--csv", L"paper-store", L"A5X", L"17", L"21"}, 0, header + L"A5X,cm,17,21,0,0,0,0\n"},
      {{L"paper-show", L"a5x", L"--csv"}, 0, header + L"A5X,cm,17,21,0,0,0,0\n"},
      {{L"paper-show", L"Nope"}, kNotFound, L"no paper named \"Nope\""},
      // CSV quotes a field holding a comma or a quote; JSON escapes the quote.
      {{L"paper-store", L"Label, \"big\"", L"10", L"5", L"--csv"},
       0,
       header + L"\"Label, \"\"big\"\"\",cm,10,5,0,0,0,0\n"},
      {{L"paper-show", L"label, \"BIG\"", L"--json"},
       0,
       L"{\n  \"paper\": \"Label, \\\"big\\\"\",\n  \"unit\": \"cm\",\n  \"width\": 10,\n"
       L"  \"height\": 5,\n  \"left\": 0,\n  \"top\": 0,\n  \"right\": 0,\n  \"bottom\": 0\n}\n"},
      {{L"paper-delete", L"Label, \"big\""}, 0, L"Paper:  Label, \"big\"\nStatus: deleted\n"},
      {{L"paper-delete", L"Nope"}, kNotFound, L"no paper named \"Nope\""},
      // A stored paper named like a form of the printer is kept as the printer has it.
      {{L"paper-store", L"Letter", L"10", L"10", L"--csv"},
       0,
       header + L"Letter,cm,10,10,0,0,0,0\n"},
      {{L"install", L"Label"},
       0,
       L"Paper        Width (cm)  Height (cm)  Status     Note\n"
       L"A5X                  17           21  added\n"
       L"Inch Letter       21.59        27.94  added\n"
       L"標籤紙                5            3  added\n"
       L"Letter               10           10  unchanged  differs; --replace replaces it\n"},
      {{L"install", L"No Such Printer"}, kNotFound, L"printer not found"},
      // Another spelling finds the paper as the profile service matches names.
      {{L"paper-delete", L" a5x"}, 0, L"Paper:  A5X\nStatus: deleted\n"},
      {{L"papers", L"--csv"},
       0,
       header + L"Inch Letter,in,8.5,11,0.25,0.5,8.25,10.5\n標籤紙,cm,5,3,0,0,0,0\n"
                L"Letter,cm,10,10,0,0,0,0\n"},
  });
  EXPECT_EQ(sim_.FileText(kStore).find(L"A5X"), std::wstring::npos);
  // The built-in Letter cannot be replaced; the other papers can.
  const RunResult replaced = Run({L"install", L"--replace", L"--csv"});
  EXPECT_EQ(replaced.exitCode, kRefused);
  EXPECT_EQ(replaced.out,
            L"\uFEFFpaper,width_cm,height_cm,status,note,error_operation,error_code,error_text\n"
            L"Inch Letter,21.59,27.94,replaced,,,,\n標籤紙,5,3,replaced,,,,\n"
            L"Letter,10,10,failed,the spooler refused to delete the old form,DeleteForm,87,The "
            L"parameter is incorrect.\n");
  EXPECT_NE(replaced.err.find(L"1 paper(s) could not be installed"), std::wstring::npos)
      << replaced.err;
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
  EXPECT_EQ(papers.out,
            L"\uFEFFpaper,unit,width,height,left,top,right,bottom\nA5X,cm,14.8,21,0,0,0,0\n");
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
            L"\uFEFFpaper,width_cm,height_cm,status,note\nA5X,14.8,21,unchanged,the same\n"
            L"Wide,,,failed,unreadable: a stored value cannot be read (error 6: Overflow); correct "
            L"it with paper-store or remove it with paper-delete\n"
            L"Unit,,,failed,unreadable: a stored value cannot be read (error 6: Overflow); correct "
            L"it with paper-store or remove it with paper-delete\n");
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

// One check of the size and printable area for every form and paper, with one message; margins
// read as the print server's forms dialog reads them.
TEST_F(CliCommandsTest, SizesAndPrintableAreasAreCheckedAlikeAndMarginsAreFromEachEdge) {
  const std::wstring rule = L"the printable area must lie inside the sheet";
  Expect({
      {{L"form-add", kPrinter, L"X", L"10", L"5", L"--left", L"5", L"--right", L"2"},
       kUsage,
       L"the form \"X\" is not added: " + rule},
      {{L"form-add", kPrinter, L"X", L"10", L"5", L"--left", L"20"}, kUsage, rule},
      {{L"paper-store", L"X", L"10", L"5", L"--left", L"5", L"--right", L"2"},
       kUsage,
       L"\"X\" is not stored: " + rule},
      {{L"form-add", kPrinter, L"X", L"1e9", L"5"}, kUsage, L"beyond the spooler's range"},
      {{L"form-add", kPrinter, L"X", L"0.00001", L"5"}, kUsage, L"must be above 0"},
      {{L"form-add", kPrinter, L"X", L"10", L"5", L"--margins", L"1,2,3"}, kUsage, L"--margins"},
      {{L"form-add", kPrinter, L"X", L"10", L"5", L"--margins", L"1,1,1,1", L"--left", L"1"},
       kUsage,
       L"--margins and --left cannot be used together"},
      // Margins that leave nothing: a right edge of 0 would mean the whole width.
      {{L"form-add", kPrinter, L"X", L"10", L"5", L"--margins", L"4,0,6,0"}, kUsage, rule},
      {{L"form-add", kPrinter, L"Margined", L"10", L"5", L"--margins", L"1,0.5,2,0.25"},
       0,
       L"Printer: Office Laser\nForm:    Margined\nStatus:  added\nNote:\n"},
      {{L"paper-store", L"Inch", L"8.5", L"11", L"--inches", L"--margins", L"0.25,0.5,0.25,0.5",
        L"--csv"},
       0,
       L"\uFEFFpaper,unit,width,height,left,top,right,bottom\nInch,in,8.5,11,0.25,0.5,8.25,10.5\n"},
  });
  EXPECT_EQ(*Form(L"Margined"),
            (FormInfo{0, L"Margined", 100000, 50000, 10000, 5000, 80000, 47500}));
  EXPECT_EQ(Form(L"X"), nullptr);
}

// Whether a form of a name exists is the spooler's answer (GetForm), whatever its rule for
// letter case: Wine's finds only the exact name, Windows may find any spelling.
TEST_F(CliCommandsTest, FormNamesMatchAsTheSpoolerMatchesThem) {
  ASSERT_EQ(Run({L"paper-store", L"letter", L"10", L"5"}).exitCode, 0);
  Expect({{{L"form-add", kPrinter, L"a4", L"10", L"5"},
           0,
           L"Printer: Office Laser\nForm:    a4\nStatus:  added\nNote:\n"}});
  EXPECT_NE(Run({L"install", L"--csv"}).out.find(L"\nletter,10,5,added"), std::wstring::npos);

  sim_.SetForms(sim::BuiltinForms());
  sim_.SetFormNamesMatchAnyCase(true);
  AddUserForm({0, L"Label", 10000, 10000, 0, 0, 10000, 10000});
  Expect({
      {{L"form-add", kPrinter, L"a4", L"10", L"5"}, kRefused, L"already has a form named \"A4\""},
      {{L"form-add", kPrinter, L"LABEL", L"10", L"5", L"--replace"},
       0,
       L"Printer: Office Laser\nForm:    LABEL\nStatus:  replaced\nNote:\n"},
  });
  EXPECT_NE(Run({L"install", L"--csv"}).out.find(L"\nletter,10,5,unchanged,differs"),
            std::wstring::npos);
  EXPECT_EQ(Form(L"Label"), nullptr);
  EXPECT_EQ(Form(L"LABEL")->cx, 100000);
  EXPECT_EQ(Form(L"Letter")->cx, 215900);
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

// Forms belong to the print server: without any printer (a new machine, the SYSTEM account of
// a management agent) the local print server still lists and takes them (OpenPrinter with a
// null name); only the commands about a printer's own settings need a printer.
TEST_F(CliCommandsTest, WithoutAPrinterFormsGoToTheLocalPrintServer) {
  sim_.RemoveAllPrinters();
  ASSERT_EQ(Run({L"paper-store", L"Ticket", L"8", L"4"}).exitCode, 0);
  const std::wstring none = L"no printer is installed";
  sim_.ClearCalls();
  Expect(
      {{{L"printers", L"--csv"}, 0, L"\uFEFFprinter,default\n"},
       {{L"form-find", L"8.5/11"}, kNotFound, none},
       {{L"form-select", L"Letter"}, kNotFound, none},
       {{L"form-add", L"Label", L"10", L"5", L"--json"},
        0,
        L"{\n  \"server\": \"(local)\",\n  \"form\": \"Label\",\n  \"status\": "
        L"\"added\",\n  \"note\": \"\"\n}\n"},
       {{L"install", L"--csv"},
        0,
        L"\uFEFFpaper,width_cm,height_cm,status,note\nTicket,8,4,added,\n"},
       {{L"form-show", L"Ticket", L"--csv"},
        0,
        L"\uFEFFserver,form,kind,width_cm,height_cm,left_cm,top_cm,right_cm,bottom_cm\n"
        L"(local),Ticket,user,8,4,0,0,8,4\n"},
       {{L"form-delete", L"Label"}, 0, L"Server: (local)\nForm:   Label\nStatus: deleted\nNote:\n"},
       {{L"form-delete", L"Label"},
        kNotFound,
        L"no form named \"Label\" on the local print server"}});
  const RunResult forms = Run({L"forms", L"--csv"});
  EXPECT_EQ(forms.exitCode, 0);
  EXPECT_TRUE(forms.out.ends_with(L"\n117,Ticket,user,8,4,0,0,8,4\n")) << forms.out;
  WriteFile("library.json", R"({"format": "sheetlore-paper-library", "version": 1, "papers": [
    {"name": "Ticket", "unit": "cm", "width": 8, "height": 4}]})");
  EXPECT_EQ(Run({L"apply", PathOf("library.json"), L"--check"}).exitCode, 0);
  // Every server was opened by a null name, and closed again.
  for (const sim::Call& call : sim_.Calls()) {
    if (call.api == sim::Api::OpenPrinter) {
      EXPECT_EQ(call.args[0], sim::kNull);
    }
  }
  EXPECT_EQ(sim_.OpenHandleCount(), 0u);
}

// --server \\NAME: the forms of that print server, opened by its name.
TEST_F(CliCommandsTest, AServerNamedWithServerIsOpenedByItsName) {
  sim_.AddPrinter(L"\\\\print01\\Front Desk");
  sim_.ClearCalls();
  Expect({{{L"form-add", L"Slip", L"8", L"4", L"--server", L"\\\\print01", L"--csv"},
           0,
           L"\uFEFFserver,form,status,note\n\\\\print01,Slip,added,\n"},
          {{L"forms", L"--server", L"\\\\print02"},
           kNotFound,
           L"print server not found or cannot be opened: \\\\print02"}});
  EXPECT_EQ(sim_.Calls().front().args[0], L"\\\\print01");
  EXPECT_NE(Form(L"Slip"), nullptr);
}

// default-form: the current user's own settings, or every user's; what the driver kept is read
// back and reported.
TEST_F(CliCommandsTest, DefaultFormSetsWhatAPrinterStartsWithAndReadsItBack) {
  const std::wstring header = L"\uFEFFprinter,scope,form,status,note\n";
  const auto formOf = [](const std::vector<std::uint8_t>& record) {
    return sim::devmode::ReadName(record, sim::devmode::kFormName);
  };
  const std::wstring everyUsers = formOf(sim_.DeviceSettings(kPrinter));
  Expect({
      {{L"default-form", kPrinter, L"A4", L"--csv"},
       0,
       header + L"Office Laser,current user,A4,replaced,\n"},
      {{L"default-form", kPrinter, L"--csv"},
       0,
       header + L"Office Laser,current user,A4,unchanged,\n"},
      {{L"default-form", kPrinter, L"A5", L"--all-users", L"--csv"},
       0,
       header + L"Office Laser,all users,A5,replaced,\n"},
      {{L"default-form", kPrinter, L"Nope"}, kNotFound, L"no form named \"Nope\""},
      {{L"default-form", L"Nowhere", L"A4"}, kNotFound, L"printer not found"},
  });
  EXPECT_EQ(formOf(*sim_.UserSettings(kPrinter)), L"A4");
  EXPECT_EQ(formOf(sim_.DeviceSettings(kPrinter)), L"A5");
  EXPECT_NE(everyUsers, L"A5");
  // The merged record names the form alone: no paper size of the old form overrides it.
  EXPECT_EQ(sim::devmode::ReadU32(*sim_.LastMergeInput(), sim::devmode::kFields) & 0xE, 0u);
  // A driver that does not keep the form: the read-back says so.
  AddUserForm({0, L"Cheque", 100000, 50000, 0, 0, 100000, 50000});
  sim_.SetDriverForms({L"A4", L"A5"});
  const RunResult kept = Run({L"default-form", kPrinter, L"Cheque", L"--csv"});
  EXPECT_EQ(kept.exitCode, kRefused);
  EXPECT_EQ(kept.out, header +
                          L"Office Laser,current user,A4,failed,the driver kept A4 instead of "
                          L"Cheque\n");
  sim_.FailCall(sim::Api::SetPrinter);
  Expect({{{L"default-form", kPrinter, L"A5", L"--all-users"},
           kRefused,
           L"for all users it needs administrator rights"}});
}

// One line of doctor's write test: the check, its verdict, what was found and, for a failure,
// the remedy. Every check names the printer in its own member, never in its identifier.
std::vector<std::wstring> Lines(const Findings& findings) {
  std::vector<std::wstring> lines;
  for (const Finding& f : findings) {
    EXPECT_EQ(f.printer, std::optional<std::wstring>(L"Office Laser")) << f.check;
    EXPECT_EQ(f.check.find(L"Office"), std::wstring::npos) << f.check;
    EXPECT_EQ(f.remedy.has_value(), !f.ok) << f.check;
    lines.push_back(f.check + (f.ok ? L": ok: " : L": FAIL: ") + f.detail +
                    (f.error ? L" (" + Describe(*f.error) + L")" : L""));
  }
  return lines;
}

// On a spooler that keeps its forms the write test passes every step and leaves the printer as
// it was; doctor_test.sh runs it on Wine's spooler, which fails it.
TEST_F(CliCommandsTest, DoctorWriteTestPassesWhereTheSpoolerKeepsFormsAndReportsRefusals) {
  const std::vector<FormInfo> before = sim_.Forms();
  EXPECT_EQ(
      Lines(WriteTestFindings(component_, kPrinter)),
      (std::vector<std::wstring>{
          L"write_test.add: ok: accepted the form \"Sheetlore doctor 1\"",
          L"write_test.listed_after_adding: ok: yes", L"write_test.delete: ok: done",
          L"write_test.gone_after_deleting: ok: yes", L"write_test.forms_as_before: ok: yes"}));
  EXPECT_EQ(sim_.Forms(), before);
  sim_.FailCall(sim::Api::AddForm);
  EXPECT_EQ(Lines(WriteTestFindings(component_, kPrinter)).front(),
            L"write_test.add: FAIL: refused the form \"Sheetlore doctor 1\" (AddForm failed "
            L"with error 5: Access is denied. (changing forms needs administrator rights on the "
            L"print server))");
  sim_.SetInjectedError(1903);
  sim_.FailCall(sim::Api::DeleteForm);
  const std::vector<std::wstring> lines = Lines(WriteTestFindings(component_, kPrinter));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2],
            L"write_test.delete: FAIL: refused (DeleteForm failed with error 1903: The specified "
            L"form size is invalid.)");
  EXPECT_EQ(lines[3], L"write_test.gone_after_deleting: FAIL: still listed");
  EXPECT_EQ(lines[4], L"write_test.forms_as_before: FAIL: they differ");
  EXPECT_NE(Form(L"Sheetlore doctor 1"), nullptr);
}

// doctor's report: JSON with a boolean verdict and one object per check, its printer in a
// member of its own; a printer that does not exist ends with "not found" like every other
// command, any other failing check with 1.
TEST_F(CliCommandsTest, DoctorReportsBooleanVerdictsAndEndsNotFoundForAMissingPrinter) {
  const Findings healthy = {{L"store.present", true, L"yes"},
                            PrinterOpenFinding(component_, kPrinter)};
  CommandOutcome outcome = DoctorOutcome(healthy);
  EXPECT_EQ(outcome.exit, ExitCode::Success);
  ASSERT_TRUE(outcome.json);
  const nlohmann::json report = nlohmann::json::parse(ToUtf8(*outcome.json));
  EXPECT_EQ(report["ok"], true);
  ASSERT_EQ(report["checks"].size(), 2u);
  EXPECT_EQ(report["checks"][0],
            nlohmann::json::parse(R"({"check": "store.present", "printer": null, "ok": true,
                                      "detail": "yes", "remedy": null})"));
  EXPECT_EQ(report["checks"][1]["check"], "printer.opens");
  EXPECT_EQ(report["checks"][1]["printer"], "Office Laser");
  EXPECT_EQ(report["checks"][1]["ok"], true);

  Findings broken = healthy;
  broken.push_back({L"store.encoding", false, L"UTF-16 BE", L"save it as UTF-16 LE"});
  outcome = DoctorOutcome(broken);
  EXPECT_EQ(outcome.exit, ExitCode::Failure);
  EXPECT_EQ(outcome.message, L"1 of 3 checks failed");
  EXPECT_EQ(nlohmann::json::parse(ToUtf8(*outcome.json))["ok"], false);

  broken.push_back(PrinterOpenFinding(component_, L"Nosuch"));
  outcome = DoctorOutcome(broken);
  EXPECT_EQ(outcome.exit, ExitCode::NotFound);
  const nlohmann::json missing = nlohmann::json::parse(ToUtf8(*outcome.json))["checks"][3];
  EXPECT_EQ(missing["check"], "printer.opens");
  EXPECT_EQ(missing["printer"], "Nosuch");
  EXPECT_EQ(missing["ok"], false);
  EXPECT_TRUE(missing["remedy"].is_string());
  // The text and CSV table: the verdict word and the remedy beside what was found.
  const std::wstring text = RenderCsv(outcome.table);
  EXPECT_NE(text.find(L"store.encoding,,FAIL,UTF-16 BE,save it as UTF-16 LE"), std::wstring::npos)
      << text;
}

// Each refusal of the spooler reaches the tool with the call, the error code and the system's
// text: on stderr, and as fields where a script reads the data.
TEST_F(CliCommandsTest, EachSpoolerRefusalShowsItsCallCodeAndText) {
  sim_.FailCall(sim::Api::AddForm);  // a name taken meanwhile by another administrator
  sim_.SetInjectedError(80);
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
  sim_.SetInjectedError(5);
  const RunResult json = Run({L"form-add", L"No Such Printer", L"A", L"1", L"1", L"--json"});
  EXPECT_EQ(json.exitCode, kNotFound);
  EXPECT_EQ(
      json.out,
      L"{\"error\": {\"message\": \"printer not found or cannot be opened: No Such Printer\", "
      L"\"status\": 3, \"operation\": \"OpenPrinter\", \"code\": 1801, \"text\": \"The printer "
      L"name is invalid.\"}}\n");
  const RunResult csv = Run({L"form-delete", kPrinter, L"Letter", L"--csv"});
  EXPECT_EQ(csv.out,
            L"\uFEFFerror_message,error_status,error_operation,error_code,error_text\n"
            L"\"the spooler refused to delete the form \"\"Letter\"\"\",4,DeleteForm,87,The "
            L"parameter is incorrect.\n");
  // Every other failure gives the error object too: bad arguments, a run-time error.
  EXPECT_EQ(Run({L"form-add", kPrinter, L"N", L"21cm", L"10", L"--json"}).out,
            L"{\"error\": {\"message\": \"the width is not a number: \\\"21cm\\\"\", "
            L"\"status\": 2}}\n");
  EXPECT_EQ(Run({L"form-add", kPrinter, L"Huge", L"300000", L"10", L"--json"}).out,
            L"{\"error\": {\"message\": \"the form \\\"Huge\\\" is not added: a value is beyond "
            L"the spooler's range (at most 214748 cm)\", \"status\": 2}}\n");
  EXPECT_EQ(Run({L"--json"}).out,
            L"{\"error\": {\"message\": \"no command given\", \"status\": 2}}\n");
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

// A spooler that answers success without keeping the change (Wine's does): every command that
// changes forms reads them back and reports such a change as failed, never as done.
TEST_F(CliCommandsTest, AChangeTheSpoolerAcceptsWithoutKeepingIsReportedAsFailed) {
  ASSERT_EQ(Run({L"form-add", kPrinter, L"Kept", L"5", L"5"}).exitCode, 0);
  ASSERT_EQ(Run({L"paper-store", L"Dropped", L"5", L"3"}).exitCode, 0);
  const std::vector<FormInfo> before = sim_.Forms();
  sim_.DropFormChanges(true);
  const std::wstring notShown = L", but the printer's forms do not show it";
  Expect({
      {{L"form-add", kPrinter, L"Label 10x5", L"10", L"5"},
       kRefused,
       L"the spooler reported the form \"Label 10x5\" added" + notShown},
      {{L"form-add", kPrinter, L"Kept", L"6", L"6", L"--replace"},
       kRefused,
       L"\"Kept\" replaced" + notShown},
      {{L"form-delete", kPrinter, L"Kept"}, kRefused, L"\"Kept\" deleted" + notShown},
      {{L"form-find", L"3/4"}, kRefused, L"\"3/4\" added" + notShown},
  });
  const RunResult install = Run({L"install", L"--csv"});
  EXPECT_EQ(install.exitCode, kRefused);
  EXPECT_EQ(install.out,
            L"\uFEFFpaper,width_cm,height_cm,status,note\n"
            L"Dropped,5,3,failed,\"the spooler reported added" +
                notShown + L"\"\n");
  EXPECT_EQ(sim_.Forms(), before);
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

// One row of README's table of output members.
struct MemberRule {
  std::set<std::string> types;     // "text", "number", "boolean", "object", "null"
  std::set<std::string> words;     // the words in backticks of what it holds (status values)
  std::set<std::string> commands;  // the commands that print it
};

// The texts between pairs of backticks. (Plain scanning: std::regex trips GCC 12's
// uninitialised-use warning in the sanitizer build.)
std::vector<std::string> Backticked(const std::string& text) {
  std::vector<std::string> words;
  for (std::size_t open = text.find('`'); open != std::string::npos;) {
    const std::size_t close = text.find('`', open + 1);
    if (close == std::string::npos) break;
    if (close > open + 1) words.push_back(text.substr(open + 1, close - open - 1));
    open = text.find('`', close + 1);
  }
  return words;
}

// The runs of lower-case letters in a text ("number or null": number, or, null).
std::vector<std::string> LowerCaseWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text + ' ') {
    if (c >= 'a' && c <= 'z') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

// The table under "Output for scripts" in README.md: the one place the members are written down.
std::map<std::string, MemberRule> ReadmeSchema() {
  std::ifstream readme(SHEETLORE_README);
  std::map<std::string, MemberRule> schema;
  std::string line;
  bool inTable = false;
  while (std::getline(readme, line)) {
    if (line.starts_with("| member | JSON type |")) {
      inTable = std::getline(readme, line).good();  // the separator row
      continue;
    }
    if (!inTable) continue;
    if (!line.starts_with("|")) break;
    std::vector<std::string> cells;
    std::size_t start = 1;
    for (std::size_t bar = line.find('|', start); bar != std::string::npos;
         bar = line.find('|', start)) {
      cells.push_back(line.substr(start, bar - start));
      start = bar + 1;
    }
    if (cells.size() != 4) {
      ADD_FAILURE() << "a row of the table has not 4 cells: " << line;
      continue;
    }
    MemberRule rule;
    for (const std::string& word : LowerCaseWords(cells[1])) {
      if (word != "or") rule.types.insert(word);
    }
    for (const std::string& word : Backticked(cells[2])) rule.words.insert(word);
    for (const std::string& command : Backticked(cells[3])) rule.commands.insert(command);
    for (const std::string& member : Backticked(cells[0])) schema[member] = rule;
  }
  return schema;
}

std::string JsonType(const nlohmann::ordered_json& value) {
  if (value.is_string()) return "text";
  if (value.is_number()) return "number";
  if (value.is_boolean()) return "boolean";
  if (value.is_object()) return "object";
  if (value.is_null()) return "null";
  return "array";
}

// Every command's JSON holds exactly the members README's table lists for it, of the types it
// gives, with statuses from its words; the CSV header names the same members.
TEST_F(CliCommandsTest, EveryCommandPrintsTheMembersOfTheReadmeTable) {
  const std::map<std::string, MemberRule> schema = ReadmeSchema();
  ASSERT_GE(schema.size(), 20u) << "README's table of output members was not found";
  ASSERT_EQ(Run({L"paper-store", L"A5X", L"14.8", L"21"}).exitCode, 0);
  ASSERT_EQ(Run({L"paper-store", L"Letter", L"10", L"10"}).exitCode, 0);  // a built-in's name
  ASSERT_TRUE(component_.IniWriteValue(L"Code seven", 7, 10, 20, 0, 0, 0, 0));
  AddUserForm({0, L"Hand made", 50000, 30000, 1000, 1000, 49000, 29000});
  AddUserForm({2, L"Driver Roll", 80000, 300000, 0, 0, 80000, 300000});
  const std::wstring library = PathOf("library.json");
  const std::vector<std::vector<std::wstring>> commands = {
      {L"printers"},
      {L"forms"},
      {L"form-show", kPrinter, L"Hand made"},
      {L"form-add", kPrinter, L"Label", L"10", L"5"},
      {L"form-add", kPrinter, L"Label", L"10", L"5"},
      {L"form-find", L"3/4"},
      {L"form-find", L"8.5/11"},
      {L"form-select", L"A4"},
      {L"default-form", kPrinter, L"A4"},
      {L"form-delete", kPrinter, L"Label"},
      {L"papers"},
      {L"paper-show", L"Code seven"},
      {L"paper-store", L"B6", L"12.5", L"17.6"},
      {L"paper-export", library},
      {L"paper-import", library},
      {L"capture", kPrinter, L"--all"},
      {L"install", L"--replace"},
      {L"apply", library, kPrinter, L"--check"},
      {L"apply", library, kPrinter},
      {L"paper-delete", L"B6"},
      {L"store-convert", L"--codepage", L"65001", L"--dry-run"},
  };
  std::set<std::wstring> covered;
  for (const std::vector<std::wstring>& arguments : commands) {
    const std::string command = ToUtf8(arguments[0]);
    SCOPED_TRACE(command);
    covered.insert(arguments[0]);
    // The CSV first, on a copy of the state that the JSON run then starts from again.
    const std::vector<FormInfo> forms = sim_.Forms();
    const std::wstring store = sim_.FileText(kStore);
    std::vector<std::wstring> csvArguments = arguments;
    csvArguments.push_back(L"--csv");
    const std::wstring csv = Run(csvArguments).out;
    sim_.SetForms(forms);
    sim_.SetFileText(kStore, store);
    std::vector<std::wstring> asJson = arguments;
    asJson.push_back(L"--json");
    const RunResult result = Run(asJson);
    const auto parsed = nlohmann::ordered_json::parse(ToUtf8(result.out), nullptr, false);
    ASSERT_FALSE(parsed.is_discarded()) << result.out << result.err;
    ASSERT_EQ(parsed.contains("error") && parsed["error"].contains("message"), false) << result.out;
    const nlohmann::ordered_json rows =
        parsed.is_array() ? parsed : nlohmann::ordered_json::array({parsed});
    ASSERT_FALSE(rows.empty()) << result.out;
    bool anyError = false;
    for (const nlohmann::ordered_json& row : rows) {
      for (const auto& [member, value] : row.items()) {
        const auto rule = schema.find(member);
        if (rule == schema.end()) {
          ADD_FAILURE() << "\"" << member << "\" is not in README's table";
          continue;
        }
        EXPECT_TRUE(rule->second.types.count(JsonType(value))) << member << ": " << value;
        EXPECT_TRUE(rule->second.commands.count(command)) << member << " is not listed for it";
        if (member == "status") {
          EXPECT_TRUE(rule->second.words.count(value)) << value;
        }
        anyError = anyError || (member == "error" && !value.is_null());
      }
      for (const auto& [member, rule] : schema) {
        if (rule.commands.count(command)) {
          EXPECT_TRUE(row.contains(member)) << member;
        }
      }
    }
    // The CSV header: the same members, an error as its three fields where a row has one.
    std::wstring expected = L"\uFEFF";
    for (const auto& [member, value] : rows.front().items()) {
      static_cast<void>(value);
      if (member == "error" && !anyError) continue;
      if (expected.size() > 1) expected += L",";
      expected +=
          member == "error" ? L"error_operation,error_code,error_text" : FromUtf8(member).value();
    }
    EXPECT_EQ(csv.substr(0, csv.find(L'\n')), expected);
  }
  // A command added later is added to this list, and so to the table.
  for (const Command& command : AllCommands()) {
    if (command.name != L"dialog") {
      EXPECT_TRUE(covered.count(command.name)) << ToUtf8(command.name);
    }
  }
}

}  // namespace
}  // namespace sheetlore::cli
