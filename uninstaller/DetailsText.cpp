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
    // The path only: a query or a fragment may carry an address of its own.
    std::size_t end = std::min(text.find('?', from), text.find('#', from));
    for (auto at = text.find("//", from); at != std::string::npos && at < end; at = text.find("//", at)) {
        text.erase(at, 1);
        if (end != std::string::npos) {
            --end;
        }
    }
    return text;
}

bool IsWebAddress(const std::string& text) {
    const std::string upper = UpperText(text.substr(0, 8));
    return upper.starts_with("HTTP://") || upper.starts_with("HTTPS://");
}

std::vector<TGridRow> GridRows(const std::vector<TGridRow>& values) {
    return {values.rbegin(), values.rend()};
}

std::vector<TGridRow> SavedRows(const std::vector<TGridRow>& rows, const std::vector<TGridRow>& loaded) {
    const bool hadDefault =
        std::any_of(loaded.begin(), loaded.end(), [](const TGridRow& row) { return row.first.empty(); });
    std::vector<TGridRow> saved;
    for (const TGridRow& row : rows) {
        if (!row.first.empty() || !row.second.empty() || hadDefault) {
            saved.push_back(row);
        }
    }
    return saved;
}

} // namespace cv
