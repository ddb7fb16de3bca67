#include "inventory/FileInfo.h"
#include "inventory/UninstallManager.h"
#include "inventory/VersionResource.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

struct TEntrySpec {
    const char* Name;
    const char* Command;
    const char* Icon;
    const char* Location;
};

class BadEntriesTest : public ::testing::Test {
protected:
    BadEntriesTest() {
        auto& f = Sub.Files;
        f.AddFile("C:\\Apps\\Icon\\app.ico", "ICON");
        f.AddFile("C:\\Apps\\Icon\\uninst.exe", "MZ");
        f.AddFile("C:\\Apps\\Quoted\\q.exe", "MZ");
        f.AddFile("C:\\Apps\\Sizes\\small.exe", std::string(1000, 'x'));
        f.AddFile("C:\\Apps\\Sizes\\big.exe", std::string(2000, 'x'));
        f.AddFile("C:\\Apps\\Sizes\\bigger.dll", std::string(5000, 'x'));
        f.AddFile("C:\\Apps\\Sizes\\u.exe", std::string(1500, 'x'));
        f.AddFile("C:\\Windows\\System32\\msiexec.exe", "MZ");
        f.AddFile("C:\\Windows\\hh.exe", "MZ");
        f.AddFile("C:\\Apps\\NoExe\\readme.txt", "x");
        f.AddFile("C:\\Apps\\Dot\\.hidden.exe", "MZ");
        Sub.Shell.SetFileIcon("C:\\Apps\\Icon\\app.ico", 41);
        Sub.Shell.SetFileIcon("C:\\Apps\\Sizes\\big.exe", 42);
        Sub.Shell.SetFileIcon("C:\\Apps\\Quoted\\q.exe", 43);
    }

    void Add(const TEntrySpec& e) {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\" + e.Name, true));
        reg.WriteString("DisplayName", e.Name);
        for (const auto& [value, text] :
             {std::pair{"UninstallString", e.Command}, std::pair{"DisplayIcon", e.Icon},
              std::pair{"InstallLocation", e.Location}}) {
            if (text != nullptr) {
                reg.WriteString(value, text);
            }
        }
    }

    TUninstallItem& Item(const std::string& name) {
        for (auto& pair : Manager.Items) {
            if (pair.first == name) {
                return *pair.second;
            }
        }
        throw std::runtime_error("no entry " + name);
    }

    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    TUninstallManager Manager{Sub.Platform, Info};
};

TEST_F(BadEntriesTest, OwnIconsGetOneIndexEachAtCreation) {
    EXPECT_GE(Manager.InstallIconIndex, 0);
    EXPECT_GE(Manager.RubbishIconIndex, 0);
    EXPECT_NE(Manager.InstallIconIndex, Manager.RubbishIconIndex);
    EXPECT_EQ(Manager.LargeImages, Sub.Shell.GetSystemImageLists().Large);
}

TEST_F(BadEntriesTest, ApplicationFilesAndIconsFollowTheirRules) {
    const TEntrySpec entries[] = {
        {"IconWithIndex", "C:\\Apps\\Icon\\uninst.exe", "C:\\Apps\\Icon\\app.ico,3", nullptr},
        {"QuotedIcon", "x", "\"C:\\Apps\\Quoted\\q.exe\",0", "C:\\Apps\\Quoted"},
        {"Largest", "C:\\Apps\\Sizes\\u.exe /x", nullptr, nullptr},
        {"LargestByLocation", "gone.exe", "C:\\Gone\\x.ico", "C:\\Apps\\Sizes"},
        {"SystemUninstaller", "MsiExec.exe /X{1}", nullptr, nullptr},
        {"WindowsFolder", "x", nullptr, "C:\\Windows\\"},
        {"WindowsFolderNoSlash", "x", nullptr, "C:\\Windows"},
        {"NoExecutables", "x", nullptr, "C:\\Apps\\NoExe"},
        {"DotFile", "x", nullptr, "C:\\Apps\\Dot"},
        {"RelativeFolder", "x", nullptr, ".\\Apps\\Sizes"},
        {"Gone", "C:\\Gone\\u.exe", "C:\\Gone\\g.ico", "C:\\Gone"},
        {"NotAnApp", nullptr, nullptr, nullptr},
    };
    for (const TEntrySpec& e : entries) {
        Add(e);
    }
    Manager.SetCheckFiles(false);
    Manager.Refresh();
    for (const auto& pair : Manager.Items) {
        EXPECT_EQ(Manager.GetIconIndex(*pair.second), Manager.InstallIconIndex) << pair.first;
    }
    EXPECT_EQ(Manager.BadCount, 0);

    Manager.SetCheckFiles(true);
    Manager.FindBadEntries();
    struct TExpect {
        const char* Name;
        const char* File;
        int Icon; // -1: the generic icon, -2: the bad-entry icon
    };
    const TExpect expected[] = {
        {"IconWithIndex", "C:\\Apps\\Icon\\app.ico", 41},
        {"QuotedIcon", "C:\\Apps\\Quoted\\q.exe", 43},
        {"Largest", "C:\\Apps\\Sizes\\big.exe", 42},
        {"LargestByLocation", "C:\\Apps\\Sizes\\big.exe", 42},
        {"SystemUninstaller", kInstallMarker, -1},
        {"WindowsFolder", kInstallMarker, -1},
        {"WindowsFolderNoSlash", "C:\\Windows\\hh.exe", 0},
        {"NoExecutables", kInstallMarker, -1},
        // A path that starts with "." (a relative one) never stands for an
        // application; a file whose own name starts with one does.
        {"DotFile", "C:\\Apps\\Dot\\.hidden.exe", 0},
        {"RelativeFolder", kInstallMarker, -1},
        {"Gone", kRubbishMarker, -2},
        {"NotAnApp", kInstallMarker, -1},
    };
    for (const TExpect& e : expected) {
        const TUninstallItem& item = Item(e.Name);
        EXPECT_EQ(Manager.GetApplicationFile(item), e.File) << e.Name;
        const int icon = e.Icon == -1   ? Manager.InstallIconIndex
                         : e.Icon == -2 ? Manager.RubbishIconIndex
                                        : e.Icon;
        EXPECT_EQ(Manager.GetIconIndex(item), icon) << e.Name;
    }
    EXPECT_EQ(Sub.Shell.LiveIcons(), 0); // every icon handle went back
}

TEST_F(BadEntriesTest, OnlyApplicationsWithNothingLeftAreBad) {
    const TEntrySpec entries[] = {
        {"IconOnly", "C:\\Gone\\u.exe", "C:\\Apps\\Icon\\app.ico", nullptr},
        {"ExecutableOnly", "C:\\Apps\\Icon\\uninst.exe /S", "C:\\Gone\\x.ico", nullptr},
        {"FolderOnly", "C:\\Gone\\u.exe", nullptr, "C:\\Apps\\NoExe"},
        // The icon file is looked for without its quotes: it alone keeps the entry.
        {"QuotedIconOnly", "C:\\Gone\\u.exe", "\"C:\\Apps\\Icon\\app.ico\",0", nullptr},
        {"QuotedIconGone", "C:\\Gone\\u.exe", "\"C:\\Gone\\x.ico\"", nullptr},
        {"Gone", "C:\\Gone\\u.exe", "C:\\Gone\\x.ico,0", "C:\\Gone"},
        {"GoneButNoCommand", nullptr, "C:\\Gone\\x.ico", nullptr},
    };
    for (const TEntrySpec& e : entries) {
        Add(e);
    }
    Add({"Unnamed", "C:\\Gone\\u.exe", nullptr, nullptr});
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(std::string(kUninstallKey) + "\\Unnamed", false);
        reg.DeleteValue("DisplayName");
    }
    Manager.SetCheckFiles(true);
    Manager.Refresh(); // runs the scan itself while checks are on
    std::vector<std::string> bad;
    for (const auto& pair : Manager.BadItems) {
        bad.push_back(pair.first);
        EXPECT_TRUE(pair.second->Bad);
    }
    EXPECT_EQ(bad, (std::vector<std::string>{"Gone", "QuotedIconGone"}));
    EXPECT_EQ(Manager.BadCount, 2);
    EXPECT_FALSE(Item("QuotedIconOnly").Bad);
    EXPECT_FALSE(Item("GoneButNoCommand").Bad);
    EXPECT_FALSE(Item("FolderOnly").Bad);

    Manager.DeleteEntry(&Item("Gone"));
    EXPECT_EQ(Manager.BadCount, 1);
    ASSERT_EQ(Manager.BadItems.size(), 1u);
    EXPECT_EQ(Manager.BadItems[0].first, "QuotedIconGone");
}

TEST(FileInfo, VersionStringsComeFromTheFirstTranslation) {
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\Apps\\tool.exe", "MZ");
    sub.Shell.SetTypeName(".exe", "Application");
    sub.Shell.SetFileVersionInfo("C:\\Apps\\tool.exe",
                                 BuildVersionResource(0x0409, 0x04B0,
                                                      {{"CompanyName", "Moxtel Ltd."},
                                                       {"FileVersion", "1.2.3.4"},
                                                       {"ProductName", "Caf\xC3\xA9 Tool"},
                                                       {"LegalCopyRight", "(c) 2026"},
                                                       {"Comments", ""}}));
    const TFileVersionInfo info = TFileInfo(sub.Platform, "C:\\Apps\\tool.exe").GetVersionInfo();
    EXPECT_EQ(info.TypeName, "Application");
    EXPECT_EQ(info.CompanyName, "Moxtel Ltd.");
    EXPECT_EQ(info.FileVersion, "1.2.3.4");
    EXPECT_EQ(info.ProductName, "Caf\xC3\xA9 Tool");
    EXPECT_EQ(info.LegalCopyRight, "(c) 2026");
    EXPECT_EQ(info.InternalName, "");
    std::string text;
    const auto resource = sub.Shell.FileVersionInfo("C:\\Apps\\tool.exe");
    EXPECT_TRUE(VerQueryString(resource, "\\StringFileInfo\\040904B0\\FileVersion", &text));
    EXPECT_TRUE(VerQueryString(resource, "\\stringfileinfo\\040904b0\\fileversion", &text));
    EXPECT_FALSE(VerQueryString(resource, "\\StringFileInfo\\04090000\\FileVersion", &text));

    const TFileVersionInfo none = TFileInfo(sub.Platform, "C:\\missing.exe").GetVersionInfo();
    EXPECT_EQ(none.TypeName + none.CompanyName + none.FileVersion, "");
    // Damaged resources give empty texts, never a crash.
    auto broken = resource;
    for (std::size_t cut : {std::size_t{0}, std::size_t{5}, resource.size() / 2}) {
        broken.assign(resource.begin(), resource.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(VerQueryString(broken, "\\StringFileInfo\\040904B0\\FileVersion", &text));
    }
    broken = resource;
    broken[0] = 0xFF, broken[1] = 0xFF; // a length past the end
    EXPECT_FALSE(VerQueryString(broken, "\\StringFileInfo\\040904B0\\FileVersion", &text));
}

TEST(FileInfo, ShellKindsAndMissingFiles) {
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\a.exe", "MZ");
    sub.Shell.SetFileIcon("C:\\a.exe", 7);
    TFileInfo file(sub.Platform, "C:\\a.exe");
    for (int kind : {0, 1, 2, 7}) {
        const TShellFileInfo info = file.GetShellInfo(kind);
        EXPECT_EQ(info.IconIndex, 7);
        EXPECT_NE(info.Icon, 0u);
        sub.Shell.DestroyIcon(info.Icon);
    }
    TFileInfoManager manager(sub.Platform);
    EXPECT_EQ(manager.GetIconIndex("C:\\a.exe"), 7);
    EXPECT_EQ(manager.GetIconIndex("C:\\missing.exe"), 0);
    EXPECT_EQ(sub.Shell.LiveIcons(), 0);
}

} // namespace

} // namespace cv::test
