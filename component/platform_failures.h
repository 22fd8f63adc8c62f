#pragma once
// The platform calls that failed during one method call of the component, each with the
// operation's name and the error code the platform gave for it. A recording platform stands
// between the core and the real one: it passes every call through unchanged and notes the
// failures, so the methods themselves keep returning what they return and a caller that wants
// to know why (the tool, the trace) reads the notes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sheetlore {

struct PlatformFailure {
  std::wstring operation;  // the platform call, as Windows names it (AddForm, OpenPrinter...)
  std::uint32_t error = 0;

  friend bool operator==(const PlatformFailure&, const PlatformFailure&) = default;
};

// The failures noted since the last Clear, oldest first; bounded so that a loop of failing
// calls cannot grow it without end (the newest are kept).
class FailureLog {
 public:
  static constexpr std::size_t kKept = 16;

  void Add(std::wstring operation, std::uint32_t error);
  void Clear() { failures_.clear(); }
  const std::vector<PlatformFailure>& failures() const { return failures_; }
  std::optional<PlatformFailure> Last() const;

 private:
  std::vector<PlatformFailure> failures_;
};

// A Platform whose spooler, profile files and system note each failing call in a FailureLog;
// shell, host and dialogs are the real ones. Sizing answers (ERROR_INSUFFICIENT_BUFFER from
// the calls whose protocol asks for the size first) are no failures.
class FailureRecordingPlatform {
 public:
  explicit FailureRecordingPlatform(Platform& real);
  ~FailureRecordingPlatform();
  FailureRecordingPlatform(const FailureRecordingPlatform&) = delete;
  FailureRecordingPlatform& operator=(const FailureRecordingPlatform&) = delete;

  // The dialog host is the real platform's as it is now (tests set it after construction).
  Platform& platform() {
    platform_.dialogs = real_.dialogs;
    return platform_;
  }
  FailureLog& log() { return log_; }
  const FailureLog& log() const { return log_; }

 private:
  class Spooler;
  class Profile;
  class System;

  Platform& real_;
  FailureLog log_;
  std::unique_ptr<Spooler> spooler_;
  std::unique_ptr<Profile> profile_;
  std::unique_ptr<System> system_;
  Platform platform_;
};

}  // namespace sheetlore
