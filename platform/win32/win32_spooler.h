#pragma once
// The print spooler over the wide Windows calls.

#include "platform/platform.h"

namespace sheetlore::win32 {

class Win32Spooler final : public Spooler {
 public:
  PrinterHandle OpenPrinter(const std::wstring& printerName, std::uint32_t desiredAccess) override;
  bool ClosePrinter(PrinterHandle printer) override;
  bool EnumForms(PrinterHandle printer, std::uint32_t bufferBytes, std::vector<FormInfo>& forms,
                 std::uint32_t& bytesNeeded, std::uint32_t& returned) override;
  bool GetForm(PrinterHandle printer, const std::wstring& formName, std::uint32_t bufferBytes,
               FormInfo& form, std::uint32_t& bytesNeeded) override;
  bool AddForm(PrinterHandle printer, const FormInfo& form) override;
  bool DeleteForm(PrinterHandle printer, const std::wstring& formName) override;
  std::int32_t DocumentProperties(WindowHandle parent, PrinterHandle printer,
                                  const std::wstring& deviceName, std::vector<std::uint8_t>* output,
                                  const std::vector<std::uint8_t>* input,
                                  std::uint32_t mode) override;
  DeviceContext ResetDC(DeviceContext dc, const std::vector<std::uint8_t>& devMode) override;
  std::uint32_t LastError() const override;
};

}  // namespace sheetlore::win32
