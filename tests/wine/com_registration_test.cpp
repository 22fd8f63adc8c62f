// Sheetlore.dll's entry points, its registration machine-wide, a registration that fails
// half-way (machine-wide and per user), and its version resource. (Per-user registration of
// both architectures side by side: registration_views_test.sh.)

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/com_support.h"

namespace sheetlore::com_test {
namespace {

// The keys are written out here, not taken from the DLL's headers: they are what callers'
// registries and compiled code hold.
constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{188AD010-B752-4ADC-9E36-D06143AC4914}";
constexpr wchar_t kProgIdKey[] = L"Software\\Classes\\Sheetlore.ClsPrint";
constexpr wchar_t kInterfaceKey[] =
    L"Software\\Classes\\Interface\\{5E8DBAC0-6E0E-4AF8-AF3F-8647E2E0543E}";
constexpr wchar_t kTypeLibraryKey[] =
    L"Software\\Classes\\TypeLib\\{B0D81A92-2C42-4EA0-8E2A-775C03B6B053}";
constexpr wchar_t kClassIdText[] = L"{188AD010-B752-4ADC-9E36-D06143AC4914}";
constexpr wchar_t kMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
#ifdef _WIN64
constexpr wchar_t kTypeLibraryPath[] = L"\\1.1\\0\\win64";
#else
constexpr wchar_t kTypeLibraryPath[] = L"\\1.1\\0\\win32";
#endif

// A text value; "(absent)" when there is none.
std::wstring Value(HKEY root, const std::wstring& path, const wchar_t* name = nullptr) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS) {
    return L"(absent)";
  }
  return buffer;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void ExpectNothingOfOursIn(HKEY root) {
  for (const wchar_t* path : {kClassKey, kProgIdKey, kInterfaceKey, kTypeLibraryKey}) {
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExW(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (exists) RegCloseKey(key);
    EXPECT_FALSE(exists) << "left behind: " << testing::PrintToString(path);
  }
}

class ComRegistration : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dll_) << "Sheetlore.dll not found beside the test"; }
  void TearDown() override {
    dll_.UnregisterServer();
    dll_.Install(false, L"user");
  }
  ComApartment apartment_;
  LoadedDll dll_;
};

TEST_F(ComRegistration, ExportsTheEntryPointsUnderTheirPlainNames) {
  for (const char* name : {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject",
                           "DllCanUnloadNow", "DllInstall"}) {
    EXPECT_NE(dll_.Get<void()>(name), nullptr) << name;
  }
  EXPECT_EQ(dll_.Get<void()>("_DllGetClassObject@12"), nullptr);
  EXPECT_EQ(dll_.Get<void()>("DllGetClassObject@12"), nullptr);
}

TEST_F(ComRegistration, MachineRegistrationWritesClassProgIdInterfaceAndTypeLibrary) {
  ASSERT_EQ(dll_.RegisterServer(), S_OK);
  ASSERT_EQ(dll_.RegisterServer(), S_OK);  // a second time is harmless
  const HKEY machine = HKEY_LOCAL_MACHINE;
  EXPECT_EQ(Value(machine, std::wstring(kClassKey) + L"\\InprocServer32", L"ThreadingModel"),
            L"Apartment");
  EXPECT_EQ(Value(machine, std::wstring(kProgIdKey) + L"\\CLSID"), kClassIdText);
  EXPECT_EQ(Value(machine, std::wstring(kInterfaceKey) + L"\\ProxyStubClsid32"), kMarshaler);
  EXPECT_EQ(Value(machine, std::wstring(kClassKey) + L"\\ProgID"), L"Sheetlore.ClsPrint");
  EXPECT_EQ(Value(machine, std::wstring(kInterfaceKey) + L"\\TypeLib"),
            L"{B0D81A92-2C42-4EA0-8E2A-775C03B6B053}");
  EXPECT_TRUE(
      SamePath(Value(machine, std::wstring(kTypeLibraryKey) + kTypeLibraryPath), DllPath()));

  // Created by its ProgID once registered: every ComObject test. The server's path, no key left
  // after unregistering and no creation after regsvr32 /u, in both architectures' views:
  // registration_views_test.sh.
  ASSERT_EQ(dll_.UnregisterServer(), S_OK);
  EXPECT_EQ(dll_.UnregisterServer(), S_OK);  // nothing left to remove is no failure
}

// A key of ours that exists already as a volatile key, under which the registry refuses
// lasting keys: the registration stops there, after the type library and some keys were
// written, fails, and takes back everything it wrote.
TEST_F(ComRegistration, ARegistrationStoppedHalfWayLeavesNothingBehind) {
  for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    for (const wchar_t* volatileKey : {kProgIdKey, kClassKey}) {
      SCOPED_TRACE(testing::PrintToString(volatileKey) +
                   (root == HKEY_CURRENT_USER ? " per user" : ""));
      // Its parent first as a lasting key: made along with a volatile key it would be volatile
      // too, and refuse every later registration under it (a fresh prefix has no HKCU classes).
      const std::wstring path = volatileKey;
      const std::wstring parent = path.substr(0, path.rfind(L'\\'));
      HKEY key = nullptr;
      ASSERT_EQ(
          RegCreateKeyExW(root, parent.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
          ERROR_SUCCESS);
      RegCloseKey(key);
      ASSERT_EQ(RegCreateKeyExW(root, volatileKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_READ,
                                nullptr, &key, nullptr),
                ERROR_SUCCESS);
      RegCloseKey(key);
      EXPECT_TRUE(
          FAILED(root == HKEY_CURRENT_USER ? dll_.Install(true, L"user") : dll_.RegisterServer()));
      ExpectNothingOfOursIn(root);
      RegDeleteTreeW(root, volatileKey);
    }
  }
}

// The version resource installers read: one Traditional Chinese Unicode block, version 1.00,
// marking the DLL as self-registering.
TEST_F(ComRegistration, VersionResourceMarksASelfRegisteringDll) {
  DWORD handle = 0;
  std::vector<unsigned char> data(GetFileVersionInfoSizeW(DllPath().c_str(), &handle));
  ASSERT_FALSE(data.empty());
  ASSERT_TRUE(
      GetFileVersionInfoW(DllPath().c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  void* value = nullptr;
  UINT length = 0;
  for (const auto& [path, expected] : std::vector<std::pair<std::wstring, std::wstring>>{
           {L"040404B0\\FileVersion", L"1.00"},
           {L"040404B0\\ProductVersion", L"1.00"},
           {L"040404B0\\InternalName", L"Sheetlore"},
           {L"040404B0\\OriginalFilename", L"Sheetlore.dll"},
           {L"040404B0\\OLESelfRegister", L""},
           {L"040904B0\\FileVersion", L"(absent)"}}) {
    const bool found =
        VerQueryValueW(data.data(), (L"\\StringFileInfo\\" + path).c_str(), &value, &length);
    EXPECT_EQ(found ? std::wstring(static_cast<const wchar_t*>(value), length ? length - 1 : 0)
                    : L"(absent)",
              expected)
        << testing::PrintToString(path);
  }
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(*static_cast<const DWORD*>(value), 0x04B00404u);  // 0x0404 then code page 1200
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", &value, &length));
  EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST_F(ComRegistration, CanUnloadOnlyWithoutObjectsAndLocks) {
  EXPECT_EQ(dll_.CanUnloadNow(), S_OK);
  com_ptr<IClassFactory> factory;
  ASSERT_EQ(dll_.GetClassObject(com::kClassId, factory), S_OK);
  EXPECT_EQ(dll_.CanUnloadNow(), S_FALSE);
  com_ptr<IDispatch> first, second;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, first.put_void()), S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, second.put_void()), S_OK);
  com_ptr<IUnknown> outer;
  EXPECT_EQ(factory->CreateInstance(first.get(), IID_IUnknown, outer.put_void()),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  first.reset();
  second.reset();
  EXPECT_EQ(dll_.CanUnloadNow(), S_FALSE);  // the lock holds it
  ASSERT_EQ(dll_.GetClassObject(com::kClassId, factory), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(dll_.CanUnloadNow(), S_OK);

  const CLSID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(dll_.GetClassObject(other, factory), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
}  // namespace sheetlore::com_test
