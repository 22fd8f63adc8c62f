// The ClsPrint object of the registered DLL: every method by name through IDispatch and
// through the virtual slots, with the same results; arguments, write-back, arrays, records,
// printers and errors as they cross the interface.

#include <atomic>
#include <cmath>
#include <thread>
#include <utility>

#include "com/cls_print_interface.h"
#include "tests/wine/com_test_support.h"

namespace sheetlore::com_test {
namespace {

constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);
constexpr HRESULT kObjectNotSet = static_cast<HRESULT>(0x800A005B);

std::wstring DefaultPrinter() {
  wchar_t name[256] = {};
  DWORD length = 256;
  return GetDefaultPrinterW(name, &length) ? name : L"";
}

// Registered for the whole suite; one object per test, reached both ways.
class ComObject : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    LoadedDll dll;
    ASSERT_EQ(dll.RegisterServer(), S_OK);
    CoUninitialize();
  }
  static void TearDownTestSuite() {
    CoInitialize(nullptr);
    LoadedDll dll;
    dll.UnregisterServer();
    CoUninitialize();
  }
  void SetUp() override {
    ASSERT_EQ(CreateByProgId(byName_), S_OK);
    ASSERT_EQ(byName_.query(slots_), S_OK);
    ASSERT_FALSE(DefaultPrinter().empty()) << "the private environment has no default printer";
  }

  ComApartment apartment_;
  com_ptr<IDispatch> byName_;
  com_ptr<_ClsPrint> slots_;
};

TEST_F(ComObject, GetWindowsReportsTheNtFamilyBothWays) {
  SHORT family = 0;
  ASSERT_EQ(slots_->GetWindows(&family), S_OK);
  EXPECT_EQ(family, 2);
  CallResult call = CallByName(byName_.get(), L"GetWindows");
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_VT(call.value.get()), VT_I2);
  EXPECT_EQ(V_I2(call.value.get()), 2);
  // Scripts read it like a property, too.
  call = CallByName(byName_.get(), L"getwindows", {}, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
  EXPECT_EQ(call.hr, S_OK);
}

TEST_F(ComObject, InchToCmWithModeOmittedTrueFalseAndOne) {
  double value = 1, result = -1;
  ASSERT_EQ(slots_->InchToCm(&value, nullptr, &result), S_OK);  // omitted: true
  EXPECT_DOUBLE_EQ(result, 2.54);
  VARIANT_BOOL mode = VARIANT_TRUE;
  ASSERT_EQ(slots_->InchToCm(&value, &mode, &result), S_OK);
  EXPECT_DOUBLE_EQ(result, 2.54);
  value = 2.54;
  mode = VARIANT_FALSE;
  ASSERT_EQ(slots_->InchToCm(&value, &mode, &result), S_OK);
  EXPECT_DOUBLE_EQ(result, 1);
  value = 5;
  mode = 1;  // not a canonical boolean
  ASSERT_EQ(slots_->InchToCm(&value, &mode, &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(value, 5);  // read, never written
  EXPECT_EQ(mode, 1);

  CallResult call = CallByName(byName_.get(), L"InchToCm", {Double(1)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_DOUBLE_EQ(V_R8(call.value.get()), 2.54);
  call = CallByName(byName_.get(), L"InchToCm", {Double(2.54), Boolean(VARIANT_FALSE)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_DOUBLE_EQ(V_R8(call.value.get()), 1);
  // By name a number for mMode is coerced to a boolean first: 1 arrives as True.
  call = CallByName(byName_.get(), L"InchToCm", {Double(5), Short(1)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_DOUBLE_EQ(V_R8(call.value.get()), 12.7);
  // A by-reference value comes through unchanged.
  VARIANT variable = Double(3);
  call = CallByName(byName_.get(), L"InchToCm", {Reference(&variable)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_DOUBLE_EQ(V_R8(call.value.get()), 7.62);
  EXPECT_EQ(V_VT(&variable), VT_R8);
  EXPECT_EQ(V_R8(&variable), 3);
}

TEST_F(ComObject, InchToCmOverflowIsRunTimeError6) {
  double value = 1e308, result = 0;
  EXPECT_EQ(slots_->InchToCm(&value, nullptr, &result), static_cast<HRESULT>(0x800A0006));
  EXPECT_EQ(ErrorDescription(), L"Overflow");
}

TEST_F(ComObject, PrintCheckWithBothParametersOmitted) {
  VARIANT_BOOL installed = VARIANT_FALSE;
  ASSERT_EQ(slots_->PrintCheck(nullptr, nullptr, &installed), S_OK);
  EXPECT_EQ(installed, VARIANT_TRUE);  // the private environment has printers
  CallResult call = CallByName(byName_.get(), L"PrintCheck");
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_VT(call.value.get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(call.value.get()), VARIANT_TRUE);
  // An explicit "missing" marker in a position is the same as leaving it out.
  VARIANT missing;
  V_VT(&missing) = VT_ERROR;
  V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
  call = CallByName(byName_.get(), L"PrintCheck", {missing, missing});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_BOOL(call.value.get()), VARIANT_TRUE);
}

TEST_F(ComObject, RunTimeErrorReachesBothCallersWithNumberAndDescription) {
  LONG id = 123;
  unique_bstr name(L"8.5");
  EXPECT_EQ(slots_->gFormID(name.get(), nullptr, &id), kSubscriptOutOfRange);
  EXPECT_EQ(id, 123);  // the result is not set
  EXPECT_EQ(ErrorDescription(), L"Subscript out of range");
  com_ptr<ISupportErrorInfo> support;
  ASSERT_EQ(byName_.query(support), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(__uuidof(_ClsPrint)), S_OK);

  CallResult call = CallByName(byName_.get(), L"gFormID", {Text(name.get()), Object(nullptr)});
  EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(call.scode, kSubscriptOutOfRange);
  EXPECT_EQ(call.description, L"Subscript out of range");
}

TEST_F(ComObject, GFormIdFindsLetterBySizeOnTheCallersPrinter) {
  com_ptr<IDispatch> printer = FakePrinter::Named(DefaultPrinter());
  unique_bstr size(L"8.5/11");
  LONG position = 0;
  ASSERT_EQ(slots_->gFormID(size.get(), printer.get(), &position), S_OK);
  EXPECT_GT(position, 0);
  CallResult call =
      CallByName(byName_.get(), L"gFormID", {Text(size.get()), Object(printer.get())});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_I4(call.value.get()), position);
}

TEST_F(ComObject, PrinterWithoutDeviceNameFailsWithTheLateBoundHresult) {
  com_ptr<IDispatch> printer = FakePrinter::WithoutDeviceName();
  unique_variant rows = unique_variant::from_i4(42);
  IDispatch* given = printer.get();
  VARIANT_BOOL ok = VARIANT_TRUE;
  EXPECT_EQ(slots_->FormCheck(rows.get(), &given, &ok), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(V_VT(rows.get()), VT_I4);  // untouched
  EXPECT_EQ(given, printer.get());
}

TEST_F(ComObject, FormCheckGivesAVariantArrayAndHandsBackTheCurrentPrinter) {
  unique_variant rows;
  IDispatch* printer = nullptr;  // Nothing: the current printer, written back
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(slots_->FormCheck(rows.get(), &printer, &ok), S_OK);
  ASSERT_EQ(ok, VARIANT_TRUE);
  ASSERT_NE(printer, nullptr);
  com_ptr<IDispatch> current = com_ptr<IDispatch>::attach(printer);
  CallResult name = CallByName(current.get(), L"DeviceName", {}, DISPATCH_PROPERTYGET);
  ASSERT_EQ(name.hr, S_OK);
  EXPECT_EQ(TextOf(V_BSTR(name.value.get())), DefaultPrinter());
  CallResult dc = CallByName(current.get(), L"hDC", {}, DISPATCH_PROPERTYGET);
  ASSERT_EQ(dc.hr, S_OK);
  EXPECT_EQ(V_VT(dc.value.get()), VT_I4);
  EXPECT_NE(V_I4(dc.value.get()), 0);

  ASSERT_EQ(V_VT(rows.get()), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = V_ARRAY(rows.get());
  ASSERT_EQ(SafeArrayGetDim(array), 2u);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 3);
  SafeArrayGetUBound(array, 2, &upper);
  EXPECT_EQ(upper, 115);  // Wine's 116 built-in forms
  VARIANT element;
  VariantInit(&element);
  LONG at[2] = {0, 0};
  ASSERT_EQ(SafeArrayGetElement(array, at, &element), S_OK);
  EXPECT_EQ(V_VT(&element), VT_BSTR);
  EXPECT_EQ(TextOf(V_BSTR(&element)), L"Letter");
  VariantClear(&element);
  at[0] = 1;
  SafeArrayGetElement(array, at, &element);
  EXPECT_EQ(V_VT(&element), VT_I4);
  EXPECT_EQ(V_I4(&element), 1);
  at[0] = 2;
  SafeArrayGetElement(array, at, &element);
  EXPECT_EQ(V_VT(&element), VT_R8);
  EXPECT_DOUBLE_EQ(V_R8(&element), 21.59);
  at[0] = 3;
  at[1] = 1;
  SafeArrayGetElement(array, at, &element);
  EXPECT_EQ(V_VT(&element), VT_R8);
  EXPECT_GT(V_R8(&element), 0);

  // By name, into the caller's variable and printer variable.
  VARIANT variable;
  VariantInit(&variable);
  VARIANT printerVariable;
  VariantInit(&printerVariable);
  V_VT(&printerVariable) = VT_DISPATCH;
  V_DISPATCH(&printerVariable) = nullptr;
  CallResult call =
      CallByName(byName_.get(), L"FormCheck", {Reference(&variable), Reference(&printerVariable)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_BOOL(call.value.get()), VARIANT_TRUE);
  ASSERT_EQ(V_VT(&variable), VT_ARRAY | VT_VARIANT);
  SafeArrayGetUBound(V_ARRAY(&variable), 2, &upper);
  EXPECT_EQ(upper, 115);
  VariantClear(&variable);
  VariantClear(&printerVariable);
}

TEST_F(ComObject, FormCheckRedimensionsACallersTextArray) {
  SAFEARRAYBOUND bound{2, 0};
  SAFEARRAY* texts = SafeArrayCreate(VT_BSTR, 1, &bound);
  VARIANT rows;
  VariantInit(&rows);
  V_VT(&rows) = VT_BYREF | VT_ARRAY | VT_BSTR;
  V_ARRAYREF(&rows) = &texts;
  com_ptr<IDispatch> printer = FakePrinter::Named(DefaultPrinter());
  IDispatch* given = printer.get();
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(slots_->FormCheck(&rows, &given, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  ASSERT_EQ(SafeArrayGetDim(texts), 2u);
  LONG upper = 0;
  SafeArrayGetUBound(texts, 1, &upper);
  EXPECT_EQ(upper, 3);
  BSTR text = nullptr;
  LONG at[2] = {2, 0};
  ASSERT_EQ(SafeArrayGetElement(texts, at, &text), S_OK);
  EXPECT_EQ(TextOf(text), L"21.59");  // numbers as number text
  SysFreeString(text);
  at[0] = 1;
  SafeArrayGetElement(texts, at, &text);
  EXPECT_EQ(TextOf(text), L"1");
  SysFreeString(text);
  SafeArrayDestroy(texts);
}

// The current printer goes into an empty printer argument even when the array refuses the
// forms: a fixed-size array, and a reference to something that is not an array.
TEST_F(ComObject, FormCheckHandsBackTheCurrentPrinterWhenTheArrayRefusesTheForms) {
  SAFEARRAYBOUND bound{2, 0};
  SAFEARRAY* texts = SafeArrayCreate(VT_BSTR, 1, &bound);
  texts->fFeatures |= FADF_FIXEDSIZE;
  VARIANT fixedRows;
  V_VT(&fixedRows) = VT_BYREF | VT_ARRAY | VT_BSTR;
  V_ARRAYREF(&fixedRows) = &texts;
  LONG number = 5;
  VARIANT numberRows;
  V_VT(&numberRows) = VT_BYREF | VT_I4;
  V_I4REF(&numberRows) = &number;

  for (auto [rows, error] : {std::pair{&fixedRows, 10}, std::pair{&numberRows, 13}}) {
    IDispatch* printer = nullptr;
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(slots_->FormCheck(rows, &printer, &ok), static_cast<HRESULT>(0x800A0000 | error));
    ASSERT_NE(printer, nullptr) << "error " << error;
    com_ptr<IDispatch> current = com_ptr<IDispatch>::attach(printer);
    CallResult name = CallByName(current.get(), L"DeviceName", {}, DISPATCH_PROPERTYGET);
    ASSERT_EQ(name.hr, S_OK);
    EXPECT_EQ(TextOf(V_BSTR(name.value.get())), DefaultPrinter());
  }
  EXPECT_EQ(SafeArrayGetDim(texts), 1u);
  EXPECT_EQ(number, 5);
  texts->fFeatures &= ~FADF_FIXEDSIZE;
  SafeArrayDestroy(texts);
}

TEST_F(ComObject, FormCheckOnAMissingPrinterLeavesTheArrayAlone) {
  com_ptr<IDispatch> printer = FakePrinter::Named(L"No such printer");
  unique_variant rows = unique_variant::from_i4(42);
  IDispatch* given = printer.get();
  VARIANT_BOOL ok = VARIANT_TRUE;
  ASSERT_EQ(slots_->FormCheck(rows.get(), &given, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_FALSE);
  EXPECT_EQ(V_VT(rows.get()), VT_I4);
  EXPECT_EQ(V_I4(rows.get()), 42);
}

TEST_F(ComObject, PrintGetFormRecordIsTheSameByNameAsThroughTheSlot) {
  unique_bstr printer(DefaultPrinter()), form(L"Letter");
  BSTR printerName = printer.get(), formName = form.get();
  rePaPer paper{};
  ASSERT_EQ(slots_->PrintGetForm(&printerName, &formName, &paper), S_OK);
  EXPECT_DOUBLE_EQ(paper.W, 21.59);
  EXPECT_DOUBLE_EQ(paper.H, 27.94);
  EXPECT_DOUBLE_EQ(paper.R, 21.59);

  CallResult call =
      CallByName(byName_.get(), L"PrintGetForm", {TextReference(&printerName), Text(formName)});
  ASSERT_EQ(call.hr, S_OK);
  ASSERT_EQ(V_VT(call.value.get()), VT_RECORD);
  IRecordInfo* record = V_RECORDINFO(call.value.get());
  ULONG size = 0;
  ASSERT_EQ(record->GetSize(&size), S_OK);
  EXPECT_EQ(size, 56u);
  const auto* returned = static_cast<const rePaPer*>(V_RECORD(call.value.get()));
  EXPECT_EQ(*returned, paper);
  unique_variant field;
  ASSERT_EQ(record->GetField(V_RECORD(call.value.get()), L"H", field.put()), S_OK);
  EXPECT_DOUBLE_EQ(V_R8(field.get()), 27.94);

  // A form the printer does not have gives an all-zero record, both ways.
  unique_bstr unknown(L"No such form");
  BSTR unknownName = unknown.get();
  ASSERT_EQ(slots_->PrintGetForm(&printerName, &unknownName, &paper), S_OK);
  EXPECT_EQ(paper, rePaPer{});
  call = CallByName(byName_.get(), L"PrintGetForm", {Text(printerName), Text(unknownName)});
  ASSERT_EQ(call.hr, S_OK);
  ASSERT_EQ(V_VT(call.value.get()), VT_RECORD);
  EXPECT_EQ(*static_cast<const rePaPer*>(V_RECORD(call.value.get())), rePaPer{});
}

TEST_F(ComObject, PrintAddFormWritesTheSizesBackBothWays) {
  unique_bstr printer(DefaultPrinter()), form(L"Sheetlore com test");
  BSTR printerName = printer.get(), formName = form.get();
  double cx = 10, cy = 20, left = 1;
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(slots_->PrintAddForm(&printerName, &formName, &cx, &cy, &left, nullptr, nullptr,
                                 nullptr, &ok),
            S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(cx, 100000);
  EXPECT_EQ(cy, 200000);
  EXPECT_EQ(left, 10000);

  VARIANT width = Double(10), height = Double(20);
  CallResult call =
      CallByName(byName_.get(), L"PrintAddForm",
                 {Text(printerName), Text(formName), Reference(&width), Reference(&height)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_BOOL(call.value.get()), VARIANT_TRUE);
  EXPECT_EQ(V_R8(&width), 100000);
  EXPECT_EQ(V_R8(&height), 200000);

  ASSERT_EQ(slots_->PrintDelForm(&printerName, &formName, &ok), S_OK);
  call = CallByName(byName_.get(), L"PrintDelForm", {Text(printerName), Text(formName)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_BOOL(call.value.get()) != 0, ok != 0);
}

TEST_F(ComObject, FormSelectAnswersTheSameBothWays) {
  unique_bstr form(L"Letter");
  BSTR formName = form.get();
  SHORT selected = -1;
  ASSERT_EQ(slots_->FormSelect(&formName, 0, &selected), S_OK);
  CallResult call = CallByName(byName_.get(), L"FormSelect", {Text(formName), Long(0)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_I2(call.value.get()), selected);
}

// The paper store beside the DLL: written, listed, read and deleted, by both ways.
TEST_F(ComObject, PaperStoreRoundTripBothWays) {
  const std::wstring store = DllPath().substr(0, DllPath().find_last_of(L'\\')) + L"\\PrintSet.ini";
  const bool storeExisted = GetFileAttributesW(store.c_str()) != INVALID_FILE_ATTRIBUTES;
  const std::wstring paperName = L"ComTest " + std::to_wstring(GetCurrentProcessId());
  unique_bstr name(paperName);

  VARIANT_BOOL written = VARIANT_FALSE;
  ASSERT_EQ(slots_->IniWriteValue(name.get(), 0, 21, 29.7, 0.5, 20.5, 1, 28.7, &written), S_OK);
  EXPECT_EQ(written, VARIANT_TRUE);

  unique_variant list;
  rePaPer paper{};
  ASSERT_EQ(slots_->IniReadValue(0, nullptr, list.get(), &paper), S_OK);
  ASSERT_EQ(V_VT(list.get()), VT_ARRAY | VT_VARIANT);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(V_ARRAY(list.get()), 1, &lower);
  SafeArrayGetUBound(V_ARRAY(list.get()), 1, &upper);
  EXPECT_EQ(lower, 0);
  bool listed = false;
  for (LONG i = 0; i <= upper; ++i) {
    unique_variant entry;
    SafeArrayGetElement(V_ARRAY(list.get()), &i, entry.get());
    listed = listed || (V_VT(entry.get()) == VT_BSTR && TextOf(V_BSTR(entry.get())) == paperName);
  }
  EXPECT_TRUE(listed);

  ASSERT_EQ(slots_->IniReadValue(1, name.get(), nullptr, &paper), S_OK);
  EXPECT_DOUBLE_EQ(paper.W, 21);
  EXPECT_DOUBLE_EQ(paper.H, 29.7);
  EXPECT_DOUBLE_EQ(paper.B, 28.7);
  CallResult call = CallByName(byName_.get(), L"IniReadValue", {Short(1), Text(name.get())});
  ASSERT_EQ(call.hr, S_OK);
  ASSERT_EQ(V_VT(call.value.get()), VT_RECORD);
  EXPECT_EQ(*static_cast<const rePaPer*>(V_RECORD(call.value.get())), paper);
  // The list by name, into the caller's variable.
  VARIANT names;
  VariantInit(&names);
  call = CallByName(byName_.get(), L"IniReadValue", {Short(0), Text(nullptr), Reference(&names)});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_VT(&names), VT_ARRAY | VT_VARIANT);
  VariantClear(&names);

  BSTR toDelete = name.get();
  unique_variant deleted;
  ASSERT_EQ(slots_->IniDelValue(&toDelete, deleted.put()), S_OK);
  EXPECT_EQ(V_VT(deleted.get()), VT_EMPTY);
  ASSERT_EQ(slots_->IniReadValue(1, name.get(), nullptr, &paper), S_OK);
  EXPECT_EQ(paper, rePaPer{});
  call = CallByName(byName_.get(), L"IniDelValue", {Text(name.get())});
  EXPECT_EQ(call.hr, S_OK);
  if (!storeExisted) DeleteFileW(store.c_str());
}

// FormAllAdd ends with a message box: a helper thread confirms it as the user would.
TEST_F(ComObject, FormAllAddRunsToItsMessageBothWays) {
  std::atomic<bool> done{false};
  std::atomic<int> confirmed{0};
  std::thread user([&] {
    HWND last = nullptr;
    while (!done) {
      HWND box = FindWindowW(L"#32770", L"系統提示");
      if (box && IsWindowVisible(box)) {
        if (HWND ok = GetDlgItem(box, IDOK)) PostMessageW(ok, BM_CLICK, 0, 0);
        if (box != last) ++confirmed;
        last = box;
      }
      Sleep(100);
    }
  });
  com_ptr<IDispatch> printer = FakePrinter::Named(DefaultPrinter());
  IDispatch* given = printer.get();
  EXPECT_EQ(slots_->FormAllAdd(&given), S_OK);
  EXPECT_EQ(given, printer.get());
  VARIANT variable = Object(printer.get());
  CallResult call = CallByName(byName_.get(), L"FormAllAdd", {Reference(&variable)});
  EXPECT_EQ(call.hr, S_OK);
  done = true;
  user.join();
  EXPECT_EQ(confirmed, 2);  // one message per call
}

TEST_F(ComObject, FormAllAddWithoutAPrinterObjectIsError91WhenAPaperIsStored) {
  const std::wstring paperName = L"ComTest91 " + std::to_wstring(GetCurrentProcessId());
  unique_bstr name(paperName);
  VARIANT_BOOL written = VARIANT_FALSE;
  ASSERT_EQ(slots_->IniWriteValue(name.get(), 0, 10, 10, 0, 10, 0, 10, &written), S_OK);
  IDispatch* nothing = nullptr;
  EXPECT_EQ(slots_->FormAllAdd(&nothing), kObjectNotSet);
  BSTR toDelete = name.get();
  slots_->IniDelValue(&toDelete, nullptr);
}

TEST_F(ComObject, TypeInformationIsTheDispatchInterface) {
  UINT count = 0;
  ASSERT_EQ(byName_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  com_ptr<ITypeInfo> info;
  ASSERT_EQ(byName_->GetTypeInfo(0, 0, info.put()), S_OK);
  unique_bstr name;
  info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
  EXPECT_EQ(name.str(), L"_ClsPrint");
  EXPECT_EQ(byName_->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);
  // Parameter names resolve too, as named arguments need them.
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"PrintCheck"), const_cast<LPOLESTR>(L"CaptionName")};
  DISPID ids[2] = {};
  ASSERT_EQ(byName_->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 0x60030003);
  EXPECT_EQ(ids[1], 1);
}

TEST_F(ComObject, NamedArgumentsReachTheirParameters) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"InchToCm"), const_cast<LPOLESTR>(L"mMode"),
                      const_cast<LPOLESTR>(L"mValue")};
  DISPID ids[3] = {};
  ASSERT_EQ(byName_->GetIDsOfNames(IID_NULL, names, 3, 0, ids), S_OK);
  VARIANT arguments[2] = {Boolean(VARIANT_FALSE), Double(2.54)};  // mMode:=False, mValue:=2.54
  DISPID named[2] = {ids[1], ids[2]};
  DISPPARAMS parameters{arguments, named, 2, 2};
  unique_variant result;
  ASSERT_EQ(byName_->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &parameters, result.put(),
                            nullptr, nullptr),
            S_OK);
  EXPECT_DOUBLE_EQ(V_R8(result.get()), 1);
}

TEST_F(ComObject, UnknownMembersAndWrongArgumentsAreRefused) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"NoSuchMethod")};
  EXPECT_EQ(byName_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(CallByName(byName_.get(), L"GetWindows", {Long(1)}).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_NE(CallByName(byName_.get(), L"InchToCm").hr, S_OK);  // mValue is required
  EXPECT_EQ(CallByName(byName_.get(), L"IniReadValue").hr, DISP_E_PARAMNOTOPTIONAL);
}

}  // namespace
}  // namespace sheetlore::com_test
