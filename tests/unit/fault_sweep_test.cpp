// Fault sweep: every public method runs once on the simulated platform to learn which
// platform calls it makes; then, for each of those calls in turn, a fresh run makes exactly
// that call fail and checks what must hold whatever fails:
//  - only the documented run-time errors escape: the failure of a call that raises (a
//    late-bound read, the printers collection, the wizard's shell) and nothing else;
//  - every printer opened is closed;
//  - the paper store is unchanged, or every paper it lists is complete (all seven keys).
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

const std::wstring kStore = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";
const std::wstring kPrinter = L"Office";
const std::array<std::wstring, 7> kPaperKeys = {L"mMode", L"W", L"H", L"L", L"R", L"T", L"B"};

const std::wstring kThreePapers =
    L"\xFEFF[PrintMain]\r\nA5X=A5X\r\nLabel=Label\r\n標籤紙=標籤紙\r\n"
    L"[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n"
    L"[Label]\r\nmMode=1\r\nW=4\r\nH=6\r\nL=0.25\r\nR=3.75\r\nT=0.5\r\nB=5.5\r\n"
    L"[標籤紙]\r\nmMode=0\r\nW=10\r\nH=15\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n";

// The calls that report failure by raising an automation error rather than by their result.
const std::set<sim::Api> kRaisingCalls = {
    sim::Api::StartAddPrinterWizard, sim::Api::Printers,   sim::Api::CurrentPrinter,
    sim::Api::ComponentDirectory,    sim::Api::DeviceName, sim::Api::hDC};
const std::set<sim::Api> kCallsThatCannotFail = {sim::Api::Sleep, sim::Api::PumpMessages,
                                                 sim::Api::MessageBox};

// One public method in one situation: how the platform is set up and how the method is called.
struct Scenario {
  std::string name;
  std::function<void(sim::SimPlatform&)> setUp;
  std::function<void(ClsPrint&, sim::SimPlatform&)> run;
};

// The papers the store lists that lack one of their seven keys.
std::vector<std::wstring> IncompletePapers(sim::SimPlatform& sim) {
  ProfileFiles& profile = sim.platform().profile;
  std::wstring list;
  profile.GetString(L"PrintMain", std::nullopt, L"", 1u << 20, list, kStore);
  std::vector<std::wstring> incomplete;
  std::wistringstream names(list);
  for (std::wstring name; std::getline(names, name, L'\0');) {
    if (name.empty()) continue;  // the list ends with two zeros
    for (const std::wstring& key : kPaperKeys) {
      std::wstring value;
      profile.GetString(name, key, L"<missing>", 100, value, kStore);
      if (value == L"<missing>") {
        incomplete.push_back(name + L"/" + key);
        break;
      }
    }
  }
  return incomplete;
}

// The calls a run makes, each as its kind and its occurrence among calls of that kind.
std::vector<std::pair<sim::Api, std::size_t>> CallsOf(const Scenario& scenario) {
  sim::SimPlatform sim;
  scenario.setUp(sim);
  ClsPrint cls(sim.platform());
  sim.ClearCalls();
  scenario.run(cls, sim);
  std::map<sim::Api, std::size_t> seen;
  std::vector<std::pair<sim::Api, std::size_t>> calls;
  for (const sim::Call& call : sim.Calls()) calls.emplace_back(call.api, ++seen[call.api]);
  return calls;
}

void SweepFaults(const Scenario& scenario) {
  const auto calls = CallsOf(scenario);
  ASSERT_FALSE(calls.empty()) << scenario.name << " makes no platform call";
  for (const auto& [callName, nth] : calls) {
    if (kCallsThatCannotFail.count(callName) != 0) continue;
    SCOPED_TRACE(scenario.name + ": call " + std::to_string(nth) + " of " +
                 testing::PrintToString(callName) + " fails");
    sim::SimPlatform sim;
    scenario.setUp(sim);
    const std::wstring storeBefore = sim.FileText(kStore);
    ClsPrint cls(sim.platform());
    sim.FailCall(callName, nth);
    try {
      scenario.run(cls, sim);
    } catch (const AutomationError& error) {
      EXPECT_TRUE(kRaisingCalls.count(callName) != 0)
          << "a failing " << testing::PrintToString(callName) << " raised error 0x" << std::hex
          << static_cast<std::uint32_t>(error.hresult());
    } catch (const std::exception& error) {
      ADD_FAILURE() << "an exception that is no automation error: " << error.what();
    }
    EXPECT_EQ(sim.OpenHandleCount(), 0u) << "a printer was left open";
    if (sim.FileText(kStore) != storeBefore) {
      EXPECT_EQ(IncompletePapers(sim), std::vector<std::wstring>{}) << "papers left incomplete";
    }
  }
}

void WithPrinter(sim::SimPlatform& sim) { sim.AddPrinter(kPrinter); }

void WithPrinterAndStore(sim::SimPlatform& sim) {
  sim.AddPrinter(kPrinter);
  sim.SetFileText(kStore, kThreePapers);
}

std::vector<Scenario> Scenarios() {
  return {
      {"PrintAddForm, PrintGetForm and PrintDelForm", WithPrinter,
       [](ClsPrint& cls, sim::SimPlatform&) {
         std::wstring printer = kPrinter, form = L"Sweep";
         double cx = 21, cy = 29.7, left = 1, right = 20, top = 1.5, bottom = 28.2;
         cls.PrintAddForm(printer, form, cx, cy, left, right, top, bottom);
         cls.PrintGetForm(printer, form);
         cls.PrintDelForm(printer, form);
       }},
      {"FormCheck of a printer object and of the current printer", WithPrinter,
       [](ClsPrint& cls, sim::SimPlatform& sim) {
         std::optional<std::vector<FormRow>> rows;
         PrinterRef printer = sim.Printer(kPrinter), current;
         cls.FormCheck(rows, printer);
         cls.FormCheck(rows, current);  // the current printer
       }},
      {"gFormID of a listed size and one that adds a form", WithPrinter,
       [](ClsPrint& cls, sim::SimPlatform& sim) {
         cls.gFormID(L"8.5/11", sim.Printer(kPrinter));
         cls.gFormID(L"4/6", nullptr);
       }},
      {"FormSelect", WithPrinter,
       [](ClsPrint& cls, sim::SimPlatform&) {
         std::wstring form = L"A4";
         cls.FormSelect(form, 0);
       }},
      {"IniWriteValue of a new paper and over a stored one", WithPrinterAndStore,
       [](ClsPrint& cls, sim::SimPlatform&) {
         cls.IniWriteValue(L"New", 1, 8.5, 11, 0.25, 8.25, 0.5, 10.5);
         cls.IniWriteValue(L"Label", 0, 10, 15, 0, 0, 0, 0);
       }},
      {"IniWriteValue of the first paper, then IniDelValue of the last one", WithPrinter,
       [](ClsPrint& cls, sim::SimPlatform&) {
         cls.IniWriteValue(L"A5X", 0, 14.8, 21, 0, 0, 0, 0);
         std::wstring name = L" a5x ";
         cls.IniDelValue(name);
       }},
      {"IniReadValue of the list and of a paper", WithPrinterAndStore,
       [](ClsPrint& cls, sim::SimPlatform&) {
         std::vector<std::wstring> names;
         cls.IniReadValue(0, L"", &names);
         cls.IniReadValue(1, L"Label");
       }},
      {"IniDelValue of a middle paper", WithPrinterAndStore,
       [](ClsPrint& cls, sim::SimPlatform&) {
         std::wstring name = L"Label";
         cls.IniDelValue(name);
       }},
      {"FormAllAdd", WithPrinterAndStore,
       [](ClsPrint& cls, sim::SimPlatform& sim) {
         PrinterRef printer = sim.Printer(kPrinter);
         cls.FormAllAdd(printer);
       }},
      {"GetWindows and PrintCheck with a printer", WithPrinter,
       [](ClsPrint& cls, sim::SimPlatform&) {
         cls.GetWindows();
         cls.PrintCheck(true);
       }},
      {"PrintCheck through the wizard",
       [](sim::SimPlatform& sim) {
         sim.OnWizardStart([&sim] {
           sim.AddPrinter(kPrinter);
           sim.ScriptWindow(kAddPrinterWizardCaption, sim.Now() + 100, sim.Now() + 500);
         });
       },
       [](ClsPrint& cls, sim::SimPlatform&) { cls.PrintCheck(true); }},
  };
}

TEST(FaultSweepTest, EveryFailingPlatformCallKeepsTheInvariants) {
  for (const Scenario& scenario : Scenarios()) SweepFaults(scenario);
}

// The sweep reaches every public method that touches the platform and every kind of call that
// can fail.
TEST(FaultSweepTest, TheSweepCoversEveryKindOfPlatformCall) {
  std::set<sim::Api> kinds;
  for (const Scenario& scenario : Scenarios()) {
    for (const auto& call : CallsOf(scenario)) kinds.insert(call.first);
  }
  for (int i = 0; i <= static_cast<int>(sim::Api::hDC); ++i) {  // hDC: the last kind
    const auto kind = static_cast<sim::Api>(i);
    // No method of the component asks whether a file exists, reads a whole section (the tool
    // does, falling back on the component's reads), writes a file's whole text (the tool's
    // import does; its failures are tested with it), or reads or writes a printer's default
    // settings (only the tool's default-form does).
    const bool toolOnly = kind == sim::Api::FileExists ||
                          kind == sim::Api::GetPrivateProfileSection ||
                          kind == sim::Api::WriteProfileText || kind == sim::Api::GetPrinter ||
                          kind == sim::Api::SetPrinter;
    if (kCallsThatCannotFail.count(kind) != 0 || toolOnly) continue;
    EXPECT_EQ(kinds.count(kind), 1u) << testing::PrintToString(kind);
  }
}

}  // namespace
}  // namespace sheetlore
