// The simulated automation host: printers as automation objects, the current printer, the
// component's directory and the file test over the simulated files.
#include <utility>

#include "platform/sim/sim_state.h"

namespace sheetlore::sim {
namespace {

// A printer named at creation. Reading it goes to the simulation, so that a test sees the
// read in the call log and can make it fail.
class SimPrinterObject final : public PrinterObject {
 public:
  SimPrinterObject(SimPlatform::State& state, std::wstring name)
      : state_(state), name_(std::move(name)) {}

  std::wstring DeviceName() override {
    if (state_.recorder.Record(Api::DeviceName, {name_})) {
      throw AutomationError::Unspecified();
    }
    return name_;
  }

  DeviceContext hDC() override {
    if (state_.recorder.Record(Api::hDC, {name_})) throw AutomationError::NoPrinter();
    const PrinterState* printer = state_.FindPrinter(name_);
    if (!printer) throw AutomationError::NoPrinter();
    return printer->dc;
  }

 private:
  SimPlatform::State& state_;
  std::wstring name_;
};

// The current printer while no printer is installed: every read fails.
class NoPrinterObject final : public PrinterObject {
 public:
  explicit NoPrinterObject(SimPlatform::State& state) : state_(state) {}
  std::wstring DeviceName() override {
    state_.recorder.Record(Api::DeviceName, {kNull});
    throw AutomationError::NoPrinter();
  }
  DeviceContext hDC() override {
    state_.recorder.Record(Api::hDC, {kNull});
    throw AutomationError::NoPrinter();
  }

 private:
  SimPlatform::State& state_;
};

// An object without a readable DeviceName, as a caller may pass one.
class FailingPrinterObject final : public PrinterObject {
 public:
  FailingPrinterObject(SimPlatform::State& state, std::int32_t hresult)
      : state_(state), hresult_(hresult) {}
  std::wstring DeviceName() override {
    state_.recorder.Record(Api::DeviceName, {kNull});
    throw AutomationError(hresult_, L"Unknown name.");
  }
  DeviceContext hDC() override {
    state_.recorder.Record(Api::hDC, {kNull});
    throw AutomationError(hresult_, L"Unknown name.");
  }

 private:
  SimPlatform::State& state_;
  std::int32_t hresult_;
};

}  // namespace

PrinterRef MakePrinterObject(SimPlatform::State& state, std::wstring name) {
  return std::make_shared<SimPrinterObject>(state, std::move(name));
}

PrinterRef MakeCurrentPrinterObject(SimPlatform::State& state) {
  if (!state.currentPrinter || !state.FindPrinter(*state.currentPrinter)) {
    return std::make_shared<NoPrinterObject>(state);
  }
  return MakePrinterObject(state, state.FindPrinter(*state.currentPrinter)->name);
}

PrinterRef MakeFailingPrinterObject(SimPlatform::State& state, std::int32_t hresult) {
  return std::make_shared<FailingPrinterObject>(state, hresult);
}

std::vector<PrinterRef> SimHost::Printers() {
  if (state_.recorder.Record(Api::Printers, {})) throw AutomationError::Unspecified();
  std::vector<PrinterRef> printers;
  for (const PrinterState& printer : state_.printers) {
    printers.push_back(MakePrinterObject(state_, printer.name));
  }
  return printers;
}

PrinterRef SimHost::CurrentPrinter() {
  if (state_.recorder.Record(Api::CurrentPrinter, {})) {
    throw AutomationError::Unspecified();
  }
  return MakeCurrentPrinterObject(state_);
}

std::wstring SimHost::ComponentDirectory() {
  if (state_.recorder.Record(Api::ComponentDirectory, {})) {
    throw AutomationError::Unspecified();
  }
  return state_.componentDirectory;
}

std::wstring SimHost::StoreFileSetting() { return state_.storeFileSetting; }

bool SimHost::FileExists(const std::wstring& path) {
  if (state_.recorder.Record(Api::FileExists, {path})) return false;
  if (path.empty()) return false;
  const FileState* file = state_.FindFile(path);
  return file && !file->hidden && !file->system;
}

}  // namespace sheetlore::sim
