#include "platform/StrCon.h"

#include "platform/TextCase.h"

#include <algorithm>
#include <vector>

namespace cv {

const TStringCollection& StrCon() {
    static const TStringCollection instance;
    return instance;
}

namespace {

// Both texts upper-cased into the holders when case is to be ignored.
void FoldForSearch(bool ignoreCase, std::string_view& sub, std::string_view& text, std::string& subHolder,
                   std::string& textHolder) {
    if (ignoreCase) {
        subHolder = UpperText(sub);
        textHolder = UpperText(text);
        sub = subHolder;
        text = textHolder;
    }
}

} // namespace

std::string TStringCollection::UpperText(std::string_view text) const {
    return cv::UpperText(text);
}

std::size_t TStringCollection::PosFrom(std::string_view sub, std::string_view text, bool ignoreCase,
                                       std::size_t start) const {
    if (sub.empty() || text.empty() || start > text.size()) {
        return 0;
    }
    std::string upperSub;
    std::string upperText;
    FoldForSearch(ignoreCase, sub, text, upperSub, upperText);
    const std::size_t from = start == 0 ? 0 : start - 1;
    const std::size_t at = text.find(sub, from);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::size_t TStringCollection::LastPos(std::string_view sub, std::string_view text, bool ignoreCase) const {
    if (sub.empty() || text.empty()) {
        return 0;
    }
    std::string upperSub;
    std::string upperText;
    FoldForSearch(ignoreCase, sub, text, upperSub, upperText);
    const std::size_t at = text.rfind(sub);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string TStringCollection::TextAfter(std::string_view separator, std::string_view text,
                                         std::size_t start) const {
    const std::size_t at = PosFrom(separator, text, false, start);
    return at == 0 ? std::string() : std::string(text.substr(at - 1 + separator.size()));
}

std::string TStringCollection::TextBefore(std::string_view separator, std::string_view text,
                                          std::size_t start) const {
    const std::size_t at = PosFrom(separator, text, false, start);
    return std::string(at == 0 ? text : text.substr(0, at - 1));
}

std::string TStringCollection::TextBeforeNth(std::string_view separator, std::string_view text, int n) const {
    if (n <= 1) {
        return TextBefore(separator, text, 0);
    }
    std::size_t at = 0;
    for (int k = 0; k < n; ++k) {
        at = PosFrom(separator, text, false, k == 0 ? 0 : at + separator.size());
        if (at == 0) {
            return std::string(text);
        }
    }
    return std::string(text.substr(0, at - 1));
}

std::string TStringCollection::TextBeforeLast(std::string_view separator, std::string_view text) const {
    const std::size_t at = LastPos(separator, text, false);
    return std::string(at == 0 ? text : text.substr(0, at - 1));
}

unsigned char TStringCollection::FirstChar(std::string_view text) const {
    return text.empty() ? 0 : static_cast<unsigned char>(text[0]);
}

std::string TStringCollection::TextUpToChars(std::string_view text, std::string_view chars) const {
    const std::size_t at = text.find_first_of(chars);
    return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

std::string TStringCollection::RemoveChars(std::string_view text, std::string_view chars) const {
    std::string out;
    for (char c : text) {
        if (chars.find(c) == std::string_view::npos) {
            out += c;
        }
    }
    return out;
}

std::string TStringCollection::RemoveChar(std::string_view text, char c) const {
    return RemoveChars(text, std::string_view(&c, 1));
}

std::string TStringCollection::CollapseChar(std::string_view text, char c) const {
    std::string out;
    bool pending = false;
    for (char ch : text) {
        if (ch == c) {
            pending = !out.empty();
            continue;
        }
        if (pending) {
            out += c;
            pending = false;
        }
        out += ch;
    }
    return out;
}

bool TStringCollection::SameTextCollapsed(std::string_view a, std::string_view b, char c) const {
    if (c == 0) {
        return SameText(a, b);
    }
    return SameText(CollapseChar(a, c), CollapseChar(b, c));
}

std::string TStringCollection::ReplaceAll(std::string_view find, std::string_view replacement,
                                          std::string_view text) const {
    if (find.empty()) {
        return std::string(text);
    }
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(find); at != std::string_view::npos; at = text.find(find, from)) {
        out.append(text.substr(from, at - from));
        out.append(replacement);
        from = at + find.size();
    }
    out.append(text.substr(from));
    return out;
}

std::string TStringCollection::IncludeBackslash(std::string_view text) const {
    if (text.empty() || text.back() == '\\') {
        return std::string(text);
    }
    return std::string(text) + "\\";
}

std::string TruncateText(const std::string& text, std::size_t maxLength, std::size_t padCount, char pad) {
    // Characters, not bytes, so a name is never cut inside a letter.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            starts.push_back(i);
        }
    }
    if (starts.size() <= maxLength) {
        return text;
    }
    const std::size_t keep = maxLength > padCount ? maxLength - padCount : 0;
    return text.substr(0, starts[keep]) + std::string(std::min(padCount, maxLength), pad);
}

std::string DefaultIfBlank(const std::string& text, const std::string& fallback) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) > ' ') {
            return text;
        }
    }
    return fallback;
}

} // namespace cv
