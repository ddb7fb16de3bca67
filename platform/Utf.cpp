#include "platform/Utf.h"

namespace cv {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[i], advancing i. Surrogate code points
// encoded as three bytes are accepted so that lone surrogates round-trip.
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + length > text.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF) {
        ++i;
        return kReplacement;
    }
    i += length;
    return cp;
}

void EncodeUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = DecodeUtf8(text, i);
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        EncodeUtf8(cp, out);
    }
    return out;
}

std::vector<std::uint8_t> Utf8ToUtf16Bytes(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text);
    std::vector<std::uint8_t> out;
    out.reserve(wide.size() * 2);
    for (char16_t c : wide) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return out;
}

std::string Utf16BytesToUtf8(const std::uint8_t* data, std::size_t size) {
    std::u16string wide(size / 2, u'\0');
    for (std::size_t k = 0; k < wide.size(); ++k) {
        wide[k] = static_cast<char16_t>(data[2 * k] | (data[2 * k + 1] << 8));
    }
    return Utf16ToUtf8(wide);
}

std::vector<std::uint8_t> RegStringData(std::string_view text) {
    std::vector<std::uint8_t> out = Utf8ToUtf16Bytes(text);
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::string RegStringText(const std::vector<std::uint8_t>& data) {
    std::size_t units = data.size() / 2;
    for (std::size_t k = 0; k < units; ++k) {
        if (data[2 * k] == 0 && data[2 * k + 1] == 0) {
            units = k;
            break;
        }
    }
    return Utf16BytesToUtf8(data.data(), units * 2);
}

std::vector<std::string> RegMultiStringTexts(const std::vector<std::uint8_t>& data) {
    std::vector<std::string> out;
    std::size_t start = 0;
    const std::size_t units = data.size() / 2;
    for (std::size_t k = 0; k <= units; ++k) {
        const bool end = k == units || (data[2 * k] == 0 && data[2 * k + 1] == 0);
        if (!end) {
            continue;
        }
        if (k == start) {
            break; // the empty string ends the list
        }
        out.push_back(Utf16BytesToUtf8(data.data() + 2 * start, (k - start) * 2));
        start = k + 1;
    }
    return out;
}

} // namespace cv
