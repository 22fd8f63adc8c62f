// Every method of Sheetlore.dll called by name with wrong arguments: empty, null and 64 KiB
// strings, control characters, NaN, infinities, negative zero, sizes just past the spooler's
// 32-bit range once scaled, wrong VARIANT types, arrays where text is expected, objects
// without DeviceName and missing required arguments. Each call gives its documented result
// or an automation error, never a crash or a window, and no refused call changes PrintSet.ini.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <list>
#include <set>

#include "tests/support/com_support.h"
#include "tests/support/own_windows.h"

namespace sheetlore::com_test {
namespace {

// The outcomes a call with wrong arguments may have besides success.
const std::set<HRESULT> kAutomationErrors = {
    DISP_E_TYPEMISMATCH, DISP_E_PARAMNOTOPTIONAL, DISP_E_BADPARAMCOUNT, DISP_E_OVERFLOW,
    DISP_E_BADVARTYPE,   DISP_E_PARAMNOTFOUND,    DISP_E_EXCEPTION,     E_INVALIDARG};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();
// 214748.3648 cm is 2147483648 spooler units, one past the largest 32-bit integer.
const double kJustPastLargest = 214748.3648;
const double kJustPastSmallest = -214748.3649;
const VARIANT kLargestCurrency = Make(VT_CY, std::numeric_limits<LONGLONG>::max());
const std::wstring kLong(65536, L'A');
const std::wstring kControls = L"A\r\nB\t\x01\x1A[x]=;";
const std::string kKnownStore =
    "[PrintMain]\r\nA5X=A5X\r\n[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n";

// Arguments that own what they point to, released when the test ends.
class Arguments {
 public:
  VARIANT String(const std::wstring& text) {
    return Own(unique_variant::from_string(text).detach());
  }
  VARIANT TextArray() {
    return Own(Make(VT_ARRAY | VT_BSTR, SafeArrayCreateVector(VT_BSTR, 0, 2)));
  }
  VARIANT Dispatch(const com_ptr<IDispatch>& object) {
    return Own(Object(com_ptr<IDispatch>::copy(object.get()).detach()));
  }
  VARIANT VariantRef() { return Reference(&Own(OfType(VT_EMPTY))); }

 private:
  VARIANT& Own(VARIANT v) { return *owned_.emplace_back().put() = v; }

  std::list<unique_variant> owned_;  // stable addresses for references
};

// Arguments of PrintAddForm (printer, form, six sizes) and of IniWriteValue (name, unit code,
// six values): the first two given, the sizes 10 x 15 with no margins.
std::vector<VARIANT> WithSizes(VARIANT first, VARIANT second) {
  return {first, second, Double(10), Double(15), Double(0), Double(0), Double(0), Double(0)};
}

class ComBadInput : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(dll_.Create(object_), S_OK);
    storeBefore_ = FileBytes(StorePath());
    SetFileBytes(StorePath(), kKnownStore);  // a known store: one paper
  }
  void TearDown() override {
    object_.reset();
    SetFileBytes(StorePath(), storeBefore_);
  }

  // Calls the method; the call must give S_OK or an automation error and show no window, and
  // when it is refused (an error, or a false or zero result) the store must be as it was.
  CallResult Call(const wchar_t* method, std::vector<VARIANT> arguments) {
    const std::optional<std::string> before = FileBytes(StorePath());
    const int windowsBefore = watch_.count();
    std::wstring what = std::wstring(method) + L" with argument types";
    for (const VARIANT& argument : arguments) what += L" " + std::to_wstring(V_VT(&argument));
    CallResult result = CallByName(object_.get(), method, std::move(arguments));
    const std::string trace = testing::PrintToString(what);
    EXPECT_EQ(watch_.count(), windowsBefore) << trace << " showed a window";
    EXPECT_TRUE(result.hr == S_OK || kAutomationErrors.count(result.hr) != 0)
        << trace << " gave 0x" << std::hex << static_cast<unsigned long>(result.hr);
    if (result.raised) {
      EXPECT_TRUE(FAILED(*result.raised)) << trace;
      EXPECT_FALSE(result.description.empty()) << trace;
    }
    if (Refused(result)) {
      EXPECT_EQ(FileBytes(StorePath()), before) << trace << " changed the store although refused";
    }
    return result;
  }

  // Text arguments of every kind, for the methods that take names.
  std::vector<VARIANT> WrongTexts() {
    return {args_.String(L""),    Text(nullptr),      args_.String(kLong), args_.String(kControls),
            args_.String(L"   "), args_.TextArray(),  NoDeviceName(),      OfType(VT_NULL),
            OfType(VT_EMPTY),     OfType(VT_UNKNOWN), Missing(),           Double(kNaN)};
  }
  // Number arguments of every kind.
  std::vector<VARIANT> WrongNumbers() {
    return {Double(kNaN),      Double(kInfinity),        Double(-kInfinity),
            Double(-0.0),      Double(kJustPastLargest), Double(kJustPastSmallest),
            Double(1e300),     args_.String(L"abc"),     args_.String(L""),
            args_.TextArray(), OfType(VT_NULL),          kLargestCurrency,
            NoDeviceName()};
  }
  VARIANT NoDeviceName() { return args_.Dispatch(FakePrinter::WithoutDeviceName()); }

  static bool Refused(const CallResult& result) {
    if (result.hr != S_OK) return true;
    const VARIANT& v = *result.value.get();
    if (V_VT(&v) == VT_BOOL) return V_BOOL(&v) == VARIANT_FALSE;
    if (V_VT(&v) == VT_I2) return V_I2(&v) == 0;
    if (V_VT(&v) == VT_I4) return V_I4(&v) == 0;
    return false;
  }

  ComApartment apartment_;
  LoadedDll dll_;
  com_ptr<IDispatch> object_;
  std::optional<std::string> storeBefore_;
  wine_test::OwnWindowWatch watch_;
  Arguments args_;
};

TEST_F(ComBadInput, PrintAddFormPrintDelFormAndPrintGetFormWithWrongNames) {
  for (const wchar_t* method : {L"PrintAddForm", L"PrintDelForm", L"PrintGetForm"}) {
    for (const VARIANT& wrong : WrongTexts()) {
      for (int position = 0; position < 2; ++position) {
        std::vector<VARIANT> arguments = {args_.String(DefaultPrinter()),
                                          args_.String(L"Sheetlore bad")};
        arguments[position] = wrong;
        if (std::wstring(method) == L"PrintAddForm")
          arguments.insert(arguments.end(), {Double(10), Double(15)});
        Call(method, arguments);
      }
    }
    Call(method, {});  // missing required arguments
    Call(method, {args_.String(DefaultPrinter())});
  }
}

TEST_F(ComBadInput, PrintAddFormWithWrongSizes) {
  for (const VARIANT& wrong : WrongNumbers()) {
    for (int position = 2; position < 8; ++position) {
      std::vector<VARIANT> arguments =
          WithSizes(args_.String(L"No such printer"), args_.String(L"Sheetlore bad"));
      arguments[position] = wrong;
      Call(L"PrintAddForm", arguments);
    }
  }
  // A size past the spooler's range once scaled is the overflow error, on a printer that opens.
  // (The other sizes without spooler units, NaN and infinities: form_operations_test.)
  EXPECT_EQ(Call(L"PrintAddForm", {args_.String(DefaultPrinter()), args_.String(L"Sheetlore bad"),
                                   Double(kJustPastLargest), Double(15)})
                .raised,
            RunTimeError(6));
}

TEST_F(ComBadInput, InchToCmAndPrintCheckWithWrongArguments) {
  for (const VARIANT& wrong : WrongNumbers()) {
    Call(L"InchToCm", {wrong});
    Call(L"InchToCm", {Double(1), wrong});
  }
  const CallResult nan = Call(L"InchToCm", {Double(kNaN)});
  ASSERT_EQ(nan.hr, S_OK);
  EXPECT_TRUE(std::isnan(V_R8(nan.value.get())));
  EXPECT_NE(Call(L"InchToCm", {}).hr, S_OK);                         // mValue is required
  Call(L"InchToCm", {Double(1), Boolean(VARIANT_TRUE), Double(1)});  // one too many

  for (const VARIANT& wrong : WrongTexts()) {
    // A printer is installed: every call answers true at once, whatever the caption.
    const CallResult check = Call(L"PrintCheck", {Boolean(VARIANT_TRUE), wrong});
    if (check.hr == S_OK) {
      EXPECT_EQ(V_BOOL(check.value.get()), VARIANT_TRUE);
    }
  }
}

TEST_F(ComBadInput, GFormIdFormCheckAndFormAllAddWithWrongNamesAndPrinters) {
  for (const VARIANT& wrong : WrongTexts()) {
    Call(L"gFormID", {wrong, args_.Dispatch(FakePrinter::Named(DefaultPrinter()))});
    Call(L"gFormID", {args_.String(L"8.5/11"), wrong});
    Call(L"FormCheck", {args_.VariantRef(), wrong});
  }
  // Sizes without spooler units. (A size without "/" is error 9: form_enumeration_test, and by
  // name with its description, com_vbscript_test.vbs.)
  for (const wchar_t* size : {L"1E400/1", L"100000/1"}) {
    EXPECT_EQ(
        Call(L"gFormID", {args_.String(size), args_.Dispatch(FakePrinter::Named(DefaultPrinter()))})
            .raised,
        RunTimeError(6));
  }
  // Printers named badly are printers that do not open: ComObject's
  // APrinterThatDoesNotOpenIsAnOrdinaryFailure.
  Call(L"gFormID", {args_.String(L"8.5/11")});
  Call(L"gFormID", {});
  Call(L"FormCheck", {});

  // What FormAllAdd cannot read a printer name from: an error before anything is installed
  // and before its message.
  for (const VARIANT& wrong :
       {args_.String(L"Office"), args_.TextArray(), Double(kNaN), OfType(VT_NULL), Missing()}) {
    EXPECT_NE(Call(L"FormAllAdd", {wrong}).hr, S_OK);
  }
  Call(L"FormAllAdd", {});
  Call(L"FormShow", {Double(1)});  // FormShow takes nothing: refused before any window
}

TEST_F(ComBadInput, PaperStoreWithWrongNamesAndValues) {
  for (const VARIANT& wrong : WrongTexts()) {
    const CallResult write = Call(L"IniWriteValue", WithSizes(wrong, Short(0)));
    Call(L"IniReadValue", {Short(1), wrong});
    Call(L"IniReadValue", {Short(0), wrong, args_.VariantRef()});
    Call(L"IniDelValue", {wrong});
    // A name the store accepted: put the store back for the next one.
    if (!Refused(write)) SetFileBytes(StorePath(), kKnownStore);
  }
  // A unit code outside a byte, numbers of the wrong type, missing arguments. (Which names and
  // values the store refuses, and a stored unit code past a byte: paper_store_test.)
  for (const VARIANT& wrong : WrongNumbers()) {
    Call(L"IniWriteValue", WithSizes(args_.String(L"Sheetlore bad"), wrong));
    Call(L"IniReadValue", {wrong, args_.String(L"A5X")});
  }
  Call(L"IniWriteValue", WithSizes(args_.String(L"Sheetlore bad"), Long(256)));
  Call(L"IniWriteValue", {args_.String(L"Sheetlore bad"), Short(0), Double(10)});
  Call(L"IniReadValue", {Long(40000)});
  EXPECT_EQ(Call(L"IniReadValue", {}).hr, DISP_E_PARAMNOTOPTIONAL);
  Call(L"IniDelValue", {});
}

TEST_F(ComBadInput, FormSelectAndGetWindowsWithWrongArguments) {
  for (const VARIANT& wrong : WrongTexts()) Call(L"FormSelect", {wrong, Long(0)});
  for (const VARIANT& wrong : WrongNumbers()) Call(L"FormSelect", {args_.String(L"A4"), wrong});
  Call(L"FormSelect", {});
  EXPECT_EQ(Call(L"GetWindows", {Double(1)}).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(CallByName(object_.get(), L"NoSuchMethod").hr, DISP_E_UNKNOWNNAME);
}

}  // namespace
}  // namespace sheetlore::com_test
