// The registration checks of sheetlore doctor. Since Windows 7 the ProgID and the type
// library keys are shared by both architectures (the type library names a win64 and a win32
// file), while the 32-bit class lives under Classes\Wow6432Node\CLSID on 64-bit Windows. The
// keys are read at those places in the 64-bit registry (the only one on 32-bit Windows), the
// user's classes first and then the machine's, as COM reads them.
#include <cstdio>
#include <string>
#include <utility>

#include "cli/doctor.h"
#include "cli/run.h"
#include "platform/win32/windows_api.h"
// After the Windows headers, which they build on.
#include <oleauto.h>

#include "com/sheetlore_guids.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handles.h"

namespace sheetlore::cli {
namespace {

using win32::GuidText;
using win32::unique_key;
constexpr wchar_t kTypeLibraryVersion[] = L"1.1";
constexpr wchar_t kInstallRemedy[] =
    L"run install.cmd in the Sheetlore folder as administrator (install-user.cmd: this user "
    L"only), or install the MSI";

struct RegistryView {
  std::wstring name;         // "x64", "x86"
  std::wstring classesPath;  // where this architecture's classes are: "CLSID\\" or
                             // "Wow6432Node\\CLSID\\"
  std::wstring syskind;      // the type library's platform key: win64 or win32
  unsigned short machine;    // the machine its DLL must be built for
  std::wstring registerRemedy;
};

// A text value of a key under root's Software\Classes (name null: the default value), in the
// 64-bit registry; nothing when missing.
std::optional<std::wstring> ReadFrom(HKEY root, const std::wstring& path, const wchar_t* name) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(root, (L"Software\\Classes\\" + path).c_str(), 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &raw) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const unique_key key(raw);
  wchar_t buffer[1024] = {};
  DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring text(buffer, bytes / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  if (text.empty()) return std::nullopt;
  return text;
}

// From the user's classes or else the machine's, as COM reads them; empty when missing.
std::wstring ReadText(const std::wstring& path, const wchar_t* name) {
  if (auto user = ReadFrom(HKEY_CURRENT_USER, path, name)) return *user;
  return ReadFrom(HKEY_LOCAL_MACHINE, path, name).value_or(L"");
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring MachineName(unsigned short machine) {
  switch (machine) {
    case IMAGE_FILE_MACHINE_AMD64:
      return L"x64";
    case IMAGE_FILE_MACHINE_I386:
      return L"x86";
    case IMAGE_FILE_MACHINE_ARM64:
      return L"ARM64";
    case 0:
      return L"not a Windows program";
    default:
      return L"machine " + std::to_wstring(machine);
  }
}

void CheckServerFile(const RegistryView& view, const std::wstring& server, Findings& findings) {
  const std::wstring prefix = L"registration." + view.name;
  findings.push_back(
      {prefix + L".server_file", IsFile(server),
       IsFile(server) ? L"exists" : L"missing: " + Quoted(server),
       IsFile(server) ? std::nullopt : std::optional<std::wstring>(view.registerRemedy)});
  if (!IsFile(server)) return;

  const unsigned short machine = BinaryMachine(server);
  const bool rightMachine = machine == view.machine;
  findings.push_back(
      {prefix + L".server_architecture", rightMachine,
       rightMachine ? MachineName(machine)
                    : Quoted(server) + L" is " + MachineName(machine) + L", which " + view.name +
                          L" hosts cannot load",
       rightMachine ? std::nullopt : std::optional<std::wstring>(view.registerRemedy)});

  const std::optional<std::wstring> release = BinaryRelease(server);
  const bool sameRelease = release && *release == ReleaseVersion();
  findings.push_back(
      {prefix + L".release", sameRelease,
       release ? L"release " + *release
               : L"a release before 1.1 (no release in its version resource)",
       sameRelease ? std::nullopt
                   : std::optional<std::wstring>(
                         L"install release " + ReleaseVersion() +
                         L" (install.cmd or the MSI), or use the sheetlore.exe of the registered "
                         L"release")});
  for (Finding& finding : CodeLocationFindings(prefix, server)) {
    findings.push_back(std::move(finding));
  }
}

void CheckView(const RegistryView& view, Findings& findings) {
  const std::wstring prefix = L"registration." + view.name;
  const std::wstring classKey = view.classesPath + GuidText(com::kClassId);
  const std::wstring serverKey = classKey + L"\\InprocServer32";
  const std::optional<std::wstring> userServer = ReadFrom(HKEY_CURRENT_USER, serverKey, nullptr);
  const std::optional<std::wstring> machineServer =
      ReadFrom(HKEY_LOCAL_MACHINE, serverKey, nullptr);
  if (!userServer && !machineServer) {
    findings.push_back({prefix + L".class", false,
                        L"not registered: " + view.name + L" hosts cannot create " + com::kProgId,
                        view.registerRemedy});
    return;
  }
  const std::wstring server = userServer ? *userServer : *machineServer;
  findings.push_back({prefix + L".class", true,
                      L"server " + Quoted(server) +
                          (userServer ? L" (this user's registration)" : L" (machine-wide)")});
  if (userServer && machineServer && !SameFile(*userServer, *machineServer)) {
    findings.push_back(
        {prefix + L".per_user_override", false,
         L"this user's registration (HKCU) names " + Quoted(*userServer) +
             L" and overrides the machine-wide one, " + Quoted(*machineServer),
         L"run uninstall-user.cmd in the folder of " + Quoted(*userServer) +
             L" (or regsvr32 /u /n /i:user on that file) so that the machine-wide one applies"});
  } else {
    findings.push_back({prefix + L".per_user_override", true,
                        !userServer     ? L"no registration of this user's own"
                        : machineServer ? L"this user's registration names the machine-wide file"
                                        : L"registered for this user only"});
  }
  CheckServerFile(view, server, findings);

  const std::wstring threading = ReadText(serverKey, L"ThreadingModel");
  const std::wstring expectedThreading = com::kThreadingModel;
  std::wstring threadingDetail = threading.empty() ? L"not set" : threading;
  if (threading != expectedThreading) threadingDetail += L" (" + expectedThreading + L" expected)";
  findings.push_back(
      {prefix + L".threading_model", threading == expectedThreading, std::move(threadingDetail),
       threading == expectedThreading ? std::nullopt
                                      : std::optional<std::wstring>(view.registerRemedy)});

  const std::wstring library = ReadText(L"TypeLib\\" + GuidText(com::kLibraryId) + L"\\" +
                                            kTypeLibraryVersion + L"\\0\\" + view.syskind,
                                        nullptr);
  if (library.empty()) {
    findings.push_back({prefix + L".type_library", false,
                        std::wstring(L"version ") + kTypeLibraryVersion + L" not registered",
                        view.registerRemedy});
    return;
  }
  ITypeLib* loaded = nullptr;
  const HRESULT result = ::LoadTypeLibEx(library.c_str(), REGKIND_NONE, &loaded);
  if (loaded) loaded->Release();
  wchar_t code[16] = {};
  std::swprintf(code, 16, L"0x%08X", static_cast<unsigned>(result));
  findings.push_back(
      {prefix + L".type_library", SUCCEEDED(result),
       SUCCEEDED(result) ? L"loads from " + Quoted(library)
                         : L"does not load from " + Quoted(library) + L" (" + code + L")",
       SUCCEEDED(result) ? std::nullopt : std::optional<std::wstring>(view.registerRemedy)});
}

// Whether this Windows has a 64-bit registry view: always for the x64 program, and for the
// x86 one when it runs under WOW64.
bool HasSixtyFourBitView() {
#ifdef _WIN64
  return true;
#else
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::vector<RegistryView> Views() {
  const RegistryView x64{L"x64", L"CLSID\\", L"win64", IMAGE_FILE_MACHINE_AMD64,
                         L"register x64\\Sheetlore.dll with %SystemRoot%\\System32\\regsvr32.exe "
                         L"(install.cmd registers both architectures), or repair the MSI"};
  if (!HasSixtyFourBitView()) {
    return {{L"x86", L"CLSID\\", L"win32", IMAGE_FILE_MACHINE_I386,
             L"register x86\\Sheetlore.dll with regsvr32 (install.cmd does)"}};
  }
  return {x64,
          {L"x86", L"Wow6432Node\\CLSID\\", L"win32", IMAGE_FILE_MACHINE_I386,
           L"register x86\\Sheetlore.dll with %SystemRoot%\\SysWOW64\\regsvr32.exe "
           L"(install.cmd registers both architectures), or repair the MSI"}};
}

bool ClassRegistered(const RegistryView& view) {
  const std::wstring serverKey = view.classesPath + GuidText(com::kClassId) + L"\\InprocServer32";
  return ReadFrom(HKEY_CURRENT_USER, serverKey, nullptr) ||
         ReadFrom(HKEY_LOCAL_MACHINE, serverKey, nullptr);
}

}  // namespace

Findings RegistrationFindings() {
  const std::vector<RegistryView> views = Views();
  const std::wstring classId = GuidText(com::kClassId);
  const std::wstring progIdClass = ReadText(std::wstring(com::kProgId) + L"\\CLSID", nullptr);
  bool anyClass = false;
  for (const RegistryView& view : views) anyClass = anyClass || ClassRegistered(view);
  // Nothing at all: one line that says what to run, not one failure per key.
  if (progIdClass.empty() && !anyClass) {
    return {{L"registration", false,
             std::wstring(com::kProgId) + L" is not registered for any architecture",
             kInstallRemedy}};
  }
  Findings findings;
  findings.push_back(
      {L"registration.progid", progIdClass == classId,
       progIdClass.empty() ? std::wstring(com::kProgId) + L" not registered"
                           : std::wstring(com::kProgId) + L" names class " + progIdClass,
       progIdClass == classId ? std::nullopt : std::optional<std::wstring>(kInstallRemedy)});
  for (const RegistryView& view : views) CheckView(view, findings);
  return findings;
}

std::optional<std::wstring> OwnArchitectureServer() {
#ifdef _WIN64
  const std::wstring classesPath = L"CLSID\\";
#else
  const std::wstring classesPath = HasSixtyFourBitView() ? L"Wow6432Node\\CLSID\\" : L"CLSID\\";
#endif
  const std::wstring server =
      ReadText(classesPath + GuidText(com::kClassId) + L"\\InprocServer32", nullptr);
  if (server.empty()) return std::nullopt;
  return server;
}

}  // namespace sheetlore::cli
