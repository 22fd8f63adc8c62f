#pragma once
// Repairs of a saved type library for two faults of Wine's ICreateTypeLib2 (Windows' own
// writer has neither; the writer applies a repair only when it reads the fault back):
//
// - LayOut does not compute the instance size of a record, so a record saved there reports
//   size 0 through IRecordInfo::GetSize and cannot be copied or returned as VT_RECORD. The
//   size field of the record's type-information entry is set to the size its fields give.
// - A boolean parameter default is stored in place with only its low byte, so True
//   (0xFFFF) reads back as 255, which is no automation boolean. The in-place value is
//   widened to 16 bits.

#include <cstdint>
#include <filesystem>

namespace sheetlore::com::typelib {

// The size stored for the type information at typeInfoIndex, which must be a record.
std::uint32_t StoredRecordSize(const std::filesystem::path& library, unsigned typeInfoIndex);

// Writes size into that entry. Throws std::runtime_error when the file is not a type library
// of the expected form or the entry is not a record.
void StoreRecordSize(const std::filesystem::path& library, unsigned typeInfoIndex,
                     std::uint32_t size);

// Rewrites every in-place default that reads as the boolean 255 to True. Throws
// std::runtime_error unless exactly expectedCount such defaults are found.
void WidenTrueDefaults(const std::filesystem::path& library, int expectedCount);

}  // namespace sheetlore::com::typelib
