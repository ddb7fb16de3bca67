// The raw registry over the real Win32 registry functions.
#pragma once

#include "platform/RegistryApi.h"

namespace cv {

class TWin32Registry : public IRegistryApi {
public:
    long OpenKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) override;
    long CreateKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) override;
    long CloseKey(HKey key) override;
    long EnumKey(HKey key, std::uint32_t index, std::string* name) override;
    long EnumValue(HKey key, std::uint32_t index, std::string* name) override;
    long EnumValueData(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                       std::vector<std::uint8_t>* data) override;
    long QueryValue(HKey key, std::string_view name, std::uint32_t* type,
                    std::vector<std::uint8_t>* data) override;
    long SetValue(HKey key, std::string_view name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override;
    long DeleteValue(HKey key, std::string_view name) override;
    long OpenKeyAsLink(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result,
                       bool* isLink) override;
    long DeleteKey(HKey parent, std::string_view subKey, TRegView view) override;
    bool HasTwoViews() const override;
};

} // namespace cv
