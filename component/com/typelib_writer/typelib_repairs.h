#pragma once
// Wine's ICreateTypeInfo::LayOut does not compute the instance size of a record (Windows'
// does), so a record saved there reports size 0 through IRecordInfo::GetSize and cannot be
// copied or returned as VT_RECORD. The saved file is repaired in place: the size field of the
// record's type-information entry is set to the size its fields' offsets give.

#include <cstdint>
#include <filesystem>

namespace sheetlore::com::typelib {

// The size stored for the type information at typeInfoIndex, which must be a record.
std::uint32_t StoredRecordSize(const std::filesystem::path& library, unsigned typeInfoIndex);

// Writes size into that entry. Throws std::runtime_error when the file is not a type library
// of the expected form or the entry is not a record.
void StoreRecordSize(const std::filesystem::path& library, unsigned typeInfoIndex,
                     std::uint32_t size);

}  // namespace sheetlore::com::typelib
