#include "com/wizard_caption.h"

#include <string_view>

#include "component/cls_print.h"

namespace sheetlore::com {
namespace {
constexpr UINT kTraditionalChineseCodePage = 950;
}  // namespace

std::wstring WizardCaptionAsDecodedHere() {
  const std::wstring& exact = kAddPrinterWizardCaption;
  const int byteCount =
      ::WideCharToMultiByte(kTraditionalChineseCodePage, 0, exact.data(),
                            static_cast<int>(exact.size()), nullptr, 0, nullptr, nullptr);
  if (byteCount <= 0) return exact;
  std::string bytes(static_cast<std::size_t>(byteCount), '\0');
  ::WideCharToMultiByte(kTraditionalChineseCodePage, 0, exact.data(),
                        static_cast<int>(exact.size()), bytes.data(), byteCount, nullptr, nullptr);
  const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), byteCount, nullptr, 0);
  if (length <= 0) return exact;
  std::wstring decoded(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), byteCount, decoded.data(), length);
  return decoded;
}

std::wstring WizardCaptionFromCaller(const BSTR* captionName) {
  if (!captionName) return kAddPrinterWizardCaption;
  const BSTR text = *captionName;
  const std::wstring caption = text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
  if (caption != kAddPrinterWizardCaption && caption == WizardCaptionAsDecodedHere()) {
    return kAddPrinterWizardCaption;
  }
  return caption;
}

}  // namespace sheetlore::com
