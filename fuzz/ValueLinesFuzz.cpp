// Value lines of the details dialog: whatever lines are written, reading
// them back and writing that again changes nothing, byte for byte.
#include "contract/KeyValues.h"
#include "fuzz/FuzzInput.h"
#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"

using namespace cv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parts = fuzz::Parts(data, size);
    TSubstitutePlatform sub;
    const std::string path = std::string(kUninstallKey) + "\\Fuzz";
    {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(path, true);
        reg.WriteInteger("Size", 5);
        reg.WriteRaw("Blob", {kRegBinary, std::vector<std::uint8_t>(parts[0].begin(), parts[0].end())});
        reg.WriteRaw("Odd", {kRegSz, std::vector<std::uint8_t>(parts[0].begin(), parts[0].end())});
    }
    TUninstallItem item(sub.Platform);
    item.RootKey = kHKeyCurrentUser;
    item.KeyPath = path;
    parts.erase(parts.begin());
    try {
        item.WriteValues(parts);
    } catch (const ERegistryError&) {
        return 0; // a name the registry refuses, such as one too long
    }
    const auto written = test::KeyValues(sub.Registry, kHKeyCurrentUser, path);
    item.WriteValues(item.ReadValues());
    fuzz::Check(test::KeyValues(sub.Registry, kHKeyCurrentUser, path) == written);
    return 0;
}
