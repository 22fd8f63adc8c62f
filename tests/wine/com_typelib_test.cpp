// The type library embedded in Sheetlore.dll (its resource 1, which LoadTypeLibEx reads from a
// DLL), walked through ITypeLib and ITypeInfo and compared with the published description of
// the interface, written out here by hand.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/com_support.h"

namespace sheetlore::com_test {
namespace {

// The interface as published, in slot order: dispatch identifier 0x60030000 + the number
// first, the parameters with their flags and defaults ("caption": the wizard's caption), the
// result, and the help text.
const std::vector<std::wstring> kInterface = {
    L"0 PrintAddForm([in, out] BSTR* PrintName, [in, out] BSTR* FormName, [in, out] double* Cx, "
    L"[in, out] double* Cy, [in, out, optional] double* fLeft, [in, out, optional] double* "
    L"fRight, [in, out, optional] double* fTop, [in, out, optional] double* fBottom, [out, "
    L"retval] VARIANT_BOOL*) \"add the paper form to current printer\"",
    L"1 PrintDelForm([in, out] BSTR* PrintName, [in, out] BSTR* FormName, [out, retval] "
    L"VARIANT_BOOL*) \"delete  a paper form from the printer\"",
    L"2 InchToCm([in, out] double* mValue, [in, out, optional, defaultvalue] VARIANT_BOOL* mMode "
    L"= True, [out, retval] double*) \"\"",
    L"3 PrintCheck([in, out, optional, defaultvalue] VARIANT_BOOL* mMode = False, [in, out, "
    L"optional, defaultvalue] BSTR* CaptionName = caption, [out, retval] VARIANT_BOOL*) \"search "
    L"Add printer \"",
    L"4 gFormID([in] BSTR mFormName, [in] IDispatch* mPrintX, [out, retval] long*) \"\"",
    L"5 FormCheck([in, out] VARIANT* mArry, [in, out, optional] IDispatch** PrintX, [out, retval] "
    L"VARIANT_BOOL*) \"return the printer 's all of paper form\"",
    L"7 FormShow() \"\"",
    L"8 IniWriteValue([in] BSTR mFmtName, [in] unsigned char mMode, [in] double W, [in] double H, "
    L"[in] double L, [in] double R, [in] double T, [in] double B, [out, retval] VARIANT_BOOL*) "
    L"\"\"",
    L"9 IniReadValue([in] short mMode, [in, optional] BSTR mFmtName, [in, out, optional] VARIANT* "
    L"mArry, [out, retval] rePaPer*) \"\"",
    L"10 IniDelValue([in, out] BSTR* mFmtName, [out, retval] VARIANT*) \"\"",
    L"12 FormAllAdd([in, out] IDispatch** PrintX) \"add all of paper'form  from ini file to "
    L"printer\"",
    L"13 GetWindows([out, retval] short*) \"get one's system version\r\n0 none\r\n1 win98\r\n2 "
    L"win2k or winxp\"",
    L"14 PrintGetForm([in, out] BSTR* PrintName, [in, out] BSTR* FormName, [out, retval] "
    L"rePaPer*) \"get the paper form's size and rect from printer\"",
    L"17 FormSelect([in, out] BSTR* FormName, [in] long MyhWnd, [out, retval] short*) \"\"",
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

std::wstring NameOf(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  unique_bstr name;
  info->GetDocumentation(member, name.put(), nullptr, nullptr, nullptr);
  return name.str();
}

// A parameter's type as the interface's description writes it.
std::wstring TypeText(ITypeInfo* info, const TYPEDESC& type) {
  static const std::map<VARTYPE, std::wstring> kNames = {
      {VT_BSTR, L"BSTR"},         {VT_R8, L"double"},
      {VT_BOOL, L"VARIANT_BOOL"}, {VT_I2, L"short"},
      {VT_I4, L"long"},           {VT_UI1, L"unsigned char"},
      {VT_VARIANT, L"VARIANT"},   {VT_DISPATCH, L"IDispatch*"}};
  if (type.vt == VT_PTR) return TypeText(info, *type.lptdesc) + L"*";
  com_ptr<ITypeInfo> named;
  if (type.vt == VT_USERDEFINED && info->GetRefTypeInfo(type.hreftype, named.put()) == S_OK) {
    return NameOf(named.get());
  }
  const auto name = kNames.find(type.vt);
  return name != kNames.end() ? name->second : L"(type " + std::to_wstring(type.vt) + L")";
}

// A parameter's default as the interface's description writes it. The wizard's caption is stored
// in the Traditional Chinese code page and read back in this process's.
std::wstring DefaultText(const VARIANT& value) {
  if (V_VT(&value) == VT_BOOL && V_BOOL(&value) == VARIANT_TRUE) return L"True";
  if (V_VT(&value) == VT_BOOL && V_BOOL(&value) == VARIANT_FALSE) return L"False";
  if (V_VT(&value) == VT_BSTR && TextOf(V_BSTR(&value)) == CaptionDecodedHere()) return L"caption";
  return L"(another default of type " + std::to_wstring(V_VT(&value)) + L")";
}

// A type as one text: name, identifier, kind and flags; then the types it builds on with their
// flags (1: the default), a record's fields at their offsets, an interface's methods and slots.
std::wstring Described(const com_ptr<ITypeInfo>& info) {
  TYPEATTR* attributes = nullptr;
  if (!info || info->GetTypeAttr(&attributes) != S_OK) return L"(unreadable)";
  const TYPEATTR type = *attributes;
  info->ReleaseTypeAttr(attributes);
  const wchar_t* const kKinds[] = {L"enum",     L"record",  L"module", L"interface",
                                   L"dispatch", L"coclass", L"alias",  L"union"};
  wchar_t guid[40] = {};
  StringFromGUID2(type.guid, guid, 40);
  std::wstring text = NameOf(info.get()) + L" " + guid + L" " + kKinds[type.typekind];
  const std::pair<WORD, const wchar_t*> kFlags[] = {{TYPEFLAG_FCANCREATE, L"cancreate"},
                                                    {TYPEFLAG_FHIDDEN, L"hidden"},
                                                    {TYPEFLAG_FDUAL, L"dual"},
                                                    {TYPEFLAG_FNONEXTENSIBLE, L"nonextensible"},
                                                    {TYPEFLAG_FOLEAUTOMATION, L"oleautomation"},
                                                    {TYPEFLAG_FDISPATCHABLE, L"dispatchable"}};
  for (const auto& [flag, word] : kFlags) {
    if (type.wTypeFlags & flag) text += L" " + std::wstring(word);
  }
  for (UINT i = 0; i < type.cImplTypes; ++i) {
    HREFTYPE reference = 0;
    INT flags = 0;
    com_ptr<ITypeInfo> base;
    info->GetRefTypeOfImplType(i, &reference);
    info->GetRefTypeInfo(reference, base.put());
    info->GetImplTypeFlags(i, &flags);
    text += L"; on " + (base ? NameOf(base.get()) : L"?") + L" flags " + std::to_wstring(flags);
  }
  for (UINT i = 0; i < type.cVars; ++i) {
    VARDESC* variable = nullptr;
    if (info->GetVarDesc(i, &variable) != S_OK) return text + L"; (unreadable field)";
    text += L"; " + TypeText(info.get(), variable->elemdescVar.tdesc) + L" " +
            NameOf(info.get(), variable->memid) + L" at " + std::to_wstring(variable->oInst) +
            (variable->varkind == VAR_PERINSTANCE ? L"" : L" (not per instance)");
    info->ReleaseVarDesc(variable);
  }
  if (type.typekind == TKIND_INTERFACE) {
    text += L"; " + std::to_wstring(type.cFuncs) + L" methods in " +
            std::to_wstring(type.cbSizeVft / sizeof(void*)) + L" slots";
  }
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

// The library's name, then each type in the library's order and the interface's vtable side
// last, one text each. The identifiers are written out here: callers' compiled code holds them.
// (The library's own identifier, version and system: the TypeLib key that its registration
// derives from them, in com_registration_test.)
TEST_F(TypeLibrary, LibraryAndTypesWithTheirIdentifiersFlagsAndParts) {
  unique_bstr name;
  ASSERT_EQ(library_->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(name.str(), L"Sheetlore");
  std::vector<std::wstring> types;
  for (UINT i = 0; i < library_->GetTypeInfoCount(); ++i) types.push_back(Described(InfoAt(i)));
  types.push_back(Described(Slots()));
  EXPECT_EQ(types,
            (std::vector<std::wstring>{
                L"_ClsPrint {5E8DBAC0-6E0E-4AF8-AF3F-8647E2E0543E} dispatch hidden dual "
                L"nonextensible dispatchable; on IDispatch flags 0",
                L"ClsPrint {188AD010-B752-4ADC-9E36-D06143AC4914} coclass cancreate dispatchable; "
                L"on _ClsPrint flags 1",
                L"rePaPer {D599EB27-E301-4502-9315-7D8C5EDD24A2} record; unsigned char mMode at 0; "
                L"double W at 8; double H at 16; double L at 24; double R at 32; double T at 40; "
                L"double B at 48",
                L"_ClsPrint {5E8DBAC0-6E0E-4AF8-AF3F-8647E2E0543E} interface hidden dual "
                L"nonextensible oleautomation dispatchable; on IDispatch flags 0; 14 methods in 21 "
                L"slots"}));
}

TEST_F(TypeLibrary, MethodsInSlotOrderWithIdsParametersResultsAndHelp) {
  com_ptr<ITypeInfo> slots = Slots();
  std::vector<std::wstring> methods;
  for (UINT index = 0; index < kInterface.size(); ++index) {
    FUNCDESC* function = nullptr;
    ASSERT_EQ(slots->GetFuncDesc(index, &function), S_OK);
    EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + index) * sizeof(void*)));
    EXPECT_EQ(function->invkind, INVOKE_FUNC);
    EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT);
    BSTR names[16] = {};
    UINT nameCount = 0;
    slots->GetNames(function->memid, names, 16, &nameCount);
    std::wstring text =
        std::to_wstring(function->memid - 0x60030000) + L" " + TextOf(names[0]) + L"(";
    for (UINT p = 0; p < static_cast<UINT>(function->cParams); ++p) {
      const ELEMDESC& parameter = function->lprgelemdescParam[p];
      const USHORT flags = parameter.paramdesc.wParamFlags;
      std::wstring flagText;
      for (const auto& [flag, word] : {std::pair{PARAMFLAG_FIN, L"in"},
                                       {PARAMFLAG_FOUT, L"out"},
                                       {PARAMFLAG_FOPT, L"optional"},
                                       {PARAMFLAG_FHASDEFAULT, L"defaultvalue"},
                                       {PARAMFLAG_FRETVAL, L"retval"}}) {
        if (flags & flag) flagText += (flagText.empty() ? L"" : L", ") + std::wstring(word);
      }
      text += (p ? L", [" : L"[") + flagText + L"] " + TypeText(slots.get(), parameter.tdesc);
      if (p + 1 < nameCount) text += L" " + TextOf(names[p + 1]);
      if (flags & PARAMFLAG_FHASDEFAULT) {
        text += L" = " + DefaultText(parameter.paramdesc.pparamdescex->varDefaultValue);
      }
    }
    for (UINT n = 0; n < nameCount; ++n) SysFreeString(names[n]);
    unique_bstr help;
    slots->GetDocumentation(function->memid, nullptr, help.put(), nullptr, nullptr);
    methods.push_back(text + L") \"" + help.str() + L"\"");
    slots->ReleaseFuncDesc(function);
  }
  EXPECT_EQ(methods, kInterface);
}

}  // namespace
}  // namespace sheetlore::com_test
