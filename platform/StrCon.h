// The program's small text operations. Positions count from 1 and 0 means
// "not found"; texts are UTF-8 and positions count bytes. The collection
// keeps no state: every caller uses the one shared instance.
#pragma once

#include <string>
#include <string_view>

namespace cv {

class TStringCollection {
public:
    std::string UpperText(std::string_view text) const;
    // The first sub at or after start (0 or 1: the whole text).
    std::size_t PosFrom(std::string_view sub, std::string_view text, bool ignoreCase,
                        std::size_t start) const;
    std::size_t LastPos(std::string_view sub, std::string_view text, bool ignoreCase) const;
    std::string TextAfter(std::string_view separator, std::string_view text, std::size_t start) const;
    std::string TextBefore(std::string_view separator, std::string_view text, std::size_t start) const;
    std::string TextBeforeNth(std::string_view separator, std::string_view text, int n) const;
    std::string TextBeforeLast(std::string_view separator, std::string_view text) const;
    unsigned char FirstChar(std::string_view text) const;
    std::string TextUpToChars(std::string_view text, std::string_view chars) const;
    std::string RemoveChars(std::string_view text, std::string_view chars) const;
    std::string RemoveChar(std::string_view text, char c) const;
    // Drops c at both ends and folds inner runs of it to one.
    std::string CollapseChar(std::string_view text, char c) const;
    // Compares without case; with c other than 0 the collapsed forms.
    bool SameTextCollapsed(std::string_view a, std::string_view b, char c) const;
    // Every occurrence replaced; inserted text is never searched again.
    std::string ReplaceAll(std::string_view find, std::string_view replacement, std::string_view text) const;
    std::string IncludeBackslash(std::string_view text) const;
};

// The one instance the whole program shares.
const TStringCollection& StrCon();

// The text, or its first (maxLength - padCount) characters and padCount pad
// characters when it is longer than maxLength.
std::string TruncateText(const std::string& text, std::size_t maxLength, std::size_t padCount, char pad);
// The text, or the default when it holds nothing but blanks and control characters.
std::string DefaultIfBlank(const std::string& text, const std::string& fallback);

} // namespace cv
