#include "platform/RegFile.h"

#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/TextLines.h"
#include "platform/Utf.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace cv {

namespace {

struct TRootName {
    const char* Long;
    const char* Short;
    HKey Key;
};

constexpr TRootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", kHKeyLocalMachine},
    {"HKEY_CURRENT_USER", "HKCU", kHKeyCurrentUser},
    {"HKEY_CLASSES_ROOT", "HKCR", kHKeyClassesRoot},
    {"HKEY_USERS", "HKU", kHKeyUsers},
};

const char* const kHeader = "Windows Registry Editor Version 5.00";

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

// A string value the editor can write between quotes: whole UTF-16 units,
// one NUL at the end and none before it, and no line break.
bool IsPlainString(const std::vector<std::uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 || data[data.size() - 2] != 0) {
        return false;
    }
    for (std::size_t k = 0; k + 2 < data.size(); k += 2) {
        const unsigned unit = data[k] | (data[k + 1] << 8);
        if (unit == 0 || unit == '\r' || unit == '\n') {
            return false;
        }
    }
    return true;
}

void AppendHex(std::string& out, std::size_t lineStart, const std::vector<std::uint8_t>& data) {
    char digits[4];
    for (std::size_t k = 0; k < data.size(); ++k) {
        std::snprintf(digits, sizeof digits, "%02x", data[k]);
        out += digits;
        if (k + 1 < data.size()) {
            out += ',';
            if (out.size() - lineStart >= 75) {
                out += "\\\r\n  ";
                lineStart = out.size() - 2;
            }
        }
    }
}

void ExportValue(std::string& out, const std::string& name, std::uint32_t type,
                 const std::vector<std::uint8_t>& data) {
    const std::size_t lineStart = out.size();
    out += name.empty() ? std::string("@") : Quote(name);
    out += '=';
    if (type == kRegSz && IsPlainString(data)) {
        out += Quote(RegStringText(data));
    } else if (type == kRegDword && data.size() == 4) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%02x%02x%02x%02x", data[3], data[2], data[1], data[0]);
        out += digits;
    } else {
        char prefix[24];
        if (type == kRegBinary) {
            std::snprintf(prefix, sizeof prefix, "hex:");
        } else {
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
        }
        out += prefix;
        AppendHex(out, lineStart, data);
    }
    out += "\r\n";
}

// False when anything of the tree could not be read: a copy missing a
// value is no copy.
bool ExportKey(IRegistryApi& api, HKey root, const std::string& path, std::string& out, bool* whole) {
    HKey key = 0;
    bool link = false;
    if (api.OpenKeyAsLink(root, path, kKeyRead, &key, &link) != kErrorSuccess) {
        return false;
    }
    if (link) {
        api.CloseKey(key); // what a link points to is not part of this key
        *whole = false;
        return true;
    }
    out += "[" + RootKeyName(root) + (path.empty() ? "" : "\\" + path) + "]\r\n";
    std::string name;
    bool ok = true;
    std::uint32_t i = 0;
    long rc = kErrorSuccess;
    for (; ok && (rc = api.EnumValue(key, i, &name)) == kErrorSuccess; ++i) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        // A name holding a NUL cannot be asked for by name: it would ask for another value.
        if (name.find('\0') == std::string::npos) {
            ok = api.QueryValue(key, name, &type, &data) == kErrorSuccess;
            if (ok) {
                ExportValue(out, name, type, data);
            }
        } else {
            *whole = false;
        }
    }
    ok = ok && rc == kErrorNoMoreItems;
    out += "\r\n";
    std::vector<std::string> subkeys;
    for (i = 0; ok && (rc = api.EnumKey(key, i, &name)) == kErrorSuccess; ++i) {
        subkeys.push_back(name);
    }
    ok = ok && rc == kErrorNoMoreItems;
    api.CloseKey(key);
    for (const std::string& sub : subkeys) {
        ok = ok && ExportKey(api, root, path.empty() ? sub : path + "\\" + sub, out, whole);
    }
    return ok;
}

std::string DecodeFile(const std::string& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (bytes.size() >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        return Utf16BytesToUtf8(data + 2, bytes.size() - 2);
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return bytes.substr(3);
    }
    return bytes;
}

std::string TrimLeft(const std::string& s) {
    const auto at = s.find_first_not_of(" \t");
    return at == std::string::npos ? std::string() : s.substr(at);
}

std::string TrimRight(const std::string& s) {
    const auto at = s.find_last_not_of(" \t");
    return at == std::string::npos ? std::string() : s.substr(0, at + 1);
}

// Reads a quoted text starting at s[i] == '"'; i ends after the closing quote.
bool ReadQuoted(const std::string& s, std::size_t& i, std::string* text) {
    text->clear();
    for (++i; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            *text += s[++i];
        } else if (s[i] == '"') {
            ++i;
            return true;
        } else {
            *text += s[i];
        }
    }
    return false;
}

bool ParseHexBytes(const std::string& s, std::vector<std::uint8_t>* data) {
    data->clear();
    std::string digits;
    auto flush = [&]() {
        if (digits.empty()) {
            return true;
        }
        if (digits.size() > 2) {
            return false;
        }
        data->push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
        digits.clear();
        return true;
    };
    for (char c : s) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else if (c == ',') {
            if (!flush()) {
                return false;
            }
        } else if (c != ' ' && c != '\t') {
            return false;
        }
    }
    return flush();
}

bool ParseData(const std::string& s, std::uint32_t* type, std::vector<std::uint8_t>* data) {
    if (!s.empty() && s[0] == '"') {
        std::size_t i = 0;
        std::string text;
        if (!ReadQuoted(s, i, &text) || !TrimLeft(s.substr(i)).empty()) {
            return false;
        }
        *type = kRegSz;
        *data = RegStringData(text);
        return true;
    }
    if (s.compare(0, 6, "dword:") == 0) {
        const std::string digits = TrimRight(s.substr(6));
        if (digits.empty() || digits.size() > 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return false;
        }
        const auto number = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
        *type = kRegDword;
        *data = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                 static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
        return true;
    }
    if (s.compare(0, 4, "hex:") == 0) {
        *type = kRegBinary;
        return ParseHexBytes(s.substr(4), data);
    }
    if (s.compare(0, 4, "hex(") == 0) {
        const auto close = s.find("):");
        if (close == std::string::npos || close == 4) {
            return false;
        }
        const std::string digits = s.substr(4, close - 4);
        if (digits.size() > 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return false;
        }
        *type = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
        return ParseHexBytes(s.substr(close + 2), data);
    }
    return false;
}

} // namespace

bool SplitRegistryKeyName(const std::string& keyName, HKey* root, std::string* path) {
    const auto slash = keyName.find('\\');
    const std::string head = keyName.substr(0, slash);
    for (const TRootName& r : kRoots) {
        if (SameText(head, r.Long) || SameText(head, r.Short)) {
            *root = r.Key;
            *path = slash == std::string::npos ? std::string() : keyName.substr(slash + 1);
            while (!path->empty() && path->back() == '\\') {
                path->pop_back();
            }
            return true;
        }
    }
    return false;
}

std::string RootKeyName(HKey root) {
    for (const TRootName& r : kRoots) {
        if (r.Key == root) {
            return r.Long;
        }
    }
    return {};
}

bool ExportRegFile(IRegistryApi& api, const std::string& keyName, std::string* bytes, bool* whole) {
    bool all = true;
    HKey root = 0;
    std::string path;
    HKey probe = 0;
    if (!SplitRegistryKeyName(keyName, &root, &path) ||
        api.OpenKey(root, path, kKeyRead, &probe) != kErrorSuccess) {
        return false;
    }
    api.CloseKey(probe);
    std::string text = std::string(kHeader) + "\r\n\r\n";
    if (!ExportKey(api, root, path, text, &all)) {
        return false;
    }
    if (whole != nullptr) {
        *whole = all;
    }
    const std::vector<std::uint8_t> wide = Utf8ToUtf16Bytes(text);
    bytes->assign("\xFF\xFE");
    bytes->append(reinterpret_cast<const char*>(wide.data()), wide.size());
    return true;
}

namespace {

// The file's lines after its header, continued lines joined; false when it
// is not a registry file.
bool RegFileLines(const std::string& bytes, std::vector<std::string>* joined) {
    const std::vector<std::string> raw = SplitTextLines(DecodeFile(bytes));
    std::size_t first = 0;
    while (first < raw.size() && TrimRight(raw[first]).empty()) {
        ++first;
    }
    if (first == raw.size()) {
        return false;
    }
    const std::string header = TrimRight(raw[first]);
    if (header != kHeader && header != "REGEDIT4") {
        return false;
    }
    // Lines ending in a backslash go on in the next line (long hex data).
    std::vector<std::string>& lines = *joined;
    for (std::size_t i = first + 1; i < raw.size(); ++i) {
        std::string line = TrimRight(raw[i]);
        while (!line.empty() && line.back() == '\\' && line[0] != '[' && i + 1 < raw.size()) {
            line.pop_back();
            line += TrimLeft(TrimRight(raw[++i]));
        }
        lines.push_back(line);
    }
    return true;
}

} // namespace

bool ParseRegFile(const std::string& bytes, TRegFileContents* contents) {
    std::vector<std::string> lines;
    if (!RegFileLines(bytes, &lines)) {
        return false;
    }
    *contents = {};
    // Values count only under a section that names a key to write into.
    TRegFileSection* current = nullptr;
    for (const std::string& line : lines) {
        const std::string text = TrimLeft(line);
        if (text.empty() || text[0] == ';') {
            continue;
        }
        if (text[0] == '[') {
            current = nullptr;
            const auto close = text.rfind(']');
            if (close == std::string::npos) {
                ++contents->BadLines;
                contents->UnclosedSection = true;
                continue;
            }
            TRegFileSection section;
            section.Written = text.substr(1, close - 1);
            section.Remove = section.Written.size() > 0 && section.Written[0] == '-';
            if (!SplitRegistryKeyName(section.Written.substr(section.Remove ? 1 : 0), &section.Root,
                                      &section.Path)) {
                section.Root = 0;
                ++contents->BadLines;
            }
            contents->Sections.push_back(std::move(section));
            if (!contents->Sections.back().Remove && contents->Sections.back().Root != 0) {
                current = &contents->Sections.back();
            }
            continue;
        }
        if (current == nullptr) {
            continue; // values of no key, or of a key being removed
        }
        TRegFileValue value;
        std::size_t i = 0;
        if (text[0] == '@') {
            i = 1;
        } else if (text[0] != '"' || !ReadQuoted(text, i, &value.Name)) {
            ++contents->BadLines;
            continue;
        }
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        if (i >= text.size() || text[i] != '=') {
            ++contents->BadLines;
            continue;
        }
        const std::string dataText = TrimLeft(text.substr(i + 1));
        if (dataText == "-") {
            value.Remove = true;
            contents->RemovesValues = true;
        } else if (!ParseData(dataText, &value.Data.Type, &value.Data.Data)) {
            ++contents->BadLines;
            continue;
        }
        current->Values.push_back(std::move(value));
    }
    return true;
}

bool ApplyRegFileSection(IRegistryApi& api, const TRegFileSection& section) {
    if (section.Root == 0) {
        return false;
    }
    TRegistry reg(api);
    reg.SetRootKey(section.Root);
    if (section.Remove) {
        return section.Path.empty() || !reg.KeyExists(section.Path) || reg.DeleteKey(section.Path);
    }
    if (!reg.OpenKey(section.Path, true)) {
        return false;
    }
    bool ok = true;
    for (const TRegFileValue& value : section.Values) {
        if (value.Remove) {
            reg.DeleteValue(value.Name);
        } else {
            ok = api.SetValue(reg.CurrentKey(), value.Name, value.Data.Type, value.Data.Data) ==
                     kErrorSuccess &&
                 ok;
        }
    }
    return ok;
}

bool ImportRegFile(IRegistryApi& api, const std::string& bytes) {
    TRegFileContents contents;
    if (!ParseRegFile(bytes, &contents)) {
        return false;
    }
    bool ok = contents.BadLines == 0;
    for (const TRegFileSection& section : contents.Sections) {
        ok = (section.Root == 0 || ApplyRegFileSection(api, section)) && ok;
    }
    return ok;
}

std::string RegFileOfValue(const std::string& keyName, const std::string& name, std::uint32_t type,
                           const std::vector<std::uint8_t>& data) {
    std::string text = std::string(kHeader) + "\r\n\r\n[" + keyName + "]\r\n";
    ExportValue(text, name, type, data);
    text += "\r\n";
    const std::vector<std::uint8_t> wide = Utf8ToUtf16Bytes(text);
    return std::string("\xFF\xFE") + std::string(wide.begin(), wide.end());
}

std::string EmptyRegFile() {
    const std::vector<std::uint8_t> wide = Utf8ToUtf16Bytes(std::string(kHeader) + "\r\n\r\n");
    return std::string("\xFF\xFE") + std::string(wide.begin(), wide.end());
}

bool RegFileSections(const std::string& bytes, std::vector<std::string>* sections, bool* removesValues) {
    TRegFileContents contents;
    if (!ParseRegFile(bytes, &contents) || contents.UnclosedSection) {
        return false;
    }
    sections->clear();
    for (const TRegFileSection& section : contents.Sections) {
        sections->push_back(section.Written);
    }
    *removesValues = contents.RemovesValues;
    return true;
}

} // namespace cv
