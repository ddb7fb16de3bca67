// UTF-8 inside the program, UTF-16 at the edges where Windows keeps text
// (wide API calls, string values in the registry, .reg files). A lone
// surrogate survives the trip through UTF-8 (encoded as its three bytes), so
// any name Windows can hold comes back unchanged. Bytes that are not UTF-8
// become U+FFFD.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// UTF-16LE bytes of a text, without a terminator.
std::vector<std::uint8_t> Utf8ToUtf16Bytes(std::string_view text);
// Text of UTF-16LE bytes; an odd last byte is dropped.
std::string Utf16BytesToUtf8(const std::uint8_t* data, std::size_t size);

// Data of a string value as the registry holds it: UTF-16LE and one NUL.
std::vector<std::uint8_t> RegStringData(std::string_view text);
// Text of a string value's data, up to its first NUL.
std::string RegStringText(const std::vector<std::uint8_t>& data);
// The strings of a multi-string value's data.
std::vector<std::string> RegMultiStringTexts(const std::vector<std::uint8_t>& data);

} // namespace cv
