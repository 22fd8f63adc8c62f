#include "cli/desired_state.h"

#include <algorithm>

#include "cli/form_placement.h"
#include "component/form_list.h"
#include "component/paper_store_file.h"
#include "component/spooler_units.h"

namespace sheetlore::cli {
namespace {

// The form a paper matches: one of its exact name, else one whose name differs in letter case.
const FormInfo* MatchingForm(const std::vector<FormInfo>& forms, const std::wstring& name) {
  const auto exact = std::find_if(forms.begin(), forms.end(),
                                  [&name](const FormInfo& form) { return form.name == name; });
  if (exact != forms.end()) return &*exact;
  const auto folded = std::find_if(forms.begin(), forms.end(), [&name](const FormInfo& form) {
    return paper_store::SameProfileName(form.name, name);
  });
  return folded == forms.end() ? nullptr : &*folded;
}

}  // namespace

FormInfo FormForPaper(ClsPrint& component, const LibraryPaper& paper) {
  return ExpectedForm(paper.name, CentimetreMeasures(component, paper.paper));
}

std::vector<FormStep> PlanForms(ClsPrint& component, const std::vector<LibraryPaper>& papers,
                                const std::vector<FormInfo>& forms, bool prune) {
  std::vector<FormStep> steps;
  std::vector<const FormInfo*> matched;
  for (const LibraryPaper& paper : papers) {
    FormStep step{paper.name, FormAction::Add, &paper, L""};
    if (const FormInfo* form = MatchingForm(forms, paper.name)) {
      matched.push_back(form);
      // The spooler finds a form by its name in any letter case: an equal form whose name
      // differs only in case is left as it is.
      if (SameSize(*form, FormForPaper(component, paper))) {
        step.action = FormAction::Keep;
        if (form->name != paper.name) step.note = L"the printer names it " + form->name;
      } else if (form->flags != kUserForm) {
        step.action = FormAction::Impossible;
        step.note =
            L"a built-in form of this name has another size, and built-in forms "
            L"cannot be changed";
      } else {
        step.action = FormAction::Replace;
      }
    }
    steps.push_back(std::move(step));
  }
  if (!prune) return steps;
  for (const FormInfo& form : forms) {
    const bool listed = std::find(matched.begin(), matched.end(), &form) != matched.end();
    if (form.flags == kUserForm && !listed) {
      steps.push_back({form.name, FormAction::Delete, nullptr, L""});
    }
  }
  return steps;
}

std::vector<FormReport> ApplySteps(ClsPrint& component, const std::wstring& printerName,
                                   const std::vector<FormStep>& steps) {
  std::vector<FormReport> reports;
  bool changedAny = false;
  for (const FormStep& step : steps) {
    FormReport report{step.form, L"unchanged", step.note, std::nullopt};
    component.ForgetFailures();
    switch (step.action) {
      case FormAction::Keep:
        break;
      case FormAction::Impossible:
        report.status = L"failed";
        report.note = step.note;
        break;
      case FormAction::Add:
      case FormAction::Replace: {
        const bool exists = step.action == FormAction::Replace;
        const Placement placement =
            PlaceForm(component, printerName, step.form,
                      CentimetreMeasures(component, step.paper->paper), exists, true);
        const bool done = placement == Placement::Added || placement == Placement::Replaced;
        report.status = done ? (exists ? L"replaced" : L"added") : L"failed";
        report.note = PlacementNote(placement);
        if (!done) report.error = LastPlatformError(component);
        changedAny = true;
        break;
      }
      case FormAction::Delete: {
        std::wstring printer = printerName;
        std::wstring form = step.form;
        const bool deleted = component.PrintDelForm(printer, form);
        report.status = deleted ? L"deleted" : L"failed";
        if (!deleted) {
          report.note = L"the spooler refused to delete the form";
          report.error = LastPlatformError(component);
        }
        changedAny = true;
        break;
      }
    }
    reports.push_back(std::move(report));
  }
  if (!changedAny) return reports;

  // The spooler's word is not enough: what it keeps is read back.
  const auto after = ReadPrinterForms(component.platform().spooler, printerName);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    FormReport& report = reports[i];
    if (report.status != L"added" && report.status != L"replaced" && report.status != L"deleted") {
      continue;
    }
    const auto kept = [&](const FormInfo& form) {
      return form.name == steps[i].form &&
             (steps[i].paper == nullptr ||
              SameSize(form, FormForPaper(component, *steps[i].paper)));
    };
    const bool present = after && std::any_of(after->begin(), after->end(), kept);
    const bool holds = report.status == L"deleted" ? after && !present : present;
    if (!holds) {
      report.note = !after ? kNotReadBackNote : NotKeptNote(report.status);
      report.status = L"failed";
    }
  }
  return reports;
}

std::vector<FormReport> DescribeSteps(const std::vector<FormStep>& steps) {
  std::vector<FormReport> reports;
  for (const FormStep& step : steps) {
    std::wstring status;
    switch (step.action) {
      case FormAction::Add:
        status = L"would add";
        break;
      case FormAction::Replace:
        status = L"would replace";
        break;
      case FormAction::Keep:
        status = L"unchanged";
        break;
      case FormAction::Delete:
        status = L"would delete";
        break;
      case FormAction::Impossible:
        status = L"would fail";
        break;
    }
    reports.push_back({step.form, status, step.note, std::nullopt});
  }
  return reports;
}

}  // namespace sheetlore::cli
