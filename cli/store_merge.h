#pragma once
// Paper stores merged into one: what an installer does when the stores that each architecture
// kept beside its DLL become the machine's one store. No paper is lost: a paper the target
// lacks is added, one it holds alike is left, and one it holds otherwise is kept under a
// suffixed name, with a note that says so.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "component/cls_print.h"

namespace sheetlore::cli {

struct MergeReport {
  std::size_t added = 0;            // papers the target did not hold
  std::size_t alike = 0;            // papers the target already held with the same values
  std::size_t keptBoth = 0;         // papers that differed, added under a suffixed name
  std::vector<std::wstring> notes;  // one line for each paper kept twice or not merged
  bool complete = true;             // every paper of the source is in the target
};

// The component's host, but with the store's file named here.
class HostWithStoreFile final : public Host {
 public:
  HostWithStoreFile(Host& inner, std::wstring storeFile)
      : inner_(inner), storeFile_(std::move(storeFile)) {}
  std::vector<PrinterRef> Printers() override { return inner_.Printers(); }
  PrinterRef CurrentPrinter() override { return inner_.CurrentPrinter(); }
  std::wstring ComponentDirectory() override { return inner_.ComponentDirectory(); }
  bool FileExists(const std::wstring& path) override { return inner_.FileExists(path); }
  std::wstring StoreFileSetting() override { return storeFile_; }

 private:
  Host& inner_;
  std::wstring storeFile_;
};

// The component over the same platform, working on the store at path.
class StoreAt {
 public:
  StoreAt(const Platform& platform, const std::wstring& path)
      : host_(platform.host, path),
        platform_{platform.spooler, platform.profile, platform.system, platform.shell, host_,
                  nullptr},
        component_(platform_) {}
  ClsPrint& component() { return component_; }

 private:
  HostWithStoreFile host_;
  Platform platform_;
  ClsPrint component_;
};

// Every paper of source into target. label names the source in the suffix and the notes
// ("x86" gives "Letter (x86)", then "Letter (x86 2)" when that name is taken otherwise).
void MergeStore(ClsPrint& target, ClsPrint& source, const std::wstring& label, MergeReport& report);

// The label of a source file: its name without the extension, or, for a file called
// PrintSet.ini, the name of its folder ("...\x86\PrintSet.ini" gives "x86").
std::wstring SourceLabel(const std::wstring& path);

}  // namespace sheetlore::cli
