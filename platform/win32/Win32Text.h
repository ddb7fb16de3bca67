// The one place where the program's UTF-8 text meets the wide Win32 API.
#pragma once

#include <string>
#include <string_view>

namespace cv {

std::wstring toWide(std::string_view text);
std::string toUtf8(std::wstring_view text);

} // namespace cv
