#pragma once
// What the spooler contract runs against: a print server with the printers Sheetlore_Office and
// Sheetlore_Label, reached through a Spooler port. Natively it is the simulated platform; under
// Wine the Windows one, over the private CUPS queues of those names.

#include <memory>

#include "platform/platform.h"

namespace sheetlore::contract {

class SpoolerBackend {
 public:
  virtual ~SpoolerBackend() = default;
  virtual Spooler& spooler() = 0;
  // A device context of Sheetlore_Office, for ResetDC.
  virtual DeviceContext OfficeDC() = 0;
  // Bytes of one form's fixed record in an EnumForms or GetForm answer; its name follows.
  virtual std::uint32_t FormRecordBytes() = 0;
  // Whether AddForm and DeleteForm change the server's forms. Wine's spooler answers both with
  // success and keeps nothing, so the rules of added and deleted forms are checked on the
  // simulation alone; on Wine the calls must still succeed.
  virtual bool KeepsAddedForms() = 0;
};

std::unique_ptr<SpoolerBackend> MakeSpoolerBackend();

}  // namespace sheetlore::contract
