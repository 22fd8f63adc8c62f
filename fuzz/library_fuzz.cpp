// A paper library file from arbitrary bytes. Reading it never fails other than by refusing it;
// a file that is accepted writes back to a file that reads as the same papers, and imported
// into an empty paper store it exports and imports again to the very same store.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/command_error.h"
#include "cli/library_json.h"
#include "cli/paper_library.h"
#include "component/cls_print.h"
#include "component/number_text.h"
#include "fuzz/fuzz_input.h"
#include "platform/sim/sim_platform.h"

namespace {

using sheetlore::fuzz::Check;
namespace cli = sheetlore::cli;

const std::wstring kStore = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";

// The papers as the store keeps them: each value through its number text.
std::vector<cli::LibraryPaper> AsStored(std::vector<cli::LibraryPaper> papers) {
  for (cli::LibraryPaper& paper : papers) {
    for (double* value : {&paper.paper.W, &paper.paper.H, &paper.paper.L, &paper.paper.R,
                          &paper.paper.T, &paper.paper.B}) {
      *value = sheetlore::ReadNumber(sheetlore::NumberText(*value));
    }
  }
  return papers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sheetlore::sim::SimPlatform sim;
  sheetlore::ClsPrint component(sim.platform());
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<cli::LibraryPaper> papers;
  try {
    papers = cli::LibraryFromJson(component, bytes);
  } catch (const cli::CommandError&) {
    return 0;  // refused, with a message: the only other way out
  }
  for (const cli::LibraryPaper& paper : papers) {
    Check(!cli::PaperProblem(component, paper), "an accepted paper has a problem", paper.name);
  }
  Check(cli::LibraryFromJson(component, cli::LibraryToJson(papers)) == papers,
        "a written library reads back as other papers");

  std::vector<cli::StoreResult> results;
  try {
    results = cli::AddToStore(component, papers, false, cli::RepeatedName::RefuseAll);
  } catch (const cli::CommandError&) {
    // Two names the profile service takes for one paper: the whole list is refused.
    Check(sim.FileText(kStore).empty(), "a refused import left papers in the store");
    return 0;
  }
  for (const cli::StoreResult& result : results) {
    Check(result.status == L"added", "a valid paper was not added to an empty store", result.name);
  }
  const cli::StoredPaperList list = cli::StoredPapers(component);
  Check(list.unreadable.empty(), "a paper the import wrote does not read back");
  const std::vector<cli::LibraryPaper>& stored = list.papers;
  Check(stored == AsStored(papers), "the store holds other papers than were imported");
  const std::wstring storeText = sim.FileText(kStore);
  sim.RemoveFile(kStore);
  const std::vector<cli::LibraryPaper> again =
      cli::LibraryFromJson(component, cli::LibraryToJson(stored));
  cli::AddToStore(component, again, false, cli::RepeatedName::RefuseAll);
  Check(sim.FileText(kStore) == storeText, "export and import do not give the same store");
  return 0;
}
