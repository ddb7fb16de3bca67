// Letter case as Windows compares names: registry keys and values, file names
// and display names match without regard to case. Covers the Latin, Greek and
// Cyrillic alphabets; other characters compare as they are.
#pragma once

#include <string>
#include <string_view>

namespace cv {

char32_t UpperChar(char32_t c);
std::string UpperText(std::string_view text);

bool SameText(std::string_view a, std::string_view b);

// A name folded for look-ups: its upper-cased UTF-16 code units. Two names
// are the same to Windows when their folded forms are equal, and folded
// forms order the way the registry sorts subkeys.
std::u16string FoldName(std::string_view name);

// Orders names the way the registry sorts subkeys: by their upper-cased
// UTF-16 code units. Negative, zero or positive.
int CompareRegistryNames(std::string_view a, std::string_view b);

} // namespace cv
