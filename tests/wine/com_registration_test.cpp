// Sheetlore.dll's entry points and its registration, machine-wide and per user.

#include <string>

#include "com/cls_print_interface.h"
#include "tests/wine/com_test_support.h"

namespace sheetlore::com_test {
namespace {

constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{188AD010-B752-4ADC-9E36-D06143AC4914}";
constexpr wchar_t kProgIdKey[] = L"Software\\Classes\\Sheetlore.ClsPrint";
constexpr wchar_t kInterfaceKey[] =
    L"Software\\Classes\\Interface\\{5E8DBAC0-6E0E-4AF8-AF3F-8647E2E0543E}";
constexpr wchar_t kTypeLibraryKey[] =
    L"Software\\Classes\\TypeLib\\{B0D81A92-2C42-4EA0-8E2A-775C03B6B053}";
constexpr CLSID kClassId = {
    0x188AD010, 0xB752, 0x4ADC, {0x9E, 0x36, 0xD0, 0x61, 0x43, 0xAC, 0x49, 0x14}};

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

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

bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring TypeLibraryPathKey() {
#ifdef _WIN64
  return std::wstring(kTypeLibraryKey) + L"\\1.1\\0\\win64";
#else
  return std::wstring(kTypeLibraryKey) + L"\\1.1\\0\\win32";
#endif
}

void ExpectNothingOfOursIn(HKEY root) {
  for (const wchar_t* key : {kClassKey, kProgIdKey, kInterfaceKey, kTypeLibraryKey}) {
    EXPECT_FALSE(KeyExists(root, key)) << "left behind: " << std::string(key, key + wcslen(key));
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
  const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
  EXPECT_TRUE(SamePath(Value(machine, server), DllPath())) << Value(machine, server).c_str();
  EXPECT_EQ(Value(machine, server, L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(Value(machine, std::wstring(kClassKey) + L"\\ProgID"), L"Sheetlore.ClsPrint");
  EXPECT_EQ(Value(machine, std::wstring(kProgIdKey) + L"\\CLSID"),
            L"{188AD010-B752-4ADC-9E36-D06143AC4914}");
  EXPECT_EQ(Value(machine, std::wstring(kInterfaceKey) + L"\\ProxyStubClsid32"),
            L"{00020424-0000-0000-C000-000000000046}");
  EXPECT_EQ(Value(machine, std::wstring(kInterfaceKey) + L"\\TypeLib"),
            L"{B0D81A92-2C42-4EA0-8E2A-775C03B6B053}");
  EXPECT_TRUE(SamePath(Value(machine, TypeLibraryPathKey()), DllPath()));

  CLSID classId{};
  ASSERT_EQ(CLSIDFromProgID(L"Sheetlore.ClsPrint", &classId), S_OK);
  EXPECT_TRUE(IsEqualCLSID(classId, kClassId));
  com_ptr<IDispatch> object;
  ASSERT_EQ(CreateByProgId(object), S_OK);
  com_ptr<_ClsPrint> slots;
  EXPECT_EQ(object.query(slots), S_OK);
  object.reset();
  slots.reset();

  ASSERT_EQ(dll_.UnregisterServer(), S_OK);
  ExpectNothingOfOursIn(machine);
  EXPECT_TRUE(FAILED(CLSIDFromProgID(L"Sheetlore.ClsPrint", &classId)));
  EXPECT_EQ(
      CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void()),
      REGDB_E_CLASSNOTREG);
  EXPECT_EQ(dll_.UnregisterServer(), S_OK);  // nothing left to remove is no failure
}

TEST_F(ComRegistration, PerUserInstallNeedsNoMachineKeys) {
  ASSERT_EQ(dll_.Install(true, L"user"), S_OK);
  const HKEY user = HKEY_CURRENT_USER;
  EXPECT_TRUE(SamePath(Value(user, std::wstring(kClassKey) + L"\\InprocServer32"), DllPath()));
  EXPECT_EQ(Value(user, std::wstring(kClassKey) + L"\\InprocServer32", L"ThreadingModel"),
            L"Apartment");
  EXPECT_EQ(Value(user, std::wstring(kProgIdKey) + L"\\CLSID"),
            L"{188AD010-B752-4ADC-9E36-D06143AC4914}");
  EXPECT_EQ(Value(user, std::wstring(kInterfaceKey) + L"\\ProxyStubClsid32"),
            L"{00020424-0000-0000-C000-000000000046}");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));

  com_ptr<IDispatch> object;
  if (RunningOnWine()) {
    // Wine's COM reads classes from the machine's keys only: follow the user's keys by hand
    // as COM does on Windows.
    CLSID classId{};
    ASSERT_EQ(CLSIDFromString(Value(user, std::wstring(kProgIdKey) + L"\\CLSID").c_str(), &classId),
              NOERROR);
    HMODULE server =
        LoadLibraryW(Value(user, std::wstring(kClassKey) + L"\\InprocServer32").c_str());
    ASSERT_NE(server, nullptr);
    auto* getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(GetProcAddress(server, "DllGetClassObject")));
    com_ptr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(classId, IID_IClassFactory, factory.put_void()), S_OK);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.put_void()), S_OK);
    object.reset();
    factory.reset();
    FreeLibrary(server);
  } else {
    EXPECT_EQ(CreateByProgId(object), S_OK);
    object.reset();
  }

  ASSERT_EQ(dll_.Install(false, L"user"), S_OK);
  ExpectNothingOfOursIn(user);
  ExpectNothingOfOursIn(HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(FAILED(CreateByProgId(object)));
}

TEST_F(ComRegistration, CanUnloadOnlyWithoutObjectsAndLocks) {
  auto* getClassObject =
      dll_.Get<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject");
  ASSERT_NE(getClassObject, nullptr);
  EXPECT_EQ(dll_.CanUnloadNow(), S_OK);

  com_ptr<IClassFactory> factory;
  ASSERT_EQ(getClassObject(kClassId, IID_IClassFactory, factory.put_void()), S_OK);
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
  ASSERT_EQ(getClassObject(kClassId, IID_IClassFactory, factory.put_void()), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(dll_.CanUnloadNow(), S_OK);

  const CLSID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(getClassObject(other, IID_IClassFactory, factory.put_void()),
            CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
}  // namespace sheetlore::com_test
