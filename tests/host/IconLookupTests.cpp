// One icon cycle's look at the entries: the same answers as the inventory's
// own checks, with every path, folder and icon file asked once, whatever the
// case it is written in.
#include "inventory/IconLookup.h"

#include "GatedFiles.h"
#include "inventory/UninstallManager.h"
#include "platform/TextCase.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

// The substitute shell, counting what it is asked for each file's icon.
class TCountingShell : public TSubstituteShell {
public:
    using TSubstituteShell::TSubstituteShell;
    bool ShellFileInfo(const std::string& path, std::uint32_t flags, TShellFileInfo* info) override {
        ++Asked[UpperText(path)];
        return TSubstituteShell::ShellFileInfo(path, flags, info);
    }
    std::map<std::string, int> Asked;
};

} // namespace

TEST(IconLookup, AnswersAsTheInventoryDoesAskingEachPathAndIconFileOnce) {
    TSubstitutePlatform sub;
    TCountingShell shell(sub.Registry, sub.Files);
    shell.AddIconResource("Z_INSTALL");
    shell.AddIconResource("Z_RUBBISH");
    TGatedFiles files(sub.Files);
    const TPlatform counted{sub.Registry, files, shell, sub.Processes, sub.Locale, {}};
    const TPlatform plain{sub.Registry, sub.Files, shell, sub.Processes, sub.Locale, {}};

    sub.Files.AddFile("C:\\Apps\\Shared\\run.exe", "MZ");
    sub.Files.AddFile("C:\\Apps\\Shared\\uninst.exe", "MZ");
    sub.Files.AddFile("C:\\Apps\\Own\\own.exe", "MZ");
    sub.Files.AddFile("C:\\Apps\\NoIcon\\big.exe", "MZ....");
    sub.Files.AddFile("C:\\Apps\\NoIcon\\small.exe", "MZ");
    shell.SetFileIcon("C:\\Apps\\Shared\\run.exe", 501);
    shell.SetFileIcon("C:\\Apps\\Own\\own.exe", 502);
    shell.SetFileIcon("C:\\Apps\\NoIcon\\big.exe", 503);

    struct TRow {
        const char* Uninstall;
        const char* Icon;
        const char* Location;
    };
    const TRow rows[] = {
        {"\"C:\\Apps\\Shared\\uninst.exe\" /S", "C:\\Apps\\Shared\\run.exe,0", "C:\\Apps\\Shared"},
        {"\"c:\\apps\\shared\\UNINST.EXE\" /x", "c:\\APPS\\shared\\Run.exe", "c:\\apps\\SHARED"},
        {"C:\\Apps\\Own\\own.exe /u", "C:\\Apps\\Own\\own.exe", ""},
        {"C:\\Apps\\Own\\own.exe /u", "C:\\Apps\\Own\\missing.ico", "C:\\Apps\\NoIcon"},
        {"C:\\Apps\\Own\\OWN.exe /u", "", "C:\\APPS\\NOICON"},
        {"C:\\Gone\\uninst.exe", "C:\\Gone\\app.ico", "C:\\Gone"},
        {"C:\\GONE\\UNINST.EXE /q", "", "c:\\gone"},
        {"MsiExec.exe /X{1234}", "", ""},
    };
    TFileInfoManager info(counted);
    TUninstallManager inventory(counted, info);
    inventory.SetCheckFiles(true);

    std::vector<TUninstallItem> entries;
    for (const TRow& row : rows) {
        TUninstallItem entry(counted); // its own questions about files count too
        entry.DisplayName = row.Uninstall;
        entry.UninstallString = row.Uninstall;
        entry.DisplayIcon = row.Icon;
        entry.InstallLocation = row.Location;
        entries.push_back(entry);
    }
    // The inventory's own answers, one look at a time.
    std::vector<TIconLookup::TLook> expected;
    for (TUninstallItem entry : entries) {
        entry.Bad = inventory.IsEntryGone(entry);
        expected.push_back({entry.Bad, inventory.GetIconIndex(entry)});
    }
    shell.Asked.clear();
    files.ResetAsked();

    const auto lookup = inventory.MakeIconLookup();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(rows[i].Uninstall);
        TUninstallItem copy = entries[i];
        const TIconLookup::TLook look = lookup->Look(copy);
        EXPECT_EQ(look.Bad, expected[i].Bad);
        EXPECT_EQ(copy.Bad, expected[i].Bad);
        EXPECT_EQ(look.Image, expected[i].Image);
    }
    EXPECT_EQ(expected[1].Image, 501) << "the shared icon file, written another way";
    EXPECT_EQ(expected[4].Image, 503) << "the largest program of the folder";
    EXPECT_TRUE(expected[5].Bad);
    for (const auto& [path, times] : files.Asked()) {
        EXPECT_EQ(times, 1) << path;
    }
    for (const auto& [path, times] : shell.Asked) {
        EXPECT_EQ(times, 1) << path;
    }
    EXPECT_EQ(shell.Asked.size(), 3u) << "run.exe, own.exe and big.exe";
}

} // namespace cv::test
