#pragma once
// A printer opened for one call (with administer access unless told otherwise), closed when the
// object goes out of scope, so every path out of a method (results and exceptions alike) closes it.

#include <utility>

#include "platform/platform.h"

namespace sheetlore {

class OpenedPrinter {
 public:
  OpenedPrinter(Spooler& spooler, const std::wstring& printerName,
                std::uint32_t desiredAccess = kPrinterAccessAdminister)
      : spooler_(spooler), handle_(spooler.OpenPrinter(printerName, desiredAccess)) {}
  ~OpenedPrinter() { Close(); }
  OpenedPrinter(const OpenedPrinter&) = delete;
  OpenedPrinter& operator=(const OpenedPrinter&) = delete;

  // Whether the printer opened.
  explicit operator bool() const { return handle_ != 0; }
  PrinterHandle handle() const { return handle_; }

  // Closes now (once); later calls and the destructor do nothing.
  void Close() {
    if (handle_ != 0) spooler_.ClosePrinter(std::exchange(handle_, PrinterHandle{0}));
  }

 private:
  Spooler& spooler_;
  PrinterHandle handle_;
};

}  // namespace sheetlore
