#include "app/IniFile.h"

#include "platform/Errors.h"
#include "platform/TextCase.h"
#include "platform/TextLines.h"

#include <cstdint>

namespace cv {

namespace {

std::string Trim(const std::string& s) {
    return TrimChars(s, " \t");
}

// "[Name]" gives Name; anything else is no section header.
bool SectionName(const std::string& line, std::string* name) {
    const std::string text = Trim(line);
    if (text.empty() || text[0] != '[') {
        return false;
    }
    const auto close = text.find(']');
    *name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool KeyOf(const std::string& line, std::string* key, std::string* value) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) {
        return false;
    }
    *key = Trim(line.substr(0, eq));
    *value = Trim(line.substr(eq + 1));
    return !key->empty() && (*key)[0] != ';';
}

} // namespace

bool ParseIniInteger(const std::string& text, int* value) {
    std::string s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.erase(0, 2);
    } else if (s.size() > 1 && s[0] == '$') {
        base = 16;
        s.erase(0, 1);
    }
    if (s.empty() || s.size() > 10) {
        return false;
    }
    std::uint64_t number = 0;
    for (char c : s) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return false;
        }
        number = number * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    if (base == 16) {
        // Eight hexadecimal digits fill the 32 bits, the sign bit included.
        if (number > 0xFFFFFFFFull) {
            return false;
        }
        const auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
        *value = negative ? -bits : bits;
        return true;
    }
    if (number > (negative ? 2147483648ull : 2147483647ull)) {
        return false;
    }
    *value = negative ? static_cast<int>(-static_cast<std::int64_t>(number)) : static_cast<int>(number);
    return true;
}

TIniFile::TIniFile(const TPlatform& platform, std::string path)
    : FPlatform(platform), FPath(std::move(path)) {
    std::string text;
    if (FPlatform.Files.ReadFile(FPath, &text)) {
        FByteOrderMark = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
        FLines = SplitTextLines(text);
    }
}

std::size_t TIniFile::FindSection(const std::string& section) const {
    std::string name;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        if (SectionName(FLines[i], &name) && SameText(name, section)) {
            return i;
        }
    }
    return std::string::npos;
}

std::size_t TIniFile::FindKey(std::size_t sectionLine, const std::string& key) const {
    std::string name;
    std::string value;
    for (std::size_t i = sectionLine + 1; i < FLines.size(); ++i) {
        if (SectionName(FLines[i], &name)) {
            break;
        }
        if (KeyOf(FLines[i], &name, &value) && SameText(name, key)) {
            return i;
        }
    }
    return std::string::npos;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    const std::size_t sectionLine = FindSection(section);
    if (sectionLine == std::string::npos) {
        return fallback;
    }
    const std::size_t keyLine = FindKey(sectionLine, key);
    std::string name;
    std::string value;
    if (keyLine == std::string::npos || !KeyOf(FLines[keyLine], &name, &value)) {
        return fallback;
    }
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::vector<std::string> TIniFile::ReadSectionKeys(const std::string& section) const {
    std::vector<std::string> keys;
    const std::size_t sectionLine = FindSection(section);
    std::string name;
    std::string value;
    for (std::size_t i = sectionLine == std::string::npos ? FLines.size() : sectionLine + 1;
         i < FLines.size(); ++i) {
        if (SectionName(FLines[i], &name)) {
            break;
        }
        if (KeyOf(FLines[i], &name, &value)) {
            keys.push_back(name);
        }
    }
    return keys;
}

void TIniFile::EraseSection(const std::string& section) {
    std::size_t sectionLine;
    while ((sectionLine = FindSection(section)) != std::string::npos) {
        std::size_t end = sectionLine + 1;
        std::string name;
        while (end < FLines.size() && !SectionName(FLines[end], &name)) {
            ++end;
        }
        FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(sectionLine),
                     FLines.begin() + static_cast<std::ptrdiff_t>(end));
    }
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
    int value = 0;
    return ParseIniInteger(ReadString(section, key, ""), &value) ? value : fallback;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string line = key + "=" + value;
    std::size_t sectionLine = FindSection(section);
    if (sectionLine == std::string::npos) {
        if (!FLines.empty() && !Trim(FLines.back()).empty()) {
            FLines.emplace_back();
        }
        FLines.push_back("[" + section + "]");
        FLines.push_back(line);
        return;
    }
    const std::size_t keyLine = FindKey(sectionLine, key);
    if (keyLine != std::string::npos) {
        FLines[keyLine] = line;
        return;
    }
    // After the section's last line that is not blank.
    std::size_t insertAt = sectionLine + 1;
    std::string name;
    for (std::size_t i = sectionLine + 1; i < FLines.size() && !SectionName(FLines[i], &name); ++i) {
        if (!Trim(FLines[i]).empty()) {
            insertAt = i + 1;
        }
    }
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::UpdateFile() {
    // A file that began with a byte order mark keeps it, so the lines read the same again.
    std::string text = FByteOrderMark ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : FLines) {
        text += line + "\r\n";
    }
    const std::string temporary = FPath + ".new";
    if (!FPlatform.Files.WriteFile(temporary, text) || !FPlatform.Files.MovePath(temporary, FPath, true)) {
        FPlatform.Files.RemoveFile(temporary);
        throw ESettingsError(FormatText("Unable to write to %s", FPath));
    }
}

} // namespace cv
