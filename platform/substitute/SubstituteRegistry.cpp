#include "platform/substitute/SubstituteRegistry.h"

#include "platform/TextCase.h"
#include "platform/Utf.h"

#include <algorithm>

namespace cv {

struct TSubstituteRegistry::TNode {
    struct TValue {
        std::string Name;
        std::uint32_t Type;
        std::vector<std::uint8_t> Data;
    };
    std::string Name;
    std::u16string Key;                          // the folded name, for look-ups and order
    std::vector<TValue> Values;                  // creation order
    std::vector<std::shared_ptr<TNode>> Subkeys; // kept in Key order
    TNode* Parent = nullptr;
    bool RefusesWrite = false;
    bool Deleted = false;

    std::vector<std::shared_ptr<TNode>>::const_iterator Place(const std::u16string& key) const {
        return std::lower_bound(
            Subkeys.begin(), Subkeys.end(), key,
            [](const std::shared_ptr<TNode>& a, const std::u16string& b) { return a->Key < b; });
    }
    std::shared_ptr<TNode> Find(std::string_view name) const {
        const std::u16string key = FoldName(name);
        const auto at = Place(key);
        return at != Subkeys.end() && (*at)->Key == key ? *at : nullptr;
    }
    TValue* FindValue(std::string_view name) {
        for (TValue& v : Values) {
            if (SameText(v.Name, name)) {
                return &v;
            }
        }
        return nullptr;
    }
};

namespace {

constexpr const char* kWow64Node = "WOW6432Node";
constexpr std::uint32_t kWriteBits = 0x0002 | 0x0004 | 0x0020 | 0x10000 | 0x40000 | 0x80000;

// A name as the wide API sees it: it ends at its first NUL, and bytes that
// are not UTF-8 have become U+FFFD on the way to UTF-16.
std::string Normalize(std::string_view name) {
    return Utf16ToUtf8(Utf8ToUtf16(name.substr(0, name.find('\0'))));
}

std::vector<std::string> SplitPath(std::string_view path) {
    path = path.substr(0, path.find('\0'));
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) {
                parts.push_back(Normalize(part));
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(Normalize(part));
    }
    return parts;
}

} // namespace

TSubstituteRegistry::TSubstituteRegistry() {
    for (HKey root : {kHKeyClassesRoot, kHKeyCurrentUser, kHKeyLocalMachine, kHKeyUsers}) {
        FRoots[root] = std::make_shared<TNode>();
    }
}

TSubstituteRegistry::~TSubstituteRegistry() = default;

long TSubstituteRegistry::Resolve(HKey key, std::shared_ptr<TNode>* node, std::uint32_t* access) const {
    if (const auto root = FRoots.find(key); root != FRoots.end()) {
        *node = root->second;
        *access = kKeyAllAccess;
        return kErrorSuccess;
    }
    const auto handle = FHandles.find(key);
    if (handle == FHandles.end()) {
        return kErrorInvalidHandle;
    }
    if (handle->second.Node->Deleted) {
        return kErrorKeyDeleted;
    }
    *node = handle->second.Node;
    *access = handle->second.Access;
    return kErrorSuccess;
}

bool TSubstituteRegistry::Fails(const std::string& operation, const std::string& name) const {
    return FFault && FFault(operation, name);
}

bool TSubstituteRegistry::ReadFails(const std::string& operation, const std::string& name) const {
    return FReadFault && FReadFault(operation, name);
}

long TSubstituteRegistry::Walk(HKey parent, std::string_view subKey, bool create, TRegView view,
                               std::shared_ptr<TNode>* node) {
    std::uint32_t access = 0;
    std::shared_ptr<TNode> at;
    if (const long rc = Resolve(parent, &at, &access); rc != kErrorSuccess) {
        return rc;
    }
    std::vector<std::string> parts = SplitPath(subKey);
    // The 32-bit view of the machine's SOFTWARE is its WOW6432Node subkey.
    if (parent == kHKeyLocalMachine && (view & kRegView32) != 0 && FTwoViews && !parts.empty() &&
        SameText(parts[0], "SOFTWARE") && (parts.size() < 2 || !SameText(parts[1], kWow64Node))) {
        parts.insert(parts.begin() + 1, kWow64Node);
    }
    for (const std::string& part : parts) {
        std::shared_ptr<TNode> next = at->Find(part);
        if (!next) {
            if (!create) {
                return kErrorFileNotFound;
            }
            if (Utf8ToUtf16(part).size() > 255) {
                return kErrorInvalidParameter;
            }
            if (at->RefusesWrite || Fails("CreateKey", part)) {
                return kErrorAccessDenied;
            }
            next = std::make_shared<TNode>();
            next->Name = part;
            next->Key = FoldName(part);
            next->Parent = at.get();
            at->Subkeys.insert(at->Place(next->Key), next);
        }
        at = next;
    }
    *node = at;
    return kErrorSuccess;
}

HKey TSubstituteRegistry::NewHandle(std::shared_ptr<TNode> node, std::uint32_t access) {
    const HKey handle = FNextHandle;
    FNextHandle += 4;
    FHandles[handle] = THandle{std::move(node), access};
    return handle;
}

long TSubstituteRegistry::OpenKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) {
    std::lock_guard<std::mutex> guard(FLock);
    if (ReadFails("OpenKey", std::string(subKey))) {
        return kErrorAccessDenied;
    }
    std::shared_ptr<TNode> node;
    if (const long rc = Walk(parent, subKey, false, access, &node); rc != kErrorSuccess) {
        return rc;
    }
    if ((access & kWriteBits) != 0 && node->RefusesWrite) {
        return kErrorAccessDenied;
    }
    *result = NewHandle(node, access);
    return kErrorSuccess;
}

long TSubstituteRegistry::CreateKey(HKey parent, std::string_view subKey, std::uint32_t access,
                                    HKey* result) {
    std::lock_guard<std::mutex> guard(FLock);
    std::shared_ptr<TNode> node;
    if (const long rc = Walk(parent, subKey, true, access, &node); rc != kErrorSuccess) {
        return rc;
    }
    if ((access & kWriteBits) != 0 && node->RefusesWrite) {
        return kErrorAccessDenied;
    }
    *result = NewHandle(node, access);
    return kErrorSuccess;
}

long TSubstituteRegistry::CloseKey(HKey key) {
    std::lock_guard<std::mutex> guard(FLock);
    if (FRoots.count(key) != 0) {
        return kErrorSuccess;
    }
    return FHandles.erase(key) != 0 ? kErrorSuccess : kErrorInvalidHandle;
}

long TSubstituteRegistry::EnumKey(HKey key, std::uint32_t index, std::string* name) {
    std::lock_guard<std::mutex> guard(FLock);
    std::shared_ptr<TNode> node;
    std::uint32_t access = 0;
    if (const long rc = Resolve(key, &node, &access); rc != kErrorSuccess) {
        return rc;
    }
    if (index >= node->Subkeys.size()) {
        return kErrorNoMoreItems;
    }
    if (ReadFails("EnumKey", node->Name)) {
        return kErrorAccessDenied;
    }
    *name = node->Subkeys[index]->Name;
    return kErrorSuccess;
}

long TSubstituteRegistry::EnumValue(HKey key, std::uint32_t index, std::string* name) {
    std::lock_guard<std::mutex> guard(FLock);
    std::shared_ptr<TNode> node;
    std::uint32_t access = 0;
    if (const long rc = Resolve(key, &node, &access); rc != kErrorSuccess) {
        return rc;
    }
    if (index >= node->Values.size()) {
        return kErrorNoMoreItems;
    }
    if (ReadFails("EnumValue", node->Name)) {
        return kErrorAccessDenied;
    }
    *name = node->Values[index].Name;
    return kErrorSuccess;
}

long TSubstituteRegistry::EnumValueData(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                                        std::vector<std::uint8_t>* data) {
    std::lock_guard<std::mutex> guard(FLock);
    std::shared_ptr<TNode> node;
    std::uint32_t access = 0;
    if (const long rc = Resolve(key, &node, &access); rc != kErrorSuccess) {
        return rc;
    }
    if ((access & kKeyQueryValue) == 0) {
        return kErrorAccessDenied;
    }
    if (index >= node->Values.size()) {
        return kErrorNoMoreItems;
    }
    // Both reads in one: the enumeration's (with the key's name) and the
    // value's (with its own).
    const TNode::TValue& value = node->Values[index];
    if (ReadFails("EnumValue", node->Name) || ReadFails("QueryValue", value.Name)) {
        return kErrorAccessDenied;
    }
    *name = value.Name;
    *type = value.Type;
    *data = value.Data;
    return kErrorSuccess;
}

long TSubstituteRegistry::QueryValue(HKey key, std::string_view name, std::uint32_t* type,
                                     std::vector<std::uint8_t>* data) {
    const std::string normalized = Normalize(name);
    name = normalized;
    std::lock_guard<std::mutex> guard(FLock);
    std::shared_ptr<TNode> node;
    std::uint32_t access = 0;
    if (const long rc = Resolve(key, &node, &access); rc != kErrorSuccess) {
        return rc;
    }
    if ((access & kKeyQueryValue) == 0 || ReadFails("QueryValue", std::string(name))) {
        return kErrorAccessDenied;
    }
    const TNode::TValue* value = node->FindValue(name);
    if (value == nullptr) {
        return kErrorFileNotFound;
    }
    *type = value->Type;
    *data = value->Data;
    return kErrorSuccess;
}

long TSubstituteRegistry::SetValue(HKey key, std::string_view name, std::uint32_t type,
                                   const std::vector<std::uint8_t>& data) {
    const std::string normalized = Normalize(name);
    name = normalized;
    std::lock_guard<std::mutex> guard(FLock);
    std::shared_ptr<TNode> node;
    std::uint32_t access = 0;
    if (const long rc = Resolve(key, &node, &access); rc != kErrorSuccess) {
        return rc;
    }
    if ((access & kKeySetValue) == 0 || node->RefusesWrite || Fails("SetValue", std::string(name))) {
        return kErrorAccessDenied;
    }
    if (Utf8ToUtf16(name).size() > 16383) {
        return kErrorInvalidParameter;
    }
    if (TNode::TValue* value = node->FindValue(name)) {
        value->Type = type;
        value->Data = data;
    } else {
        node->Values.push_back({std::string(name), type, data});
    }
    return kErrorSuccess;
}

long TSubstituteRegistry::DeleteValue(HKey key, std::string_view name) {
    const std::string normalized = Normalize(name);
    name = normalized;
    std::lock_guard<std::mutex> guard(FLock);
    std::shared_ptr<TNode> node;
    std::uint32_t access = 0;
    if (const long rc = Resolve(key, &node, &access); rc != kErrorSuccess) {
        return rc;
    }
    if ((access & kKeySetValue) == 0 || node->RefusesWrite || Fails("DeleteValue", std::string(name))) {
        return kErrorAccessDenied;
    }
    const auto it = std::find_if(node->Values.begin(), node->Values.end(),
                                 [&](const TNode::TValue& v) { return SameText(v.Name, name); });
    if (it == node->Values.end()) {
        return kErrorFileNotFound;
    }
    node->Values.erase(it);
    return kErrorSuccess;
}

long TSubstituteRegistry::OpenKeyAsLink(HKey parent, std::string_view subKey, std::uint32_t access,
                                        HKey* result, bool* isLink) {
    *isLink = false; // this registry holds no links
    return OpenKey(parent, subKey, access, result);
}

long TSubstituteRegistry::DeleteKey(HKey parent, std::string_view subKey, TRegView view) {
    std::lock_guard<std::mutex> guard(FLock);
    if (SplitPath(subKey).empty()) {
        return kErrorAccessDenied;
    }
    std::shared_ptr<TNode> node;
    if (const long rc = Walk(parent, subKey, false, view, &node); rc != kErrorSuccess) {
        return rc;
    }
    // Deleting needs the key's own right to be deleted, not its parent's.
    TNode* owner = node->Parent;
    if (!node->Subkeys.empty() || node->RefusesWrite || Fails("DeleteKey", node->Name)) {
        return kErrorAccessDenied;
    }
    node->Deleted = true;
    auto& siblings = owner->Subkeys;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    return kErrorSuccess;
}

void TSubstituteRegistry::SetRefusesWrite(HKey root, const std::string& path, bool refuses) {
    std::lock_guard<std::mutex> guard(FLock);
    std::shared_ptr<TNode> node;
    if (Walk(root, path, false, kRegViewNative, &node) == kErrorSuccess) {
        node->RefusesWrite = refuses;
    }
}

bool TSubstituteRegistry::HasTwoViews() const {
    return FTwoViews;
}

void TSubstituteRegistry::SetTwoViews(bool two) {
    FTwoViews = two;
}

void TSubstituteRegistry::SetFault(TFault fault) {
    std::lock_guard<std::mutex> guard(FLock);
    FFault = std::move(fault);
}

void TSubstituteRegistry::SetReadFault(TFault fault) {
    std::lock_guard<std::mutex> guard(FLock);
    FReadFault = std::move(fault);
}

std::size_t TSubstituteRegistry::OpenHandleCount() const {
    std::lock_guard<std::mutex> guard(FLock);
    return FHandles.size();
}

} // namespace cv
