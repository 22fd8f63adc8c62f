// Every method of Sheetlore.dll called by name with wrong arguments: empty, null and 64 KiB
// strings, control characters, NaN, infinities, negative zero, sizes just past the spooler's
// 32-bit range once scaled, wrong VARIANT types, arrays where text is expected, objects
// without DeviceName and missing required arguments. Each call gives its documented result
// or an automation error, never a crash, and no refused call changes PrintSet.ini.

#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <thread>

#include "com/sheetlore_guids.h"
#include "tests/wine/support/com_support.h"

namespace sheetlore::com_test {
namespace {

constexpr HRESULT kOverflow = static_cast<HRESULT>(0x800A0006);
constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);
constexpr HRESULT kObjectNotSet = static_cast<HRESULT>(0x800A005B);

// The outcomes a call with wrong arguments may have besides success.
const std::set<HRESULT> kAutomationErrors = {
    DISP_E_TYPEMISMATCH, DISP_E_PARAMNOTOPTIONAL, DISP_E_BADPARAMCOUNT, DISP_E_OVERFLOW,
    DISP_E_BADVARTYPE,   DISP_E_PARAMNOTFOUND,    DISP_E_EXCEPTION,     E_INVALIDARG};

std::wstring StorePath() {
  const std::wstring dll = DllPath();
  return dll.substr(0, dll.find_last_of(L'\\')) + L"\\PrintSet.ini";
}

std::string FileBytes(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<absent>";
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

void SetFileBytes(const std::wstring& path, const std::string& bytes) {
  if (bytes == "<absent>") {
    DeleteFileW(path.c_str());
    return;
  }
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// Closes any message box titled "系統提示" and the maintenance dialog that a call of this
// process shows, so a call that wrongly reaches one cannot hang the test; counts them.
// Windows of other processes on the same display are left alone.
class MessageBoxWatch {
 public:
  MessageBoxWatch()
      : thread_([this] {
          while (!stop_) {
            EnumWindows(&MessageBoxWatch::CloseOurs, reinterpret_cast<LPARAM>(this));
            Sleep(50);
          }
        }) {}
  ~MessageBoxWatch() {
    stop_ = true;
    thread_.join();
  }
  std::atomic<int> closed{0};

 private:
  static BOOL CALLBACK CloseOurs(HWND window, LPARAM self) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    if (std::wstring(caption) == L"系統提示" || std::wstring(caption) == L"印表機紙張格式維護") {
      ++reinterpret_cast<MessageBoxWatch*>(self)->closed;
      PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
  }

  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Arguments that own what they point to, released after the call.
class Arguments {
 public:
  Arguments() = default;
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments() {
    for (VARIANT& v : owned_) VariantClear(&v);
    for (BSTR b : strings_) SysFreeString(b);
  }

  BSTR Keep(BSTR text) {
    strings_.push_back(text);
    return text;
  }
  VARIANT String(const std::wstring& text) {
    return Text(Keep(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))));
  }
  VARIANT NullString() { return Text(nullptr); }
  VARIANT StringRef(const std::wstring& text) {
    auto* slot = new BSTR(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    slots_.emplace_back(slot);
    strings_.push_back(*slot);
    return TextReference(slot);
  }
  VARIANT TextArray() {
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 2);
    LONG index = 0;
    BSTR text = SysAllocString(L"8.5/11");
    SafeArrayPutElement(array, &index, text);
    SysFreeString(text);
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&v) = array;
    owned_.push_back(v);
    return v;
  }
  VARIANT Dispatch(com_ptr<IDispatch> object) {
    objects_.push_back(object);
    return Object(object.get());
  }
  VARIANT Missing() {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_ERROR;
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    return v;
  }
  VARIANT Null() {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_NULL;
    return v;
  }
  VARIANT Empty() {
    VARIANT v;
    VariantInit(&v);
    return v;
  }
  VARIANT Unknown() {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_UNKNOWN;
    V_UNKNOWN(&v) = nullptr;
    return v;
  }
  VARIANT Currency() {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_CY;
    V_CY(&v).int64 = std::numeric_limits<LONGLONG>::max();
    return v;
  }
  VARIANT Big() { return Double(1e300); }
  VARIANT VariantRef() {
    auto* slot = new VARIANT;
    VariantInit(slot);
    variantSlots_.emplace_back(slot);
    return Reference(slot);
  }

 private:
  std::vector<VARIANT> owned_;
  std::vector<BSTR> strings_;
  std::vector<std::unique_ptr<BSTR>> slots_;
  struct VariantSlotDeleter {
    void operator()(VARIANT* v) const {
      VariantClear(v);
      delete v;
    }
  };
  std::vector<std::unique_ptr<VARIANT, VariantSlotDeleter>> variantSlots_;
  std::vector<com_ptr<IDispatch>> objects_;
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();
// 214748.3648 cm is 2147483648 spooler units, one past the largest 32-bit integer.
const double kJustPastLargest = 214748.3648;
const double kJustPastSmallest = -214748.3649;

const std::wstring kLong(65536, L'A');
const std::wstring kControls = L"A\r\nB\t\x01\x1A[x]=;";

class ComBadInput : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_);
    auto getClassObject =
        dll_.Get<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject");
    ASSERT_NE(getClassObject, nullptr);
    com_ptr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(com::kClassId, IID_IClassFactory, factory.put_void()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object_.put_void()), S_OK);
    storeBefore_ = FileBytes(StorePath());
    // A known store: one paper.
    SetFileBytes(StorePath(),
                 "[PrintMain]\r\nA5X=A5X\r\n[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\n"
                 "L=0\r\nR=0\r\nT=0\r\nB=0\r\n");
  }
  void TearDown() override {
    object_.reset();
    SetFileBytes(StorePath(), storeBefore_);
  }

  // Calls the method; the call must give S_OK or an automation error, and when it is refused
  // (an error, or a false or zero result) the store must be as it was. Returns the outcome.
  CallResult Call(const wchar_t* method, std::vector<VARIANT> arguments) {
    const std::string before = FileBytes(StorePath());
    const int boxesBefore = watch_.closed;
    std::wstring what = std::wstring(method) + L" with argument types";
    for (const VARIANT& argument : arguments) what += L" " + std::to_wstring(V_VT(&argument));
    CallResult result = CallByName(object_.get(), method, std::move(arguments));
    EXPECT_EQ(watch_.closed, boxesBefore) << testing::PrintToString(what) << " showed a window: 0x"
                                          << std::hex << static_cast<unsigned long>(result.hr);
    EXPECT_TRUE(result.hr == S_OK || kAutomationErrors.count(result.hr) != 0)
        << testing::PrintToString(what) << " gave 0x" << std::hex
        << static_cast<unsigned long>(result.hr);
    if (result.hr == DISP_E_EXCEPTION) {
      EXPECT_TRUE(FAILED(result.scode)) << testing::PrintToString(what);
      EXPECT_FALSE(result.description.empty()) << testing::PrintToString(what);
    }
    if (Refused(result)) {
      EXPECT_EQ(FileBytes(StorePath()), before)
          << testing::PrintToString(what) << " changed the store although it was refused: 0x"
          << std::hex << static_cast<unsigned long>(result.hr) << " scode 0x"
          << static_cast<unsigned long>(result.scode);
    }
    return result;
  }

  static bool Refused(const CallResult& result) {
    if (result.hr != S_OK) return true;
    const VARIANT& v = *result.value.get();
    if (V_VT(&v) == VT_BOOL) return V_BOOL(&v) == VARIANT_FALSE;
    if (V_VT(&v) == VT_I2) return V_I2(&v) == 0;
    if (V_VT(&v) == VT_I4) return V_I4(&v) == 0;
    return false;
  }

  static void ExpectError(const CallResult& result, HRESULT scode) {
    ASSERT_EQ(result.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(result.scode, scode);
  }
  static void ExpectFalse(const CallResult& result) {
    ASSERT_EQ(result.hr, S_OK);
    ASSERT_EQ(V_VT(result.value.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(result.value.get()), VARIANT_FALSE);
  }

  std::wstring Printer() {
    wchar_t name[256] = {};
    DWORD length = 256;
    return GetDefaultPrinterW(name, &length) ? name : L"";
  }

  ComApartment apartment_;
  LoadedDll dll_;
  com_ptr<IDispatch> object_;
  std::string storeBefore_;
  MessageBoxWatch watch_;
};

// Text arguments of every kind, for the methods that take names.
std::vector<std::function<VARIANT(Arguments&)>> WrongTexts() {
  return {
      [](Arguments& a) { return a.String(L""); },
      [](Arguments& a) { return a.NullString(); },
      [](Arguments& a) { return a.String(kLong); },
      [](Arguments& a) { return a.String(kControls); },
      [](Arguments& a) { return a.String(L"   "); },
      [](Arguments& a) { return a.TextArray(); },
      [](Arguments& a) { return a.Dispatch(FakePrinter::WithoutDeviceName()); },
      [](Arguments& a) { return a.Null(); },
      [](Arguments& a) { return a.Empty(); },
      [](Arguments& a) { return a.Unknown(); },
      [](Arguments& a) { return a.Missing(); },
      [](Arguments&) { return Double(kNaN); },
  };
}

// Number arguments of every kind.
std::vector<std::function<VARIANT(Arguments&)>> WrongNumbers() {
  return {
      [](Arguments&) { return Double(kNaN); },
      [](Arguments&) { return Double(kInfinity); },
      [](Arguments&) { return Double(-kInfinity); },
      [](Arguments&) { return Double(-0.0); },
      [](Arguments&) { return Double(kJustPastLargest); },
      [](Arguments&) { return Double(kJustPastSmallest); },
      [](Arguments&) { return Double(1e300); },
      [](Arguments& a) { return a.String(L"abc"); },
      [](Arguments& a) { return a.String(L""); },
      [](Arguments& a) { return a.TextArray(); },
      [](Arguments& a) { return a.Null(); },
      [](Arguments& a) { return a.Currency(); },
      [](Arguments& a) { return a.Dispatch(FakePrinter::WithoutDeviceName()); },
  };
}

TEST_F(ComBadInput, PrintAddFormPrintDelFormAndPrintGetFormWithWrongNames) {
  for (const wchar_t* method : {L"PrintAddForm", L"PrintDelForm", L"PrintGetForm"}) {
    const bool adds = std::wstring(method) == L"PrintAddForm";
    for (const auto& wrong : WrongTexts()) {
      for (int position = 0; position < 2; ++position) {
        Arguments a;
        std::vector<VARIANT> arguments = {a.String(Printer()), a.String(L"Sheetlore bad")};
        arguments[position] = wrong(a);
        if (adds) {
          arguments.push_back(Double(10));
          arguments.push_back(Double(15));
        }
        Call(method, arguments);
      }
    }
    // Missing required arguments.
    Arguments a;
    Call(method, {});
    Call(method, {a.String(Printer())});
  }
}

TEST_F(ComBadInput, PrintAddFormWithWrongSizes) {
  for (const auto& wrong : WrongNumbers()) {
    for (int position = 2; position < 8; ++position) {
      Arguments a;
      std::vector<VARIANT> arguments = {a.String(L"No such printer"),
                                        a.String(L"Sheetlore bad"),
                                        Double(10),
                                        Double(15),
                                        Double(0),
                                        Double(0),
                                        Double(0),
                                        Double(0)};
      arguments[position] = wrong(a);
      Call(L"PrintAddForm", arguments);
    }
  }
  // Sizes past the spooler's range once scaled are the overflow error, on a printer that
  // opens; NaN and infinities too.
  for (double size : {kJustPastLargest, kJustPastSmallest, kNaN, kInfinity, -kInfinity}) {
    Arguments a;
    ExpectError(Call(L"PrintAddForm",
                     {a.String(Printer()), a.String(L"Sheetlore bad"), Double(size), Double(15)}),
                kOverflow);
  }
  // Negative zero is zero: the printable area falls back to the whole sheet.
  Arguments a;
  const CallResult negativeZero =
      Call(L"PrintAddForm", {a.String(Printer()), a.String(L"Sheetlore -0"), Double(10), Double(15),
                             Double(-0.0), Double(-0.0), Double(-0.0), Double(-0.0)});
  EXPECT_EQ(negativeZero.hr, S_OK);
}

TEST_F(ComBadInput, InchToCmAndPrintCheckWithWrongArguments) {
  for (const auto& wrong : WrongNumbers()) {
    Arguments a;
    Call(L"InchToCm", {wrong(a)});
    Call(L"InchToCm", {Double(1), wrong(a)});
  }
  Arguments a;
  // The largest double in inches has no centimetres: overflow.
  ExpectError(Call(L"InchToCm", {Double(std::numeric_limits<double>::max())}), kOverflow);
  const CallResult nan = Call(L"InchToCm", {Double(kNaN)});
  ASSERT_EQ(nan.hr, S_OK);
  EXPECT_TRUE(std::isnan(V_R8(nan.value.get())));
  Call(L"InchToCm", {});
  Call(L"InchToCm", {Double(1), Boolean(VARIANT_TRUE), Double(1)});  // one too many

  for (const auto& wrong : WrongTexts()) {
    Arguments b;
    // A printer is installed: every call answers true at once, whatever the caption.
    const CallResult check = Call(L"PrintCheck", {Boolean(VARIANT_TRUE), wrong(b)});
    if (check.hr == S_OK) {
      EXPECT_EQ(V_BOOL(check.value.get()), VARIANT_TRUE);
    }
  }
}

TEST_F(ComBadInput, GFormIdWithWrongNamesAndPrinters) {
  for (const auto& wrong : WrongTexts()) {
    Arguments a;
    Call(L"gFormID", {wrong(a), a.Dispatch(FakePrinter::Named(Printer()))});
    Call(L"gFormID", {a.String(L"8.5/11"), wrong(a)});
  }
  Arguments a;
  ExpectError(Call(L"gFormID", {a.String(L"8.5"), a.Dispatch(FakePrinter::Named(Printer()))}),
              kSubscriptOutOfRange);
  ExpectError(Call(L"gFormID", {a.String(L""), a.Dispatch(FakePrinter::Named(Printer()))}),
              kSubscriptOutOfRange);
  ExpectError(Call(L"gFormID", {a.String(L"1E400/1"), a.Dispatch(FakePrinter::Named(Printer()))}),
              kOverflow);
  ExpectError(Call(L"gFormID", {a.String(L"100000/1"), a.Dispatch(FakePrinter::Named(Printer()))}),
              kOverflow);
  const CallResult noDeviceName =
      Call(L"gFormID", {a.String(L"8.5/11"), a.Dispatch(FakePrinter::WithoutDeviceName())});
  EXPECT_EQ(noDeviceName.hr, DISP_E_EXCEPTION);
  const CallResult printerNamedBadly =
      Call(L"gFormID", {a.String(L"8.5/11"), a.Dispatch(FakePrinter::Named(kLong))});
  ASSERT_EQ(printerNamedBadly.hr, S_OK);
  EXPECT_EQ(V_I4(printerNamedBadly.value.get()), 0);
  Call(L"gFormID", {a.String(L"8.5/11")});
  Call(L"gFormID", {});
}

TEST_F(ComBadInput, FormCheckAndFormAllAddWithWrongPrinters) {
  for (const auto& wrong : WrongTexts()) {
    Arguments a;
    Call(L"FormCheck", {a.VariantRef(), wrong(a)});
  }
  Arguments a;
  const CallResult noDeviceName =
      Call(L"FormCheck", {a.VariantRef(), a.Dispatch(FakePrinter::WithoutDeviceName())});
  EXPECT_EQ(noDeviceName.hr, DISP_E_EXCEPTION);
  ExpectFalse(Call(L"FormCheck", {a.VariantRef(), a.Dispatch(FakePrinter::Named(kLong))}));
  ExpectFalse(Call(L"FormCheck", {a.VariantRef(), a.Dispatch(FakePrinter::Named(kControls))}));
  Call(L"FormCheck", {});

  // Objects FormAllAdd cannot read a printer name from: an error before anything is installed
  // and before its message.
  const CallResult allNoDeviceName =
      Call(L"FormAllAdd", {a.Dispatch(FakePrinter::WithoutDeviceName())});
  EXPECT_EQ(allNoDeviceName.hr, DISP_E_EXCEPTION);
  for (auto wrong : std::vector<std::function<VARIANT(Arguments&)>>{
           [](Arguments& b) { return b.String(L"Office"); },
           [](Arguments& b) { return b.TextArray(); }, [](Arguments&) { return Double(kNaN); },
           [](Arguments& b) { return b.Null(); }, [](Arguments& b) { return b.Missing(); }}) {
    Arguments b;
    const CallResult result = Call(L"FormAllAdd", {wrong(b)});
    EXPECT_NE(result.hr, S_OK);
  }
  ExpectError(Call(L"FormAllAdd", {Object(nullptr)}), kObjectNotSet);
  Call(L"FormAllAdd", {});
  Call(L"FormShow", {Double(1)});  // FormShow takes nothing: refused before any window
}

TEST_F(ComBadInput, PaperStoreWithWrongNamesAndValues) {
  const std::vector<VARIANT> good = {Short(0),  Double(10), Double(15), Double(0),
                                     Double(0), Double(0),  Double(0)};
  for (const auto& wrong : WrongTexts()) {
    Arguments a;
    std::vector<VARIANT> arguments = {wrong(a)};
    arguments.insert(arguments.end(), good.begin(), good.end());
    const CallResult write = Call(L"IniWriteValue", arguments);
    Call(L"IniReadValue", {Short(1), wrong(a)});
    Call(L"IniReadValue", {Short(0), wrong(a), a.VariantRef()});
    Call(L"IniDelValue", {wrong(a)});
    if (write.hr == S_OK && V_BOOL(write.value.get()) == VARIANT_TRUE) {
      // A name the store accepted: put the store back for the next one.
      SetFileBytes(StorePath(),
                   "[PrintMain]\r\nA5X=A5X\r\n[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\n"
                   "L=0\r\nR=0\r\nT=0\r\nB=0\r\n");
    }
  }
  // Names the store cannot carry are refused: false, nothing written.
  for (const std::wstring& name : {std::wstring(), std::wstring(L"  "), kControls,
                                   std::wstring(L"PRINTMAIN"), std::wstring(L"a=b")}) {
    Arguments a;
    ExpectFalse(Call(L"IniWriteValue", {a.String(name), Short(0), Double(10), Double(15), Double(0),
                                        Double(0), Double(0), Double(0)}));
    Call(L"IniDelValue", {a.StringRef(name)});
  }
  // Values the store cannot carry: false, nothing written.
  for (int position = 2; position < 8; ++position) {
    for (double value : {kNaN, kInfinity, -kInfinity}) {
      Arguments a;
      std::vector<VARIANT> arguments = {a.String(L"Sheetlore bad"),
                                        Short(0),
                                        Double(10),
                                        Double(15),
                                        Double(0),
                                        Double(0),
                                        Double(0),
                                        Double(0)};
      arguments[position] = Double(value);
      ExpectFalse(Call(L"IniWriteValue", arguments));
    }
  }
  // A unit code outside a byte, numbers of the wrong type, missing arguments.
  for (const auto& wrong : WrongNumbers()) {
    Arguments a;
    Call(L"IniWriteValue", {a.String(L"Sheetlore bad"), wrong(a), Double(10), Double(15), Double(0),
                            Double(0), Double(0), Double(0)});
    Call(L"IniReadValue", {wrong(a), a.String(L"A5X")});
  }
  Arguments a;
  Call(L"IniWriteValue", {a.String(L"Sheetlore bad"), Long(256), Double(10), Double(15), Double(0),
                          Double(0), Double(0), Double(0)});
  Call(L"IniWriteValue", {a.String(L"Sheetlore bad"), Short(0), Double(10)});
  Call(L"IniReadValue", {Long(40000)});
  Call(L"IniReadValue", {});
  Call(L"IniDelValue", {});
  // A stored unit code past a byte is the overflow error on reading.
  SetFileBytes(StorePath(), "[PrintMain]\r\nBad=Bad\r\n[Bad]\r\nmMode=300\r\n");
  ExpectError(Call(L"IniReadValue", {Short(1), a.String(L"Bad")}), kOverflow);
}

TEST_F(ComBadInput, FormSelectAndGetWindowsWithWrongArguments) {
  for (const auto& wrong : WrongTexts()) {
    Arguments a;
    Call(L"FormSelect", {wrong(a), Long(0)});
  }
  for (const auto& wrong : WrongNumbers()) {
    Arguments a;
    Call(L"FormSelect", {a.String(L"A4"), wrong(a)});
  }
  Arguments a;
  Call(L"FormSelect", {});
  Call(L"GetWindows", {Double(1)});
  const CallResult family = Call(L"GetWindows", {});
  ASSERT_EQ(family.hr, S_OK);
  EXPECT_EQ(V_I2(family.value.get()), 2);
}

}  // namespace
}  // namespace sheetlore::com_test
