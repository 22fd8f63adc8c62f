#pragma once
// What the system contract runs against: the System and Host ports, with a way to open a
// top-level window and to make files of each kind. Natively it is the simulated platform; under
// Wine the Windows one, with real windows (Xvfb) and files in the temporary directory.

#include <memory>
#include <string>

#include "platform/platform.h"

namespace sheetlore::contract {

enum class FileKind { kOrdinary, kReadOnly, kHidden, kSystem };

class SystemBackend {
 public:
  virtual ~SystemBackend() = default;
  virtual System& system() = 0;
  virtual Host& host() = 0;
  // A top-level window of this process with that caption, open until CloseWindow.
  virtual WindowHandle OpenWindow(const std::wstring& caption) = 0;
  virtual void CloseWindow(WindowHandle window) = 0;
  // A clock that System::Milliseconds does not drive, in milliseconds: real time on Windows,
  // the simulation's own clock natively.
  virtual std::uint64_t ReferenceMilliseconds() = 0;
  // Makes a new empty file of that kind and returns its full path; it goes with the backend.
  virtual std::wstring MakeFile(FileKind kind) = 0;
};

std::unique_ptr<SystemBackend> MakeSystemBackend();

}  // namespace sheetlore::contract
