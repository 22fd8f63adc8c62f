// The spooler contract's print server on the Windows platform: Wine's spooler over the private
// CUPS queues.
#include "platform/win32/win32_printer.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/windows_api.h"
#include "tests/contract/spooler_backend.h"

namespace sheetlore::contract {
namespace {

class Win32Backend final : public SpoolerBackend {
 public:
  Spooler& spooler() override { return spooler_; }
  DeviceContext OfficeDC() override { return office_.hDC(); }
  std::uint32_t FormRecordBytes() override { return sizeof(FORM_INFO_1W); }
  bool KeepsAddedForms() override { return false; }

 private:
  win32::Win32Spooler spooler_;
  win32::Win32Printer office_{L"Sheetlore_Office"};
};

}  // namespace

std::unique_ptr<SpoolerBackend> MakeSpoolerBackend() { return std::make_unique<Win32Backend>(); }

}  // namespace sheetlore::contract
