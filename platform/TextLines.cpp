#include "platform/TextLines.h"

namespace cv {

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        start = 3;
    }
    std::string line;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string TrimChars(const std::string& text, const char* chars) {
    const auto first = text.find_first_not_of(chars);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(chars) - first + 1);
}

} // namespace cv
