#pragma once
// Every Windows platform service, owned together and gathered as one Platform.

#include "platform/platform.h"
#include "platform/win32/dialog_host.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_profile_files.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/win32_system.h"

namespace sheetlore::win32 {

class Win32Platform {
 public:
  Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& platform() { return platform_; }

  Win32Spooler& spooler() { return spooler_; }
  Win32ProfileFiles& profile() { return profile_; }
  Win32System& system() { return system_; }
  Win32Shell& shell() { return shell_; }
  Win32Host& host() { return host_; }

 private:
  Win32Spooler spooler_;
  Win32ProfileFiles profile_;
  Win32System system_;
  Win32Shell shell_;
  Win32Host host_;
  Win32DialogHost dialogs_;
  Platform platform_;  // refers to the members above: declared after them
};

}  // namespace sheetlore::win32
