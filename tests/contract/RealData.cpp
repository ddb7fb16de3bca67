#include "contract/RealData.h"

#include "platform/Utf.h"

namespace cv::test {

std::vector<std::string> RegSections(const std::string& fileBytes) {
    const std::string text =
        Utf16BytesToUtf8(reinterpret_cast<const std::uint8_t*>(fileBytes.data()) + 2, fileBytes.size() - 2);
    std::vector<std::string> sections;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (!line.empty() && line[0] == '[') {
            sections.push_back(line + "\n");
        } else if (!line.empty() && !sections.empty()) {
            sections.back() += line + "\n";
        }
    }
    return sections;
}

std::string Describe(const TUninstallItem& item) {
    return item.KeyPath + " | " + item.DisplayName + " | " + item.DisplayVersion + " | " + item.HelpLink +
           " | " + item.UninstallString + " | " + item.DisplayIcon + " | " + item.InstallLocation + " | " +
           item.Publisher + " | " + item.HelpTelephone + " | " + item.URLInfoAbout + " | " +
           item.URLUpdateInfo + " | " + std::to_string(item.NoModify) + std::to_string(item.NoRemove) +
           std::to_string(item.IsUninstallable());
}

} // namespace cv::test
