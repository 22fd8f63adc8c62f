#pragma once
// The print spooler over the wide Windows calls.

#include <memory>

#include "platform/platform.h"
#include "platform/win32/spooler_library.h"

namespace sheetlore::win32 {

class Win32Spooler final : public Spooler {
 public:
  Win32Spooler();
  // Over the given table (a test's, with entries missing).
  explicit Win32Spooler(std::shared_ptr<const SpoolerLibrary> api);

  PrinterHandle OpenPrinter(const std::wstring& printerName, std::uint32_t desiredAccess) override;
  PrinterHandle OpenPrintServer(const std::wstring& serverName,
                                std::uint32_t desiredAccess) override;
  bool ClosePrinter(PrinterHandle printer) override;
  bool EnumForms(PrinterHandle printer, std::uint32_t bufferBytes, std::vector<FormInfo>& forms,
                 std::uint32_t& bytesNeeded, std::uint32_t& returned) override;
  bool GetForm(PrinterHandle printer, const std::wstring& formName, std::uint32_t bufferBytes,
               FormInfo& form, std::uint32_t& bytesNeeded) override;
  bool AddForm(PrinterHandle printer, const FormInfo& form) override;
  bool DeleteForm(PrinterHandle printer, const std::wstring& formName) override;
  bool GetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                          std::vector<std::uint8_t>& devMode) override;
  bool SetPrinterSettings(PrinterHandle printer, std::uint32_t level,
                          const std::vector<std::uint8_t>& devMode) override;
  std::int32_t DocumentProperties(WindowHandle parent, PrinterHandle printer,
                                  const std::wstring& deviceName, std::vector<std::uint8_t>* output,
                                  const std::vector<std::uint8_t>* input,
                                  std::uint32_t mode) override;
  DeviceContext ResetDC(DeviceContext dc, const std::vector<std::uint8_t>& devMode) override;
  std::uint32_t LastError() const override;

 private:
  // Whether the spooler function is there; when it is not, the call fails with the reason.
  bool Available(const void* function) const;

  std::shared_ptr<const SpoolerLibrary> api_;
};

}  // namespace sheetlore::win32
