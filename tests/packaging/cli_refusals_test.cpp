// sheetlore.exe's commands on the simulated platform, for what Wine's spooler cannot show:
// refusals (Wine's AddForm and DeleteForm always succeed), a paper store that cannot be
// written, and no printer at all. Each test runs the command line as the program does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/run.h"
#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore::cli {
namespace {

const std::wstring kPrinter = L"Office Laser";
const std::wstring kStore = L"C:\\Tools\\PrintSet.ini";

class CliRefusalsTest : public ::testing::Test {
 protected:
  CliRefusalsTest() {
    sim_.AddPrinter(kPrinter);
    sim_.SetComponentDirectory(L"C:\\Tools");
  }

  RunResult Run(std::vector<std::wstring> arguments) { return cli::Run(arguments, component_); }

  const FormInfo* Form(const std::wstring& name) const {
    for (const FormInfo& form : sim_.Forms()) {
      if (form.name == name) return &form;
    }
    return nullptr;
  }

  sim::SimPlatform sim_;
  ClsPrint component_{sim_.platform()};
};

constexpr int kRefused = static_cast<int>(ExitCode::Refused);
constexpr int kNotFound = static_cast<int>(ExitCode::NotFound);

TEST_F(CliRefusalsTest, RefusedAddAndDeleteEndWithTheRefusedStatus) {
  sim_.FailCall(sim::Api::AddForm);
  RunResult result = Run({L"form-add", kPrinter, L"Label", L"10", L"5"});
  EXPECT_EQ(result.exitCode, kRefused);
  EXPECT_NE(result.err.find(L"refused to add the form \"Label\""), std::wstring::npos)
      << result.err;
  EXPECT_EQ(result.out, L"");
  EXPECT_EQ(Form(L"Label"), nullptr);

  // The built-in forms cannot be deleted.
  result = Run({L"form-delete", kPrinter, L"Letter"});
  EXPECT_EQ(result.exitCode, kRefused);
  EXPECT_NE(result.err.find(L"built-in forms cannot be deleted"), std::wstring::npos);
  EXPECT_NE(Form(L"Letter"), nullptr);
}

TEST_F(CliRefusalsTest, ARefusedReplacementPutsTheOldFormBack) {
  ASSERT_EQ(Run({L"form-add", kPrinter, L"Label", L"10", L"5", L"--left", L"1"}).exitCode, 0);
  sim_.FailCall(sim::Api::AddForm);  // the new form; the old one's return succeeds
  const RunResult result = Run({L"form-add", kPrinter, L"Label", L"20", L"8", L"--replace"});
  EXPECT_EQ(result.exitCode, kRefused);
  EXPECT_NE(result.err.find(L"the old one is back"), std::wstring::npos) << result.err;
  const FormInfo* label = Form(L"Label");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->cx, 100000);
  EXPECT_EQ(label->cy, 50000);
  EXPECT_EQ(label->left, 10000);
  EXPECT_EQ(label->right, 100000);
}

TEST_F(CliRefusalsTest, AReplacementWhoseOldFormCannotReturnSaysSo) {
  ASSERT_EQ(Run({L"form-add", kPrinter, L"Label", L"10", L"5"}).exitCode, 0);
  sim_.FailCall(sim::Api::AddForm, 1, 2);
  const RunResult result = Run({L"form-add", kPrinter, L"Label", L"20", L"8", L"--replace"});
  EXPECT_EQ(result.exitCode, kRefused);
  EXPECT_NE(result.err.find(L"could not be put back: it is deleted"), std::wstring::npos)
      << result.err;
  EXPECT_EQ(Form(L"Label"), nullptr);
}

TEST_F(CliRefusalsTest, AReplacementWhoseDeleteIsRefusedChangesNothing) {
  ASSERT_EQ(Run({L"form-add", kPrinter, L"Label", L"10", L"5"}).exitCode, 0);
  sim_.FailCall(sim::Api::DeleteForm);
  sim_.ClearCalls();
  const RunResult result = Run({L"form-add", kPrinter, L"Label", L"20", L"8", L"--replace"});
  EXPECT_EQ(result.exitCode, kRefused);
  EXPECT_EQ(sim_.CountCalls(sim::Api::AddForm), 0u);
  ASSERT_NE(Form(L"Label"), nullptr);
  EXPECT_EQ(Form(L"Label")->cx, 100000);
}

TEST_F(CliRefusalsTest, InstallReportsEachPaperAndEndsRefusedWhenOneWasRefused) {
  ASSERT_EQ(Run({L"paper-store", L"A5X", L"14.8", L"21"}).exitCode, 0);
  ASSERT_EQ(Run({L"paper-store", L"Half", L"5.5", L"8.5", L"--inches"}).exitCode, 0);
  sim_.FailCall(sim::Api::AddForm, 2);
  const RunResult result = Run({L"install", L"--csv"});
  EXPECT_EQ(result.exitCode, kRefused);
  EXPECT_EQ(result.out,
            L"Paper,Width (cm),Height (cm),Status\n"
            L"A5X,14.8,21,added\n"
            L"Half,13.97,21.59,refused\n");
  EXPECT_NE(result.err.find(L"refused some papers"), std::wstring::npos);
  ASSERT_NE(Form(L"A5X"), nullptr);
  EXPECT_EQ(Form(L"A5X")->cy, 210000);
  EXPECT_EQ(Form(L"Half"), nullptr);
}

TEST_F(CliRefusalsTest, FormFindWhoseAddIsRefused) {
  sim_.FailCall(sim::Api::AddForm);
  const RunResult result = Run({L"form-find", L"3/4"});
  EXPECT_EQ(result.exitCode, kRefused);
  EXPECT_EQ(Form(L"3/4"), nullptr);
}

TEST_F(CliRefusalsTest, AStoreThatCannotBeWrittenIsRefusedAndKeepsItsPapers) {
  ASSERT_EQ(Run({L"paper-store", L"A5X", L"14.8", L"21"}).exitCode, 0);
  sim_.MakeReadOnly(kStore);
  RunResult result = Run({L"paper-store", L"B6", L"12.5", L"17.6"});
  EXPECT_EQ(result.exitCode, kRefused);
  EXPECT_NE(result.err.find(L"could not be written: C:\\Tools\\PrintSet.ini"), std::wstring::npos)
      << result.err;
  result = Run({L"paper-delete", L"A5X"});
  EXPECT_EQ(result.exitCode, kRefused);
  result = Run({L"papers", L"--csv"});
  EXPECT_EQ(result.out, L"Name,Unit,Width,Height,Left,Right,Top,Bottom\nA5X,cm,14.8,21,0,0,0,0\n");
}

TEST_F(CliRefusalsTest, WithoutAPrinterTheCommandsThatNeedOneEndNotFound) {
  sim_.RemoveAllPrinters();
  EXPECT_EQ(Run({L"printers", L"--csv"}).out, L"Name,Default\n");
  for (const std::vector<std::wstring>& command : std::vector<std::vector<std::wstring>>{
           {L"forms"}, {L"form-find", L"8.5/11"}, {L"form-select", L"Letter"}, {L"install"}}) {
    const RunResult result = Run(command);
    EXPECT_EQ(result.exitCode, kNotFound) << command.front();
    EXPECT_NE(result.err.find(L"no printer is installed"), std::wstring::npos) << result.err;
  }
}

TEST_F(CliRefusalsTest, ARunTimeErrorOfTheComponentEndsWithStatusOne) {
  ASSERT_EQ(Run({L"paper-store", L"A5X", L"14.8", L"21"}).exitCode, 0);
  // A stored unit code beyond a byte is an overflow when the paper is read.
  sim_.SetFileText(kStore, L"[PrintMain]\r\nA5X=A5X\r\n[A5X]\r\nmMode=300\r\nW=1\r\nH=1\r\n");
  const RunResult result = Run({L"paper-show", L"A5X"});
  EXPECT_EQ(result.exitCode, static_cast<int>(ExitCode::Failure));
  EXPECT_EQ(result.err, L"sheetlore: error 6: Overflow\n");
}

// doctor's write test on a spooler that keeps its forms passes every step and leaves the
// printer as it was; doctor_test.sh runs the same test on Wine's spooler, which fails it.
// The lines of the write test, from doctor's CSV report.
std::vector<std::wstring> WriteTestLines(const std::wstring& report) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = report.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
    if (report.compare(start, 11, L"write test,") == 0)
      lines.push_back(report.substr(start, end - start));
  }
  return lines;
}

TEST_F(CliRefusalsTest, DoctorWriteTestPassesWhereTheSpoolerKeepsForms) {
  const std::vector<FormInfo> before = sim_.Forms();
  const RunResult result = Run({L"doctor", kPrinter, L"--write-test", L"--csv"});
  EXPECT_EQ(
      WriteTestLines(result.out),
      (std::vector<std::wstring>{
          L"write test,\"add the form \"\"Sheetlore doctor 1\"\" to Office Laser\",ok,accepted",
          L"write test,the form is listed after adding,ok,yes",
          L"write test,delete the form,ok,done",
          L"write test,the form is gone after deleting,ok,yes",
          L"write test,the printer's forms are as before,ok,yes"}))
      << result.out;
  EXPECT_EQ(sim_.Forms(), before);
}

TEST_F(CliRefusalsTest, DoctorWriteTestReportsRefusalsAndAFormLeftBehind) {
  sim_.FailCall(sim::Api::AddForm);
  RunResult result = Run({L"doctor", kPrinter, L"--write-test", L"--csv"});
  EXPECT_EQ(result.exitCode, static_cast<int>(ExitCode::Failure));
  EXPECT_EQ(WriteTestLines(result.out).front(),
            L"write test,\"add the form \"\"Sheetlore doctor 1\"\" to Office Laser\",FAIL,"
            L"refused (administrator rights on the printer?)");

  sim_.FailCall(sim::Api::DeleteForm);
  result = Run({L"doctor", kPrinter, L"--write-test", L"--csv"});
  const std::vector<std::wstring> lines = WriteTestLines(result.out);
  ASSERT_EQ(lines.size(), 5u) << result.out;
  EXPECT_EQ(lines[2], L"write test,delete the form,FAIL,refused");
  EXPECT_EQ(lines[3],
            L"write test,the form is gone after deleting,FAIL,still listed: delete it by hand");
  EXPECT_EQ(lines[4], L"write test,the printer's forms are as before,FAIL,they differ");
  EXPECT_NE(Form(L"Sheetlore doctor 1"), nullptr);
}

}  // namespace
}  // namespace sheetlore::cli
