#pragma once
// What the type library says about _ClsPrint, ClsPrint and rePaPer, as data the writer walks.

#include <oaidl.h>

#include <optional>
#include <span>
#include <string_view>

#include "platform/product_texts.h"

namespace sheetlore::com::typelib {

// A default value of an optional parameter.
struct DefaultValue {
  VARTYPE type = VT_EMPTY;
  bool boolean = false;    // VT_BOOL
  std::wstring_view text;  // VT_BSTR
};

struct Parameter {
  std::wstring_view name;
  VARTYPE type;      // VT_BSTR, VT_R8, VT_BOOL, VT_I2, VT_I4, VT_UI1, VT_VARIANT, VT_DISPATCH
  bool byReference;  // [in, out] through a pointer, otherwise [in] by value
  bool optional;
  std::optional<DefaultValue> defaultValue;
};

constexpr Parameter ByValue(std::wstring_view name, VARTYPE type) {
  return {name, type, false, false, std::nullopt};
}
constexpr Parameter ByReference(std::wstring_view name, VARTYPE type) {
  return {name, type, true, false, std::nullopt};
}
constexpr Parameter OptionalByValue(std::wstring_view name, VARTYPE type) {
  return {name, type, false, true, std::nullopt};
}
constexpr Parameter OptionalByReference(std::wstring_view name, VARTYPE type,
                                        std::optional<DefaultValue> defaultValue = std::nullopt) {
  return {name, type, true, true, defaultValue};
}

// VT_EMPTY: no result; VT_USERDEFINED: the record rePaPer.
struct Method {
  int number;  // dispatch identifier = 0x60030000 + number
  std::wstring_view name;
  std::span<const Parameter> parameters;
  VARTYPE result;
  std::wstring_view helpString;  // empty: none
};

struct RecordField {
  std::wstring_view name;
  VARTYPE type;
};

inline constexpr MEMBERID kFirstDispatchId = 0x60030000;

namespace detail {
inline constexpr Parameter kPrinterAndForm[] = {
    ByReference(L"PrintName", VT_BSTR),
    ByReference(L"FormName", VT_BSTR),
};
inline constexpr Parameter kPrintAddForm[] = {
    ByReference(L"PrintName", VT_BSTR),
    ByReference(L"FormName", VT_BSTR),
    ByReference(L"Cx", VT_R8),
    ByReference(L"Cy", VT_R8),
    OptionalByReference(L"fLeft", VT_R8),
    OptionalByReference(L"fRight", VT_R8),
    OptionalByReference(L"fTop", VT_R8),
    OptionalByReference(L"fBottom", VT_R8),
};
inline constexpr Parameter kInchToCm[] = {
    ByReference(L"mValue", VT_R8),
    OptionalByReference(L"mMode", VT_BOOL, DefaultValue{VT_BOOL, true, {}}),
};
inline constexpr Parameter kPrintCheck[] = {
    OptionalByReference(L"mMode", VT_BOOL, DefaultValue{VT_BOOL, false, {}}),
    OptionalByReference(L"CaptionName", VT_BSTR,
                        DefaultValue{VT_BSTR, false, kAddPrinterWizardCaption}),
};
inline constexpr Parameter kGFormId[] = {
    ByValue(L"mFormName", VT_BSTR),
    ByValue(L"mPrintX", VT_DISPATCH),
};
inline constexpr Parameter kFormCheck[] = {
    ByReference(L"mArry", VT_VARIANT),
    OptionalByReference(L"PrintX", VT_DISPATCH),
};
inline constexpr Parameter kIniWriteValue[] = {
    ByValue(L"mFmtName", VT_BSTR), ByValue(L"mMode", VT_UI1), ByValue(L"W", VT_R8),
    ByValue(L"H", VT_R8),          ByValue(L"L", VT_R8),      ByValue(L"R", VT_R8),
    ByValue(L"T", VT_R8),          ByValue(L"B", VT_R8),
};
inline constexpr Parameter kIniReadValue[] = {
    ByValue(L"mMode", VT_I2),
    OptionalByValue(L"mFmtName", VT_BSTR),
    OptionalByReference(L"mArry", VT_VARIANT),
};
inline constexpr Parameter kFormatName[] = {
    ByReference(L"mFmtName", VT_BSTR),
};
inline constexpr Parameter kPrinterObject[] = {
    ByReference(L"PrintX", VT_DISPATCH),
};
inline constexpr Parameter kFormSelect[] = {
    ByReference(L"FormName", VT_BSTR),
    ByValue(L"MyhWnd", VT_I4),
};
}  // namespace detail

// In the order of the interface's virtual slots, after the seven of IDispatch.
inline constexpr Method kMethods[] = {
    {0, L"PrintAddForm", detail::kPrintAddForm, VT_BOOL, L"add the paper form to current printer"},
    {1, L"PrintDelForm", detail::kPrinterAndForm, VT_BOOL,
     L"delete  a paper form from the printer"},
    {2, L"InchToCm", detail::kInchToCm, VT_R8, {}},
    {3, L"PrintCheck", detail::kPrintCheck, VT_BOOL, L"search Add printer "},
    {4, L"gFormID", detail::kGFormId, VT_I4, {}},
    {5, L"FormCheck", detail::kFormCheck, VT_BOOL, L"return the printer 's all of paper form"},
    {7, L"FormShow", {}, VT_EMPTY, {}},
    {8, L"IniWriteValue", detail::kIniWriteValue, VT_BOOL, {}},
    {9, L"IniReadValue", detail::kIniReadValue, VT_USERDEFINED, {}},
    {10, L"IniDelValue", detail::kFormatName, VT_VARIANT, {}},
    {12, L"FormAllAdd", detail::kPrinterObject, VT_EMPTY,
     L"add all of paper'form  from ini file to printer"},
    {13,
     L"GetWindows",
     {},
     VT_I2,
     L"get one's system version\r\n0 none\r\n1 win98\r\n2 win2k or winxp"},
    {14, L"PrintGetForm", detail::kPrinterAndForm, VT_USERDEFINED,
     L"get the paper form's size and rect from printer"},
    {17, L"FormSelect", detail::kFormSelect, VT_I2, {}},
};

inline constexpr RecordField kRecordFields[] = {
    {L"mMode", VT_UI1}, {L"W", VT_R8}, {L"H", VT_R8}, {L"L", VT_R8},
    {L"R", VT_R8},      {L"T", VT_R8}, {L"B", VT_R8},
};

}  // namespace sheetlore::com::typelib
