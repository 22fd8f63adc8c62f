#include "com/typelib_writer/default_text.h"

#include <windows.h>

#include <optional>
#include <stdexcept>

namespace sheetlore::com::typelib {
namespace {

// text in the code page, or nothing when a character has no exact form there.
std::optional<std::string> Encode(UINT codePage, std::wstring_view text) {
  if (text.empty()) return std::string();
  const bool utf8 = codePage == CP_UTF8;
  BOOL usedDefault = FALSE;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL* defaultUsed = utf8 ? nullptr : &usedDefault;
  const int size =
      ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                            nullptr, defaultUsed);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(),
                        size, nullptr, defaultUsed);
  if (usedDefault) return std::nullopt;
  return bytes;
}

// The bytes as the code page reads them, or nothing when they are no valid text there.
std::optional<std::wstring> Decode(UINT codePage, const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int length = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                        static_cast<int>(bytes.size()), text.data(), length);
  return text;
}

std::string DefaultBytes(std::wstring_view text) {
  const std::optional<std::string> bytes = Encode(kDefaultsCodePage, text);
  if (!bytes) throw std::runtime_error("a text default has no exact form in code page 950");
  return *bytes;
}

}  // namespace

std::wstring TextThatStoresDefault(std::wstring_view text) {
  const std::string bytes = DefaultBytes(text);
  const UINT codePage = ::GetACP();
  const std::optional<std::wstring> asRead = Decode(codePage, bytes);
  if (!asRead || Encode(codePage, *asRead) != bytes) {
    throw std::runtime_error(
        "this process's ANSI code page " + std::to_string(codePage) +
        " cannot carry the Traditional Chinese text defaults (code page 950 bytes) into the type "
        "library; run the writer with code page 950 or a single-byte code page");
  }
  return *asRead;
}

bool ReadsBackAsDefault(std::wstring_view readBack, std::wstring_view text) {
  const std::optional<std::string> stored = Encode(::GetACP(), readBack);
  return stored && *stored == DefaultBytes(text);
}

}  // namespace sheetlore::com::typelib
