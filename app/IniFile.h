// A settings file of the ini kind, with the rules of the platform's
// private-profile functions: "[Section]" lines, "Key=Value" lines, names
// compared without regard to case, blanks around names and values ignored,
// quotes around a value dropped. One object serves one load or one save: it
// reads the file when created and writes it whole, through a temporary file
// renamed over the old one, so an interrupted save never leaves half a file.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace cv {

class TIniFile {
public:
    TIniFile(const TPlatform& platform, std::string path);

    const std::string& FileName() const { return FPath; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // Decimal, or hexadecimal after "0x" or "$"; anything else reads as the fallback.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;

    // The names of a section's keys in the order they stand in the file.
    std::vector<std::string> ReadSectionKeys(const std::string& section) const;
    // Takes the section out, header and keys.
    void EraseSection(const std::string& section);

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    // Writes the file; ESettingsError "Unable to write to %s" with the path
    // when it cannot, and the old file stays as it was.
    void UpdateFile();

private:
    // The line index of the section header, or npos.
    std::size_t FindSection(const std::string& section) const;
    // The line index of the key inside the section at sectionLine, or npos.
    std::size_t FindKey(std::size_t sectionLine, const std::string& key) const;

    const TPlatform& FPlatform;
    std::string FPath;
    std::vector<std::string> FLines;
    bool FByteOrderMark = false;
};

// Reads a whole integer text as the settings file does; false when it is none.
bool ParseIniInteger(const std::string& text, int* value);

} // namespace cv
