#include "com/array_arguments.h"

#include <array>
#include <new>

#include "com/error_info.h"
#include "com/safe_array.h"
#include "component/number_text.h"
#include "platform/win32/unique_handles.h"

namespace sheetlore::com {
namespace {

using win32::unique_safearray;

constexpr USHORT kFixedArray = FADF_AUTO | FADF_STATIC | FADF_EMBEDDED | FADF_FIXEDSIZE;
constexpr ULONG kFormRowFields = 4;  // name, position, width, height

// The VARIANT that receives the array: the caller's own, or the one it refers to.
VARIANT& Receiver(VARIANT& target) {
  if (V_VT(&target) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&target)) {
    return *V_VARIANTREF(&target);
  }
  return target;
}

// The element type the receiver asks for: its own for a typed array by reference, otherwise
// fallback. A reference to anything else cannot hold an array.
VARTYPE ElementTypeFor(const VARIANT& receiver, VARTYPE fallback) {
  const VARTYPE type = V_VT(&receiver);
  if (type == (VT_BYREF | VT_ARRAY | VT_BSTR)) return VT_BSTR;
  if (type == (VT_BYREF | VT_ARRAY | VT_VARIANT)) return VT_VARIANT;
  if (type & VT_BYREF) throw AutomationError::Numbered(13, L"Type mismatch");
  return fallback;
}

unique_safearray CreateArray(VARTYPE elementType, std::initializer_list<ULONG> counts) {
  std::array<SAFEARRAYBOUND, 2> bounds{};
  UINT dimensions = 0;
  for (ULONG count : counts) bounds[dimensions++] = SAFEARRAYBOUND{count, 0};
  unique_safearray array(::SafeArrayCreate(elementType, dimensions, bounds.data()));
  if (!array) throw std::bad_alloc();
  return array;
}

BSTR AllocateText(const std::wstring& text) {
  BSTR bstr = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!bstr) throw std::bad_alloc();
  return bstr;
}

// Places a complete array into the receiver; the receiver's old array or value goes.
void Install(VARIANT& receiver, unique_safearray array, VARTYPE elementType) {
  if (V_VT(&receiver) & VT_BYREF) {
    SAFEARRAY** slot = V_ARRAYREF(&receiver);
    if (!slot) throw AutomationError::Numbered(13, L"Type mismatch");
    if (SAFEARRAY* old = *slot) {
      if ((old->fFeatures & kFixedArray) || old->cLocks != 0) {
        throw AutomationError::Numbered(10, L"This array is fixed or temporarily locked");
      }
      ThrowIfFailed(::SafeArrayDestroy(old));
    }
    *slot = array.release();
    return;
  }
  ThrowIfFailed(::VariantClear(&receiver));
  V_VT(&receiver) = static_cast<VARTYPE>(VT_ARRAY | elementType);
  V_ARRAY(&receiver) = array.release();
}

}  // namespace

bool IsMissing(const VARIANT* argument) noexcept {
  if (!argument) return true;
  if (V_VT(argument) == (VT_BYREF | VT_VARIANT)) argument = V_VARIANTREF(argument);
  return argument && V_VT(argument) == VT_ERROR && V_ERROR(argument) == DISP_E_PARAMNOTFOUND;
}

void StoreFormRows(VARIANT& target, const std::vector<FormRow>& rows) {
  VARIANT& receiver = Receiver(target);
  const VARTYPE elementType = ElementTypeFor(receiver, VT_VARIANT);
  unique_safearray array =
      CreateArray(elementType, {kFormRowFields, static_cast<ULONG>(rows.size())});
  // Column-major: element (field, form) sits at field + 4 * form.
  if (elementType == VT_BSTR) {
    safearray_data<BSTR> data(array.get());
    ThrowIfFailed(data.status());
    for (std::size_t form = 0; form < rows.size(); ++form) {
      const FormRow& row = rows[form];
      BSTR* fields = &data[form * kFormRowFields];
      fields[0] = AllocateText(row.name);
      fields[1] = AllocateText(NumberText(row.position));
      fields[2] = AllocateText(NumberText(row.width));
      fields[3] = AllocateText(NumberText(row.height));
    }
  } else {
    safearray_data<VARIANT> data(array.get());
    ThrowIfFailed(data.status());
    for (std::size_t form = 0; form < rows.size(); ++form) {
      const FormRow& row = rows[form];
      VARIANT* fields = &data[form * kFormRowFields];
      V_VT(&fields[0]) = VT_BSTR;
      V_BSTR(&fields[0]) = AllocateText(row.name);
      V_VT(&fields[1]) = VT_I4;
      V_I4(&fields[1]) = row.position;
      V_VT(&fields[2]) = VT_R8;
      V_R8(&fields[2]) = row.width;
      V_VT(&fields[3]) = VT_R8;
      V_R8(&fields[3]) = row.height;
    }
  }
  Install(receiver, std::move(array), elementType);
}

void StoreNames(VARIANT& target, const std::vector<std::wstring>& names) {
  VARIANT& receiver = Receiver(target);
  // A plain variable gets an array of variants holding text: script hosts index and walk
  // only arrays of variants. A typed text array by reference keeps its type.
  const VARTYPE elementType = ElementTypeFor(receiver, VT_VARIANT);
  unique_safearray array = CreateArray(elementType, {static_cast<ULONG>(names.size())});
  if (elementType == VT_BSTR) {
    safearray_data<BSTR> data(array.get());
    ThrowIfFailed(data.status());
    for (std::size_t i = 0; i < names.size(); ++i) data[i] = AllocateText(names[i]);
  } else {
    safearray_data<VARIANT> data(array.get());
    ThrowIfFailed(data.status());
    for (std::size_t i = 0; i < names.size(); ++i) {
      V_VT(&data[i]) = VT_BSTR;
      V_BSTR(&data[i]) = AllocateText(names[i]);
    }
  }
  Install(receiver, std::move(array), elementType);
}

}  // namespace sheetlore::com
