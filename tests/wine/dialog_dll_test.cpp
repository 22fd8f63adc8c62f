// FormShow through Sheetlore.dll: a host creates ClsPrint from the DLL, calls FormShow by name,
// and the call returns once the user has closed the real dialog.
#include <gtest/gtest.h>

#include <oaidl.h>
#include <objbase.h>

#include <string>
#include <thread>

#include "com/sheetlore_guids.h"
#include "platform/win32/com_ptr.h"
#include "tests/wine/dialog_window_driver.h"

namespace sheetlore::wine_test {
namespace {

constexpr DISPID kFormShowId = 0x60030007;

std::wstring DllPath() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path);
  return text.substr(0, text.find_last_of(L'\\') + 1) + L"Sheetlore.dll";
}

class ComApartment {
 public:
  ComApartment() { ::CoInitialize(nullptr); }
  ~ComApartment() { ::CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

TEST(DialogThroughDllTest, FormShowByNameShowsTheDialogUntilTheUserClosesIt) {
  ComApartment apartment;
  HMODULE dll = ::LoadLibraryW(DllPath().c_str());
  ASSERT_NE(dll, nullptr);
  using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
  auto* getClassObject = reinterpret_cast<GetClassObject*>(
      reinterpret_cast<void*>(::GetProcAddress(dll, "DllGetClassObject")));
  ASSERT_NE(getClassObject, nullptr);
  {
    win32::com_ptr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(com::kClassId, IID_IClassFactory, factory.put_void()), S_OK);
    win32::com_ptr<IDispatch> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.put_void()), S_OK);

    LPOLESTR name = const_cast<LPOLESTR>(L"FormShow");
    DISPID id = 0;
    ASSERT_EQ(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, kFormShowId);

    bool sawDialog = false;
    std::wstring printer;
    std::thread user([&] {
      HWND dialog = nullptr;
      WaitFor([&] {
        dialog = FindOwnWindow(kDialogCaption);
        return dialog && ::IsWindowVisible(dialog);
      });
      ASSERT_NE(dialog, nullptr);
      sawDialog = ClassOf(dialog) == win32::kDialogWindowClass;
      DialogDriver d(dialog);
      d.Settle();
      printer = d.Text({Control::Combo1});
      d.Click({Control::Cmd1, 4});
      EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    });
    DISPPARAMS none{};
    EXCEPINFO exception{};
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                                      nullptr, &exception, nullptr);
    user.join();
    EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(printer.empty());
    EXPECT_EQ(FindOwnWindow(kDialogCaption), nullptr);
  }
  ::FreeLibrary(dll);
}

}  // namespace
}  // namespace sheetlore::wine_test
