#pragma once
// sheetlore.exe's commands run natively on the simulated platform: the command line in, the
// printed text and exit status out, with library files in a temporary directory of the test's
// own.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/run.h"
#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/sim_support.h"

namespace sheetlore::cli {

inline constexpr int Status(ExitCode code) { return static_cast<int>(code); }

class CliTest : public ::testing::Test {
 protected:
  static inline const std::wstring kPrinter = L"Office Laser";
  static inline const std::wstring kStore = L"C:\\Tools\\PrintSet.ini";

  CliTest() {
    sim_.AddPrinter(kPrinter);
    sim_.SetComponentDirectory(L"C:\\Tools");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Other builds of these tests may run at the same time on this machine.
    directory_ = std::filesystem::temp_directory_path() /
                 (std::string("sheetlore_cli_") + info->test_suite_name() + "_" + info->name() +
                  "_" + std::to_string(std::random_device()()));
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
  }
  ~CliTest() override { std::filesystem::remove_all(directory_); }

  RunResult Run(std::vector<std::wstring> arguments) { return cli::Run(arguments, component_); }

  // A file of the test's directory: its path as the command line passes it.
  std::wstring PathOf(const std::string& name) const { return (directory_ / name).wstring(); }
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(directory_ / name, std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream file(directory_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  const FormInfo* Form(const std::wstring& name) const { return FindForm(sim_, name); }
  void AddUserForm(const FormInfo& form) {
    std::vector<FormInfo> forms = sim_.Forms();
    forms.push_back(form);
    sim_.SetForms(std::move(forms));
  }

  sim::SimPlatform sim_;
  ClsPrint component_{sim_.platform()};

 private:
  std::filesystem::path directory_;
};

}  // namespace sheetlore::cli
