#include "cli/form_target.h"

#include <utility>

#include "cli/command_error.h"
#include "component/form_list.h"

namespace sheetlore::cli {
namespace {

// A printer or print server opened for one step and closed when it goes out of scope.
class OpenedTarget {
 public:
  OpenedTarget(Spooler& spooler, const FormTarget& target, bool change)
      : spooler_(spooler),
        handle_(target.server
                    ? spooler.OpenPrintServer(
                          target.name, change ? kServerAccessAdminister : kServerAccessEnumerate)
                    : spooler.OpenPrinter(target.name, kPrinterAccessAdminister)) {}
  ~OpenedTarget() {
    if (handle_ != 0) spooler_.ClosePrinter(handle_);
  }
  OpenedTarget(const OpenedTarget&) = delete;
  OpenedTarget& operator=(const OpenedTarget&) = delete;

  explicit operator bool() const { return handle_ != 0; }
  PrinterHandle handle() const { return handle_; }

 private:
  Spooler& spooler_;
  PrinterHandle handle_;
};

Spooler& SpoolerOf(ClsPrint& component) { return component.platform().spooler; }

}  // namespace

const wchar_t kServerHelp[] =
    L"  --server \\\\NAME  the forms of the print server NAME instead of a printer's; without a\n"
    L"                  printer and without --server, the local print server's forms\n";

std::wstring FormTarget::Label() const {
  if (server && name.empty()) return L"the local print server";
  return name;
}

Column FormTarget::NameColumn() const {
  return server ? Column{L"Server", L"server"} : Column{L"Printer", L"printer"};
}

Cell FormTarget::NameCell() const { return Text(server && name.empty() ? L"(local)" : name); }

OptionSpec ServerOption() { return {L"server", true}; }

FormTarget ChosenTarget(const ParsedArguments& arguments,
                        const std::optional<std::wstring>& printer) {
  const std::optional<std::wstring> server = arguments.Value(L"server");
  if (server && printer) {
    throw BadArguments(L"give a printer or --server, not both (forms belong to the print server)");
  }
  if (printer) return {false, *printer};
  if (!server) return {true, L""};
  const bool named = server->size() > 2 && server->starts_with(L"\\\\") &&
                     server->find(L'\\', 2) == std::wstring::npos;
  if (!named) throw BadArguments(L"--server takes a print server's name, \\\\NAME: " + *server);
  return {true, *server};
}

std::vector<FormInfo> TargetForms(ClsPrint& component, const FormTarget& target) {
  OpenedTarget opened(SpoolerOf(component), target, false);
  std::optional<std::vector<FormInfo>> forms;
  if (opened) forms = EnumerateForms(SpoolerOf(component), opened.handle());
  if (!forms) {
    throw NotFound((target.server ? L"print server not found or cannot be opened: "
                                  : L"printer not found or cannot be opened: ") +
                   target.Label());
  }
  return *forms;
}

std::optional<FormInfo> TargetForm(ClsPrint& component, const FormTarget& target,
                                   const std::wstring& formName) {
  OpenedTarget opened(SpoolerOf(component), target, false);
  if (!opened) return std::nullopt;
  return LookUpForm(SpoolerOf(component), opened.handle(), formName);
}

bool AddTargetForm(ClsPrint& component, const FormTarget& target, const FormInfo& form) {
  OpenedTarget opened(SpoolerOf(component), target, true);
  return opened && SpoolerOf(component).AddForm(opened.handle(), form);
}

bool DeleteTargetForm(ClsPrint& component, const FormTarget& target, const std::wstring& formName) {
  OpenedTarget opened(SpoolerOf(component), target, true);
  return opened && SpoolerOf(component).DeleteForm(opened.handle(), formName);
}

}  // namespace sheetlore::cli
