#pragma once
// What the contracts run against: each port with the means to set up and observe it. Natively
// it is the simulated platform (sim_backends.cpp); under Wine the Windows one (win32_backends.cpp),
// on real files, windows and the private CUPS queues Sheetlore_Office and Sheetlore_Label.

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace sheetlore::contract {

// A UTF-16 file's bytes: the little-endian mark, then the text.
inline std::string Utf16File(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (const wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

// One profile file, reached through the ProfileFiles port, whose bytes a test can set and read.
class ProfileBackend {
 public:
  virtual ~ProfileBackend() = default;
  virtual ProfileFiles& profile() = 0;
  virtual const std::wstring& path() const = 0;
  // The file holds exactly these bytes, or does not exist.
  virtual void SetFileBytes(const std::optional<std::string>& bytes) = 0;
  virtual std::optional<std::string> FileBytes() = 0;
  // Until the next FileBytes, writes to the file cannot succeed: another program holds it open
  // and shares nothing.
  virtual void BlockWrites() = 0;
  // The code page in which the profile service reads and writes a file without a mark.
  virtual unsigned AnsiCodePage() = 0;
};

std::unique_ptr<ProfileBackend> MakeProfileBackend();

// A print server with the printers Sheetlore_Office and Sheetlore_Label.
class SpoolerBackend {
 public:
  virtual ~SpoolerBackend() = default;
  virtual Spooler& spooler() = 0;
  // A device context of Sheetlore_Office, for ResetDC.
  virtual DeviceContext OfficeDC() = 0;
  // Bytes of one form's fixed record in an EnumForms or GetForm answer; its name follows.
  virtual std::uint32_t FormRecordBytes() = 0;
  // Whether AddForm and DeleteForm change the server's forms. Wine's spooler answers both with
  // success and keeps nothing, so the rules of added and deleted forms are checked on the
  // simulation alone; on Wine the calls must still succeed.
  virtual bool KeepsAddedForms() = 0;
};

std::unique_ptr<SpoolerBackend> MakeSpoolerBackend();

enum class FileKind { kOrdinary, kReadOnly, kHidden, kSystem };

// The System and Host ports, with a window a test opens and files of each kind.
class SystemBackend {
 public:
  virtual ~SystemBackend() = default;
  virtual System& system() = 0;
  virtual Host& host() = 0;
  // A top-level window of this process with that caption, open until CloseWindow.
  virtual WindowHandle OpenWindow(const std::wstring& caption) = 0;
  virtual void CloseWindow() = 0;
  // A clock that System::Milliseconds does not drive, in milliseconds: real time on Windows,
  // the simulation's own clock natively.
  virtual std::uint64_t ReferenceMilliseconds() = 0;
  // Makes a new empty file of that kind and returns its full path; it goes with the backend.
  virtual std::wstring MakeFile(FileKind kind) = 0;
};

std::unique_ptr<SystemBackend> MakeSystemBackend();

}  // namespace sheetlore::contract
