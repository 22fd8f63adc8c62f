#include "com/dispatch_arguments.h"

#include "com/array_arguments.h"

namespace sheetlore::com {

using win32::unique_variant;

HRESULT LocateArguments(const typelib::Method& method, const DISPPARAMS& parameters,
                        std::vector<VARIANT*>& arguments, UINT* argumentError) {
  const UINT count = static_cast<UINT>(method.parameters.size());
  arguments.assign(count, nullptr);
  if (parameters.cNamedArgs > parameters.cArgs) return E_INVALIDARG;
  const UINT positional = parameters.cArgs - parameters.cNamedArgs;
  if (positional > count) return DISP_E_BADPARAMCOUNT;
  for (UINT i = 0; i < positional; ++i) {
    arguments[i] = &parameters.rgvarg[parameters.cArgs - 1 - i];
  }
  for (UINT k = 0; k < parameters.cNamedArgs; ++k) {
    const DISPID id = parameters.rgdispidNamedArgs[k];
    if (id < 0 || static_cast<UINT>(id) >= count || arguments[id]) {
      if (argumentError) *argumentError = k;
      return DISP_E_PARAMNOTFOUND;
    }
    arguments[id] = &parameters.rgvarg[k];
  }
  for (UINT i = 0; i < count; ++i) {
    if (IsMissing(arguments[i])) arguments[i] = nullptr;
    if (!arguments[i] && !method.parameters[i].optional) return DISP_E_PARAMNOTOPTIONAL;
  }
  return S_OK;
}

unique_variant OmittedValue(const typelib::Parameter& parameter) {
  unique_variant value;
  VARIANT& v = *value.get();
  if (parameter.defaultValue) {
    const typelib::DefaultValue& fallback = *parameter.defaultValue;
    if (fallback.type == VT_BOOL) return unique_variant::from_bool(fallback.boolean);
    return unique_variant::from_string(fallback.text);
  }
  switch (parameter.type) {
    case VT_R8:
      V_VT(&v) = VT_R8;
      V_R8(&v) = 0;
      break;
    case VT_BSTR:
      V_VT(&v) = VT_BSTR;
      V_BSTR(&v) = nullptr;
      break;
    case VT_DISPATCH:
      V_VT(&v) = VT_DISPATCH;
      V_DISPATCH(&v) = nullptr;
      break;
    default:
      V_VT(&v) = VT_ERROR;
      V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
      break;
  }
  return value;
}

namespace {

// A zero value of a type, for a variable that holds nothing yet.
bool SetZero(VARIANT& variable, VARTYPE type) {
  switch (type) {
    case VT_BSTR:
      V_BSTR(&variable) = nullptr;
      break;
    case VT_DISPATCH:
      V_DISPATCH(&variable) = nullptr;
      break;
    case VT_R8:
      V_R8(&variable) = 0;
      break;
    case VT_BOOL:
      V_BOOL(&variable) = VARIANT_FALSE;
      break;
    default:
      return false;
  }
  V_VT(&variable) = type;
  return true;
}

}  // namespace

VARIANT ReferenceForTypedParameter(const typelib::Parameter& parameter, const VARIANT& argument) {
  if (!parameter.byReference || parameter.type == VT_VARIANT ||
      V_VT(&argument) != (VT_BYREF | VT_VARIANT) || !V_VARIANTREF(&argument)) {
    return argument;
  }
  VARIANT& variable = *V_VARIANTREF(&argument);
  if (V_VT(&variable) == (VT_BYREF | parameter.type)) return variable;
  if (V_VT(&variable) != parameter.type) {
    const bool converted =
        V_VT(&variable) == VT_EMPTY
            ? SetZero(variable, parameter.type)
            : SUCCEEDED(::VariantChangeType(&variable, &variable, 0, parameter.type));
    if (!converted) return argument;  // Invoke reports the mismatch
  }
  VARIANT reference;
  ::VariantInit(&reference);
  V_VT(&reference) = static_cast<VARTYPE>(VT_BYREF | parameter.type);
  V_BYREF(&reference) = &V_UI1(&variable);  // the value, wherever its type keeps it
  return reference;
}

void CompletedArguments::AddSubstitute(const typelib::Parameter& parameter) {
  unique_variant value = OmittedValue(parameter);
  substitutes_.push_back(arguments_.size());
  arguments_.push_back(value.detach());
}

VARIANT CompletedArguments::ReferenceToCopy(const typelib::Parameter& parameter,
                                            const VARIANT& argument) {
  win32::unique_variant& copy = copies_.emplace_back();
  // MinGW declares the source non-const; VariantChangeType only reads it.
  if (FAILED(::VariantChangeType(copy.get(), const_cast<VARIANT*>(&argument), 0, parameter.type))) {
    return argument;  // Invoke reports the mismatch before the method runs
  }
  VARIANT reference;
  ::VariantInit(&reference);
  V_VT(&reference) = static_cast<VARTYPE>(VT_BYREF | parameter.type);
  V_BYREF(&reference) = &V_UI1(copy.get());
  return reference;
}

CompletedArguments::~CompletedArguments() {
  for (std::size_t index : substitutes_) ::VariantClear(&arguments_[index]);
}

CompletedArguments::CompletedArguments(const typelib::Method& method, const DISPPARAMS& parameters)
    : parameters_(parameters) {
  std::vector<VARIANT*> located;
  arguments_.reserve(parameters.cArgs + method.parameters.size());
  if (FAILED(LocateArguments(method, parameters, located, nullptr))) return;  // Invoke reports it

  // Every parameter becomes positional, last first as IDispatch orders them: named arguments
  // take their places and omitted ones their values.
  for (std::size_t index = located.size(); index-- > 0;) {
    const typelib::Parameter& parameter = method.parameters[index];
    if (located[index] && parameter.byReference && parameter.type != VT_VARIANT &&
        !V_ISBYREF(located[index])) {
      arguments_.push_back(ReferenceToCopy(parameter, *located[index]));
    } else if (located[index]) {
      arguments_.push_back(ReferenceForTypedParameter(parameter, *located[index]));
    } else {
      AddSubstitute(parameter);
    }
  }
  parameters_.rgvarg = arguments_.data();
  parameters_.cArgs = static_cast<UINT>(arguments_.size());
  parameters_.rgdispidNamedArgs = nullptr;
  parameters_.cNamedArgs = 0;
}

}  // namespace sheetlore::com
