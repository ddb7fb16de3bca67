#include "platform/win32/Win32Registry.h"

#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace cv {

namespace {

::HKEY H(HKey key) {
    return reinterpret_cast<::HKEY>(key);
}

bool IsRoot(HKey key) {
    return key >= kHKeyClassesRoot && key <= 0x80000006u;
}

} // namespace

long TWin32Registry::OpenKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) {
    ::HKEY key = nullptr;
    const long rc = ::RegOpenKeyExW(H(parent), toWide(subKey).c_str(), 0, access, &key);
    if (rc == ERROR_SUCCESS) {
        *result = reinterpret_cast<HKey>(key);
    }
    return rc;
}

long TWin32Registry::CreateKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) {
    ::HKEY key = nullptr;
    const long rc = ::RegCreateKeyExW(H(parent), toWide(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      access, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        *result = reinterpret_cast<HKey>(key);
    }
    return rc;
}

long TWin32Registry::CloseKey(HKey key) {
    if (IsRoot(key)) {
        return ERROR_SUCCESS;
    }
    return ::RegCloseKey(H(key));
}

long TWin32Registry::EnumKey(HKey key, std::uint32_t index, std::string* name) {
    // Key names are at most 255 characters.
    wchar_t buffer[256];
    DWORD length = 256;
    const long rc = ::RegEnumKeyExW(H(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
        *name = toUtf8(std::wstring_view(buffer, length));
    }
    return rc;
}

long TWin32Registry::EnumValue(HKey key, std::uint32_t index, std::string* name) {
    DWORD longest = 0;
    long rc = ::RegQueryInfoKeyW(H(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 &longest, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    for (;;) {
        std::wstring buffer(longest + 1, L'\0');
        DWORD length = longest + 1;
        rc = ::RegEnumValueW(H(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) {
            longest = longest * 2 + 256; // the key changed since it was measured
            continue;
        }
        if (rc == ERROR_SUCCESS) {
            *name = toUtf8(std::wstring_view(buffer.data(), length));
        }
        return rc;
    }
}

long TWin32Registry::EnumValueData(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                                   std::vector<std::uint8_t>* data) {
    // One trip for nearly every value: a name buffer the usual names fit and
    // a data buffer as large as the caller's earlier values made it. When
    // either is short the registry says "more data" (with the data's size);
    // the short one grows and the value is asked for again. Names are at
    // most 16,383 characters.
    constexpr std::size_t kLongestName = 16384;
    wchar_t shortBuffer[256];
    std::wstring large;
    wchar_t* buffer = shortBuffer;
    std::size_t capacity = std::size(shortBuffer);
    data->resize(std::max<std::size_t>(data->capacity(), 512));
    for (int attempt = 0;; ++attempt) {
        DWORD length = static_cast<DWORD>(capacity);
        DWORD valueType = 0;
        DWORD size = static_cast<DWORD>(data->size());
        const long rc =
            ::RegEnumValueW(H(key), index, buffer, &length, nullptr, &valueType, data->data(), &size);
        if (rc == ERROR_SUCCESS) {
            *name = toUtf8(std::wstring_view(buffer, length));
            data->resize(size);
            *type = valueType;
            return rc;
        }
        if (rc != ERROR_MORE_DATA || attempt == 64) {
            data->clear();
            return rc;
        }
        if (size > data->size()) {
            data->resize(size);
        } else if (capacity < kLongestName) {
            capacity = kLongestName;
            large.assign(capacity, L'\0');
            buffer = large.data();
        } else {
            data->resize(data->size() * 2); // the value grew meanwhile
        }
    }
}

long TWin32Registry::QueryValue(HKey key, std::string_view name, std::uint32_t* type,
                                std::vector<std::uint8_t>* data) {
    // Most values are short: one call with a buffer that usually fits, a
    // second only for the long ones. Every call is a trip to the registry.
    const std::wstring wideName = toWide(name);
    data->resize(std::max<std::size_t>(data->capacity(), 512));
    for (;;) {
        DWORD valueType = 0;
        DWORD size = static_cast<DWORD>(data->size());
        const long rc =
            ::RegQueryValueExW(H(key), wideName.c_str(), nullptr, &valueType, data->data(), &size);
        if (rc == ERROR_SUCCESS) {
            data->resize(size);
            *type = valueType;
            return rc;
        }
        if (rc != ERROR_MORE_DATA) {
            data->clear();
            return rc;
        }
        data->resize(size > data->size() ? size : data->size() * 2);
    }
}

long TWin32Registry::SetValue(HKey key, std::string_view name, std::uint32_t type,
                              const std::vector<std::uint8_t>& data) {
    return ::RegSetValueExW(H(key), toWide(name).c_str(), 0, type, data.empty() ? nullptr : data.data(),
                            static_cast<DWORD>(data.size()));
}

long TWin32Registry::DeleteValue(HKey key, std::string_view name) {
    return ::RegDeleteValueW(H(key), toWide(name).c_str());
}

long TWin32Registry::OpenKeyAsLink(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result,
                                   bool* isLink) {
    ::HKEY key = nullptr;
    const long rc = ::RegOpenKeyExW(H(parent), toWide(subKey).c_str(), REG_OPTION_OPEN_LINK, access, &key);
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    // A link keeps where it points in this one value of its own type.
    DWORD type = REG_NONE;
    *isLink =
        ::RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
        type == REG_LINK;
    *result = reinterpret_cast<HKey>(key);
    return rc;
}

long TWin32Registry::DeleteKey(HKey parent, std::string_view subKey, TRegView view) {
    if (subKey.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    // RegDeleteKeyEx opens the key it deletes the ordinary way, so for a
    // link it would delete the key the link points to. The key is opened as
    // a link instead and deleted through its own handle.
    using TNtDeleteKey = LONG(NTAPI*)(HANDLE);
    using TStatusToError = ULONG(NTAPI*)(LONG);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    static const auto ntDeleteKey =
        reinterpret_cast<TNtDeleteKey>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtDeleteKey")));
    static const auto statusToError = reinterpret_cast<TStatusToError>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlNtStatusToDosError")));
    if (ntDeleteKey == nullptr || statusToError == nullptr) {
        return ::RegDeleteKeyExW(H(parent), toWide(subKey).c_str(), view, 0);
    }
    ::HKEY key = nullptr;
    long rc = ::RegOpenKeyExW(H(parent), toWide(subKey).c_str(), REG_OPTION_OPEN_LINK,
                              DELETE | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | view, &key);
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    // A key with subkeys stays, as RegDeleteKeyEx leaves it.
    DWORD subkeys = 0;
    rc = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS && subkeys != 0) {
        rc = ERROR_ACCESS_DENIED;
    } else if (rc == ERROR_SUCCESS) {
        const LONG status = ntDeleteKey(key);
        rc = status == 0 ? ERROR_SUCCESS : static_cast<long>(statusToError(status));
    }
    ::RegCloseKey(key);
    return rc;
}

bool TWin32Registry::HasTwoViews() const {
    if constexpr (sizeof(void*) == 8) {
        return true; // a 64-bit program runs on 64-bit Windows only
    }
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

} // namespace cv
