// Every value of a key as the registry holds it, for comparing a key before
// and after a change.
#pragma once

#include "platform/Registry.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace cv::test {

using TKeyValues = std::vector<std::pair<std::string, TRegRawValue>>;

// Names, types and data in enumeration order; empty when the key cannot be opened.
inline TKeyValues KeyValues(IRegistryApi& api, HKey root, const std::string& path) {
    TRegistry reg(api);
    reg.SetRootKey(root);
    TKeyValues values;
    if (!reg.OpenKeyReadOnly(path)) {
        return values;
    }
    for (const std::string& name : reg.GetValueNames()) {
        TRegRawValue value;
        reg.ReadRaw(name, &value);
        values.emplace_back(name, value);
    }
    return values;
}

// The same by name: a value put back after a failed change stands last.
inline TKeyValues SortedByName(TKeyValues values) {
    std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return values;
}

// The key and every key under it, each with its values, parents first and
// subkeys in enumeration order: the whole tree, for comparing byte for byte.
using TKeyTree = std::vector<std::pair<std::string, TKeyValues>>;
inline void AddKeyTree(IRegistryApi& api, HKey root, const std::string& path, const std::string& shown,
                       TKeyTree* tree) {
    TRegistry reg(api);
    reg.SetRootKey(root);
    if (!reg.OpenKeyReadOnly(path)) {
        return;
    }
    tree->emplace_back(shown, KeyValues(api, root, path));
    for (const std::string& name : reg.GetKeyNames()) {
        AddKeyTree(api, root, path + "\\" + name, shown + "\\" + name, tree);
    }
}
inline TKeyTree KeyTree(IRegistryApi& api, HKey root, const std::string& path) {
    TKeyTree tree;
    AddKeyTree(api, root, path, "", &tree);
    return tree;
}

} // namespace cv::test
