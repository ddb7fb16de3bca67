#include "inventory/UninstallItem.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/Utf.h"
#include "platform/Utils.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace cv {

namespace {

struct TOldValue {
    std::string Name;
    TRegRawValue Value;
    std::string Text; // as the grid shows it
};

std::uint64_t LittleEndian(const std::vector<std::uint8_t>& data) {
    std::uint64_t number = 0;
    for (std::size_t k = data.size(); k-- > 0;) {
        number = (number << 8) | data[k];
    }
    return number;
}

std::string ValueText(const TRegRawValue& value) {
    switch (value.Type) {
    case kRegSz:
    case kRegExpandSz:
        return RegStringText(value.Data);
    case kRegDword:
        if (value.Data.size() == 4) {
            return std::to_string(
                static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(value.Data))));
        }
        break;
    case kRegQword:
        if (value.Data.size() == 8) {
            return std::to_string(LittleEndian(value.Data));
        }
        break;
    case kRegMultiSz: {
        std::string text;
        for (const std::string& part : RegMultiStringTexts(value.Data)) {
            text += (text.empty() ? "" : " ") + part;
        }
        return text;
    }
    default:
        break;
    }
    return std::to_string(value.Data.size());
}

std::vector<TOldValue> ReadKey(TRegistry& reg) {
    std::vector<TOldValue> values;
    for (const std::string& name : reg.GetValueNames()) {
        TOldValue old;
        old.Name = name;
        if (reg.ReadRaw(name, &old.Value)) {
            old.Text = ValueText(old.Value);
            values.push_back(std::move(old));
        }
    }
    return values;
}

bool ParseInt32(const std::string& text, std::int32_t* number) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, *number);
    return ec == std::errc() && ptr == end && !text.empty();
}

// Whether the grid's text is the whole value: a string, or a 32-bit number.
bool ShownFaithfully(const TRegRawValue& value) {
    return value.Type == kRegSz || value.Type == kRegExpandSz ||
           (value.Type == kRegDword && value.Data.size() == 4);
}

std::vector<std::uint8_t> DwordData(std::int32_t number) {
    const auto n = static_cast<std::uint32_t>(number);
    return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
}

// One value to be written: its new data, and what it held before, if anything.
struct TWrite {
    std::string Name;
    TRegRawValue Value;
    const TOldValue* Old = nullptr;
};

// The value a changed or new line asks for; throws ERegistryError, before
// anything is written, for a change the text cannot carry.
TRegRawValue NewValue(const TOldValue* old, const std::string& name, const std::string& text) {
    if (old == nullptr || old->Value.Type == kRegSz) {
        return {kRegSz, RegStringData(text)};
    }
    if (old->Value.Type == kRegExpandSz) {
        return {kRegExpandSz, RegStringData(text)};
    }
    if (!ShownFaithfully(old->Value)) {
        throw ERegistryError(
            FormatText("The value \"%s\" cannot be changed here: it holds neither text nor a "
                       "32-bit number. Nothing was saved.",
                       name));
    }
    std::int32_t number = 0;
    if (!ParseInt32(text, &number)) {
        throw ERegistryError(FormatText("The value \"%s\" is a 32-bit number: \"", name) + text +
                             "\" is not one. Nothing was saved.");
    }
    return {kRegDword, DwordData(number)};
}

} // namespace

std::uint64_t ReadValuesStamp(TRegistry& reg) {
    std::vector<TRegNamedValue> values;
    for (const std::string& name : reg.GetValueNames()) {
        TRegRawValue value;
        if (reg.ReadRaw(name, &value)) {
            values.emplace_back(name, std::move(value));
        }
    }
    return ValuesStamp(values);
}

std::uint64_t ValuesStamp(const std::vector<TRegNamedValue>& values) {
    std::vector<std::pair<std::string, const TRegRawValue*>> sorted;
    sorted.reserve(values.size());
    for (const TRegNamedValue& value : values) {
        sorted.emplace_back(UpperText(value.first), &value.second);
    }
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    // FNV-1a over every part, each ended by its length so no two keys run together.
    std::uint64_t stamp = 0xcbf29ce484222325u;
    const auto add = [&stamp](const std::uint8_t* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            stamp = (stamp ^ bytes[i]) * 0x100000001b3u;
        }
        for (int shift = 0; shift < 64; shift += 8) {
            stamp = (stamp ^ ((size >> shift) & 0xFF)) * 0x100000001b3u;
        }
    };
    for (const auto& [name, value] : sorted) {
        add(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
        const std::uint8_t type[4] = {
            static_cast<std::uint8_t>(value->Type), static_cast<std::uint8_t>(value->Type >> 8),
            static_cast<std::uint8_t>(value->Type >> 16), static_cast<std::uint8_t>(value->Type >> 24)};
        add(type, sizeof type);
        add(value->Data.data(), value->Data.size());
    }
    return stamp;
}

void ReadEntryByName(TRegistry& reg, TUninstallItem* item) {
    item->DisplayName = reg.ReadString("DisplayName");
    item->DisplayVersion = reg.ReadString("DisplayVersion");
    item->HelpLink = reg.ReadString("HelpLink");
    item->UninstallString = reg.ReadString("UninstallString");
    item->DisplayIcon = reg.ReadString("DisplayIcon");
    item->InstallLocation = reg.ReadString("InstallLocation");
    item->Publisher = reg.ReadString("Publisher");
    item->HelpTelephone = reg.ReadString("HelpTelephone");
    item->URLInfoAbout = reg.ReadString("URLInfoAbout");
    item->URLUpdateInfo = reg.ReadString("URLUpdateInfo");
    if (reg.ValueExists("NoModify")) {
        item->NoModify = reg.ReadBool("NoModify");
    }
    if (reg.ValueExists("NoRemove")) {
        item->NoRemove = reg.ReadBool("NoRemove");
    }
    // Read as Windows reads them, without a complaint about their types.
    TRegRawValue raw;
    item->SystemComponent =
        reg.ReadRaw("SystemComponent", &raw) && raw.Type == kRegDword &&
        std::any_of(raw.Data.begin(), raw.Data.end(), [](std::uint8_t b) { return b != 0; });
    if (reg.ReadRaw("ParentKeyName", &raw)) {
        // A name of another type still names a product: the entry is kept from Autofix.
        item->ParentKeyName = raw.Type == kRegSz || raw.Type == kRegExpandSz ? RegStringText(raw.Data) : "?";
    }
    item->ValuesStamp = ReadValuesStamp(reg);
}

namespace {

// The values an entry is read from, with where each goes.
enum class TEntryValue : std::uint8_t { Text, Flag, SystemComponent, ParentKeyName };

struct TEntryField {
    const char* Name;
    TEntryValue Kind;
    std::string TUninstallItem::*Text;
    bool TUninstallItem::*Flag;
};

const TEntryField kEntryFields[] = {
    {"DisplayName", TEntryValue::Text, &TUninstallItem::DisplayName, nullptr},
    {"DisplayVersion", TEntryValue::Text, &TUninstallItem::DisplayVersion, nullptr},
    {"HelpLink", TEntryValue::Text, &TUninstallItem::HelpLink, nullptr},
    {"UninstallString", TEntryValue::Text, &TUninstallItem::UninstallString, nullptr},
    {"DisplayIcon", TEntryValue::Text, &TUninstallItem::DisplayIcon, nullptr},
    {"InstallLocation", TEntryValue::Text, &TUninstallItem::InstallLocation, nullptr},
    {"Publisher", TEntryValue::Text, &TUninstallItem::Publisher, nullptr},
    {"HelpTelephone", TEntryValue::Text, &TUninstallItem::HelpTelephone, nullptr},
    {"URLInfoAbout", TEntryValue::Text, &TUninstallItem::URLInfoAbout, nullptr},
    {"URLUpdateInfo", TEntryValue::Text, &TUninstallItem::URLUpdateInfo, nullptr},
    {"NoModify", TEntryValue::Flag, nullptr, &TUninstallItem::NoModify},
    {"NoRemove", TEntryValue::Flag, nullptr, &TUninstallItem::NoRemove},
    {"SystemComponent", TEntryValue::SystemComponent, nullptr, nullptr},
    {"ParentKeyName", TEntryValue::ParentKeyName, nullptr, nullptr},
};

bool IsAsciiName(const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsText(const TRegRawValue& value) {
    return value.Type == kRegSz || value.Type == kRegExpandSz;
}

} // namespace

bool ReadEntryInOnePass(TRegistry& reg, TUninstallItem* item) {
    std::vector<TRegNamedValue> values;
    if (!reg.ReadAllValues(&values) ||
        !std::all_of(values.begin(), values.end(),
                     [](const TRegNamedValue& v) { return IsAsciiName(v.first); })) {
        return false;
    }
    // Each value goes where its name says, as the reads by name would have
    // found it: the registry holds one value of a name, in any letter case.
    for (const TRegNamedValue& value : values) {
        const auto field =
            std::find_if(std::begin(kEntryFields), std::end(kEntryFields),
                         [&value](const TEntryField& f) { return SameText(value.first, f.Name); });
        if (field == std::end(kEntryFields)) {
            continue;
        }
        const TRegRawValue& raw = value.second;
        switch (field->Kind) {
        case TEntryValue::Text:
            if (!IsText(raw)) {
                throw ERegistryError(FormatText("Invalid data type for '%s'", field->Name));
            }
            item->*field->Text = RegStringText(raw.Data);
            break;
        case TEntryValue::Flag:
            if (raw.Type != kRegDword || raw.Data.size() != 4) {
                throw ERegistryError(FormatText("Invalid data type for '%s'", field->Name));
            }
            item->*field->Flag =
                std::any_of(raw.Data.begin(), raw.Data.end(), [](std::uint8_t b) { return b != 0; });
            break;
        case TEntryValue::SystemComponent:
            item->SystemComponent =
                raw.Type == kRegDword &&
                std::any_of(raw.Data.begin(), raw.Data.end(), [](std::uint8_t b) { return b != 0; });
            break;
        case TEntryValue::ParentKeyName:
            item->ParentKeyName = IsText(raw) ? RegStringText(raw.Data) : "?";
            break;
        }
    }
    item->ValuesStamp = ValuesStamp(values);
    return true;
}

bool TUninstallItem::IsUninstallable() const {
    return !DisplayName.empty() && !NoModify && !NoRemove && !UninstallString.empty();
}

std::string TUninstallItem::GetExecutable() const {
    return ExtractExecutable(*FPlatform, UninstallString);
}

std::string TUninstallItem::GetInstallDir() const {
    if (FPlatform->Files.DirectoryExists(InstallLocation)) {
        return InstallLocation;
    }
    return ExtractFilePath(GetExecutable());
}

std::string TUninstallItem::ShownKeyPath() const {
    return cv::ShownKeyPath(KeyPath, RootKey == kHKeyLocalMachine ? View : kRegViewNative);
}

std::string TUninstallItem::KeyText() const {
    return FullKeyText(RootKey, KeyPath, View);
}

std::vector<TValueText> TUninstallItem::ReadRows() const {
    std::vector<TValueText> rows;
    TRegistry reg(FPlatform->Registry, kKeyRead);
    reg.SetRootKey(RootKey);
    reg.SetView(View);
    if (!reg.OpenKey(KeyPath, false)) {
        return rows;
    }
    for (const TOldValue& value : ReadKey(reg)) {
        rows.emplace_back(value.Name, value.Text);
    }
    return rows;
}

std::vector<std::string> TUninstallItem::ReadValues() const {
    std::vector<std::string> lines;
    for (const auto& [name, text] : ReadRows()) {
        lines.push_back(name + "=" + text);
    }
    return lines;
}

void TUninstallItem::WriteValues(const std::vector<std::string>& lines) const {
    // A line as ReadValues gave it names its value whole, "=" in the name and
    // all. Two values can give the same line ("a=b" holding "c", "a" holding
    // "b=c"): each such line stands for the next of them not taken yet, and
    // a line repeated more often than that for the first.
    const std::vector<TValueText> current = ReadRows();
    std::vector<bool> taken(current.size(), false);
    std::vector<TValueText> rows;
    for (const std::string& line : lines) {
        auto same = current.end();
        for (std::size_t k = 0; k < current.size(); ++k) {
            if (current[k].first + "=" + current[k].second != line) {
                continue;
            }
            if (same == current.end()) {
                same = current.begin() + static_cast<std::ptrdiff_t>(k);
            }
            if (!taken[k]) {
                taken[k] = true;
                same = current.begin() + static_cast<std::ptrdiff_t>(k);
                break;
            }
        }
        const auto eq = line.find('=');
        rows.push_back(
            same != current.end()
                ? *same
                : TValueText{line.substr(0, eq), eq == std::string::npos ? "" : line.substr(eq + 1)});
    }
    WriteRows(rows);
}

void TUninstallItem::WriteRows(const std::vector<TValueText>& rows) const {
    TRegistry reg(FPlatform->Registry, kKeyRead | kKeyWrite);
    reg.SetRootKey(RootKey);
    reg.SetView(View);
    // Subkeys stay: only the values change.
    if (!reg.OpenKey(KeyPath, false)) {
        if (reg.LastError() == kErrorFileNotFound) {
            throw ERegistryError(FormatText("The entry \"%s\" no longer exists.", KeyText()));
        }
        ThrowRefusedChange("change", KeyText(), reg.LastError());
    }
    std::vector<TOldValue> old = ReadKey(reg);
    const auto named = [&](const std::string& name) {
        return std::find_if(old.begin(), old.end(),
                            [&](const TOldValue& v) { return SameText(v.Name, name); });
    };

    // The plan first, so a row that cannot be saved stops the save before
    // anything is written. A row as ReadRows gave it leaves its value as it
    // is, byte for byte; a later row of the same name wins.
    std::vector<TWrite> writes;
    std::vector<const TOldValue*> kept;
    std::vector<std::pair<std::string, std::string>> fresh; // rows naming no value yet
    for (const TValueText& row : rows) {
        const std::string& name = row.first;
        const std::string& text = row.second;
        std::erase_if(writes, [&](const TWrite& w) { return SameText(w.Name, name); });
        std::erase_if(kept, [&](const TOldValue* v) { return SameText(v->Name, name); });
        std::erase_if(fresh, [&](const auto& f) { return SameText(f.first, name); });
        const auto previous = named(name);
        if (previous == old.end()) {
            fresh.emplace_back(name, text);
        } else if (previous->Name == name && previous->Text == text) {
            kept.push_back(&*previous);
        } else {
            writes.push_back({name, NewValue(&*previous, name, text), &*previous});
        }
    }
    // A new name showing the text of a value no row names any more is that
    // value renamed: it keeps its type and its data, whatever they are.
    std::vector<const TOldValue*> renamed;
    for (const auto& row : fresh) {
        const std::string& name = row.first;
        const std::string& text = row.second;
        const auto source = std::find_if(old.begin(), old.end(), [&](const TOldValue& v) {
            const auto byName = [&](const auto& n) { return SameText(n, v.Name); };
            return v.Text == text && std::find(renamed.begin(), renamed.end(), &v) == renamed.end() &&
                   std::none_of(rows.begin(), rows.end(), [&](const auto& row) { return byName(row.first); });
        });
        if (source != old.end()) {
            renamed.push_back(&*source);
            writes.push_back({name, source->Value, nullptr});
        } else {
            writes.push_back({name, NewValue(nullptr, name, text), nullptr});
        }
    }
    // Removed: the values the lines no longer name. A value that could not be
    // read was never shown, so it is never removed.
    std::vector<const TOldValue*> removals;
    for (const TOldValue& value : old) {
        const auto named = [&](const std::string& n) { return SameText(n, value.Name); };
        if (std::none_of(writes.begin(), writes.end(), [&](const TWrite& w) { return named(w.Name); }) &&
            std::none_of(kept.begin(), kept.end(), [&](const TOldValue* v) { return named(v->Name); })) {
            removals.push_back(&value);
        }
    }

    // New and changed values go in before the removed ones go, so a save cut
    // short never leaves the key empty; a failure puts back what was done.
    std::size_t written = 0;
    std::size_t removed = 0;
    try {
        for (; written < writes.size(); ++written) {
            reg.WriteRaw(writes[written].Name, writes[written].Value);
        }
        for (; removed < removals.size(); ++removed) {
            if (!reg.DeleteValue(removals[removed]->Name)) {
                throw ERegistryError(FormatText("Failed to set data for '%s'", removals[removed]->Name));
            }
        }
    } catch (const ERegistryError&) {
        const long error = reg.LastError();
        while (removed-- > 0) {
            try {
                reg.WriteRaw(removals[removed]->Name, removals[removed]->Value);
            } catch (const ERegistryError&) {
            }
        }
        while (written-- > 0) {
            const TWrite& w = writes[written];
            try {
                if (w.Old != nullptr) {
                    reg.WriteRaw(w.Old->Name, w.Old->Value);
                } else {
                    reg.DeleteValue(w.Name);
                }
            } catch (const ERegistryError&) {
            }
        }
        if (error == kErrorAccessDenied) {
            ThrowRefusedChange("change", KeyText(), error);
        }
        throw;
    }
}

} // namespace cv
