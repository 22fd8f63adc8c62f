#pragma once
// Helpers shared by the fuzz targets: turning the fuzzer's bytes into UTF-16 text and
// operations, and failing loudly when an invariant breaks.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace sheetlore::fuzz {

// Stops the run with a message; libFuzzer keeps the input that led here.
[[noreturn]] inline void Fail(const char* what, const std::wstring& detail = std::wstring()) {
  std::fprintf(stderr, "invariant broken: %s [%ls]\n", what, detail.c_str());
  std::abort();
}

inline void Check(bool condition, const char* what, const std::wstring& detail = std::wstring()) {
  if (!condition) Fail(what, detail);
}

// Reads the fuzzer's bytes front to back.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return position_ >= size_; }

  std::uint8_t Byte() { return empty() ? 0 : data_[position_++]; }

  // One character: ASCII as itself, other byte values as characters that test the edges of
  // text handling (wide letters with and without case, blanks of other kinds, surrogates).
  wchar_t Character() { return CharacterOf(Byte()); }

  // Text up to the next byte 0xFF (or the end), each byte one character.
  std::wstring Text() {
    std::wstring text;
    while (!empty()) {
      const std::uint8_t byte = Byte();
      if (byte == 0xFF) break;
      text.push_back(CharacterOf(byte));
    }
    return text;
  }

  // All remaining bytes as text.
  std::wstring Rest() {
    std::wstring text;
    while (!empty()) text.push_back(Character());
    return text;
  }

  static wchar_t CharacterOf(std::uint8_t byte) {
    if (byte < 0x80) return static_cast<wchar_t>(byte);
    static constexpr wchar_t kOthers[] = {0x00A0, 0x3000, 0x00C4, 0x00E4, 0x0130, 0x0131, 0x03A3,
                                          0x03C3, 0x0416, 0x0436, 0xFF21, 0xFF41, 0xFF10, 0x6A19,
                                          0x7C64, 0x7D19, 0xD800, 0xDC00, 0xFEFF, 0x2028, 0x00FF,
                                          0x0178, 0x00DF, 0x1E9E, 0x212A, 0x0085, 0x001A, 0xFFFD};
    constexpr std::size_t kCount = sizeof(kOthers) / sizeof(kOthers[0]);
    return kOthers[(byte - 0x80u) % kCount];
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace sheetlore::fuzz
