// default-form: the form a printer starts with, for every user (the printer's own default
// settings, administrator) or for the current user (their own settings), read back after the
// change so that what the driver kept is what is reported.
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/form_target.h"
#include "cli/platform_error.h"
#include "component/opened_printer.h"
#include "platform/devmode_layout.h"

namespace sheetlore::cli {
namespace {

namespace layout = devmode;

// dmPaperSize, dmPaperLength and dmPaperWidth: cleared from dmFields so that the driver takes
// the paper from the form name alone.
constexpr std::uint32_t kPaperFields =
    layout::kFieldPaperSize | layout::kFieldPaperLength | layout::kFieldPaperWidth;

std::wstring FormNameOf(const layout::Record& record) {
  return layout::ReadName(record, layout::kFormName);
}

void SetFormName(layout::Record& record, const std::wstring& name) {
  for (std::size_t i = 0; i < layout::kNameChars; ++i) {
    layout::WriteU16(record, layout::kFormName + 2 * i,
                     static_cast<std::uint16_t>(i < name.size() ? name[i] : 0));
  }
  const std::uint32_t fields = layout::ReadU32(record, layout::kFields);
  layout::WriteU32(record, layout::kFields, (fields & ~kPaperFields) | layout::kFieldFormName);
}

CommandOutcome DefaultForm(ClsPrint& component, const ParsedArguments& arguments) {
  Spooler& spooler = component.platform().spooler;
  const std::wstring printerName = arguments.positionals[0];
  const bool everyUser = arguments.Has(L"all-users");
  const std::uint32_t level = everyUser ? kEveryUsersSettings : kOwnSettings;
  const std::wstring scope = everyUser ? L"all users" : L"current user";
  const std::uint32_t access = everyUser ? kPrinterAccessAdminister : kPrinterAccessUse;
  OpenedPrinter printer(spooler, printerName, access);
  if (!printer) throw NotFound(L"printer not found or cannot be opened: " + printerName);

  // A user without settings of their own starts from every user's.
  const auto current = [&](PrinterHandle handle) {
    std::vector<std::uint8_t> record;
    if (!spooler.GetPrinterSettings(handle, level, record)) {
      throw Refused(L"the spooler did not give the default settings of " + printerName);
    }
    if (record.empty() && level == kOwnSettings &&
        !spooler.GetPrinterSettings(handle, kEveryUsersSettings, record)) {
      throw Refused(L"the spooler did not give the default settings of " + printerName);
    }
    if (record.size() < layout::kWorkingCopyBytes) {
      throw Refused(L"the printer " + printerName + L" has no default settings to change");
    }
    return record;
  };
  Table table({{L"Printer", L"printer"},
               {L"For", L"scope"},
               {L"Form", L"form"},
               {L"Status", L"status"},
               {L"Note", L"note"}},
              true);
  std::vector<std::uint8_t> record = current(printer.handle());
  const std::wstring before = FormNameOf(record);
  if (arguments.positionals.size() < 2) {
    table.AddRow({Text(printerName), Text(scope), Text(before), Text(L"unchanged"), Text(L"")});
    return table;
  }

  const FormTarget target{false, printerName};
  const std::optional<FormInfo> form = TargetForm(component, target, arguments.positionals[1]);
  if (!form) {
    throw NotFound(L"no form named \"" + arguments.positionals[1] + L"\" on " + printerName);
  }
  if (form->name.size() >= layout::kNameChars) {
    throw BadArguments(L"a printer's settings hold form names of at most 31 characters: " +
                       form->name);
  }
  SetFormName(record, form->name);
  // The driver merges the form into complete settings (the paper size that goes with it).
  std::vector<std::uint8_t> merged(record.size());
  if (spooler.DocumentProperties(0, printer.handle(), printerName, &merged, &record,
                                 kDmInBuffer | kDmOutBuffer) < 0) {
    merged = record;
  }
  component.ForgetFailures();
  if (!spooler.SetPrinterSettings(printer.handle(), level, merged)) {
    throw Refused(L"the spooler refused to change the default settings of " + printerName +
                  (everyUser ? L" (for all users it needs administrator rights)" : L""));
  }
  // Read back as the next program sees them: through a handle of its own (a spooler may show
  // a change to the handle that made it without keeping it).
  printer.Close();
  OpenedPrinter reopened(spooler, printerName, access);
  if (!reopened) throw NotFound(L"printer not found or cannot be opened: " + printerName);
  const std::wstring kept = FormNameOf(current(reopened.handle()));
  const bool accepted = kept == form->name;
  table.AddRow({Text(printerName), Text(scope), Text(kept),
                Text(accepted ? (before == kept ? L"unchanged" : L"replaced") : L"failed"),
                Text(accepted ? L"" : L"the driver kept " + kept + L" instead of " + form->name)});
  CommandOutcome outcome(std::move(table));
  if (!accepted) {
    outcome.exit = ExitCode::Refused;
    outcome.message = L"the printer's driver did not keep the form " + form->name;
  }
  return outcome;
}

}  // namespace

std::vector<Command> DefaultFormCommands() {
  return {{L"default-form",
           L"PRINTER [FORM] [--all-users]",
           L"show or set the form a printer starts with",
           L"Sets the form PRINTER starts with to FORM: for the current user (their own default\n"
           L"settings), or with --all-users for every user (the printer's default settings;\n"
           L"needs administrator rights). The settings are read back afterwards and the form\n"
           L"the driver kept is reported (failed, exit status 4, when it kept another).\n"
           L"Without FORM, shows the form it starts with now.\n"
           L"  --all-users  every user's default, not only the current user's\n",
           {{L"all-users", false}},
           1,
           2,
           DefaultForm}};
}

}  // namespace sheetlore::cli
