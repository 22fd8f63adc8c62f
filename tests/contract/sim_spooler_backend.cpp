// The spooler contract's print server on the simulated platform.
#include "platform/sim/sim_platform.h"
#include "tests/contract/spooler_backend.h"

namespace sheetlore::contract {
namespace {

class SimBackend final : public SpoolerBackend {
 public:
  SimBackend() {
    sim_.AddPrinter(L"Sheetlore_Office");
    sim_.AddPrinter(L"Sheetlore_Label");
  }
  Spooler& spooler() override { return sim_.platform().spooler; }
  DeviceContext OfficeDC() override { return sim_.PrinterDC(L"Sheetlore_Office"); }
  std::uint32_t FormRecordBytes() override { return sim::kFormRecordBytes; }
  bool KeepsAddedForms() override { return true; }

 private:
  sim::SimPlatform sim_;
};

}  // namespace

std::unique_ptr<SpoolerBackend> MakeSpoolerBackend() { return std::make_unique<SimBackend>(); }

}  // namespace sheetlore::contract
