#pragma once
// A command that cannot finish: the exit status it ends with and the message for stderr.

#include <stdexcept>
#include <string>

#include "cli/exit_codes.h"

namespace sheetlore::cli {

class CommandError : public std::runtime_error {
 public:
  CommandError(ExitCode code, std::wstring message)
      : std::runtime_error("command error"), code_(code), message_(std::move(message)) {}

  ExitCode code() const noexcept { return code_; }
  const std::wstring& message() const noexcept { return message_; }

 private:
  ExitCode code_;
  std::wstring message_;
};

inline CommandError BadArguments(std::wstring message) {
  return CommandError(ExitCode::BadArguments, std::move(message));
}
inline CommandError NotFound(std::wstring message) {
  return CommandError(ExitCode::NotFound, std::move(message));
}
inline CommandError Refused(std::wstring message) {
  return CommandError(ExitCode::Refused, std::move(message));
}

}  // namespace sheetlore::cli
