// What only the Windows platform does, against Wine's system calls: printers as automation
// objects over the private CUPS queues, the module's directory, the message loop and the message
// box, the store's locked changes and their lock, the wizard. The rules it shares with the
// simulation are in tests/contract.

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/win32/profile_lock_name.h"
#include "platform/win32/spooler_library.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_printer.h"
#include "platform/win32/win32_profile_files.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/windows_api.h"
#include "tests/support/files.h"
#include "tests/support/own_windows.h"
// after windows.h
#include <aclapi.h>
#include <sddl.h>

namespace sheetlore::win32 {
namespace {

bool IsPrinterDC(DeviceContext dc) {
  return dc != 0 && ::GetDeviceCaps(reinterpret_cast<HDC>(dc), TECHNOLOGY) == DT_RASPRINTER;
}

TEST(Win32Host, PrintersAreTheCupsQueuesEachWithAPrinterDC) {
  Win32Host host;
  std::vector<std::wstring> names;
  for (const PrinterRef& printer : host.Printers()) {
    names.push_back(printer->DeviceName());
    EXPECT_TRUE(IsPrinterDC(printer->hDC())) << names.size();
  }
  for (const wchar_t* queue : {L"Sheetlore_Office", L"Sheetlore_Label", L"Sheetlore_Draft"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), queue), names.end());
  }
  // The current printer is the default queue, one object with one lasting device context.
  const PrinterRef current = host.CurrentPrinter();
  EXPECT_EQ(host.CurrentPrinter(), current);
  EXPECT_EQ(current->DeviceName(), L"Sheetlore_Office");
  EXPECT_TRUE(IsPrinterDC(current->hDC()));
  EXPECT_EQ(current->hDC(), current->hDC());

  Win32Printer missing(L"No such queue");
  EXPECT_EQ(missing.DeviceName(), L"No such queue");
  try {
    missing.hDC();
    ADD_FAILURE() << "a printer that does not exist gave a device context";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), 482);
  }
}

// The spooler's library comes from the system directory; a library or function that is not
// there makes each call fail with the reason, and nothing crashes.
TEST(SpoolerLibrary, MissingLibrariesAndFunctionsAreOrdinaryFailures) {
  const auto system = SpoolerLibrary::Acquire();
  ASSERT_TRUE(system->Loaded());
  EXPECT_NE(system->OpenPrinterW, nullptr);
  EXPECT_NE(system->GetDefaultPrinterW, nullptr);
  EXPECT_EQ(SpoolerLibrary::Acquire(), system);  // one table while it is held

  for (const auto& [file, error] : {std::pair{L"no-such-spooler.drv", ERROR_MOD_NOT_FOUND},
                                    std::pair{L"version.dll", ERROR_PROC_NOT_FOUND}}) {
    auto api = std::make_shared<const SpoolerLibrary>(file);
    EXPECT_EQ(api->LoadError(), static_cast<DWORD>(error)) << file;
    EXPECT_EQ(api->EnumFormsW, nullptr);
    Win32Spooler spooler(api);
    EXPECT_EQ(spooler.OpenPrinter(L"Sheetlore_Office", PRINTER_ACCESS_USE), 0u) << file;
    EXPECT_EQ(spooler.LastError(), static_cast<std::uint32_t>(error));
    std::vector<FormInfo> forms;
    std::uint32_t needed = 0;
    std::uint32_t returned = 0;
    EXPECT_FALSE(spooler.EnumForms(1, 0, forms, needed, returned));
    EXPECT_EQ(spooler.DocumentProperties(0, 1, L"Sheetlore_Office", nullptr, nullptr, 0), -1);
  }
  // A library only in the program's folder (the build's) is not loaded.
  EXPECT_EQ(LoadSystemLibrary(L"Sheetlore.dll"), nullptr);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Win32Host, ComponentDirectoryIsTheModulesWithoutATrailingBackslash) {
  wchar_t module[MAX_PATH] = {};
  const std::wstring path(module, ::GetModuleFileNameW(nullptr, module, MAX_PATH));
  EXPECT_EQ(Win32Host().ComponentDirectory(), path.substr(0, path.find_last_of(L'\\')));
  EXPECT_EQ(DirectoryOf(L"C:\\Sheetlore.dll"), L"C:\\");
  EXPECT_EQ(DirectoryOf(L"C:\\Program Files\\新增\\Sheetlore.dll"), L"C:\\Program Files\\新增");
  EXPECT_EQ(DirectoryOf(L"\\\\server\\share\\Sheetlore.dll"), L"\\\\server\\share");
  EXPECT_EQ(DirectoryOf(L"Sheetlore.dll"), L"");

  TempFile directory(L"_dir");
  ASSERT_TRUE(::CreateDirectoryW(directory.path().c_str(), nullptr));
  EXPECT_FALSE(Win32Host().FileExists(directory.path()));
}

TEST(Win32System, PumpMessagesRunsPendingMessagesAndKeepsAQuitRequest) {
  const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  const auto font = reinterpret_cast<WPARAM>(::GetStockObject(ANSI_FIXED_FONT));
  ::PostMessageW(window, WM_SETFONT, font, 0);
  ::PostQuitMessage(7);
  Win32System().PumpMessages();
  EXPECT_EQ(static_cast<WPARAM>(::SendMessageW(window, WM_GETFONT, 0, 0)), font);
  MSG message;
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
  ::DestroyWindow(window);
}

TEST(Win32System, MessageBoxShowsTextTitleInformationIconAndOnlyOk) {
  bool informationIcon = false;
  bool otherButton = false;
  std::wstring text;
  std::thread user([&] {
    const HWND box = wine_test::WaitForMessageBox();
    if (!box) return;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
      informationIcon = informationIcon || (icon && icon == ::LoadIconW(nullptr, IDI_INFORMATION));
    }
    for (int id : {IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
      const HWND button = ::GetDlgItem(box, id);
      otherButton = otherButton || (button && ::IsWindowVisible(button));
    }
    text = wine_test::ConfirmMessageBox(box);
  });
  Win32System().MessageBox(L"格式新增成功,請檢查!", L"系統提示", MB_OK | MB_ICONINFORMATION);
  user.join();
  EXPECT_EQ(text, L"格式新增成功,請檢查!");
  EXPECT_TRUE(informationIcon);
  EXPECT_FALSE(otherButton);
}

// A committed change leaves nothing beside the file (when a change reaches the file: the profile
// contract); what a killed holder left behind is cleared by the next lock and never applied: its
// unfinished copy goes, an older version's ".saved" copy is set aside under a name that says so.
TEST(Win32ProfileFiles, ACommitLeavesNoCopyAndLeftoversAreNeverApplied) {
  Win32ProfileFiles profile;
  TempFile file(L".ini");
  const std::wstring& path = file.path();
  const auto list = [&] {
    std::wstring text;
    profile.GetString(L"PrintMain", std::nullopt, L"", 100, text, path);
    return text;
  };
  ASSERT_TRUE(profile.WriteString(L"PrintMain", L"A5X", L"A5X", path));
  {
    const auto lock = profile.LockFile(path);
    ASSERT_TRUE(profile.WriteString(L"PrintMain", L"B5", L"B5", path));
    EXPECT_TRUE(lock->Commit());
  }
  const std::wstring both(L"A5X\0B5\0", 7);
  EXPECT_EQ(list(), both);
  const std::wstring leaf = path.substr(path.find_last_of(L'\\') + 1);
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW((path + L".*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    EXPECT_EQ(found.cFileName, leaf) << "left beside the file";
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);

  // A killed holder's copy (here: an empty one) and an older version's saved copy.
  const std::wstring stale = path + L".pending-99999-1";
  SetFileBytes(stale, "");
  SetFileBytes(path + L".saved", "[PrintMain]\r\nOld=Old\r\n");
  ASSERT_TRUE(profile.LockFile(path));
  EXPECT_EQ(list(), both);
  EXPECT_FALSE(FileBytes(stale));
  EXPECT_FALSE(FileBytes(path + L".saved"));
  EXPECT_TRUE(FileBytes(path + L".saved.set-aside-1"));
  ::DeleteFileW((path + L".saved.set-aside-1").c_str());

  EXPECT_FALSE(profile.WriteString(L"S", L"K", L"V", path + L"\\missing\\x.ini"));
}

// One lock per file whatever the spelling, in the global namespace, with an access list that
// lets every authenticated user wait on it and release it (Wine keeps the descriptor of a named
// object, though it checks none).
TEST(Win32ProfileFiles, TheLockIsNamedAfterTheFolderAndCarriesItsAccessList) {
  TempFile folder(L".d");
  ASSERT_TRUE(::CreateDirectoryW(folder.path().c_str(), nullptr));
  const std::wstring path = folder.path() + L"\\PrintSet.ini";
  const std::wstring name = ProfileLockName(path);
  EXPECT_EQ(name.rfind(L"Global\\", 0), 0u) << name;
  EXPECT_EQ(ProfileLockName(folder.path() + L"\\.\\..\\" +
                            folder.path().substr(folder.path().find_last_of(L'\\') + 1) +
                            L"/printset.INI"),
            name);
  EXPECT_NE(ProfileLockName(folder.path() + L"\\Other.ini"), name);

  // Replacing the file by a rename keeps the name: it comes from the folder.
  SetFileBytes(path, "x");
  EXPECT_EQ(ProfileLockName(path), name);

  Win32ProfileFiles profile;
  const auto lock = profile.LockFile(path);
  ASSERT_TRUE(lock);
  const unique_kernel_handle mutex(::OpenMutexW(READ_CONTROL | SYNCHRONIZE, FALSE, name.c_str()));
  ASSERT_TRUE(mutex) << ::GetLastError();
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL dacl = nullptr;
  ASSERT_EQ(::GetSecurityInfo(mutex.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor),
            ERROR_SUCCESS);
  LPWSTR sddl = nullptr;
  ASSERT_TRUE(::ConvertSecurityDescriptorToStringSecurityDescriptorW(
      descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &sddl, nullptr));
  const std::wstring text = sddl;
  ::LocalFree(sddl);
  ::LocalFree(descriptor);
  EXPECT_NE(text.find(L"(A;;0x100001;;;AU)"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L";;;BA)"), std::wstring::npos) << text;
  ::DeleteFileW(path.c_str());
}

// Returning at all is the check: nobody closes the wizard here, so a start that waited for it
// would never return and the suite's timeout would fail it.
TEST(Win32Shell, StartAddPrinterWizardReturnsWithoutWaiting) {
  EXPECT_NO_THROW(Win32Shell().StartAddPrinterWizard());
}

int g_closes = 0;
BOOL WINAPI CountClose(HANDLE) {
  ++g_closes;
  return TRUE;
}

// An owner closes only a handle of its kind: a failed CreateFile (INVALID_HANDLE_VALUE) is no
// file to close, nor is null a process handle. A thread that COM already joined to another
// apartment keeps it: the guard does not leave what it did not join.
TEST(Win32Owners, EachOwnerClosesOnlyARealHandleAndTheApartmentGuardOnlyWhatItJoined) {
  g_closes = 0;
  {
    const unique_handle<HANDLE, &CountClose, InvalidHandleValue> failed(::CreateFileW(
        L"C:\\no such folder\\x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(failed.get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(failed);
    const unique_handle<HANDLE, &CountClose> none(nullptr);
    EXPECT_FALSE(none);
  }
  EXPECT_EQ(g_closes, 0);
  {
    unique_handle<HANDLE, &CountClose, InvalidHandleValue> file(nullptr);
    EXPECT_TRUE(file);
    file.reset();
    EXPECT_EQ(g_closes, 1);
  }
  EXPECT_EQ(g_closes, 1);
  {
    TempFile temp(L".txt");
    const unique_hfile real(
        ::CreateFileW(temp.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(real);
  }

  std::thread([] {
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    {
      const com_apartment apartment;
      EXPECT_EQ(apartment.result(), RPC_E_CHANGED_MODE);
    }
    // Still in the multithreaded apartment: joining it again only counts.
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    ::CoUninitialize();
    ::CoUninitialize();
  }).join();
}

}  // namespace
}  // namespace sheetlore::win32
