// The raw registry: the handful of calls the registry object needs, with the
// meaning of the Win32 calls they stand for. Names and paths are UTF-8; value
// data is the bytes the registry holds (strings are UTF-16LE, as Windows keeps
// them), so both implementations agree byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// An open key. The predefined roots carry the same numbers as on Windows so
// the Win32 implementation can hand them straight to the API.
using HKey = std::uintptr_t;

inline constexpr HKey kHKeyClassesRoot = 0x80000000u;
inline constexpr HKey kHKeyCurrentUser = 0x80000001u;
inline constexpr HKey kHKeyLocalMachine = 0x80000002u;
inline constexpr HKey kHKeyUsers = 0x80000003u;

// Registry value types.
enum : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegDwordBigEndian = 5,
    kRegLink = 6,
    kRegMultiSz = 7,
    kRegQword = 11,
};

// Access masks.
enum : std::uint32_t {
    kKeyQueryValue = 0x0001,
    kKeySetValue = 0x0002,
    kKeyCreateSubKey = 0x0004,
    kKeyEnumerateSubKeys = 0x0008,
    kKeyRead = 0x20019,
    kKeyWrite = 0x20006,
    kKeyAllAccess = 0xF003F,
    kKeyDelete = 0x10000,
};

// Registry views, given with the access mask. On 64-bit Windows
// HKEY_LOCAL_MACHINE\SOFTWARE has two: the 64-bit programs' and the 32-bit
// programs' (SOFTWARE\WOW6432Node). Zero is the caller's own view.
using TRegView = std::uint32_t;
inline constexpr TRegView kRegViewNative = 0;
inline constexpr TRegView kRegView64 = 0x0100; // KEY_WOW64_64KEY
inline constexpr TRegView kRegView32 = 0x0200; // KEY_WOW64_32KEY

// Win32 error codes the callers look at.
enum : long {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorInvalidParameter = 87,
    kErrorMoreData = 234,
    kErrorNoMoreItems = 259,
    kErrorKeyDeleted = 1018,
};

class IRegistryApi {
public:
    virtual ~IRegistryApi() = default;

    // RegOpenKeyEx: opens parent\subKey; an empty subKey opens parent again.
    virtual long OpenKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) = 0;
    // RegCreateKeyEx: opens the key, creating every missing key on the path.
    virtual long CreateKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) = 0;
    virtual long CloseKey(HKey key) = 0;
    // RegEnumKeyEx / RegEnumValue: the name at index, kErrorNoMoreItems past the end.
    virtual long EnumKey(HKey key, std::uint32_t index, std::string* name) = 0;
    virtual long EnumValue(HKey key, std::uint32_t index, std::string* name) = 0;
    // RegEnumValue with the type and the whole data: one value of the key in
    // one trip. The name comes with its exact length, so a name holding a NUL
    // arrives whole; callers that pass names on to the other calls skip it.
    // Needs the right to query values, as QueryValue does.
    virtual long EnumValueData(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                               std::vector<std::uint8_t>* data) = 0;
    // RegQueryValueEx: type and the whole data. The empty name is the default value.
    virtual long QueryValue(HKey key, std::string_view name, std::uint32_t* type,
                            std::vector<std::uint8_t>* data) = 0;
    virtual long SetValue(HKey key, std::string_view name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) = 0;
    virtual long DeleteValue(HKey key, std::string_view name) = 0;
    // RegOpenKeyEx with REG_OPTION_OPEN_LINK: a key that is a registry link
    // opens as the link itself, never as the key it points to; *isLink says
    // which it is.
    virtual long OpenKeyAsLink(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result,
                               bool* isLink) = 0;
    // Deletes the key the path names (RegDeleteKeyEx): refuses (access denied)
    // while the key has subkeys; a link is deleted itself, never the key it
    // points to. The view picks which of the machine's two SOFTWARE keys the
    // path is in.
    virtual long DeleteKey(HKey parent, std::string_view subKey, TRegView view) = 0;
    // Whether HKEY_LOCAL_MACHINE\SOFTWARE has a 32-bit view apart from the
    // 64-bit one (64-bit Windows); on 32-bit Windows both views are one.
    virtual bool HasTwoViews() const = 0;
};

} // namespace cv
