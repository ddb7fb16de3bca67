// Deleting a key with all it holds. The input grows a tree of keys and values
// under the roots and views of the registry (names in several letter cases,
// odd characters, "..", WOW6432Node), makes some keys refuse deleting, then
// deletes along paths of every shape: empty, only backslashes, trailing or
// doubled backslashes, NULs, the other view's paths, missing keys. Whatever
// the path, only the key it names goes, with everything under it, and the
// rest of the registry stays as it was, byte for byte; a tree holding a key
// that refuses deleting stays whole.
#include "contract/KeyValues.h"
#include "fuzz/FuzzInput.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <optional>

using namespace cv;

namespace {

struct TPlace {
    HKey Root;
    TRegView View;
};
constexpr TPlace kPlaces[] = {
    {kHKeyCurrentUser, kRegViewNative}, {kHKeyLocalMachine, kRegViewNative},
    {kHKeyLocalMachine, kRegView64},    {kHKeyLocalMachine, kRegView32},
    {kHKeyUsers, kRegViewNative},       {kHKeyClassesRoot, kRegViewNative},
};
constexpr HKey kRoots[] = {kHKeyClassesRoot, kHKeyCurrentUser, kHKeyLocalMachine, kHKeyUsers};

// Names that meet: the same in other letter cases (Latin, Greek, Cyrillic),
// the 32-bit view's key, dots, blanks, the replacement character and a byte
// that is no UTF-8.
constexpr const char* kNames[] = {
    "SOFTWARE", "software", "WOW6432Node", "wow6432node",  "App",      "APP",       "app",       "..",
    ".",        " ",        "a b",         "x.y",          "\xC3\x84", "\xC3\xA4",  "\xCE\xA3",  "\xCF\x83",
    "\xCF\x82", "\xD0\x96", "\xD0\xB6",    "\xEF\xBF\xBD", "\xFF",     "Microsoft", "Uninstall", "{GUID}",
};
constexpr std::size_t kNameCount = sizeof kNames / sizeof kNames[0];

TPlace TakePlace(fuzz::TReader& in) {
    return kPlaces[in.Byte() % (sizeof kPlaces / sizeof kPlaces[0])];
}

// One part of a path: a name of the list, or a few bytes of the input
// (which may hold backslashes and NULs themselves).
std::string TakeName(fuzz::TReader& in) {
    const std::uint8_t pick = in.Byte();
    if (pick < 0xC0) {
        return kNames[pick % kNameCount];
    }
    return in.Text(pick & 0x0F);
}

std::string TakePath(fuzz::TReader& in, std::size_t maxParts) {
    const std::size_t parts = 1 + in.Byte() % maxParts;
    std::string path = TakeName(in);
    for (std::size_t i = 1; i < parts; ++i) {
        path += "\\" + TakeName(in);
    }
    return path;
}

// A path to delete: also the empty path, backslashes alone, and paths with
// extra backslashes at either end, doubled ones or a NUL inside.
std::string TakeDeletePath(fuzz::TReader& in) {
    const std::uint8_t shape = in.Byte();
    switch (shape % 16) {
    case 0:
        return "";
    case 1:
        return "\\";
    case 2:
        return "\\\\";
    default:
        break;
    }
    std::string path = TakePath(in, 5);
    if ((shape & 0x10) != 0) {
        path = "\\" + path;
    }
    if ((shape & 0x20) != 0) {
        path += "\\";
    }
    if ((shape & 0x40) != 0) {
        path += "\\\\";
    }
    if ((shape & 0x80) != 0) {
        const std::size_t at = in.Byte() % (path.size() + 1);
        path.insert(at, (in.Byte() & 1) != 0 ? std::string(1, '\0') : std::string("\\\\"));
    }
    return path;
}

// Every key of the registry with its values: the root and the parts of its path.
struct TKey {
    HKey Root;
    std::vector<std::string> Parts;
    test::TKeyValues Values;
    bool operator==(const TKey&) const = default;
};
using TWhole = std::vector<TKey>;

std::vector<std::string> SplitParts(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

TWhole Whole(IRegistryApi& api) {
    TWhole whole;
    for (const HKey root : kRoots) {
        for (auto& entry : test::KeyTree(api, root, "")) {
            whole.push_back({root, SplitParts(entry.first), std::move(entry.second)});
        }
    }
    return whole;
}

std::string JoinParts(const std::vector<std::string>& parts) {
    std::string path;
    for (const std::string& part : parts) {
        path += (path.empty() ? "" : "\\") + part;
    }
    return path;
}

// The key a path names in a view, as the parts of its path from the root.
// A path naming the root itself, or holding a NUL or an empty part (which
// the wide API would read as another path), names none.
std::optional<std::vector<std::string>> Named(const TPlace& place, bool twoViews, const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::size_t first = path.find_first_not_of('\\');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const std::string relative = path.substr(first, path.find_last_not_of('\\') - first + 1);
    if (relative.find("\\\\") != std::string::npos) {
        return std::nullopt;
    }
    std::vector<std::string> parts = SplitParts(relative);
    // The 32-bit view of the machine's SOFTWARE is its WOW6432Node subkey.
    if (place.Root == kHKeyLocalMachine && (place.View & kRegView32) != 0 && twoViews &&
        SameText(parts[0], "SOFTWARE") && (parts.size() < 2 || !SameText(parts[1], "WOW6432Node"))) {
        parts.insert(parts.begin() + 1, "WOW6432Node");
    }
    return parts;
}

bool IsUnder(const TKey& key, HKey root, const std::vector<std::string>& parts) {
    if (key.Root != root || key.Parts.size() < parts.size()) {
        return false;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (FoldName(key.Parts[i]) != FoldName(parts[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::TReader in(data, size);
    TSubstitutePlatform sub;
    const bool twoViews = (in.Byte() & 1) == 0;
    sub.Registry.SetTwoViews(twoViews);

    // The tree.
    const std::size_t keys = in.Byte() % 24;
    for (std::size_t i = 0; i < keys; ++i) {
        const TPlace place = TakePlace(in);
        TRegistry reg(sub.Registry);
        reg.SetRootKey(place.Root);
        reg.SetView(place.View);
        const std::string path = TakePath(in, 4);
        const std::size_t values = in.Byte() % 3;
        if (!reg.OpenKey(path, true)) {
            continue;
        }
        for (std::size_t v = 0; v < values; ++v) {
            TRegRawValue value;
            const std::string name = in.Text(in.Byte() % 8);
            value.Type = in.Byte() % 12;
            value.Data = in.Bytes(in.Byte() % 16);
            try {
                reg.WriteRaw(name, value);
            } catch (const ERegistryError&) {
            }
        }
    }

    // Keys that refuse deleting, as a user without rights sees them.
    TWhole before = Whole(sub.Registry);
    std::vector<std::pair<HKey, std::vector<std::string>>> refusing;
    for (std::size_t i = in.Byte() % 3; i > 0 && !before.empty(); --i) {
        const TKey& key = before[in.Byte() % before.size()];
        if (!key.Parts.empty()) {
            sub.Registry.SetRefusesWrite(key.Root, JoinParts(key.Parts), true);
            refusing.emplace_back(key.Root, key.Parts);
        }
    }

    for (std::size_t i = 1 + in.Byte() % 3; i > 0; --i) {
        const TPlace place = TakePlace(in);
        const std::string path = TakeDeletePath(in);
        bool deleted = false;
        {
            TRegistry reg(sub.Registry);
            reg.SetRootKey(place.Root);
            reg.SetView(place.View);
            deleted = reg.DeleteKey(path);
        }
        fuzz::Check(sub.Registry.OpenHandleCount() == 0);
        TWhole after = Whole(sub.Registry);
        const auto named = Named(place, twoViews, path);
        if (!named) {
            fuzz::Check(!deleted && after == before);
            continue;
        }
        TWhole expected;
        bool found = false;
        bool refuses = false;
        for (const TKey& key : before) {
            if (!IsUnder(key, place.Root, *named)) {
                expected.push_back(key);
                continue;
            }
            found = true;
            for (const auto& [root, parts] : refusing) {
                refuses = refuses || (root == key.Root && parts == key.Parts);
            }
        }
        if (!found || refuses) {
            // Nothing there to delete, or a tree that must stay whole.
            fuzz::Check(!deleted && after == before);
        } else {
            fuzz::Check(deleted && after == expected);
            TRegistry reg(sub.Registry);
            reg.SetRootKey(place.Root);
            reg.SetView(place.View);
            fuzz::Check(!reg.KeyExists(path));
        }
        before = std::move(after);
    }
    return 0;
}
