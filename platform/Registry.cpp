#include "platform/Registry.h"

#include "platform/Errors.h"
#include "platform/RegFile.h"
#include "platform/TextCase.h"
#include "platform/Utf.h"

#include <cstring>

namespace cv {

namespace {

std::string Relative(const std::string& path) {
    std::size_t start = 0;
    while (start < path.size() && path[start] == '\\') {
        ++start;
    }
    return path.substr(start);
}

// A path names exactly one key only without NUL characters (the wide API
// would end it there) and without empty parts.
bool IsSafePath(const std::string& relative) {
    if (relative.find('\0') != std::string::npos) {
        return false;
    }
    std::string trimmed = relative;
    while (!trimmed.empty() && trimmed.back() == '\\') {
        trimmed.pop_back();
    }
    return trimmed.find("\\\\") == std::string::npos;
}

// A value name the wide API can pass on whole: one holding a NUL would end
// there and name another value.
bool IsValueName(const std::string& name) {
    return name.find('\0') == std::string::npos;
}

// A subkey name that can be put after its parent's path and still name it.
bool IsAddressableName(const std::string& name) {
    return !name.empty() && name.find('\0') == std::string::npos && name.find('\\') == std::string::npos;
}

} // namespace

TRegistry::TRegistry(IRegistryApi& api, std::uint32_t access) : FApi(api), FAccess(access) {}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(HKey root) {
    CloseKey();
    FRootKey = root;
}

void TRegistry::SetView(TRegView view) {
    CloseKey();
    FView = view;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    if (!IsSafePath(Relative(path))) {
        return false;
    }
    HKey key = 0;
    const long rc = canCreate ? FApi.CreateKey(FRootKey, Relative(path), FAccess | FView, &key)
                              : FApi.OpenKey(FRootKey, Relative(path), FAccess | FView, &key);
    if (rc != kErrorSuccess) {
        FLastError = rc;
        return false;
    }
    CloseKey();
    FCurrentKey = key;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& path) {
    if (!IsSafePath(Relative(path))) {
        return false;
    }
    HKey key = 0;
    if (const long rc = FApi.OpenKey(FRootKey, Relative(path), kKeyRead | FView, &key); rc != kErrorSuccess) {
        FLastError = rc;
        return false;
    }
    CloseKey();
    FCurrentKey = key;
    return true;
}

void TRegistry::CloseKey() {
    if (FCurrentKey != 0) {
        FApi.CloseKey(FCurrentKey);
        FCurrentKey = 0;
    }
}

std::vector<std::string> TRegistry::GetKeyNames() {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; FCurrentKey != 0 && FApi.EnumKey(FCurrentKey, i, &name) == kErrorSuccess; ++i) {
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> TRegistry::GetValueNames() {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; FCurrentKey != 0 && FApi.EnumValue(FCurrentKey, i, &name) == kErrorSuccess;
         ++i) {
        if (IsValueName(name)) {
            names.push_back(name);
        }
    }
    return names;
}

long TRegistry::Query(const std::string& name, TRegRawValue* value) {
    if (FCurrentKey == 0) {
        return kErrorInvalidHandle;
    }
    const long rc = IsValueName(name) ? FApi.QueryValue(FCurrentKey, name, &value->Type, &value->Data)
                                      : kErrorFileNotFound;
    if (rc != kErrorSuccess) {
        FLastError = rc;
    }
    return rc;
}

bool TRegistry::GetDataInfo(const std::string& name, TRegDataInfo* info) {
    TRegRawValue value;
    if (Query(name, &value) != kErrorSuccess) {
        return false;
    }
    info->Type = value.Type;
    info->Size = value.Data.size();
    return true;
}

bool TRegistry::ValueExists(const std::string& name) {
    TRegRawValue value;
    return Query(name, &value) == kErrorSuccess;
}

bool TRegistry::KeyExists(const std::string& path) {
    if (!IsSafePath(Relative(path))) {
        return false;
    }
    HKey key = 0;
    if (FApi.OpenKey(FRootKey, Relative(path), kKeyRead | FView, &key) != kErrorSuccess) {
        return false;
    }
    FApi.CloseKey(key);
    return true;
}

void TRegistry::ReadError(const std::string& name) {
    throw ERegistryError(FormatText("Invalid data type for '%s'", name));
}

std::string TRegistry::ReadString(const std::string& name) {
    TRegRawValue value;
    if (Query(name, &value) != kErrorSuccess) {
        return {};
    }
    if (value.Type != kRegSz && value.Type != kRegExpandSz) {
        ReadError(name);
    }
    return RegStringText(value.Data);
}

std::int32_t TRegistry::ReadInteger(const std::string& name) {
    TRegRawValue value;
    if (Query(name, &value) != kErrorSuccess || value.Type != kRegDword || value.Data.size() != 4) {
        ReadError(name);
    }
    std::uint32_t number = 0;
    for (int k = 3; k >= 0; --k) {
        number = (number << 8) | value.Data[static_cast<std::size_t>(k)];
    }
    return static_cast<std::int32_t>(number);
}

bool TRegistry::ReadBool(const std::string& name) {
    return ReadInteger(name) != 0;
}

std::size_t TRegistry::ReadBinaryData(const std::string& name, void* buffer, std::size_t bufferSize) {
    TRegRawValue value;
    if (Query(name, &value) != kErrorSuccess) {
        return 0;
    }
    if ((value.Type != kRegBinary && value.Type != kRegNone) || value.Data.size() > bufferSize) {
        ReadError(name);
    }
    if (!value.Data.empty()) {
        std::memcpy(buffer, value.Data.data(), value.Data.size());
    }
    return value.Data.size();
}

bool TRegistry::ReadRaw(const std::string& name, TRegRawValue* value) {
    return Query(name, value) == kErrorSuccess;
}

bool TRegistry::ReadAllValues(std::vector<TRegNamedValue>* values) {
    values->clear();
    if (FCurrentKey == 0) {
        FLastError = kErrorInvalidHandle;
        return false;
    }
    std::string name;
    TRegRawValue value;
    for (std::uint32_t i = 0;; ++i) {
        const long rc = FApi.EnumValueData(FCurrentKey, i, &name, &value.Type, &value.Data);
        if (rc == kErrorNoMoreItems) {
            return true;
        }
        if (rc != kErrorSuccess) {
            FLastError = rc;
            return false;
        }
        if (IsValueName(name)) {
            values->emplace_back(name, value);
        }
    }
}

void TRegistry::Put(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    const long rc = FCurrentKey == 0     ? kErrorInvalidHandle
                    : !IsValueName(name) ? kErrorInvalidParameter
                                         : FApi.SetValue(FCurrentKey, name, type, data);
    if (rc != kErrorSuccess) {
        FLastError = rc;
        throw ERegistryError(FormatText("Failed to set data for '%s'", name));
    }
}

void TRegistry::WriteString(const std::string& name, const std::string& text) {
    Put(name, kRegSz, RegStringData(text));
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& text) {
    Put(name, kRegExpandSz, RegStringData(text));
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
    const auto number = static_cast<std::uint32_t>(value);
    Put(name, kRegDword,
        {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
         static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)});
}

void TRegistry::WriteBinaryData(const std::string& name, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    Put(name, kRegBinary, std::vector<std::uint8_t>(bytes, bytes + size));
}

void TRegistry::WriteRaw(const std::string& name, const TRegRawValue& value) {
    Put(name, value.Type, value.Data);
}

bool TRegistry::DeleteValue(const std::string& name) {
    const long rc = FCurrentKey == 0     ? kErrorInvalidHandle
                    : !IsValueName(name) ? kErrorInvalidParameter
                                         : FApi.DeleteValue(FCurrentKey, name);
    if (rc != kErrorSuccess) {
        FLastError = rc;
    }
    return rc == kErrorSuccess;
}

bool TRegistry::MayDeleteTree(const std::string& path) {
    HKey key = 0;
    bool link = false;
    const long rc = FApi.OpenKeyAsLink(FRootKey, path, kKeyDelete | kKeyRead | FView, &key, &link);
    if (rc != kErrorSuccess) {
        FLastError = rc;
        return rc == kErrorFileNotFound; // gone meanwhile: nothing to refuse
    }
    std::vector<std::string> names;
    std::string name;
    // A link goes alone: what it points to lies outside the tree.
    for (std::uint32_t i = 0; !link && FApi.EnumKey(key, i, &name) == kErrorSuccess; ++i) {
        names.push_back(name);
    }
    FApi.CloseKey(key);
    for (const std::string& sub : names) {
        if (IsAddressableName(sub) && !MayDeleteTree(path + "\\" + sub)) {
            return false;
        }
    }
    return true;
}

bool TRegistry::DeleteTree(const std::string& path) {
    HKey key = 0;
    bool link = false;
    if (FApi.OpenKeyAsLink(FRootKey, path, kKeyRead | FView, &key, &link) == kErrorSuccess) {
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t i = 0; !link && FApi.EnumKey(key, i, &name) == kErrorSuccess; ++i) {
            names.push_back(name);
        }
        FApi.CloseKey(key);
        // Last index first, so the indexes of the names still to go stay put.
        // A name that a path cannot carry (one holding a NUL, say) is left
        // alone: the path would name another key, and then its key stays too.
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            if (IsAddressableName(*it)) {
                DeleteTree(path + "\\" + *it);
            }
        }
    }
    const long rc = FApi.DeleteKey(FRootKey, path, FView);
    if (rc != kErrorSuccess) {
        FLastError = rc;
    }
    return rc == kErrorSuccess;
}

bool TRegistry::DeleteKey(const std::string& path) {
    std::string relative = Relative(path);
    while (!relative.empty() && relative.back() == '\\') {
        relative.pop_back();
    }
    if (relative.empty() || !IsSafePath(relative)) {
        FLastError = kErrorInvalidParameter;
        return false; // never the root itself, nor a key other than the one named
    }
    HKey key = 0;
    bool link = false;
    const long found = FApi.OpenKeyAsLink(FRootKey, relative, kKeyRead | FView, &key, &link);
    if (found == kErrorSuccess) {
        FApi.CloseKey(key);
    }
    if (!MayDeleteTree(relative)) {
        return false;
    }
    // A key that was there and is gone at the end is deleted, even when a
    // subkey's path led back to it and it went with its subkeys: in the
    // 32-bit view "SOFTWARE\WOW6432Node" names SOFTWARE itself.
    return DeleteTree(relative) || (found == kErrorSuccess && FLastError == kErrorFileNotFound);
}

std::vector<TRegView> MachineViews(const IRegistryApi& api) {
    if (api.HasTwoViews()) {
        return {kRegView64, kRegView32};
    }
    return {kRegViewNative};
}

std::string ShownKeyPath(const std::string& path, TRegView view) {
    constexpr std::string_view kSoftware = "SOFTWARE";
    const std::string relative = Relative(path);
    if ((view & kRegView32) == 0 || relative.size() < kSoftware.size() ||
        UpperText(relative.substr(0, kSoftware.size())) != kSoftware ||
        (relative.size() > kSoftware.size() && relative[kSoftware.size()] != '\\')) {
        return path;
    }
    const std::string rest = relative.substr(kSoftware.size());
    const std::string head = UpperText(rest.substr(0, rest.find('\\', 1)));
    if (head == "\\WOW6432NODE") {
        return path; // named in the 32-bit view's own path already
    }
    return relative.substr(0, kSoftware.size()) + "\\WOW6432Node" + rest;
}

std::string FullKeyText(HKey root, const std::string& path, TRegView view) {
    return RootKeyName(root) + "\\" + Relative(ShownKeyPath(path, root == kHKeyLocalMachine ? view : 0));
}

} // namespace cv

namespace cv {

void ThrowRefusedChange(const std::string& action, const std::string& keyText, long error) {
    const std::string head = "Cannot " + action + " \"" + keyText + "\": ";
    if (error == kErrorAccessDenied) {
        throw ERightsError(head + "administrator rights are needed to change this key.");
    }
    throw ERegistryError(head + "the registry refused it (error " + std::to_string(error) + ").");
}

} // namespace cv
