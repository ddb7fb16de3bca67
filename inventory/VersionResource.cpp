#include "inventory/VersionResource.h"

#include "platform/TextCase.h"
#include "platform/Utf.h"

#include <algorithm>
#include <cstdio>

namespace cv {

namespace {

constexpr std::size_t Align4(std::size_t n) {
    return (n + 3) & ~static_cast<std::size_t>(3);
}

struct TBlock {
    std::size_t Start = 0;
    std::size_t End = 0;
    std::size_t ValueStart = 0;
    std::size_t ValueBytes = 0;
    std::size_t ChildrenStart = 0;
    bool IsText = false;
    std::string Key;
};

std::uint16_t Word(const std::vector<std::uint8_t>& d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

// Reads the block at offset within limit; false when it does not fit.
bool ReadBlock(const std::vector<std::uint8_t>& d, std::size_t at, std::size_t limit, TBlock* block) {
    if (at + 6 > limit) {
        return false;
    }
    const std::size_t length = Word(d, at);
    const std::size_t valueLength = Word(d, at + 2);
    block->IsText = Word(d, at + 4) == 1;
    if (length < 6 || at + length > limit) {
        return false;
    }
    block->Start = at;
    block->End = at + length;
    std::size_t pos = at + 6;
    std::u16string key;
    while (pos + 2 <= block->End && Word(d, pos) != 0) {
        key += static_cast<char16_t>(Word(d, pos));
        pos += 2;
    }
    block->Key = Utf16ToUtf8(key);
    block->ValueStart = std::min(Align4(pos + 2), block->End);
    // Text values count their length in characters, others in bytes.
    block->ValueBytes =
        std::min(block->IsText ? valueLength * 2 : valueLength, block->End - block->ValueStart);
    block->ChildrenStart = std::min(Align4(block->ValueStart + block->ValueBytes), block->End);
    return true;
}

bool Find(const std::vector<std::uint8_t>& d, const std::string& path, TBlock* found) {
    TBlock block;
    if (!ReadBlock(d, 0, d.size(), &block)) {
        return false;
    }
    std::size_t start = 0;
    while (start < path.size()) {
        while (start < path.size() && path[start] == '\\') {
            ++start;
        }
        if (start >= path.size()) {
            break;
        }
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string part = path.substr(start, end - start);
        start = end;
        bool matched = false;
        TBlock child;
        for (std::size_t at = block.ChildrenStart; ReadBlock(d, at, block.End, &child);
             at = Align4(child.End)) {
            if (SameText(child.Key, part)) {
                matched = true;
                break;
            }
        }
        if (!matched) {
            return false;
        }
        block = child;
    }
    *found = block;
    return true;
}

void PutWord(std::vector<std::uint8_t>& d, std::uint16_t w) {
    d.push_back(static_cast<std::uint8_t>(w & 0xFF));
    d.push_back(static_cast<std::uint8_t>(w >> 8));
}

void Pad(std::vector<std::uint8_t>& d) {
    while (d.size() % 4 != 0) {
        d.push_back(0);
    }
}

// Appends a block; the value is UTF-16 text when text is set.
void PutBlock(std::vector<std::uint8_t>& d, const std::string& key, const std::vector<std::uint8_t>& value,
              bool text, const std::vector<std::vector<std::uint8_t>>& children) {
    Pad(d);
    const std::size_t start = d.size();
    PutWord(d, 0);
    PutWord(d, static_cast<std::uint16_t>(text ? value.size() / 2 : value.size()));
    PutWord(d, text ? 1 : 0);
    const auto wideKey = RegStringData(key);
    d.insert(d.end(), wideKey.begin(), wideKey.end());
    Pad(d);
    d.insert(d.end(), value.begin(), value.end());
    for (const auto& child : children) {
        Pad(d);
        d.insert(d.end(), child.begin(), child.end());
    }
    const std::size_t length = d.size() - start;
    d[start] = static_cast<std::uint8_t>(length & 0xFF);
    d[start + 1] = static_cast<std::uint8_t>(length >> 8);
}

std::vector<std::uint8_t> Block(const std::string& key, const std::vector<std::uint8_t>& value, bool text,
                                const std::vector<std::vector<std::uint8_t>>& children) {
    std::vector<std::uint8_t> d;
    PutBlock(d, key, value, text, children);
    return d;
}

} // namespace

bool VerQueryString(const std::vector<std::uint8_t>& resource, const std::string& path, std::string* text) {
    TBlock block;
    if (!Find(resource, path, &block)) {
        return false;
    }
    std::vector<std::uint8_t> value(resource.begin() + static_cast<std::ptrdiff_t>(block.ValueStart),
                                    resource.begin() + static_cast<std::ptrdiff_t>(block.End));
    *text = RegStringText(value);
    return true;
}

bool VerQueryBinary(const std::vector<std::uint8_t>& resource, const std::string& path,
                    std::vector<std::uint8_t>* value) {
    TBlock block;
    if (!Find(resource, path, &block)) {
        return false;
    }
    value->assign(resource.begin() + static_cast<std::ptrdiff_t>(block.ValueStart),
                  resource.begin() + static_cast<std::ptrdiff_t>(block.ValueStart + block.ValueBytes));
    return true;
}

std::vector<std::uint8_t>
BuildVersionResource(std::uint16_t language, std::uint16_t codePage,
                     const std::vector<std::pair<std::string, std::string>>& strings) {
    std::vector<std::vector<std::uint8_t>> entries;
    for (const auto& [key, text] : strings) {
        entries.push_back(Block(key, RegStringData(text), true, {}));
    }
    char tableName[16];
    std::snprintf(tableName, sizeof tableName, "%04X%04X", language, codePage);
    const auto table = Block(tableName, {}, true, entries);
    const auto stringInfo = Block("StringFileInfo", {}, true, {table});
    const std::vector<std::uint8_t> translation{
        static_cast<std::uint8_t>(language & 0xFF), static_cast<std::uint8_t>(language >> 8),
        static_cast<std::uint8_t>(codePage & 0xFF), static_cast<std::uint8_t>(codePage >> 8)};
    const auto var = Block("VarFileInfo", {}, true, {Block("Translation", translation, false, {})});
    std::vector<std::uint8_t> fixed(52, 0);
    fixed[0] = 0xBD, fixed[1] = 0x04, fixed[2] = 0xEF, fixed[3] = 0xFE; // VS_FIXEDFILEINFO signature
    return Block("VS_VERSION_INFO", fixed, false, {stringInfo, var});
}

} // namespace cv
