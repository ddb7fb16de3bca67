#include "platform/TextCase.h"

#include "platform/Utf.h"

#include <algorithm>

namespace cv {

char32_t UpperChar(char32_t c) {
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    }
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return c - 0x20; // Latin-1 letters
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs capital and small letters; the run from 0x139
        // to 0x148 and from 0x179 to 0x17E puts the capital on the odd code.
        const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) {
            return c;
        }
        if (oddCapital) {
            return (c % 2 == 0) ? c - 1 : c;
        }
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) {
        return c - 0x20; // Greek
    }
    if (c >= 0x430 && c <= 0x44F) {
        return c - 0x20; // Cyrillic
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 0x50;
    }
    return c;
}

std::u16string FoldName(std::string_view name) {
    std::u16string wide = Utf8ToUtf16(name);
    for (char16_t& c : wide) {
        c = static_cast<char16_t>(UpperChar(c));
    }
    return wide;
}

std::string UpperText(std::string_view text) {
    std::u16string wide = Utf8ToUtf16(text);
    for (char16_t& c : wide) {
        c = static_cast<char16_t>(UpperChar(c));
    }
    return Utf16ToUtf8(wide);
}

namespace {

bool IsAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

bool SameText(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (UpperChar(static_cast<unsigned char>(a[i])) != UpperChar(static_cast<unsigned char>(b[i]))) {
                return false;
            }
        }
        return true;
    }
    return CompareRegistryNames(a, b) == 0;
}

int CompareRegistryNames(std::string_view a, std::string_view b) {
    const std::u16string wa = Utf8ToUtf16(a);
    const std::u16string wb = Utf8ToUtf16(b);
    const std::size_t n = std::min(wa.size(), wb.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t ca = UpperChar(wa[i]);
        const char32_t cb = UpperChar(wb[i]);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (wa.size() == wb.size()) {
        return 0;
    }
    return wa.size() < wb.size() ? -1 : 1;
}

} // namespace cv
