#include "app/ListLayoutStore.h"

#include "app/IniFile.h"
#include "platform/Errors.h"
#include "platform/Registry.h"

#include <algorithm>

namespace cv {

namespace {

// The string value of a subkey, or false when it is not there or no string.
bool ReadText(IRegistryApi& api, const std::string& key, const std::string& value, std::string* text) {
    TRegistry reg(api, kKeyRead);
    reg.SetRootKey(kHKeyCurrentUser);
    if (!reg.OpenKey(key, false) || !reg.ValueExists(value)) {
        return false;
    }
    try {
        *text = reg.ReadString(value);
        return true;
    } catch (const ERegistryError&) {
        return false;
    }
}

void WriteText(IRegistryApi& api, const std::string& key, const std::string& value, const std::string& text) {
    TRegistry reg(api, kKeyRead | kKeyWrite);
    reg.SetRootKey(kHKeyCurrentUser);
    reg.OpenKey(key, true); // a refused key shows in the write's error
    reg.WriteString(value, text);
}

} // namespace

TListLayoutStore::TListLayoutStore(const TPlatform& platform, std::string key)
    : FPlatform(platform), FKey(std::move(key)) {}

TListLayout TListLayoutStore::Load(const TListLayout& design) const {
    TListLayout layout = design;
    IRegistryApi& api = FPlatform.Registry;
    std::string text;
    if (ReadText(api, FKey + "\\Columns", "Sizes", &text)) {
        std::size_t column = 0;
        std::size_t start = 0;
        while (column < layout.Widths.size() && start <= text.size()) {
            const std::size_t comma = std::min(text.find(',', start), text.size());
            int width = 0;
            if (ParseIniInteger(text.substr(start, comma - start), &width) && width >= 0) {
                layout.Widths[column] = width;
            }
            ++column;
            start = comma + 1;
        }
    }
    if (ReadText(api, FKey + "\\Sort", "Ascending", &text)) {
        layout.Ascending = text != "0";
    }
    int number = 0;
    if (ReadText(api, FKey + "\\Sort", "SortCol", &text) && ParseIniInteger(text, &number)) {
        layout.SortColumn = number;
    }
    const int lastColumn = static_cast<int>(layout.Widths.size()) - 1;
    if (layout.SortColumn > lastColumn) {
        layout.SortColumn = lastColumn;
    }
    if (layout.SortColumn < 0) {
        layout.SortColumn = 0;
    }
    if (ReadText(api, FKey + "\\ViewStyle", "ViewStyle", &text) && ParseIniInteger(text, &number) &&
        number >= 0 && number <= 3) {
        layout.ViewStyle = number;
    }
    return layout;
}

void TListLayoutStore::Save(const TListLayout& layout) const {
    std::string sizes;
    for (std::size_t i = 0; i < layout.Widths.size(); ++i) {
        sizes += (i == 0 ? "" : ",") + std::to_string(layout.Widths[i]);
    }
    IRegistryApi& api = FPlatform.Registry;
    WriteText(api, FKey + "\\Columns", "Sizes", sizes);
    WriteText(api, FKey + "\\Sort", "Ascending", layout.Ascending ? "1" : "0");
    WriteText(api, FKey + "\\Sort", "SortCol", std::to_string(layout.SortColumn));
    WriteText(api, FKey + "\\ViewStyle", "ViewStyle", std::to_string(layout.ViewStyle));
}

} // namespace cv
