// FormSelect: makes the current printer print on a named form by editing the form name in
// the driver's device settings, letting the driver merge it, and applying the result to the
// current printer's device context. The printer's stored defaults are not changed.
#include <exception>

#include "component/cls_print.h"
#include "component/opened_printer.h"
#include "platform/devmode_layout.h"

namespace sheetlore {
namespace {

// Puts the form name into the record and makes it the only field the driver takes from it.
// The name field holds the name, one zero and blanks, cut to its 32 characters (so a name of
// 32 characters or more has no zero). A record shorter than the fields edited here is left
// untouched and the step fails.
void RequestForm(std::vector<std::uint8_t>& record, const std::wstring& formName) {
  if (record.size() < devmode::kWorkingCopyBytes) throw AutomationError::SubscriptOutOfRange();
  for (std::size_t i = 0; i < devmode::kNameChars; ++i) {
    std::uint16_t unit = u' ';
    if (i < formName.size()) {
      unit = static_cast<std::uint16_t>(formName[i]);
    } else if (i == formName.size()) {
      unit = 0;
    }
    devmode::WriteU16(record, devmode::kFormName + 2 * i, unit);
  }
  devmode::WriteU32(record, devmode::kFields, devmode::kFieldFormName);
}

}  // namespace

std::int16_t ClsPrint::FormSelect(std::wstring& FormName, std::int32_t MyhWnd) {
  // Failures here (no printer installed) reach the caller: nothing is open yet.
  const PrinterRef current = platform_.host.CurrentPrinter();
  const std::wstring deviceName = current->DeviceName();
  const DeviceContext dc = current->hDC();

  Spooler& spooler = platform_.spooler;
  OpenedPrinter printer(spooler, deviceName);
  if (!printer) return 0;

  // From here on a failing step is abandoned and remembered, and the next step still runs,
  // so the printer is always closed. Only such failures count, never the spooler's results.
  bool failed = false;
  const auto step = [&failed](auto&& action) {
    try {
      action();
    } catch (const std::exception&) {
      failed = true;
    }
  };

  // Window handles are 32 bits wide and sign-extended to pointer size.
  const auto parent = static_cast<WindowHandle>(static_cast<std::intptr_t>(MyhWnd));
  std::int32_t recordBytes = 0;
  std::optional<std::vector<std::uint8_t>> record;
  bool formRequested = false;
  const auto settings = [&record]() -> std::vector<std::uint8_t>& {
    if (!record) throw AutomationError::SubscriptOutOfRange();
    return *record;
  };

  step([&] {
    recordBytes =
        spooler.DocumentProperties(parent, printer.handle(), deviceName, nullptr, nullptr, 0);
  });
  step([&] {
    if (recordBytes < 1) throw AutomationError::SubscriptOutOfRange();
    record.emplace(static_cast<std::size_t>(recordBytes), std::uint8_t{0});
  });
  step([&] {
    spooler.DocumentProperties(parent, printer.handle(), deviceName, &settings(), nullptr,
                               kDmOutBuffer);
  });
  step([&] {
    RequestForm(settings(), FormName);
    formRequested = true;
  });
  // A record that could not take the form name (none, or too short to hold the field) is
  // not handed to the driver: it would read the fields past the record's end.
  const auto requestedSettings = [&]() -> std::vector<std::uint8_t>& {
    if (!formRequested) throw AutomationError::SubscriptOutOfRange();
    return settings();
  };
  step([&] {
    std::vector<std::uint8_t>& buffer = requestedSettings();
    spooler.DocumentProperties(parent, printer.handle(), deviceName, &buffer, &buffer,
                               kDmInBuffer | kDmOutBuffer);
  });
  step([&] { spooler.ResetDC(dc, requestedSettings()); });
  step([&] { printer.Close(); });
  return failed ? 0 : 1;
}

}  // namespace sheetlore
