// A small printer with a sheet of paper, in colours of the standard 16-colour palette.
#include "platform/win32/dialog_icon.h"

#include <array>
#include <cstdint>
#include <vector>

namespace sheetlore::win32 {
namespace {

constexpr int kSize = 32;

inline BOOL DeleteBitmapHandle(HBITMAP bitmap) { return ::DeleteObject(bitmap); }
using unique_bitmap = unique_handle<HBITMAP, &DeleteBitmapHandle>;

// The picture, one character per pixel: '.' transparent, then palette colours.
constexpr std::array<const char*, kSize> kPicture = {
    "................................", "................................",
    "........WWWWWWWWWWWWWWWW........", "........W..............W........",
    "........W.BBBBBBBBBBBB.W........", "........W..............W........",
    "........W.BBBBBBBBBB...W........", "........W..............W........",
    "........W.BBBBBBBBBBBB.W........", "........W..............W........",
    "....KKKKKKKKKKKKKKKKKKKKKKKK....", "...KSSSSSSSSSSSSSSSSSSSSSSSSK...",
    "..KSSSSSSSSSSSSSSSSSSSSSSSSSSK..", "..KSSSSSSSSSSSSSSSSSSSSSSSSSSK..",
    "..KSSSSSSSSSSSSSSSSSSSSSGGSSSK..", "..KSSSSSSSSSSSSSSSSSSSSSGGSSSK..",
    "..KSSSSSSSSSSSSSSSSSSSSSSSSSSK..", "..KDDDDDDDDDDDDDDDDDDDDDDDDDDK..",
    "..KDDDKKKKKKKKKKKKKKKKKKKKDDDK..", "..KDDDKWWWWWWWWWWWWWWWWWWKDDDK..",
    "..KDDDKWBBBBBBBBBBBBBBBBWKDDDK..", "..KDDDKWWWWWWWWWWWWWWWWWWKDDDK..",
    "..KDDDKWBBBBBBBBBBBBWWWWWKDDDK..", "..KKKKKWWWWWWWWWWWWWWWWWWKKKKK..",
    ".......WWWWWWWWWWWWWWWWWW.......", ".......WBBBBBBBBBBBBBBBBW.......",
    ".......WWWWWWWWWWWWWWWWWW.......", ".......WWWWWWWWWWWWWWWWWW.......",
    ".......KKKKKKKKKKKKKKKKKK.......", "................................",
    "................................", "................................",
};

// Colours as 0x00RRGGBB, all from the 16-colour palette.
std::uint32_t Colour(char pixel) {
  switch (pixel) {
    case 'W':
      return 0xFFFFFF;  // white
    case 'B':
      return 0x000080;  // navy
    case 'K':
      return 0x000000;  // black
    case 'S':
      return 0xC0C0C0;  // silver
    case 'D':
      return 0x808080;  // grey
    case 'G':
      return 0x00FF00;  // lime
    default:
      return 0x000000;
  }
}

}  // namespace

unique_icon MakeDialogIcon() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kSize;
  info.bmiHeader.biHeight = -kSize;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  unique_bitmap colour(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!colour || !bits) return unique_icon();

  // The mask: one bit per pixel, rows padded to 16 bits; 1 lets the background show.
  constexpr int kMaskRowBytes = kSize / 8;
  std::vector<std::uint8_t> mask(kMaskRowBytes * kSize, 0);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const char pixel = kPicture[static_cast<std::size_t>(y)][x];
      const bool transparent = pixel == '.';
      pixels[y * kSize + x] = transparent ? 0 : Colour(pixel);
      if (transparent) {
        mask[static_cast<std::size_t>(y * kMaskRowBytes + x / 8)] |=
            static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
  }
  unique_bitmap maskBitmap(::CreateBitmap(kSize, kSize, 1, 1, mask.data()));
  if (!maskBitmap) return unique_icon();

  ICONINFO icon{};
  icon.fIcon = TRUE;
  icon.hbmMask = maskBitmap.get();
  icon.hbmColor = colour.get();
  return unique_icon(::CreateIconIndirect(&icon));  // copies both bitmaps
}

}  // namespace sheetlore::win32
