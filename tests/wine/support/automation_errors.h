#pragma once
// The run-time error a call by name must end with: DISP_E_EXCEPTION carrying the error's code
// (0x800A0000 | number for the numbered run-time errors).

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/wine/support/com_support.h"

namespace sheetlore::com_test {

constexpr HRESULT RunTimeError(std::uint16_t number) {
  return static_cast<HRESULT>(0x800A0000u | number);
}

inline void ExpectRaised(HRESULT scode, const CallResult& call) {
  EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(call.scode, scode) << std::hex << static_cast<unsigned long>(call.scode);
}

}  // namespace sheetlore::com_test
