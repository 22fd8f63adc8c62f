// Writes the type library Sheetlore.tlb through ICreateTypeLib2. Runs at build time: natively
// on Windows, under Wine when cross-building. Usage: typelib_writer <output.tlb>

#include "platform/win32/windows_api.h"

#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "com/interface_description.h"
#include "com/sheetlore_guids.h"
#include "com/typelib_writer/default_text.h"
#include "com/typelib_writer/typelib_repairs.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handles.h"

namespace {

using namespace sheetlore::com;
using namespace sheetlore::com::typelib;
using sheetlore::win32::com_ptr;
using sheetlore::win32::unique_bstr;

class WriteError : public std::runtime_error {
 public:
  WriteError(const std::string& what, HRESULT hr)
      : std::runtime_error(what + " failed with 0x" + Hex(hr)) {}

 private:
  static std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(hr));
    return text;
  }
};

void Check(HRESULT hr, const std::string& what) {
  if (FAILED(hr)) throw WriteError(what, hr);
}

// A new library object's interface of another kind, or the error that says which.
template <class Interface>
com_ptr<Interface> Query(const com_ptr<ICreateTypeInfo>& creator, const char* what) {
  com_ptr<Interface> other;
  Check(creator.query(other), what);
  return other;
}

// Type descriptions that the function descriptions point into; a deque keeps them in place.
class TypeDescriptions {
 public:
  TYPEDESC Plain(VARTYPE type, HREFTYPE recordRef) {
    TYPEDESC description{};
    description.vt = type;
    if (type == VT_USERDEFINED) description.hreftype = recordRef;
    return description;
  }
  TYPEDESC PointerTo(const TYPEDESC& target) {
    storage_.push_back(target);
    TYPEDESC description{};
    description.vt = VT_PTR;
    description.lptdesc = &storage_.back();
    return description;
  }

 private:
  std::deque<TYPEDESC> storage_;
};

// The default of an optional parameter as the type library stores it.
class ParameterDefaults {
 public:
  PARAMDESCEX* Store(const DefaultValue& value) {
    auto& entry = storage_.emplace_back();
    entry.cBytes = sizeof(PARAMDESCEX);
    VariantInit(&entry.varDefaultValue);
    if (value.type == VT_BOOL) {
      V_VT(&entry.varDefaultValue) = VT_BOOL;
      V_BOOL(&entry.varDefaultValue) = value.boolean ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
      V_VT(&entry.varDefaultValue) = VT_BSTR;
      const std::wstring text = TextThatStoresDefault(value.text);
      V_BSTR(&entry.varDefaultValue) =
          SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    return &entry;
  }
  ~ParameterDefaults() {
    for (auto& entry : storage_) VariantClear(&entry.varDefaultValue);
  }

 private:
  std::deque<PARAMDESCEX> storage_;
};

void AddMethod(ICreateTypeInfo* creator, UINT index, const Method& method, HREFTYPE recordRef) {
  TypeDescriptions types;
  ParameterDefaults defaults;
  std::vector<ELEMDESC> elements;
  std::vector<std::wstring> nameTexts{std::wstring(method.name)};
  for (const Parameter& parameter : method.parameters) {
    ELEMDESC element{};
    TYPEDESC plain = types.Plain(parameter.type, recordRef);
    element.tdesc = parameter.byReference ? types.PointerTo(plain) : plain;
    USHORT flags = parameter.byReference ? (PARAMFLAG_FIN | PARAMFLAG_FOUT) : PARAMFLAG_FIN;
    if (parameter.optional) flags |= PARAMFLAG_FOPT;
    if (parameter.defaultValue) {
      flags |= PARAMFLAG_FHASDEFAULT;
      element.paramdesc.pparamdescex = defaults.Store(*parameter.defaultValue);
    }
    element.paramdesc.wParamFlags = flags;
    elements.push_back(element);
    nameTexts.emplace_back(parameter.name);
  }
  if (method.result != VT_EMPTY) {
    ELEMDESC result{};
    result.tdesc = types.PointerTo(types.Plain(method.result, recordRef));
    result.paramdesc.wParamFlags = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
    elements.push_back(result);
  }

  FUNCDESC function{};
  function.memid = kFirstDispatchId + method.number;
  function.funckind = FUNC_PUREVIRTUAL;
  function.invkind = INVOKE_FUNC;
  function.callconv = CC_STDCALL;
  function.cParams = static_cast<SHORT>(elements.size());
  function.lprgelemdescParam = elements.empty() ? nullptr : elements.data();
  function.oVft = static_cast<SHORT>((7 + index) * sizeof(void*));
  function.elemdescFunc.tdesc.vt = VT_HRESULT;

  const std::string where = "method " + std::to_string(method.number);
  Check(creator->AddFuncDesc(index, &function), "AddFuncDesc of " + where);
  std::vector<LPOLESTR> names;
  for (auto& text : nameTexts) names.push_back(text.data());
  Check(creator->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size())),
        "SetFuncAndParamNames of " + where);
  if (!method.helpString.empty()) {
    std::wstring help(method.helpString);
    Check(creator->SetFuncDocString(index, help.data()), "SetFuncDocString of " + where);
  }
}

void DescribeInterface(ICreateTypeInfo* creator, HREFTYPE recordRef) {
  com_ptr<ITypeLib> standard;
  Check(LoadTypeLib(L"stdole2.tlb", standard.put()), "LoadTypeLib(stdole2.tlb)");
  com_ptr<ITypeInfo> dispatch;
  Check(standard->GetTypeInfoOfGuid(IID_IDispatch, dispatch.put()), "IDispatch type information");
  HREFTYPE dispatchRef = 0;
  Check(creator->AddRefTypeInfo(dispatch.get(), &dispatchRef), "AddRefTypeInfo(IDispatch)");

  Check(creator->SetGuid(kInterfaceId), "SetGuid(_ClsPrint)");
  Check(creator->SetTypeFlags(TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE |
                              TYPEFLAG_FOLEAUTOMATION),
        "SetTypeFlags(_ClsPrint)");
  Check(creator->AddImplType(0, dispatchRef), "AddImplType(_ClsPrint)");
  UINT index = 0;
  for (const Method& method : kMethods) AddMethod(creator, index++, method, recordRef);
  Check(creator->LayOut(), "LayOut(_ClsPrint)");
}

void DescribeClass(ICreateTypeInfo* creator, ITypeInfo* interfaceInfo) {
  HREFTYPE interfaceRef = 0;
  Check(creator->SetGuid(kClassId), "SetGuid(ClsPrint)");
  Check(creator->SetTypeFlags(TYPEFLAG_FCANCREATE), "SetTypeFlags(ClsPrint)");
  Check(creator->AddRefTypeInfo(interfaceInfo, &interfaceRef), "AddRefTypeInfo(_ClsPrint)");
  Check(creator->AddImplType(0, interfaceRef), "AddImplType(ClsPrint)");
  Check(creator->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT), "SetImplTypeFlags(ClsPrint)");
  Check(creator->LayOut(), "LayOut(ClsPrint)");
}

// Offsets of the record's fields and its size, laid out as the compilers of both targets lay
// out the C++ rePaPer: every field at a multiple of its size.
struct RecordLayout {
  std::vector<ULONG> offsets;
  ULONG size = 0;
};
constexpr WORD kRecordAlignment = 8;

RecordLayout LayOutRecord() {
  RecordLayout layout;
  ULONG offset = 0;
  for (const RecordField& field : kRecordFields) {
    const ULONG size = field.type == VT_UI1 ? 1 : 8;
    offset = (offset + size - 1) / size * size;
    layout.offsets.push_back(offset);
    offset += size;
  }
  layout.size = (offset + kRecordAlignment - 1) / kRecordAlignment * kRecordAlignment;
  return layout;
}

void DescribeRecord(ICreateTypeInfo* creator) {
  Check(creator->SetGuid(kRecordId), "SetGuid(rePaPer)");
  Check(creator->SetAlignment(kRecordAlignment), "SetAlignment(rePaPer)");
  const RecordLayout layout = LayOutRecord();
  UINT index = 0;
  for (const RecordField& field : kRecordFields) {
    VARDESC variable{};
    variable.memid = 0x40000000 + static_cast<MEMBERID>(index);
    variable.varkind = VAR_PERINSTANCE;
    variable.oInst = layout.offsets[index];
    variable.elemdescVar.tdesc.vt = field.type;
    Check(creator->AddVarDesc(index, &variable), "AddVarDesc(rePaPer)");
    std::wstring name(field.name);
    Check(creator->SetVarName(index, name.data()), "SetVarName(rePaPer)");
    ++index;
  }
  Check(creator->LayOut(), "LayOut(rePaPer)");
}

// The saved library as a caller loads it.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const std::wstring& path) {
    Check(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library_.put()), "LoadTypeLibEx");
  }

  ULONG RecordSize() {
    com_ptr<ITypeInfo> record;
    Check(library_->GetTypeInfoOfGuid(kRecordId, record.put()), "rePaPer type information");
    com_ptr<IRecordInfo> recordInfo;
    Check(GetRecordInfoFromTypeInfo(record.get(), recordInfo.put()), "GetRecordInfoFromTypeInfo");
    ULONG size = 0;
    Check(recordInfo->GetSize(&size), "IRecordInfo::GetSize");
    return size;
  }

  // The description of every parameter default that reads back otherwise than written. Text
  // defaults must hold the code page 950 bytes of their text.
  std::vector<std::string> WrongDefaults() {
    com_ptr<ITypeInfo> dispatch, slots;
    Check(library_->GetTypeInfoOfGuid(kInterfaceId, dispatch.put()), "_ClsPrint type information");
    HREFTYPE reference = 0;
    Check(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), "dual interface");
    Check(dispatch->GetRefTypeInfo(reference, slots.put()), "dual interface");
    std::vector<std::string> wrong;
    UINT index = 0;
    for (const Method& method : kMethods) {
      FUNCDESC* function = nullptr;
      Check(slots->GetFuncDesc(index++, &function), "GetFuncDesc");
      for (std::size_t p = 0; p < method.parameters.size(); ++p) {
        const auto& expected = method.parameters[p].defaultValue;
        if (!expected) continue;
        const VARIANT& stored =
            function->lprgelemdescParam[p].paramdesc.pparamdescex->varDefaultValue;
        bool same = V_VT(&stored) == expected->type;
        if (same && expected->type == VT_BOOL) {
          same = V_BOOL(&stored) == (expected->boolean ? VARIANT_TRUE : VARIANT_FALSE);
        } else if (same) {
          same = ReadsBackAsDefault(
              std::wstring_view(V_BSTR(&stored), SysStringLen(V_BSTR(&stored))), expected->text);
        }
        if (!same)
          wrong.push_back("default of parameter " + std::to_string(p) + " of method " +
                          std::to_string(method.number));
      }
      slots->ReleaseFuncDesc(function);
    }
    return wrong;
  }

 private:
  com_ptr<ITypeLib> library_;
};

int CountTrueDefaults() {
  int count = 0;
  for (const Method& method : kMethods) {
    for (const Parameter& parameter : method.parameters) {
      if (parameter.defaultValue && parameter.defaultValue->type == VT_BOOL &&
          parameter.defaultValue->boolean) {
        ++count;
      }
    }
  }
  return count;
}

void WriteTypeLibrary(const std::wstring& path) {
#ifdef _WIN64
  constexpr SYSKIND kSystem = SYS_WIN64;
#else
  constexpr SYSKIND kSystem = SYS_WIN32;
#endif
  com_ptr<ICreateTypeLib2> library;
  Check(CreateTypeLib2(kSystem, path.c_str(), library.put()), "CreateTypeLib2");
  const unique_bstr libraryName(L"Sheetlore");
  Check(library->SetName(libraryName.get()), "SetName");
  Check(library->SetGuid(kLibraryId), "SetGuid");
  Check(library->SetVersion(kLibraryMajorVersion, kLibraryMinorVersion), "SetVersion");
  Check(library->SetLcid(LOCALE_NEUTRAL), "SetLcid");

  // Created in the library's order; the interface refers to the record, so all three exist
  // before any is described.
  const unique_bstr interfaceName(kInterfaceName), className(kClassName), recordName(L"rePaPer");
  com_ptr<ICreateTypeInfo> interfaceCreator, classCreator, recordCreator;
  Check(library->CreateTypeInfo(interfaceName.get(), TKIND_INTERFACE, interfaceCreator.put()),
        "CreateTypeInfo(_ClsPrint)");
  Check(library->CreateTypeInfo(className.get(), TKIND_COCLASS, classCreator.put()),
        "CreateTypeInfo(ClsPrint)");
  Check(library->CreateTypeInfo(recordName.get(), TKIND_RECORD, recordCreator.put()),
        "CreateTypeInfo(rePaPer)");

  DescribeRecord(recordCreator.get());
  const auto recordInfo = Query<ITypeInfo>(recordCreator, "ITypeInfo of rePaPer");
  const auto interfaceInfo = Query<ITypeInfo>(interfaceCreator, "ITypeInfo of _ClsPrint");
  HREFTYPE recordRef = 0;
  Check(interfaceCreator->AddRefTypeInfo(recordInfo.get(), &recordRef), "AddRefTypeInfo(rePaPer)");
  DescribeInterface(interfaceCreator.get(), recordRef);
  DescribeClass(classCreator.get(), interfaceInfo.get());

  Check(library->SaveAllChanges(), "SaveAllChanges");
}

constexpr unsigned kRecordIndex = 2;  // after _ClsPrint and ClsPrint

void WriteCompleteTypeLibrary(const std::wstring& path) {
  WriteTypeLibrary(path);
  const ULONG expected = LayOutRecord().size;
  if (StoredRecordSize(path, kRecordIndex) != expected) {
    StoreRecordSize(path, kRecordIndex, expected);
  }
  if (!LoadedLibrary(path).WrongDefaults().empty()) WidenTrueDefaults(path, CountTrueDefaults());

  LoadedLibrary library(path);
  const ULONG loaded = library.RecordSize();
  if (loaded != expected) {
    throw std::runtime_error("rePaPer reports " + std::to_string(loaded) + " bytes, not " +
                             std::to_string(expected));
  }
  for (const std::string& wrong : library.WrongDefaults()) {
    throw std::runtime_error("the library reads back a wrong " + wrong);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: typelib_writer <output.tlb>\n", stderr);
    return 2;
  }
  const sheetlore::win32::com_apartment apartment;
  int status = EXIT_SUCCESS;
  try {
    WriteCompleteTypeLibrary(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "typelib_writer: %s\n", error.what());
    status = EXIT_FAILURE;
  }
  return status;
}
