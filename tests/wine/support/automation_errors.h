#pragma once
// The run-time error a call must end with: thrown by the core or the adapter (AutomationError),
// or raised through IDispatch (DISP_E_EXCEPTION with 0x800A0000 | number).

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/automation_error.h"
#include "tests/wine/support/com_support.h"

namespace sheetlore::com_test {

constexpr HRESULT RunTimeError(std::uint16_t number) {
  return static_cast<HRESULT>(0x800A0000u | number);
}

template <class Action>
void ExpectAutomationError(std::int32_t number, Action&& action) {
  try {
    action();
    ADD_FAILURE() << "no automation error " << number;
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), number);
  }
}

inline void ExpectRaised(HRESULT scode, const CallResult& call) {
  EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(call.scode, scode) << std::hex << static_cast<unsigned long>(call.scode);
}

}  // namespace sheetlore::com_test
