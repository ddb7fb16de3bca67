#include "platform/win32/Win32Text.h"

#include "platform/Utf.h"

namespace cv {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows keeps text in 16-bit units");

std::wstring toWide(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string toUtf8(std::wstring_view text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

} // namespace cv
