#pragma once
// The identifiers of the type library, the interface, the class and the record. They are
// published in registries and in callers' compiled code: never change them.

#include <guiddef.h>

namespace sheetlore::com {

// Library Sheetlore 1.1
inline constexpr GUID kLibraryId = {
    0xB0D81A92, 0x2C42, 0x4EA0, {0x8E, 0x2A, 0x77, 0x5C, 0x03, 0xB6, 0xB0, 0x53}};
inline constexpr unsigned short kLibraryMajorVersion = 1;
inline constexpr unsigned short kLibraryMinorVersion = 1;

// Dual interface _ClsPrint
inline constexpr GUID kInterfaceId = {
    0x5E8DBAC0, 0x6E0E, 0x4AF8, {0xAF, 0x3F, 0x86, 0x47, 0xE2, 0xE0, 0x54, 0x3E}};

// Creatable class ClsPrint
inline constexpr GUID kClassId = {
    0x188AD010, 0xB752, 0x4ADC, {0x9E, 0x36, 0xD0, 0x61, 0x43, 0xAC, 0x49, 0x14}};

// Record rePaPer
inline constexpr GUID kRecordId = {
    0xD599EB27, 0xE301, 0x4502, {0x93, 0x15, 0x7D, 0x8C, 0x5E, 0xDD, 0x24, 0xA2}};

inline constexpr wchar_t kProgId[] = L"Sheetlore.ClsPrint";
inline constexpr wchar_t kClassName[] = L"ClsPrint";
inline constexpr wchar_t kInterfaceName[] = L"_ClsPrint";
// The apartment the class is registered for.
inline constexpr wchar_t kThreadingModel[] = L"Apartment";

}  // namespace sheetlore::com
