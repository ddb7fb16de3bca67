#include "inventory/UninstallItem.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/Utf.h"
#include "platform/Utils.h"

#include <charconv>

namespace cv {

namespace {

struct TOldValue {
    std::string Name;
    TRegRawValue Value;
    std::string Line;
    bool Used = false;
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
            old.Line = name + "=" + ValueText(old.Value);
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

void EmptyKey(TRegistry& reg) {
    for (const std::string& name : reg.GetValueNames()) {
        if (!reg.DeleteValue(name)) {
            throw ERegistryError(FormatText("Failed to set data for '%s'", name));
        }
    }
}

void WriteLine(TRegistry& reg, std::vector<TOldValue>& old, const std::string& line) {
    for (TOldValue& value : old) {
        if (!value.Used && value.Line == line) {
            value.Used = true;
            reg.WriteRaw(value.Name, value.Value);
            return;
        }
    }
    const auto eq = line.find('=');
    const std::string name = line.substr(0, eq);
    const std::string text = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    for (const TOldValue& value : old) {
        if (!SameText(value.Name, name)) {
            continue;
        }
        std::int32_t number = 0;
        if (value.Value.Type == kRegDword && ParseInt32(text, &number)) {
            reg.WriteInteger(name, number);
            return;
        }
        if (value.Value.Type == kRegExpandSz) {
            reg.WriteExpandString(name, text);
            return;
        }
        break;
    }
    reg.WriteString(name, text);
}

// Puts the old values back as far as the registry lets it; the error that
// made the rewrite fail is the one the caller hears of.
void RestoreKey(TRegistry& reg, const std::vector<TOldValue>& old) {
    for (const std::string& name : reg.GetValueNames()) {
        reg.DeleteValue(name);
    }
    for (const TOldValue& value : old) {
        try {
            reg.WriteRaw(value.Name, value.Value);
        } catch (const ERegistryError&) {
        }
    }
}

} // namespace

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

std::vector<std::string> TUninstallItem::ReadValues() const {
    std::vector<std::string> lines;
    TRegistry reg(FPlatform->Registry, kKeyRead);
    reg.SetRootKey(RootKey);
    reg.SetView(View);
    if (!reg.OpenKey(KeyPath, false)) {
        return lines;
    }
    for (const TOldValue& value : ReadKey(reg)) {
        lines.push_back(value.Line);
    }
    return lines;
}

void TUninstallItem::WriteValues(const std::vector<std::string>& lines) const {
    TRegistry reg(FPlatform->Registry, kKeyRead | kKeyWrite);
    reg.SetRootKey(RootKey);
    reg.SetView(View);
    // Subkeys stay: only the values are replaced.
    if (!reg.OpenKey(KeyPath, false)) {
        if (reg.LastError() == kErrorFileNotFound) {
            throw ERegistryError(FormatText("The entry \"%s\" no longer exists.", KeyText()));
        }
        ThrowRefusedChange("change", KeyText(), reg.LastError());
    }
    const std::vector<TOldValue> old = ReadKey(reg);
    std::vector<TOldValue> pending = old;
    try {
        EmptyKey(reg);
        for (const std::string& line : lines) {
            WriteLine(reg, pending, line);
        }
    } catch (const ERegistryError&) {
        const long error = reg.LastError();
        RestoreKey(reg, old);
        if (error == kErrorAccessDenied) {
            ThrowRefusedChange("change", KeyText(), error);
        }
        throw;
    }
}

} // namespace cv
