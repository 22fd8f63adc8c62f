// The type library embedded in Sheetlore.dll (its resource 1, which LoadTypeLibEx reads from a
// DLL), walked through ITypeLib and ITypeInfo and compared with the published description of
// the interface, written out here by hand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/com_support.h"

namespace sheetlore::com_test {
namespace {

constexpr GUID kLibraryId = {
    0xB0D81A92, 0x2C42, 0x4EA0, {0x8E, 0x2A, 0x77, 0x5C, 0x03, 0xB6, 0xB0, 0x53}};
constexpr GUID kInterfaceId = {
    0x5E8DBAC0, 0x6E0E, 0x4AF8, {0xAF, 0x3F, 0x86, 0x47, 0xE2, 0xE0, 0x54, 0x3E}};
constexpr GUID kClassId = {
    0x188AD010, 0xB752, 0x4ADC, {0x9E, 0x36, 0xD0, 0x61, 0x43, 0xAC, 0x49, 0x14}};
constexpr GUID kRecordId = {
    0xD599EB27, 0xE301, 0x4502, {0x93, 0x15, 0x7D, 0x8C, 0x5E, 0xDD, 0x24, 0xA2}};

constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
constexpr USHORT kOptional = PARAMFLAG_FOPT;
constexpr USHORT kDefault = PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT;
constexpr VARTYPE kRecord = VT_USERDEFINED;

struct ExpectedParameter {
  const wchar_t* name;
  VARTYPE type;  // of the value; by-reference parameters add a pointer
  USHORT flags;
};

struct ExpectedMethod {
  int number;
  const wchar_t* name;
  std::vector<ExpectedParameter> parameters;
  VARTYPE result;  // VT_EMPTY: none
  const wchar_t* help;
};

// The interface as published: slot order, dispatch identifier 0x60030000 + number.
const std::vector<ExpectedMethod> kInterface = {
    {0,
     L"PrintAddForm",
     {{L"PrintName", VT_BSTR, kInOut},
      {L"FormName", VT_BSTR, kInOut},
      {L"Cx", VT_R8, kInOut},
      {L"Cy", VT_R8, kInOut},
      {L"fLeft", VT_R8, kInOut | kOptional},
      {L"fRight", VT_R8, kInOut | kOptional},
      {L"fTop", VT_R8, kInOut | kOptional},
      {L"fBottom", VT_R8, kInOut | kOptional}},
     VT_BOOL,
     L"add the paper form to current printer"},
    {1,
     L"PrintDelForm",
     {{L"PrintName", VT_BSTR, kInOut}, {L"FormName", VT_BSTR, kInOut}},
     VT_BOOL,
     L"delete  a paper form from the printer"},
    {2,
     L"InchToCm",
     {{L"mValue", VT_R8, kInOut}, {L"mMode", VT_BOOL, kInOut | kDefault}},
     VT_R8,
     L""},
    {3,
     L"PrintCheck",
     {{L"mMode", VT_BOOL, kInOut | kDefault}, {L"CaptionName", VT_BSTR, kInOut | kDefault}},
     VT_BOOL,
     L"search Add printer "},
    {4, L"gFormID", {{L"mFormName", VT_BSTR, kIn}, {L"mPrintX", VT_DISPATCH, kIn}}, VT_I4, L""},
    {5,
     L"FormCheck",
     {{L"mArry", VT_VARIANT, kInOut}, {L"PrintX", VT_DISPATCH, kInOut | kOptional}},
     VT_BOOL,
     L"return the printer 's all of paper form"},
    {7, L"FormShow", {}, VT_EMPTY, L""},
    {8,
     L"IniWriteValue",
     {{L"mFmtName", VT_BSTR, kIn},
      {L"mMode", VT_UI1, kIn},
      {L"W", VT_R8, kIn},
      {L"H", VT_R8, kIn},
      {L"L", VT_R8, kIn},
      {L"R", VT_R8, kIn},
      {L"T", VT_R8, kIn},
      {L"B", VT_R8, kIn}},
     VT_BOOL,
     L""},
    {9,
     L"IniReadValue",
     {{L"mMode", VT_I2, kIn},
      {L"mFmtName", VT_BSTR, kIn | kOptional},
      {L"mArry", VT_VARIANT, kInOut | kOptional}},
     kRecord,
     L""},
    {10, L"IniDelValue", {{L"mFmtName", VT_BSTR, kInOut}}, VT_VARIANT, L""},
    {12,
     L"FormAllAdd",
     {{L"PrintX", VT_DISPATCH, kInOut}},
     VT_EMPTY,
     L"add all of paper'form  from ini file to printer"},
    {13,
     L"GetWindows",
     {},
     VT_I2,
     L"get one's system version\r\n0 none\r\n1 win98\r\n2 win2k or winxp"},
    {14,
     L"PrintGetForm",
     {{L"PrintName", VT_BSTR, kInOut}, {L"FormName", VT_BSTR, kInOut}},
     kRecord,
     L"get the paper form's size and rect from printer"},
    {17, L"FormSelect", {{L"FormName", VT_BSTR, kInOut}, {L"MyhWnd", VT_I4, kIn}}, VT_I2, L""},
};

// "新增印表機精靈" in the Traditional Chinese code page (950), as the library stores it.
constexpr unsigned char kWizardCaptionBytes[] = {0xB7, 0x73, 0xBC, 0x57, 0xA6, 0x4C, 0xAA,
                                                 0xED, 0xBE, 0xF7, 0xBA, 0xEB, 0xC6, 0x46};

// What this process's code page makes of the stored caption.
std::wstring CaptionDecodedHere() {
  const int count = static_cast<int>(sizeof kWizardCaptionBytes);
  const auto* bytes = reinterpret_cast<const char*>(kWizardCaptionBytes);
  std::wstring text(
      static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, bytes, count, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes, count, text.data(), static_cast<int>(text.size()));
  return text;
}

class TypeLibrary : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE, library_.put()), S_OK);
  }
  com_ptr<ITypeInfo> InfoAt(UINT index) {
    com_ptr<ITypeInfo> info;
    EXPECT_EQ(library_->GetTypeInfo(index, info.put()), S_OK);
    return info;
  }
  static TYPEATTR Attributes(ITypeInfo* info) {
    TYPEATTR* attributes = nullptr;
    EXPECT_EQ(info->GetTypeAttr(&attributes), S_OK);
    TYPEATTR copy = *attributes;
    info->ReleaseTypeAttr(attributes);
    return copy;
  }
  static std::wstring NameOf(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
    unique_bstr name;
    info->GetDocumentation(member, name.put(), nullptr, nullptr, nullptr);
    return name.str();
  }
  com_ptr<ITypeInfo> Slots() {
    com_ptr<ITypeInfo> dispatch = InfoAt(0), slots;
    HREFTYPE reference = 0;
    EXPECT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), S_OK);
    EXPECT_EQ(dispatch->GetRefTypeInfo(reference, slots.put()), S_OK);
    return slots;
  }

  ComApartment apartment_;
  com_ptr<ITypeLib> library_;
};

TEST_F(TypeLibrary, LibrarySheetlore11WithInterfaceClassAndRecordInThatOrder) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library_->GetLibAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, kLibraryId));
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 1);
#ifdef _WIN64
  EXPECT_EQ(attributes->syskind, SYS_WIN64);
#else
  EXPECT_EQ(attributes->syskind, SYS_WIN32);
#endif
  library_->ReleaseTLibAttr(attributes);
  unique_bstr name;
  ASSERT_EQ(library_->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(name.str(), L"Sheetlore");

  ASSERT_EQ(library_->GetTypeInfoCount(), 3u);
  const struct {
    const wchar_t* name;
    const GUID* guid;
  } order[] = {{L"_ClsPrint", &kInterfaceId}, {L"ClsPrint", &kClassId}, {L"rePaPer", &kRecordId}};
  for (UINT i = 0; i < 3; ++i) {
    com_ptr<ITypeInfo> info = InfoAt(i);
    EXPECT_EQ(NameOf(info.get()), order[i].name);
    EXPECT_TRUE(IsEqualGUID(Attributes(info.get()).guid, *order[i].guid)) << i;
  }
}

TEST_F(TypeLibrary, InterfaceIsDualHiddenNonextensibleAutomation) {
  const TYPEATTR dispatch = Attributes(InfoAt(0).get());
  EXPECT_EQ(dispatch.typekind, TKIND_DISPATCH);
  const WORD dual = TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE;
  EXPECT_EQ(dispatch.wTypeFlags & dual, dual);
  // The vtable side carries the automation flag too.
  const TYPEATTR slots = Attributes(Slots().get());
  EXPECT_EQ(slots.typekind, TKIND_INTERFACE);
  EXPECT_EQ(slots.wTypeFlags & (dual | TYPEFLAG_FOLEAUTOMATION), dual | TYPEFLAG_FOLEAUTOMATION);
  EXPECT_EQ(slots.cFuncs, kInterface.size());
  EXPECT_EQ(slots.cbSizeVft, (7 + kInterface.size()) * sizeof(void*));
}

TEST_F(TypeLibrary, MethodsInSlotOrderWithIdsParametersDefaultsResultsAndHelp) {
  com_ptr<ITypeInfo> slots = Slots();
  for (std::size_t index = 0; index < kInterface.size(); ++index) {
    const ExpectedMethod& expected = kInterface[index];
    SCOPED_TRACE(std::string(expected.name, expected.name + wcslen(expected.name)));
    FUNCDESC* function = nullptr;
    ASSERT_EQ(slots->GetFuncDesc(static_cast<UINT>(index), &function), S_OK);
    EXPECT_EQ(function->memid, 0x60030000 + expected.number);
    EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + index) * sizeof(void*)));
    EXPECT_EQ(function->invkind, INVOKE_FUNC);
    EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT);
    const std::size_t withResult = expected.parameters.size() + (expected.result != VT_EMPTY);
    ASSERT_EQ(static_cast<std::size_t>(function->cParams), withResult);

    BSTR names[16] = {};
    UINT nameCount = 0;
    slots->GetNames(function->memid, names, 16, &nameCount);
    ASSERT_GE(nameCount, expected.parameters.size() + 1);
    EXPECT_EQ(TextOf(names[0]), expected.name);
    for (std::size_t p = 0; p < expected.parameters.size(); ++p) {
      const ExpectedParameter& parameter = expected.parameters[p];
      const ELEMDESC& element = function->lprgelemdescParam[p];
      EXPECT_EQ(TextOf(names[p + 1]), parameter.name);
      const bool byReference = parameter.flags & PARAMFLAG_FOUT;
      if (byReference) {
        ASSERT_EQ(element.tdesc.vt, VT_PTR) << p;
        EXPECT_EQ(element.tdesc.lptdesc->vt, parameter.type) << p;
      } else {
        EXPECT_EQ(element.tdesc.vt, parameter.type) << p;
      }
      EXPECT_EQ(element.paramdesc.wParamFlags, parameter.flags) << p;
    }
    for (UINT n = 0; n < nameCount; ++n) SysFreeString(names[n]);
    if (expected.result != VT_EMPTY) {
      const ELEMDESC& result = function->lprgelemdescParam[function->cParams - 1];
      EXPECT_EQ(result.paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
      ASSERT_EQ(result.tdesc.vt, VT_PTR);
      EXPECT_EQ(result.tdesc.lptdesc->vt, expected.result);
      if (expected.result == kRecord) {
        com_ptr<ITypeInfo> record;
        ASSERT_EQ(slots->GetRefTypeInfo(result.tdesc.lptdesc->hreftype, record.put()), S_OK);
        EXPECT_EQ(NameOf(record.get()), L"rePaPer");
      }
    }
    unique_bstr help;
    slots->GetDocumentation(function->memid, nullptr, help.put(), nullptr, nullptr);
    EXPECT_EQ(help.str(), expected.help);
    slots->ReleaseFuncDesc(function);
  }
}

TEST_F(TypeLibrary, DefaultsOfInchToCmAndPrintCheck) {
  com_ptr<ITypeInfo> slots = Slots();
  FUNCDESC* function = nullptr;
  ASSERT_EQ(slots->GetFuncDesc(2, &function), S_OK);  // InchToCm
  const VARIANT& inchMode = function->lprgelemdescParam[1].paramdesc.pparamdescex->varDefaultValue;
  EXPECT_EQ(V_VT(&inchMode), VT_BOOL);
  EXPECT_EQ(V_BOOL(&inchMode), VARIANT_TRUE);
  slots->ReleaseFuncDesc(function);

  ASSERT_EQ(slots->GetFuncDesc(3, &function), S_OK);  // PrintCheck
  const VARIANT& checkMode = function->lprgelemdescParam[0].paramdesc.pparamdescex->varDefaultValue;
  EXPECT_EQ(V_VT(&checkMode), VT_BOOL);
  EXPECT_EQ(V_BOOL(&checkMode), VARIANT_FALSE);
  const VARIANT& caption = function->lprgelemdescParam[1].paramdesc.pparamdescex->varDefaultValue;
  ASSERT_EQ(V_VT(&caption), VT_BSTR);
  // Stored in the Traditional Chinese code page; read back in this process's code page.
  EXPECT_EQ(TextOf(V_BSTR(&caption)), CaptionDecodedHere());
  if (GetACP() == 950) {
    EXPECT_EQ(TextOf(V_BSTR(&caption)), L"新增印表機精靈");
  }
  slots->ReleaseFuncDesc(function);
}

TEST_F(TypeLibrary, ClassIsCreatableWithTheInterfaceAsDefault) {
  com_ptr<ITypeInfo> coclass = InfoAt(1);
  const TYPEATTR attributes = Attributes(coclass.get());
  EXPECT_EQ(attributes.typekind, TKIND_COCLASS);
  EXPECT_TRUE(attributes.wTypeFlags & TYPEFLAG_FCANCREATE);
  ASSERT_EQ(attributes.cImplTypes, 1);
  INT flags = 0;
  ASSERT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
  HREFTYPE reference = 0;
  ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &reference), S_OK);
  com_ptr<ITypeInfo> implemented;
  ASSERT_EQ(coclass->GetRefTypeInfo(reference, implemented.put()), S_OK);
  EXPECT_EQ(NameOf(implemented.get()), L"_ClsPrint");
}

TEST_F(TypeLibrary, RecordHasSevenFieldsAnd56Bytes) {
  com_ptr<ITypeInfo> record = InfoAt(2);
  const TYPEATTR attributes = Attributes(record.get());
  EXPECT_EQ(attributes.typekind, TKIND_RECORD);
  ASSERT_EQ(attributes.cVars, 7);
  const struct {
    const wchar_t* name;
    VARTYPE type;
    ULONG offset;
  } fields[] = {{L"mMode", VT_UI1, 0}, {L"W", VT_R8, 8},  {L"H", VT_R8, 16}, {L"L", VT_R8, 24},
                {L"R", VT_R8, 32},     {L"T", VT_R8, 40}, {L"B", VT_R8, 48}};
  for (UINT i = 0; i < 7; ++i) {
    VARDESC* variable = nullptr;
    ASSERT_EQ(record->GetVarDesc(i, &variable), S_OK);
    EXPECT_EQ(NameOf(record.get(), variable->memid), fields[i].name);
    EXPECT_EQ(variable->elemdescVar.tdesc.vt, fields[i].type);
    EXPECT_EQ(variable->varkind, VAR_PERINSTANCE);
    EXPECT_EQ(variable->oInst, fields[i].offset);
    record->ReleaseVarDesc(variable);
  }

  com_ptr<IRecordInfo> info;
  ASSERT_EQ(GetRecordInfoFromTypeInfo(record.get(), info.put()), S_OK);
  ULONG size = 0;
  ASSERT_EQ(info->GetSize(&size), S_OK);
  EXPECT_EQ(size, 56u);
  struct {
    unsigned char mMode;
    double W, H, L, R, T, B;
  } paper = {1, 21.0, 29.7, 0.5, 20.5, 1.0, 28.7};
  unique_variant field;
  ASSERT_EQ(info->GetField(&paper, L"mMode", field.put()), S_OK);
  EXPECT_EQ(V_VT(field.get()), VT_UI1);
  EXPECT_EQ(V_UI1(field.get()), 1);
  ASSERT_EQ(info->GetField(&paper, L"B", field.put()), S_OK);
  EXPECT_DOUBLE_EQ(V_R8(field.get()), 28.7);
}

}  // namespace
}  // namespace sheetlore::com_test
