#include "inventory/FileInfo.h"

#include "inventory/VersionResource.h"

#include <cstdio>

namespace cv {

TShellFileInfo TFileInfo::GetShellInfo(int kind) const {
    std::uint32_t flags = kShgfiIcon | kShgfiSmallIcon;
    if (kind == 1) {
        flags = kShgfiIcon | kShgfiLargeIcon;
    } else if (kind == 2) {
        flags = kShgfiIcon | kShgfiOpenIcon;
    }
    TShellFileInfo info;
    FPlatform.Shell.ShellFileInfo(FileName, flags, &info);
    return info;
}

TFileVersionInfo TFileInfo::GetVersionInfo() const {
    TFileVersionInfo result;
    TShellFileInfo shell;
    if (FPlatform.Shell.ShellFileInfo(FileName, kShgfiTypeName, &shell)) {
        result.TypeName = shell.TypeName;
    }
    const std::vector<std::uint8_t> resource = FPlatform.Shell.FileVersionInfo(FileName);
    std::vector<std::uint8_t> translation;
    if (resource.empty() || !VerQueryBinary(resource, "\\VarFileInfo\\Translation", &translation) ||
        translation.size() < 4) {
        return result;
    }
    const unsigned language = translation[0] | (translation[1] << 8);
    const unsigned codePage = translation[2] | (translation[3] << 8);
    char table[40];
    std::snprintf(table, sizeof table, "\\StringFileInfo\\%04X%04X\\", language, codePage);
    const std::pair<const char*, std::string*> keys[] = {
        {"CompanyName", &result.CompanyName},           {"FileDescription", &result.FileDescription},
        {"FileVersion", &result.FileVersion},           {"InternalName", &result.InternalName},
        {"LegalCopyRight", &result.LegalCopyRight},     {"LegalTradeMarks", &result.LegalTradeMarks},
        {"OriginalFileName", &result.OriginalFileName}, {"ProductName", &result.ProductName},
        {"ProductVersion", &result.ProductVersion},     {"Comments", &result.Comments},
        {"SpecialBuild", &result.SpecialBuild},         {"PrivateBuild", &result.PrivateBuild},
    };
    for (const auto& [key, field] : keys) {
        VerQueryString(resource, table + std::string(key), field);
    }
    return result;
}

} // namespace cv
