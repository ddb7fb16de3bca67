// The names file of the last run: any bytes load, and every name of the
// inventory that the file lists is never marked new. And whatever the names
// hold (line breaks of every kind, a byte order mark), an inventory saved
// and read again next time has none of its entries marked new, and its
// names without line breaks stay lines of their own, as older versions
// read them.
#include "fuzz/FuzzInput.h"
#include "inventory/UninstallManager.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/TextLines.h"
#include "platform/substitute/SubstitutePlatform.h"

using namespace cv;

namespace {

// Entries named after the input's parts (cut at 0xFF), saved, then read
// as the next run does.
void SaveAndLoad(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> names = fuzz::Parts(data, size);
    TSubstitutePlatform sub;
    {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        for (std::size_t i = 0; i < names.size() && i < 8; ++i) {
            reg.OpenKey(std::string(kUninstallKey) + "\\k" + std::to_string(i), true);
            reg.WriteString("DisplayName", names[i]);
        }
    }
    TFileInfoManager info(sub.Platform);
    TUninstallManager manager(sub.Platform, info);
    manager.Refresh();
    manager.SaveNames(kNamesFile);

    std::string text;
    fuzz::Check(sub.Files.ReadFile("C:\\lastuninstall.dat", &text));
    const std::vector<std::string> lines = SplitTextLines(text);
    fuzz::Check(lines.size() == manager.Items.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& name = manager.Items[i].second->DisplayName;
        if (name.find_first_of("\r\n") == std::string::npos) {
            fuzz::Check(lines[i] == name);
        }
    }

    TUninstallManager next(sub.Platform, info);
    next.Refresh();
    next.LoadLastNames(kNamesFile);
    next.MarkNewEntries();
    fuzz::Check(!next.HasNew);
    for (const auto& pair : next.Items) {
        fuzz::Check(!pair.second->New);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SaveAndLoad(data, size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\lastuninstall.dat", text);
    const std::vector<std::string> lines = SplitTextLines(text);
    for (const std::string& line : lines) {
        fuzz::Check(line.find('\r') == std::string::npos && line.find('\n') == std::string::npos);
    }
    // Entries named after the first lines, in other letter cases.
    {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        for (std::size_t i = 0; i < lines.size() && i < 8; ++i) {
            reg.OpenKey(std::string(kUninstallKey) + "\\k" + std::to_string(i), true);
            reg.WriteString("DisplayName", UpperText(lines[i]));
        }
    }
    TFileInfoManager info(sub.Platform);
    TUninstallManager manager(sub.Platform, info);
    manager.Refresh();
    manager.LoadLastNames(kNamesFile);
    manager.MarkNewEntries();
    for (const auto& pair : manager.Items) {
        // A name that went through the registry is the UTF-16 form of the line.
        bool listed = false;
        for (const std::string& line : lines) {
            listed = listed || SameText(line, pair.first);
        }
        fuzz::Check(!listed || !pair.second->New);
    }
    // Saving and loading again gives the inventory's names back.
    manager.SaveNames(kNamesFile);
    TUninstallManager again(sub.Platform, info);
    again.Refresh();
    again.LoadLastNames(kNamesFile);
    fuzz::Check(again.LastNames.size() == manager.Items.size());
    return 0;
}
