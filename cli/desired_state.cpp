#include "cli/desired_state.h"

#include <algorithm>

#include "cli/command_error.h"
#include "cli/form_placement.h"
#include "component/form_list.h"
#include "component/spooler_units.h"

namespace sheetlore::cli {

FormInfo FormForPaper(ClsPrint& component, const LibraryPaper& paper) {
  return FormForMeasures(paper.name, CentimetreMeasures(component, paper.paper));
}

std::vector<FormStep> PlanForms(ClsPrint& component, const FormTarget& target,
                                const std::vector<LibraryPaper>& papers,
                                const std::vector<FormInfo>& forms, bool prune) {
  std::vector<FormStep> steps;
  std::vector<std::wstring> matched;
  for (const LibraryPaper& paper : papers) {
    FormStep step{paper.name, FormAction::Add, &paper, L"", std::nullopt};
    const std::optional<FormInfo> form = TargetForm(component, target, paper.name);
    if (form) {
      matched.push_back(form->name);
      step.existing = form->name;
    }
    if (const auto problem = GeometryProblem(component, paper.paper)) {
      step.action = FormAction::Impossible;
      step.note = L"no form can be this paper: " + *problem;
    } else if (!form) {
      step.action = FormAction::Add;
    } else if (SameSize(*form, FormForPaper(component, paper))) {
      // The spooler finds this form by the paper's name: an equal form whose name it matches
      // under another spelling is left as it is.
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
    steps.push_back(std::move(step));
  }
  if (!prune) return steps;
  for (const FormInfo& form : forms) {
    const bool listed = std::find(matched.begin(), matched.end(), form.name) != matched.end();
    if (form.flags == kUserForm && !listed) {
      steps.push_back({form.name, FormAction::Delete, nullptr, L"", form.name});
    }
  }
  return steps;
}

std::vector<FormReport> ApplySteps(ClsPrint& component, const FormTarget& target,
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
        report.status = L"impossible";
        report.note = step.note;
        break;
      case FormAction::Add:
      case FormAction::Replace: {
        const bool exists = step.action == FormAction::Replace;
        const Placement placement =
            PlaceForm(component, target, FormForPaper(component, *step.paper), step.existing, true);
        const bool done = placement == Placement::Added || placement == Placement::Replaced;
        report.status = done ? (exists ? L"replaced" : L"added") : L"failed";
        report.note = PlacementNote(placement);
        if (!done) report.error = LastPlatformError(component);
        changedAny = true;
        break;
      }
      case FormAction::Delete: {
        const bool deleted = DeleteTargetForm(component, target, step.form);
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
  std::optional<std::vector<FormInfo>> after;
  try {
    after = TargetForms(component, target);
  } catch (const CommandError&) {
    // Reported below for each change as forms that could not be read back.
  }
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
        status = L"impossible";
        break;
    }
    reports.push_back({step.form, status, step.note, std::nullopt});
  }
  return reports;
}

}  // namespace sheetlore::cli
