#include "uninstaller/DetailsText.h"

#include "platform/StrCon.h"
#include "platform/TextCase.h"

#include <algorithm>

namespace cv {

std::string FactText(const std::string& field) {
    return DefaultIfBlank(field, kNotRecorded);
}

std::string LinkText(const std::string& field) {
    std::string text = FactText(field);
    const auto scheme = text.find("://");
    const std::size_t from = scheme == std::string::npos ? 0 : scheme + 3;
    for (auto at = text.find("//", from); at != std::string::npos; at = text.find("//", at)) {
        text.erase(at, 1);
    }
    return text;
}

bool IsWebAddress(const std::string& text) {
    const std::string upper = UpperText(text.substr(0, 8));
    return upper.starts_with("HTTP://") || upper.starts_with("HTTPS://");
}

std::vector<TGridRow> GridRows(const std::vector<std::string>& lines) {
    std::vector<TGridRow> rows;
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const auto eq = it->find('=');
        rows.emplace_back(it->substr(0, eq), eq == std::string::npos ? std::string() : it->substr(eq + 1));
    }
    return rows;
}

std::vector<std::string> GridLines(const std::vector<TGridRow>& rows,
                                   const std::vector<std::string>& loaded) {
    const bool hadDefault = std::find(loaded.begin(), loaded.end(), "=") != loaded.end();
    std::vector<std::string> lines;
    for (const auto& [name, text] : rows) {
        if (name.empty() && text.empty() && !hadDefault) {
            continue;
        }
        lines.push_back(name + "=" + text);
    }
    return lines;
}

} // namespace cv
