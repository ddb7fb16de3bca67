// The version resource reader. Any bytes with any path: no crash, no read
// outside the buffer, the two queries agree on whether the path is there,
// and what they give comes from the buffer. A resource built from the
// input's strings gives each string back, and cut short or with a byte
// changed it still reads without harm.
#include "fuzz/FuzzInput.h"
#include "inventory/VersionResource.h"
#include "platform/TextCase.h"
#include "platform/Utf.h"

#include <algorithm>
#include <cstdio>

using namespace cv;

namespace {

bool Holds(const std::vector<std::uint8_t>& whole, const std::vector<std::uint8_t>& part) {
    return std::search(whole.begin(), whole.end(), part.begin(), part.end()) != whole.end();
}

// Queries one path of any resource and checks what holds for every answer.
void Query(const std::vector<std::uint8_t>& resource, const std::string& path) {
    std::vector<std::uint8_t> value;
    std::string text;
    const bool binary = VerQueryBinary(resource, path, &value);
    const bool string = VerQueryString(resource, path, &text);
    fuzz::Check(binary == string);
    if (!binary) {
        return;
    }
    // A value is a run of the resource's bytes after a block's six-byte head.
    fuzz::Check(value.size() + 6 <= resource.size() && Holds(resource, value));
    // A text is UTF-16 of the resource, up to a NUL; one that was not
    // well-formed UTF-16 comes back with replacement characters instead.
    std::vector<std::uint8_t> wide = RegStringData(text);
    wide.resize(wide.size() - 2);
    fuzz::Check(wide.size() + 6 <= resource.size());
    fuzz::Check(text.find("\xEF\xBF\xBD") != std::string::npos || Holds(resource, wide));
}

// A text as it comes back from UTF-16: bytes that are no UTF-8 become
// replacement characters, and it ends at its first NUL.
std::string AsStored(const std::string& text) {
    return Utf16ToUtf8(Utf8ToUtf16(text.substr(0, text.find('\0'))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::TReader in(data, size);
    const std::uint8_t mode = in.Byte();
    if ((mode & 1) == 0) {
        // Any bytes: a path, then the resource.
        const std::string path = in.ShortText();
        const std::vector<std::uint8_t> resource = in.Bytes(in.RestSize());
        Query(resource, path);
        Query(resource, "\\VarFileInfo\\Translation");
        Query(resource, "\\StringFileInfo\\040904B0\\CompanyName");
        Query(resource, "");
        return 0;
    }

    // A resource built from the input's strings.
    const auto language = static_cast<std::uint16_t>(in.Byte() | (in.Byte() << 8));
    const auto codePage = static_cast<std::uint16_t>(in.Byte() | (in.Byte() << 8));
    std::vector<std::pair<std::string, std::string>> strings;
    for (std::size_t count = in.Byte() % 16; count > 0; --count) {
        std::string key = AsStored(in.Text(in.Byte() % 32));
        std::string text = AsStored(in.Text(in.Byte() % 128));
        // A key names one block only when it has no backslash and is not empty.
        if (!key.empty() && key.find('\\') == std::string::npos) {
            strings.emplace_back(std::move(key), std::move(text));
        }
    }
    std::vector<std::uint8_t> resource = BuildVersionResource(language, codePage, strings);
    char table[40];
    std::snprintf(table, sizeof table, "\\StringFileInfo\\%04X%04X\\", language, codePage);
    for (const auto& string : strings) {
        const std::string& key = string.first;
        // The first string of the same name, in any letter case, is the one found.
        const auto first = std::find_if(strings.begin(), strings.end(),
                                        [&key](const auto& s) { return SameText(s.first, key); });
        std::string found;
        fuzz::Check(VerQueryString(resource, table + UpperText(key), &found) && found == first->second);
        Query(resource, table + key);
    }
    std::vector<std::uint8_t> translation;
    fuzz::Check(VerQueryBinary(resource, "\\VarFileInfo\\Translation", &translation) &&
                translation == std::vector<std::uint8_t>{static_cast<std::uint8_t>(language),
                                                         static_cast<std::uint8_t>(language >> 8),
                                                         static_cast<std::uint8_t>(codePage),
                                                         static_cast<std::uint8_t>(codePage >> 8)});

    // Spoiled: cut short, and a byte changed.
    const std::string path = strings.empty() ? "\\VarFileInfo\\Translation" : table + strings[0].first;
    const std::size_t at = (in.Byte() | (in.Byte() << 8)) % (resource.size() + 1);
    const std::uint8_t byte = in.Byte();
    resource[at % resource.size()] = byte;
    Query(resource, path);
    resource.resize(at);
    resource.shrink_to_fit();
    Query(resource, path);
    return 0;
}
