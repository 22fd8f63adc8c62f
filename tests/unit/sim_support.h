#pragma once
// Small helpers the unit suites share: the error a call raises, and a printer's form by name.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/automation_error.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {

// What a call raised: number and hresult stay 0 when it raised nothing.
struct Raised {
  int number = 0;
  std::uint32_t hresult = 0;
  std::wstring description;
};

template <class Call>
Raised RaisedBy(Call&& call) {
  try {
    call();
  } catch (const AutomationError& error) {
    return {error.number(), static_cast<std::uint32_t>(error.hresult()), error.description()};
  }
  return {};
}

// The printers opened, in order, as the spooler was asked for them.
inline std::vector<std::wstring> OpenedPrinters(const sim::SimPlatform& sim) {
  std::vector<std::wstring> opened;
  for (const sim::Call& call : sim.Calls()) {
    if (call.api == sim::Api::OpenPrinter) opened.push_back(call.args.at(0));
  }
  return opened;
}

inline const FormInfo* FindForm(const sim::SimPlatform& sim, const std::wstring& name) {
  for (const FormInfo& form : sim.Forms()) {
    if (form.name == name) return &form;
  }
  return nullptr;
}

}  // namespace sheetlore
