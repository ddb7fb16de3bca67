// Splitting text files into lines.
#pragma once

#include <string>
#include <vector>

namespace cv {

// The lines of a text: a line ends at CR LF, a lone CR or a lone LF; a final
// line break does not start another line; a UTF-8 byte order mark is dropped.
std::vector<std::string> SplitTextLines(const std::string& text);

} // namespace cv
