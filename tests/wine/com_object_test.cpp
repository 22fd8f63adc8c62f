// The ClsPrint object of the registered DLL: every method by name through IDispatch and
// through the virtual slots, with the same results; arguments, write-back, arrays, records,
// printer objects and errors as they cross the interface.

#include <gtest/gtest.h>

#include <utility>

#include "tests/support/com_support.h"
#include "tests/support/own_windows.h"

namespace sheetlore::com_test {
namespace {

using wine_test::OwnWindowWatch;

// Registered for the whole suite; one object per test, reached both ways.
class ComObject : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ComApartment apartment;
    ASSERT_EQ(LoadedDll().RegisterServer(), S_OK);
  }
  static void TearDownTestSuite() {
    ComApartment apartment;
    LoadedDll().UnregisterServer();
  }
  void SetUp() override {
    CLSID classId{};
    ASSERT_EQ(CLSIDFromProgID(com::kProgId, &classId), S_OK);
    ASSERT_EQ(
        CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, byName_.put_void()),
        S_OK);
    ASSERT_EQ(byName_.query(slots_), S_OK);
    ASSERT_FALSE(DefaultPrinter().empty()) << "the private environment has no default printer";
  }
  // One paper in the store for the test, the store put back afterwards.
  void StoreOnePaper() {
    storeBefore_ = FileBytes(StorePath());
    ASSERT_TRUE(WritePaper(slots_.get(), L"ComTest paper", {1, 8.5, 11}));
  }
  void TearDown() override {
    if (storeBefore_) SetFileBytes(StorePath(), *storeBefore_);
  }

  ComApartment apartment_;
  com_ptr<IDispatch> byName_;
  com_ptr<_ClsPrint> slots_;
  std::optional<std::optional<std::string>> storeBefore_;
};

// The conversion itself is the core's (unit tests), and a script's variable passed by reference
// is com_vbscript_test.vbs's; here an omitted mode is True, parameter names resolve as named
// arguments need them, and a number for mMode is coerced to a boolean first (1 arrives as True).
TEST_F(ComObject, InchToCmWithModeOmittedOrNamedAndCoerced) {
  double value = 1, result = -1;
  ASSERT_EQ(slots_->InchToCm(&value, nullptr, &result), S_OK);
  EXPECT_DOUBLE_EQ(result, 2.54);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"InchToCm"), const_cast<LPOLESTR>(L"mMode"),
                      const_cast<LPOLESTR>(L"mValue")};
  DISPID ids[3] = {};
  ASSERT_EQ(byName_->GetIDsOfNames(IID_NULL, names, 3, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 0x60030002);
  EXPECT_EQ(ids[1], 1);
  VARIANT arguments[2] = {Short(1), Double(5)};  // mMode:=1, mValue:=5
  DISPPARAMS parameters{arguments, ids + 1, 2, 2};
  unique_variant converted;
  ASSERT_EQ(byName_->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &parameters, converted.put(),
                            nullptr, nullptr),
            S_OK);
  EXPECT_DOUBLE_EQ(V_R8(converted.get()), 12.7);
}

TEST_F(ComObject, PrintCheckWithBothParametersOmitted) {
  VARIANT_BOOL installed = VARIANT_FALSE;
  ASSERT_EQ(slots_->PrintCheck(nullptr, nullptr, &installed), S_OK);
  EXPECT_EQ(installed, VARIANT_TRUE);  // the private environment has printers
  // An explicit "missing" marker in each position is the same as leaving the arguments out
  // (which com_vbscript_test.vbs does).
  CallResult call = CallByName(byName_.get(), L"PrintCheck", {Missing(), Missing()});
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_VT(call.value.get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(call.value.get()), VARIANT_TRUE);
}

TEST_F(ComObject, RunTimeErrorReachesTheSlotsCallerWithItsDescription) {
  LONG id = 123;
  unique_bstr name(L"8.5");
  EXPECT_EQ(slots_->gFormID(name.get(), nullptr, &id), RunTimeError(9));
  EXPECT_EQ(id, 123);        // the result is not set
  com_ptr<IErrorInfo> info;  // the thread's error object
  ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
  unique_bstr description;
  info->GetDescription(description.put());
  EXPECT_EQ(description.str(), L"Subscript out of range");
  com_ptr<ISupportErrorInfo> support;
  ASSERT_EQ(byName_.query(support), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(__uuidof(_ClsPrint)), S_OK);
  // By name, error 9 and its description in Err: com_vbscript_test.vbs.
}

// Printer objects a caller hands in that name no printer: the call ends with the failure's
// error, both ways, and leaves everything as it was: no result, the array and the printer
// argument untouched, no form installed and no message. Nothing stands for the current
// printer in gFormID and FormCheck; FormAllAdd needs an object.
TEST_F(ComObject, APrinterObjectThatNamesNoPrinterEndsTheCallWithItsError) {
  StoreOnePaper();
  const struct {
    const char* what;
    com_ptr<IDispatch> printer;
    HRESULT formId, formCheck, formAllAdd;
  } cases[] = {
      {"no DeviceName", FakePrinter::WithoutDeviceName(), DISP_E_UNKNOWNNAME, DISP_E_UNKNOWNNAME,
       DISP_E_UNKNOWNNAME},
      {"DeviceName raising 5", FakePrinter::Raising(RunTimeError(5)), RunTimeError(5),
       RunTimeError(5), RunTimeError(5)},
      {"Nothing", nullptr, S_OK, S_OK, RunTimeError(91)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OwnWindowWatch watch;
    unique_bstr size(L"8.5/11");
    LONG position = -1;
    EXPECT_EQ(slots_->gFormID(size.get(), c.printer.get(), &position), c.formId);
    EXPECT_EQ(position, c.formId == S_OK ? 1 : -1);
    unique_variant rows = unique_variant::from_i4(42);
    IDispatch* given = c.printer.get();
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(slots_->FormCheck(rows.get(), &given, &ok), c.formCheck);
    if (c.formCheck != S_OK) {
      EXPECT_EQ(V_VT(rows.get()), VT_I4);
      EXPECT_EQ(given, c.printer.get());
    } else if (given) {
      given->Release();  // the current printer, handed back
    }
    given = c.printer.get();
    EXPECT_EQ(slots_->FormAllAdd(&given), c.formAllAdd);
    EXPECT_EQ(given, c.printer.get());

    VARIANT printer = Object(c.printer.get());
    if (c.formId != S_OK) {
      EXPECT_EQ(CallByName(byName_.get(), L"gFormID", {Text(size.get()), printer}).raised,
                c.formId);
    }
    EXPECT_EQ(CallByName(byName_.get(), L"FormAllAdd", {Reference(&printer)}).raised, c.formAllAdd);
    EXPECT_EQ(watch.Stop(), std::vector<std::wstring>{});
  }
}

// A printer that does not open, unknown or named as no printer can be (64 KiB of text, control
// characters): an ordinary failure, 0 and False, the array untouched.
TEST_F(ComObject, APrinterThatDoesNotOpenIsAnOrdinaryFailure) {
  for (const std::wstring& name : {std::wstring(L"No such printer"), std::wstring(65536, L'A'),
                                   std::wstring(L"A\r\nB\t\x01\x1A[x]=;")}) {
    SCOPED_TRACE(testing::PrintToString(name.substr(0, 20)));
    com_ptr<IDispatch> printer = FakePrinter::Named(name);
    unique_variant rows = unique_variant::from_i4(42);
    IDispatch* given = printer.get();
    VARIANT_BOOL ok = VARIANT_TRUE;
    ASSERT_EQ(slots_->FormCheck(rows.get(), &given, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(V_VT(rows.get()), VT_I4);
    EXPECT_EQ(V_I4(rows.get()), 42);
    unique_bstr size(L"8.5/11");
    LONG position = -1;
    ASSERT_EQ(slots_->gFormID(size.get(), printer.get(), &position), S_OK);
    EXPECT_EQ(position, 0);
  }
}

TEST_F(ComObject, FormCheckGivesAVariantArrayAndHandsBackTheCurrentPrinter) {
  unique_variant rows;
  IDispatch* printer = nullptr;  // Nothing: the current printer, written back
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(slots_->FormCheck(rows.get(), &printer, &ok), S_OK);
  ASSERT_EQ(ok, VARIANT_TRUE);
  ASSERT_NE(printer, nullptr);
  com_ptr<IDispatch> current = com_ptr<IDispatch>::attach(printer);
  EXPECT_EQ(DeviceNameOf(current.get()), DefaultPrinter());
  CallResult dc = CallByName(current.get(), L"hDC", {}, DISPATCH_PROPERTYGET);
  ASSERT_EQ(dc.hr, S_OK);
  EXPECT_EQ(V_VT(dc.value.get()), VT_I4);
  EXPECT_NE(V_I4(dc.value.get()), 0);

  ASSERT_EQ(V_VT(rows.get()), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = V_ARRAY(rows.get());
  ASSERT_EQ(SafeArrayGetDim(array), 2u);
  // The bounds are listed last dimension first: the rows, then the four columns from 0.
  EXPECT_GT(array->rgsabound[0].cElements, 1u);
  EXPECT_EQ(array->rgsabound[1].lLbound, 0);
  EXPECT_EQ(array->rgsabound[1].cElements, 4u);
  // The elements, read by name into a script's variables: com_vbscript_test.vbs.
}

TEST_F(ComObject, FormCheckRedimensionsACallersTextArray) {
  SAFEARRAY* texts = SafeArrayCreateVector(VT_BSTR, 0, 2);
  VARIANT rows = Make(VT_BYREF | VT_ARRAY | VT_BSTR, &texts);
  com_ptr<IDispatch> printer = FakePrinter::Named(DefaultPrinter());
  IDispatch* given = printer.get();
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(slots_->FormCheck(&rows, &given, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  ASSERT_EQ(SafeArrayGetDim(texts), 2u);
  for (auto [column, text] : {std::pair{1L, L"1"}, std::pair{2L, L"21.59"}}) {
    BSTR element = nullptr;
    LONG at[2] = {column, 0};
    ASSERT_EQ(SafeArrayGetElement(texts, at, &element), S_OK);
    EXPECT_EQ(TextOf(element), text);  // numbers as number text
    SysFreeString(element);
  }
  SafeArrayDestroy(texts);
}

// The current printer goes into an empty printer argument even when the array refuses the
// forms: a fixed-size array (error 10), and a reference to something that is not an array (13).
TEST_F(ComObject, FormCheckHandsBackTheCurrentPrinterWhenTheArrayRefusesTheForms) {
  SAFEARRAY* texts = SafeArrayCreateVector(VT_BSTR, 0, 2);
  texts->fFeatures |= FADF_FIXEDSIZE;
  VARIANT fixedRows = Make(VT_BYREF | VT_ARRAY | VT_BSTR, &texts);
  LONG number = 5;
  VARIANT numberRows = Make(VT_BYREF | VT_I4, &number);

  for (auto [rows, error] : {std::pair{&fixedRows, 10}, std::pair{&numberRows, 13}}) {
    IDispatch* printer = nullptr;
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(slots_->FormCheck(rows, &printer, &ok),
              RunTimeError(static_cast<std::uint16_t>(error)));
    ASSERT_NE(printer, nullptr) << "error " << error;
    com_ptr<IDispatch> current = com_ptr<IDispatch>::attach(printer);
    EXPECT_EQ(DeviceNameOf(current.get()), DefaultPrinter());
  }
  EXPECT_EQ(SafeArrayGetDim(texts), 1u);
  EXPECT_EQ(number, 5);
  texts->fFeatures &= ~FADF_FIXEDSIZE;
  SafeArrayDestroy(texts);
}

// The record by name is the slot's, described by the record type of the type library. (A form
// the printer does not have gives an all-zero record: form_operations_test.)
TEST_F(ComObject, PrintGetFormRecordIsTheSameByNameAsThroughTheSlot) {
  unique_bstr printer(DefaultPrinter()), form(L"Letter");
  BSTR printerName = printer.get(), formName = form.get();
  rePaPer paper{};
  ASSERT_EQ(slots_->PrintGetForm(&printerName, &formName, &paper), S_OK);
  EXPECT_EQ(paper, (rePaPer{0, 21.59, 27.94, 0, 21.59, 0, 27.94}));
  CallResult call =
      CallByName(byName_.get(), L"PrintGetForm", {TextReference(&printerName), Text(formName)});
  ASSERT_EQ(call.hr, S_OK);
  ASSERT_EQ(V_VT(call.value.get()), VT_RECORD);
  EXPECT_EQ(*static_cast<const rePaPer*>(V_RECORD(call.value.get())), paper);
  ULONG size = 0;
  ASSERT_EQ(V_RECORDINFO(call.value.get())->GetSize(&size), S_OK);
  EXPECT_EQ(size, 56u);
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

// Wine's driver takes the form name into the merged record whatever the name, so every call
// succeeds. A window handle is 32 bits wide: one with its high bit set (a negative Long) is
// widened with its sign, as Windows widens handles, and must not stop the call.
TEST_F(ComObject, FormSelectGivesOneForAnyNameAndAnyWindowHandle) {
  for (const std::wstring& name :
       {std::wstring(L"A4"), std::wstring(L"No such form"), std::wstring(40, L'x')}) {
    for (const LONG window : {LONG{0}, static_cast<LONG>(0x80001234u), LONG{-1}}) {
      SCOPED_TRACE(testing::PrintToString(name) + " " + std::to_string(window));
      unique_bstr form(name);
      BSTR formName = form.get();
      SHORT selected = -1;
      ASSERT_EQ(slots_->FormSelect(&formName, window, &selected), S_OK);
      EXPECT_EQ(selected, 1);
      CallResult call = CallByName(byName_.get(), L"FormSelect", {Text(formName), Long(window)});
      ASSERT_EQ(call.hr, S_OK);
      EXPECT_EQ(V_I2(call.value.get()), 1);
    }
  }
}

// The paper store beside the DLL, by name: the record comes back as a record. (The list into
// a script's variable: com_vbscript_test.vbs.)
TEST_F(ComObject, PaperStoreByName) {
  StoreOnePaper();
  unique_bstr name(L"ComTest paper");
  CallResult call = CallByName(byName_.get(), L"IniReadValue", {Short(1), Text(name.get())});
  ASSERT_EQ(call.hr, S_OK);
  ASSERT_EQ(V_VT(call.value.get()), VT_RECORD);
  EXPECT_EQ(*static_cast<const rePaPer*>(V_RECORD(call.value.get())),
            (rePaPer{1, 8.5, 11, 0, 0, 0, 0}));
  call = CallByName(byName_.get(), L"IniDelValue", {Text(name.get())});
  EXPECT_EQ(call.hr, S_OK);
  EXPECT_EQ(V_VT(call.value.get()), VT_EMPTY);
  EXPECT_EQ(ReadPaper(slots_.get(), L"ComTest paper"), rePaPer{});
}

// FormAllAdd ends with its message, which the user confirms: once per call, both ways.
TEST_F(ComObject, FormAllAddEndsWithItsMessageBothWays) {
  StoreOnePaper();
  OwnWindowWatch user;
  com_ptr<IDispatch> printer = FakePrinter::Named(DefaultPrinter());
  IDispatch* given = printer.get();
  EXPECT_EQ(slots_->FormAllAdd(&given), S_OK);
  EXPECT_EQ(given, printer.get());
  VARIANT variable = Object(printer.get());
  EXPECT_EQ(CallByName(byName_.get(), L"FormAllAdd", {Reference(&variable)}).hr, S_OK);
  EXPECT_EQ(user.Stop(), (std::vector<std::wstring>{L"新增完成", L"新增完成"}));
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
}

}  // namespace
}  // namespace sheetlore::com_test
