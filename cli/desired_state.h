#pragma once
// A printer brought to a paper library: every paper of the library a form of the same name with
// exactly its size and printable area, compared in the spooler's own units (thousandths of a
// millimetre), and on request no other user forms. Built-in and printer forms are never changed.

#include <optional>
#include <string>
#include <vector>

#include "cli/form_target.h"
#include "cli/paper_library.h"
#include "cli/platform_error.h"
#include "platform/platform.h"

namespace sheetlore::cli {

enum class FormAction { Add, Replace, Keep, Delete, Impossible };

struct FormStep {
  std::wstring form;  // the name the form has, or is to have
  FormAction action = FormAction::Keep;
  const LibraryPaper* paper = nullptr;  // the paper it comes from; null for a deletion
  std::wstring note;  // why an Impossible step cannot be done; a kept form's other name
  std::optional<std::wstring> existing;  // the name of the form the spooler found for the paper
};

// The form the spooler keeps for a paper, as PrintAddForm builds it.
FormInfo FormForPaper(ClsPrint& component, const LibraryPaper& paper);

// What it takes to bring the printer's forms to papers, papers first in their order, then the
// deletions in the printer's order (only with prune). A form matches a paper when the spooler
// finds it by the paper's name (GetForm: the spooler's own rule for names; a user form of
// another size found under another spelling is replaced and takes the paper's name). A paper
// no form can be (GeometryProblem), and one whose name finds a built-in form of another size,
// is Impossible. forms: the printer's forms as listed.
std::vector<FormStep> PlanForms(ClsPrint& component, const FormTarget& target,
                                const std::vector<LibraryPaper>& papers,
                                const std::vector<FormInfo>& forms, bool prune);

// One line of apply's report.
struct FormReport {
  std::wstring form;
  std::wstring status;  // added, replaced, unchanged, deleted, failed, impossible
  std::wstring note;
  std::optional<PlatformError> error;  // what Windows said when the spooler refused the change
};

// Carries the steps out on the printer. Each change is checked afterwards against the printer's
// forms as read back, so a change the spooler accepted but did not keep is reported as failed.
std::vector<FormReport> ApplySteps(ClsPrint& component, const FormTarget& target,
                                   const std::vector<FormStep>& steps);

// The report of a check: what would be done, nothing changed ("would add", "would replace",
// "unchanged", "would delete", "impossible").
std::vector<FormReport> DescribeSteps(const std::vector<FormStep>& steps);

}  // namespace sheetlore::cli
