#include "cli/commands.h"

namespace sheetlore::cli {

const std::vector<Command>& AllCommands() {
  static const std::vector<Command> commands = [] {
    std::vector<Command> all = PrinterCommands();
    for (Command& command : DefaultFormCommands()) all.push_back(std::move(command));
    for (Command& command : PaperCommands()) all.push_back(std::move(command));
    for (Command& command : LibraryCommands()) all.push_back(std::move(command));
    for (Command& command : StoreConvertCommands()) all.push_back(std::move(command));
#ifdef _WIN32
    for (Command& command : DoctorCommands()) all.push_back(std::move(command));
    for (Command& command : TraceCommands()) all.push_back(std::move(command));
    for (Command& command : StoreMergeCommands()) all.push_back(std::move(command));
    for (Command& command : FolderAccessCommands()) all.push_back(std::move(command));
#endif
    return all;
  }();
  return commands;
}

}  // namespace sheetlore::cli
