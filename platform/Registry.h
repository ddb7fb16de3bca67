// The registry object: one root, one current key, typed reads and writes and
// a recursive delete, over the raw registry. Callers create one for an
// operation and let it go afterwards; the current key closes with it.
//
// Failure rules: a missing key or value gives false, an empty text or 0;
// ReadInteger of a missing value, a value of the wrong type and a refused
// write throw ERegistryError.
#pragma once

#include "platform/RegistryApi.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace cv {

struct TRegDataInfo {
    std::uint32_t Type = kRegNone;
    std::size_t Size = 0;
};

// A value exactly as the registry holds it.
struct TRegRawValue {
    std::uint32_t Type = kRegNone;
    std::vector<std::uint8_t> Data;
    bool operator==(const TRegRawValue&) const = default;
};

// A value with its name.
using TRegNamedValue = std::pair<std::string, TRegRawValue>;

class TRegistry {
public:
    explicit TRegistry(IRegistryApi& api, std::uint32_t access = kKeyAllAccess);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;
    TRegistry(TRegistry&& other) noexcept
        : FApi(other.FApi), FAccess(other.FAccess), FRootKey(other.FRootKey), FCurrentKey(other.FCurrentKey),
          FView(other.FView) {
        other.FCurrentKey = 0;
    }

    void SetRootKey(HKey root);
    // The view every later open, and a delete, goes through; closes the
    // current key.
    void SetView(TRegView view);
    HKey RootKey() const { return FRootKey; }
    HKey CurrentKey() const { return FCurrentKey; }
    bool HasCurrentKey() const { return FCurrentKey != 0; }

    // Paths are taken from the root; a leading backslash is allowed.
    bool OpenKey(const std::string& path, bool canCreate);
    bool OpenKeyReadOnly(const std::string& path);
    void CloseKey();

    std::vector<std::string> GetKeyNames();
    std::vector<std::string> GetValueNames();
    bool GetDataInfo(const std::string& name, TRegDataInfo* info);
    bool ValueExists(const std::string& name);
    bool KeyExists(const std::string& path);

    std::string ReadString(const std::string& name);
    std::int32_t ReadInteger(const std::string& name);
    bool ReadBool(const std::string& name);
    std::size_t ReadBinaryData(const std::string& name, void* buffer, std::size_t bufferSize);
    bool ReadRaw(const std::string& name, TRegRawValue* value);
    // Every value of the current key with its data, in the registry's order,
    // one trip each; names holding a NUL are left out, as GetValueNames
    // leaves them. False (see LastError) when the registry broke the pass
    // off before its end.
    bool ReadAllValues(std::vector<TRegNamedValue>* values);

    void WriteString(const std::string& name, const std::string& text);
    void WriteExpandString(const std::string& name, const std::string& text);
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteBinaryData(const std::string& name, const void* data, std::size_t size);
    void WriteRaw(const std::string& name, const TRegRawValue& value);

    bool DeleteValue(const std::string& name);
    // Deletes the key with every subkey, deepest first. Each key of the
    // tree is first opened for deleting, so a tree the user may not delete
    // is refused whole rather than emptied halfway. True when the key was
    // there and is gone.
    bool DeleteKey(const std::string& path);

    // The error of the last open, read, write or delete that failed.
    long LastError() const { return FLastError; }

private:
    long Query(const std::string& name, TRegRawValue* value);
    [[noreturn]] void ReadError(const std::string& name);
    void Put(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data);
    bool DeleteTree(const std::string& path);
    bool MayDeleteTree(const std::string& path);

    IRegistryApi& FApi;
    std::uint32_t FAccess;
    HKey FRootKey = kHKeyCurrentUser;
    HKey FCurrentKey = 0;
    TRegView FView = kRegViewNative;
    long FLastError = kErrorSuccess;
};

// A key's path as the registry editor shows it: a key of the 32-bit view
// under SOFTWARE\WOW6432Node.
std::string ShownKeyPath(const std::string& path, TRegView view);
// The views of HKEY_LOCAL_MACHINE to read, 64-bit before 32-bit: both on
// 64-bit Windows, the one there is elsewhere.
std::vector<TRegView> MachineViews(const IRegistryApi& api);

// The root's name, a backslash and the shown path.
std::string FullKeyText(HKey root, const std::string& path, TRegView view);
// Throws for a change of the key the registry refused with the error:
// ERightsError saying administrator rights are needed for access denied,
// else ERegistryError. The action reads "delete", "change" and the like.
[[noreturn]] void ThrowRefusedChange(const std::string& action, const std::string& keyText, long error);

} // namespace cv
