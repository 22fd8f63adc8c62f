#pragma once
// The arguments of an IDispatch::Invoke call matched to a method's parameters.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <deque>
#include <vector>

#include "com/interface_description.h"
#include "platform/win32/com_ptr.h"

namespace sheetlore::com {

// The caller's argument for each parameter, positional or named; null where the caller gave
// none or passed the "missing" marker. Fails as IDispatch::Invoke does: too many arguments,
// an unknown or repeated named argument, a required parameter left out (argumentError then
// names the argument where there is one).
HRESULT LocateArguments(const typelib::Method& method, const DISPPARAMS& parameters,
                        std::vector<VARIANT*>& arguments, UINT* argumentError);

// The value a parameter takes when the caller leaves it out: its default (the exact Unicode
// text for a text default), 0, an empty text, Nothing, or the "missing" marker for a VARIANT.
win32::unique_variant OmittedValue(const typelib::Parameter& parameter);

// A script passes its variables as references to VARIANTs (VT_BYREF | VT_VARIANT); for a
// typed by-reference parameter that becomes a reference to the variable's value
// (VT_BYREF | type), converting the variable to the parameter's type first when it holds
// another (an empty variable becomes the type's zero), so that the method reads and writes
// the caller's variable itself. Any other argument is returned as it is.
VARIANT ReferenceForTypedParameter(const typelib::Parameter& parameter, const VARIANT& argument);

// The caller's arguments with every omitted optional parameter given its OmittedValue, for
// ITypeInfo::Invoke, all positional (named arguments moved to their places). The caller's
// VARIANTs are copied shallowly, not duplicated: by-reference arguments still reach the
// caller's variables. A value passed by value to a by-reference parameter goes to the method
// as a reference to a converted copy, which the call may change and which is then dropped:
// Wine's ITypeInfo::Invoke would otherwise convert what the method wrote back into the
// caller's value and fail after the method had acted.
class CompletedArguments {
 public:
  CompletedArguments(const typelib::Method& method, const DISPPARAMS& parameters);
  CompletedArguments(const CompletedArguments&) = delete;
  CompletedArguments& operator=(const CompletedArguments&) = delete;
  ~CompletedArguments();

  DISPPARAMS* get() { return &parameters_; }

 private:
  void AddSubstitute(const typelib::Parameter& parameter);
  VARIANT ReferenceToCopy(const typelib::Parameter& parameter, const VARIANT& argument);

  // Substitutes live in arguments_ itself (Invoke may write into them), cleared at the end.
  std::vector<VARIANT> arguments_;
  std::vector<std::size_t> substitutes_;
  // Copies of by-value arguments of by-reference parameters; a deque keeps their addresses.
  std::deque<win32::unique_variant> copies_;
  DISPPARAMS parameters_{};
};

}  // namespace sheetlore::com
