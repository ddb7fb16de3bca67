// Splitting text files into lines, and trimming them.
#pragma once

#include <string>
#include <vector>

namespace cv {

// The lines of a text: a line ends at CR LF, a lone CR or a lone LF; a final
// line break does not start another line; a UTF-8 byte order mark is dropped.
std::vector<std::string> SplitTextLines(const std::string& text);
// The text without the given characters at either end.
std::string TrimChars(const std::string& text, const char* chars);

} // namespace cv
