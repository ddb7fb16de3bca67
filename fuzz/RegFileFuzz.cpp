// .reg files: any bytes import without harm, and whatever was imported
// exports and imports again into exactly the same registry.
#include "fuzz/FuzzInput.h"
#include "platform/RegFile.h"
#include "platform/substitute/SubstituteRegistry.h"

#include <vector>

using namespace cv;

namespace {

void Dump(IRegistryApi& api, HKey root, const std::string& path, std::vector<std::string>& out) {
    HKey key = 0;
    if (api.OpenKey(root, path, kKeyRead, &key) != kErrorSuccess) {
        return;
    }
    out.push_back("[" + path + "]");
    std::string name;
    for (std::uint32_t i = 0; api.EnumValue(key, i, &name) == kErrorSuccess; ++i) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        api.QueryValue(key, name, &type, &data);
        out.push_back(name + "|" + std::to_string(type) + "|" + std::string(data.begin(), data.end()));
    }
    std::vector<std::string> subkeys;
    for (std::uint32_t i = 0; api.EnumKey(key, i, &name) == kErrorSuccess; ++i) {
        subkeys.push_back(name);
    }
    api.CloseKey(key);
    for (const std::string& sub : subkeys) {
        Dump(api, root, path.empty() ? sub : path + "\\" + sub, out);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TSubstituteRegistry first;
    ImportRegFile(first, bytes);
    for (HKey root : {kHKeyLocalMachine, kHKeyCurrentUser, kHKeyClassesRoot, kHKeyUsers}) {
        std::string exported;
        if (!ExportRegFile(first, RootKeyName(root), &exported)) {
            continue;
        }
        TSubstituteRegistry second;
        fuzz::Check(ImportRegFile(second, exported));
        std::vector<std::string> a;
        std::vector<std::string> b;
        Dump(first, root, "", a);
        Dump(second, root, "", b);
        fuzz::Check(a == b);
    }
    return 0;
}
