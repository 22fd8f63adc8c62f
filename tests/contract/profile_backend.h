#pragma once
// What the profile contract runs against: one profile file, reached through a ProfileFiles
// port, whose bytes a test can set and read. Natively it is the simulated platform; under Wine
// the Windows one, on a real file.

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace sheetlore::contract {

class ProfileBackend {
 public:
  virtual ~ProfileBackend() = default;
  virtual ProfileFiles& profile() = 0;
  virtual const std::wstring& path() const = 0;
  // The file holds exactly these bytes, or does not exist.
  virtual void SetFileBytes(const std::optional<std::string>& bytes) = 0;
  virtual std::optional<std::string> FileBytes() = 0;
  // Until the next FileBytes, writes to the file cannot succeed: another program holds it for
  // itself (Windows), or it is read-only (simulation; Wine running as root would write a read-only
  // file all the same).
  virtual void BlockWrites() = 0;
  // The code page in which the profile service reads and writes a file without a mark.
  virtual unsigned AnsiCodePage() = 0;
};

std::unique_ptr<ProfileBackend> MakeProfileBackend();

}  // namespace sheetlore::contract
