// An in-memory registry with Windows' rules: subkeys enumerate in the order
// of their upper-cased names, values in the order they were created, names
// match without regard to case, a key with subkeys cannot be deleted on its
// own, a handle to a deleted key answers "key deleted", and the machine's
// SOFTWARE key has a 32-bit view. Keys can be told
// to refuse write access, as HKEY_LOCAL_MACHINE does for a user without
// rights, and any change can be made to fail on demand.
#pragma once

#include "platform/RegistryApi.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cv {

class TSubstituteRegistry : public IRegistryApi {
public:
    TSubstituteRegistry();
    ~TSubstituteRegistry() override;

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

    // Two views (64-bit Windows, the default): the 32-bit view of
    // HKEY_LOCAL_MACHINE\SOFTWARE is its WOW6432Node subkey. One view
    // (32-bit Windows): the view flags change nothing.
    void SetTwoViews(bool two);

    // Opening the key (an existing one, below a root) for writing is refused.
    void SetRefusesWrite(HKey root, const std::string& path, bool refuses);

    // Called before every change with its kind ("SetValue", "DeleteValue",
    // "CreateKey", "DeleteKey") and the value or key name; returning true
    // makes that change fail with access denied.
    using TFault = std::function<bool(const std::string& operation, const std::string& name)>;
    void SetFault(TFault fault);
    // The same for the reads: "OpenKey" (with the path asked for),
    // "EnumKey" and "EnumValue" (with the key's name) and "QueryValue"
    // (with the value's name); EnumValueData asks for both "EnumValue" and
    // "QueryValue". Returning true makes that read fail with access denied.
    void SetReadFault(TFault fault);

    std::size_t OpenHandleCount() const;

private:
    struct TNode;
    struct THandle {
        std::shared_ptr<TNode> Node;
        std::uint32_t Access;
    };

    long Resolve(HKey key, std::shared_ptr<TNode>* node, std::uint32_t* access) const;
    long Walk(HKey parent, std::string_view subKey, bool create, TRegView view, std::shared_ptr<TNode>* node);
    bool Fails(const std::string& operation, const std::string& name) const;
    bool ReadFails(const std::string& operation, const std::string& name) const;
    HKey NewHandle(std::shared_ptr<TNode> node, std::uint32_t access);

    mutable std::mutex FLock;
    std::map<HKey, std::shared_ptr<TNode>> FRoots;
    std::map<HKey, THandle> FHandles;
    HKey FNextHandle = 0x1000;
    TFault FFault;
    TFault FReadFault;
    std::atomic<bool> FTwoViews{true};
};

} // namespace cv
