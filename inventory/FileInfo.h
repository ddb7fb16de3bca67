// What the shell and a file's version resource say about one file.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace cv {

struct TFileVersionInfo {
    std::string TypeName;
    std::string CompanyName;
    std::string FileDescription;
    std::string FileVersion;
    std::string InternalName;
    std::string LegalCopyRight;
    std::string LegalTradeMarks;
    std::string OriginalFileName;
    std::string ProductName;
    std::string ProductVersion;
    std::string Comments;
    std::string SpecialBuild;
    std::string PrivateBuild;
};

class TFileInfo {
public:
    TFileInfo(const TPlatform& platform, std::string fileName)
        : FileName(std::move(fileName)), FPlatform(platform) {}

    // The shell's record of the file: kind 1 asks for the large icon, 2 for
    // the open icon, anything else for the small icon. The icon handle in it
    // is the caller's to destroy. A file the shell cannot describe gives a
    // zero record.
    TShellFileInfo GetShellInfo(int kind) const;
    // The shell's type name and the version strings under the resource's
    // first translation; empty texts where there are none.
    TFileVersionInfo GetVersionInfo() const;

    const std::string FileName;

private:
    const TPlatform& FPlatform;
};

} // namespace cv
