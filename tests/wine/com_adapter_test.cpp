// Pieces of the COM adapter on their own: omitted arguments, the wizard caption, and the
// forms array with no forms. (The list of paper names as an array: store_wine_test's PaperNames
// and com_vbscript_test.vbs.)

#include <gtest/gtest.h>

#include "com/array_arguments.h"
#include "com/dispatch_arguments.h"
#include "com/interface_description.h"
#include "com/wizard_caption.h"
#include "component/cls_print.h"
#include "tests/support/com_support.h"

namespace sheetlore::com_test {
namespace {

using com::CompletedArguments;
using com::StoreFormRows;
namespace typelib = com::typelib;

const typelib::Method& MethodNamed(std::wstring_view name) {
  for (const typelib::Method& method : typelib::kMethods) {
    if (method.name == name) return method;
  }
  throw std::logic_error("no such method");
}

// The argument for parameter index of a completed, all-positional DISPPARAMS.
const VARIANT& Argument(DISPPARAMS* parameters, UINT index) {
  return parameters->rgvarg[parameters->cArgs - 1 - index];
}

TEST(CompletedArguments, PrintCheckWithNothingGetsFalseAndTheExactCaption) {
  DISPPARAMS none{};
  CompletedArguments completed(MethodNamed(L"PrintCheck"), none);
  DISPPARAMS* parameters = completed.get();
  ASSERT_EQ(parameters->cArgs, 2u);
  EXPECT_EQ(parameters->cNamedArgs, 0u);
  EXPECT_EQ(V_VT(&Argument(parameters, 0)), VT_BOOL);
  EXPECT_EQ(V_BOOL(&Argument(parameters, 0)), VARIANT_FALSE);
  ASSERT_EQ(V_VT(&Argument(parameters, 1)), VT_BSTR);
  EXPECT_EQ(TextOf(V_BSTR(&Argument(parameters, 1))), L"新增印表機精靈");
}

TEST(CompletedArguments, NamedArgumentsTakeTheirPlaces) {
  // PrintAddForm("P", "F", Cy:=2, Cx:=1, fTop:=3): named ones first in rgvarg, in the order
  // of rgdispidNamedArgs, then the positional ones last first.
  unique_bstr printer(L"P"), form(L"F");
  VARIANT arguments[5] = {Double(2), Double(1), Double(3), Text(form.get()), Text(printer.get())};
  DISPID names[] = {3, 2, 6};
  DISPPARAMS call{arguments, names, 5, 3};
  CompletedArguments completed(MethodNamed(L"PrintAddForm"), call);
  DISPPARAMS* parameters = completed.get();
  ASSERT_EQ(parameters->cArgs, 8u);
  EXPECT_EQ(parameters->cNamedArgs, 0u);
  // Values given by value reach the by-reference parameters as references to copies, so a
  // write-back never lands in the caller's arguments.
  ASSERT_EQ(V_VT(&Argument(parameters, 0)), VT_BSTR | VT_BYREF);
  EXPECT_EQ(TextOf(*V_BSTRREF(&Argument(parameters, 0))), L"P");
  ASSERT_EQ(V_VT(&Argument(parameters, 1)), VT_BSTR | VT_BYREF);
  EXPECT_EQ(TextOf(*V_BSTRREF(&Argument(parameters, 1))), L"F");
  ASSERT_EQ(V_VT(&Argument(parameters, 2)), VT_R8 | VT_BYREF);
  EXPECT_EQ(*V_R8REF(&Argument(parameters, 2)), 1);
  ASSERT_EQ(V_VT(&Argument(parameters, 3)), VT_R8 | VT_BYREF);
  EXPECT_EQ(*V_R8REF(&Argument(parameters, 3)), 2);
  EXPECT_EQ(V_VT(&Argument(parameters, 4)), VT_R8);  // fLeft omitted: 0
  EXPECT_EQ(V_R8(&Argument(parameters, 4)), 0);
  ASSERT_EQ(V_VT(&Argument(parameters, 6)), VT_R8 | VT_BYREF);
  EXPECT_EQ(*V_R8REF(&Argument(parameters, 6)), 3);
  EXPECT_EQ(V_R8(&Argument(parameters, 7)), 0);
}

TEST(CompletedArguments, AScriptVariableBecomesAReferenceToItsTypedValue) {
  VARIANT width = Short(3);  // a number of another type: converted in place
  VARIANT empty;
  VariantInit(&empty);  // an empty variable: the type's zero
  unique_bstr printer(L"P"), form(L"F");
  VARIANT arguments[4] = {Reference(&empty), Reference(&width), Text(form.get()),
                          Text(printer.get())};
  DISPPARAMS call{arguments, nullptr, 4, 0};
  CompletedArguments completed(MethodNamed(L"PrintAddForm"), call);
  const VARIANT& cx = Argument(completed.get(), 2);
  ASSERT_EQ(V_VT(&cx), VT_BYREF | VT_R8);
  EXPECT_EQ(V_R8REF(&cx), &V_R8(&width));
  EXPECT_EQ(V_VT(&width), VT_R8);
  EXPECT_EQ(V_R8(&width), 3);
  EXPECT_EQ(V_VT(&empty), VT_R8);
  EXPECT_EQ(V_VT(&Argument(completed.get(), 3)), VT_BYREF | VT_R8);

  unique_bstr letters(L"abc");
  VARIANT text = Text(letters.get());
  VARIANT refused[4] = {Reference(&empty), Reference(&text), Text(form.get()), Text(printer.get())};
  DISPPARAMS bad{refused, nullptr, 4, 0};
  CompletedArguments left(MethodNamed(L"PrintAddForm"), bad);
  EXPECT_EQ(V_VT(&Argument(left.get(), 2)), VT_BYREF | VT_VARIANT);  // for Invoke to refuse
}

TEST(CompletedArguments, AnOmittedVariantStaysMarkedMissingAndAnObjectIsNothing) {
  VARIANT mode = Short(0);
  DISPPARAMS call{&mode, nullptr, 1, 0};
  CompletedArguments completed(MethodNamed(L"IniReadValue"), call);
  DISPPARAMS* parameters = completed.get();
  ASSERT_EQ(parameters->cArgs, 3u);
  EXPECT_EQ(V_VT(&Argument(parameters, 2)), VT_ERROR);
  EXPECT_EQ(V_ERROR(&Argument(parameters, 2)), DISP_E_PARAMNOTFOUND);

  unique_variant rows;
  VARIANT reference = Reference(rows.get());
  DISPPARAMS formCheck{&reference, nullptr, 1, 0};
  CompletedArguments printer(MethodNamed(L"FormCheck"), formCheck);
  EXPECT_EQ(V_VT(&Argument(printer.get(), 1)), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(&Argument(printer.get(), 1)), nullptr);
}

TEST(WizardCaption, OmittedOrDecodedDefaultGivesTheExactTitle) {
  EXPECT_EQ(com::WizardCaptionFromCaller(nullptr), L"新增印表機精靈");
  unique_bstr decoded(com::WizardCaptionAsDecodedHere());
  BSTR text = decoded.get();
  EXPECT_EQ(com::WizardCaptionFromCaller(&text), L"新增印表機精靈");
  unique_bstr other(L"Add Printer Wizard");
  text = other.get();
  EXPECT_EQ(com::WizardCaptionFromCaller(&text), L"Add Printer Wizard");
  text = nullptr;
  EXPECT_EQ(com::WizardCaptionFromCaller(&text), L"");
}

TEST(FormRowsArray, ZeroFormsGiveAFourByZeroArray) {
  unique_variant target;
  StoreFormRows(*target.get(), {});
  ASSERT_EQ(V_VT(target.get()), VT_ARRAY | VT_VARIANT);
  LONG upper = 0;
  SafeArrayGetUBound(V_ARRAY(target.get()), 1, &upper);
  EXPECT_EQ(upper, 3);
  SafeArrayGetUBound(V_ARRAY(target.get()), 2, &upper);
  EXPECT_EQ(upper, -1);
}

}  // namespace
}  // namespace sheetlore::com_test
