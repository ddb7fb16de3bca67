// Value lines of the details dialog. The input first lays down the values
// the entry's key holds (any names, any types, odd type numbers, raw data of
// any length), then gives lines to write. Whatever the key holds, writing
// back the lines (or rows) just read changes nothing, byte for byte; lines
// refused with ERegistryError have written nothing; the key's subkeys are
// never touched.
#include "contract/KeyValues.h"
#include "fuzz/FuzzInput.h"
#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"

using namespace cv;

namespace {

constexpr std::uint32_t kTypes[] = {kRegNone,           kRegSz,   kRegExpandSz, kRegBinary, kRegDword,
                                    kRegDwordBigEndian, kRegLink, kRegMultiSz,  kRegQword};
constexpr std::size_t kTypeCount = sizeof kTypes / sizeof kTypes[0];

// A known type, a small odd type number, or any 32-bit one.
std::uint32_t TakeType(fuzz::TReader& in) {
    const std::uint8_t pick = in.Byte();
    if (pick < 0x80) {
        return pick < 2 * kTypeCount ? kTypes[pick % kTypeCount] : pick;
    }
    return in.Word32();
}

// Data of any length: one length byte, or 255 and two more for longer data.
std::vector<std::uint8_t> TakeData(fuzz::TReader& in) {
    std::size_t length = in.Byte();
    if (length == 255) {
        length = in.Byte() | (in.Byte() << 8);
    }
    return in.Bytes(length);
}

// The key with its values and subkeys, whole.
test::TKeyTree Key(TSubstitutePlatform& sub, const std::string& path) {
    return test::KeyTree(sub.Registry, kHKeyCurrentUser, path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::TReader in(data, size);
    TSubstitutePlatform sub;
    const std::string path = std::string(kUninstallKey) + "\\Fuzz";
    {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(path + "\\Sub", true);
        reg.WriteString("Kept", "below");
        reg.OpenKey(path, true);
        const std::size_t count = in.Byte() % 12;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = in.ShortText();
            TRegRawValue value;
            value.Type = TakeType(in);
            value.Data = TakeData(in);
            try {
                reg.WriteRaw(name, value);
            } catch (const ERegistryError&) {
                // a name the registry cannot hold (one with a NUL): not there
            }
        }
    }
    TUninstallItem item(sub.Platform);
    item.RootKey = kHKeyCurrentUser;
    item.KeyPath = path;

    // What the key holds now comes back unchanged through lines and rows.
    const auto laid = Key(sub, path);
    item.WriteValues(item.ReadValues());
    fuzz::Check(Key(sub, path) == laid);
    item.WriteRows(item.ReadRows());
    fuzz::Check(Key(sub, path) == laid);

    // Then the lines the rest of the input gives, cut at 0xFF; no rest at all
    // asks for a key without values.
    std::vector<std::string> lines;
    if (in.RestSize() != 0) {
        lines = fuzz::Parts(in.RestData(), in.RestSize());
    }
    try {
        item.WriteValues(lines);
    } catch (const ERegistryError&) {
        fuzz::Check(Key(sub, path) == laid); // refused: nothing written
        return 0;
    }
    const auto written = Key(sub, path);
    fuzz::Check(written.size() == laid.size() && written.back() == laid.back()); // the subkey as it was
    item.WriteValues(item.ReadValues());
    fuzz::Check(Key(sub, path) == written);
    item.WriteRows(item.ReadRows());
    fuzz::Check(Key(sub, path) == written);
    return 0;
}
