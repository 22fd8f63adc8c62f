// The Win32 host services: printers from the private CUPS queues, the component's directory
// and the file test.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/win32/win32_host.h"
#include "platform/win32/win32_printer.h"
#include "platform/win32/windows_api.h"
#include "tests/wine/temp_file.h"

namespace sheetlore::win32 {
namespace {

std::vector<std::wstring> Names(const std::vector<PrinterRef>& printers) {
  std::vector<std::wstring> names;
  for (const auto& printer : printers) names.push_back(printer->DeviceName());
  return names;
}

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(Win32Host, PrintersListsTheCupsQueues) {
  Win32Host host;
  const auto names = Names(host.Printers());
  EXPECT_TRUE(Contains(names, L"Sheetlore_Office"));
  EXPECT_TRUE(Contains(names, L"Sheetlore_Label"));
  EXPECT_TRUE(Contains(names, L"Sheetlore_Draft"));
}

TEST(Win32Host, EveryListedPrinterGivesADeviceContext) {
  Win32Host host;
  for (const auto& printer : host.Printers()) {
    const DeviceContext dc = printer->hDC();
    ASSERT_NE(dc, 0u) << printer->DeviceName().size();
    EXPECT_EQ(::GetDeviceCaps(reinterpret_cast<HDC>(dc), TECHNOLOGY), DT_RASPRINTER);
  }
}

TEST(Win32Host, CurrentPrinterIsTheDefaultQueueWithOneLastingDeviceContext) {
  Win32Host host;
  const PrinterRef current = host.CurrentPrinter();
  ASSERT_TRUE(current);
  EXPECT_EQ(host.CurrentPrinter(), current);
  EXPECT_EQ(current->DeviceName(), L"Sheetlore_Office");
  const DeviceContext dc = current->hDC();
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(current->hDC(), dc);
  EXPECT_EQ(::GetDeviceCaps(reinterpret_cast<HDC>(dc), TECHNOLOGY), DT_RASPRINTER);
  EXPECT_GT(::GetDeviceCaps(reinterpret_cast<HDC>(dc), HORZRES), 0);
}

TEST(Win32Host, PrinterThatDoesNotExistFailsWithPrinterError) {
  auto printer = std::make_shared<Win32Printer>(L"No such queue");
  EXPECT_EQ(printer->DeviceName(), L"No such queue");
  try {
    printer->hDC();
    FAIL() << "no exception";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), 482);
  }
}

TEST(Win32Host, ComponentDirectoryIsTheDirectoryOfThisModule) {
  wchar_t exePath[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::wstring path(exePath, length);
  const std::wstring expected = path.substr(0, path.find_last_of(L'\\'));

  Win32Host host;
  const std::wstring directory = host.ComponentDirectory();
  EXPECT_EQ(directory, expected);
  EXPECT_NE(directory.back(), L'\\');
  EXPECT_TRUE(host.FileExists(path));
}

TEST(Win32Host, DirectoryOfKeepsTheBackslashOnlyAtADriveRoot) {
  EXPECT_EQ(DirectoryOf(L"C:\\Sheetlore.dll"), L"C:\\");
  EXPECT_EQ(DirectoryOf(L"C:\\Program Files\\新增\\Sheetlore.dll"), L"C:\\Program Files\\新增");
  EXPECT_EQ(DirectoryOf(L"\\\\server\\share\\Sheetlore.dll"), L"\\\\server\\share");
  EXPECT_EQ(DirectoryOf(L"Sheetlore.dll"), L"");
}

TEST(Win32Host, FileExistsOnlyForOrdinaryFiles) {
  Win32Host host;
  TempFile file(L".ini");
  EXPECT_FALSE(host.FileExists(file.path()));
  EXPECT_FALSE(host.FileExists(L""));

  const HANDLE created = ::CreateFileW(file.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  ::CloseHandle(created);
  EXPECT_TRUE(host.FileExists(file.path()));
  ASSERT_TRUE(::SetFileAttributesW(file.path().c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(host.FileExists(file.path()));
  ASSERT_TRUE(::SetFileAttributesW(file.path().c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_FALSE(host.FileExists(file.path()));
  ASSERT_TRUE(::SetFileAttributesW(file.path().c_str(), FILE_ATTRIBUTE_SYSTEM));
  EXPECT_FALSE(host.FileExists(file.path()));

  TempFile directory(L"_dir");
  ASSERT_TRUE(::CreateDirectoryW(directory.path().c_str(), nullptr));
  EXPECT_FALSE(host.FileExists(directory.path()));
}

}  // namespace
}  // namespace sheetlore::win32
