#include "inventory/FileCheck.h"
#include "inventory/UninstallManager.h"
#include "platform/Registry.h"
#include "platform/Utils.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(FileCheckText, IconFilesAndVolumesAreReadFromTheTextAlone) {
    const std::pair<const char*, const char*> icons[] = {
        {"C:\\App\\app.exe,0", "C:\\App\\app.exe"},
        {"\"C:\\App\\app.exe\",-101", "C:\\App\\app.exe"},
        {"C:\\A, B\\app.exe", "C:\\A, B\\app.exe"}, // a comma inside the path
        {"C:\\A, B\\app.exe, 2", "C:\\A, B\\app.exe"},
        {"C:\\App\\a,b", "C:\\App\\a,b"},
        {"  \"C:\\App\\app.ico\"  ", "C:\\App\\app.ico"},
        {"\\\\srv\\share\\app.ico,1", "\\\\srv\\share\\app.ico"},
        {",0", ""},
    };
    for (const auto& [text, file] : icons) {
        EXPECT_EQ(IconFilePath(text), file) << text;
    }
    const std::pair<const char*, const char*> volumes[] = {
        {"c:\\App\\x.exe", "C:"},
        {"C:x.exe", "C:"},
        {"\\\\Srv\\Share\\App\\x.exe", "\\\\SRV\\SHARE"},
        {"\\\\?\\d:\\x.exe", "D:"},
        {"\\\\?\\UNC\\srv\\sh\\x.exe", "\\\\SRV\\SH"},
        {"\\\\.\\pipe\\x", ""},
        {"\\\\srv", ""},
        {"\\\\srv\\", ""},
        {"\\App\\x.exe", ""},
        {"App\\x.exe", ""},
        {"x.exe", ""},
    };
    for (const auto& [path, volume] : volumes) {
        EXPECT_EQ(VolumeOf(path), volume) << path;
    }
    // A network program keeps its two leading backslashes, as written or doubled.
    for (const char* line : {"\\\\srv\\share\\uninst.exe /S", "\\\\\\\\srv\\\\share\\\\uninst.exe /S"}) {
        EXPECT_EQ(ProgramCandidates(line).front(), "\\\\srv\\share\\uninst.exe") << line;
    }
}

class FileCheckTest : public ::testing::Test {
protected:
    FileCheckTest() {
        auto& f = Sub.Files;
        f.AddFile("C:\\Apps\\Here\\uninst.exe", "MZ");
        f.AddFile("C:\\Apps\\Here\\app.ico", "ICON");
        f.AddFile("C:\\Apps\\A, B\\app.exe", "MZ");
        f.AddFile("C:\\Program Files\\Kept\\uninst.exe", "MZ");
        f.AddFile("C:\\Users\\Test\\AppData\\Local\\Kept\\app.ico", "ICON");
        f.AddFile("C:\\Locked\\App\\uninst.exe", "MZ");
        f.SetUnreadable("C:\\Locked");
        f.AddFolder("C:\\Program Files (x86)");
        f.AddFile("C:\\Windows\\System32\\msiexec.exe", "MZ");
        // Other drives; the file system holds nothing on them, so only
        // the kind of the drive keeps their entries.
        f.SetVolumeKind("N:", TVolumeKind::Network);
        f.SetVolumeKind("S:", TVolumeKind::Substituted);
        f.SetVolumeKind("R:", TVolumeKind::Removable);
        f.SetVolumeKind("U:", TVolumeKind::Unknown);
        f.AddFolder("E:\\");
    }

    void Add(const std::string& name, const char* command, const char* icon, const char* location) {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\" + name, true));
        reg.WriteString("DisplayName", name);
        for (const auto& [value, text] :
             {std::pair{"UninstallString", command}, std::pair{"DisplayIcon", icon},
              std::pair{"InstallLocation", location}}) {
            if (text != nullptr) {
                reg.WriteExpandString(value, text);
            }
        }
    }

    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    TUninstallManager Manager{Sub.Platform, Info};
};

TEST_F(FileCheckTest, OnlyAnEntryWhosePathsAreAllKnownMissingIsBad) {
    struct TCase {
        const char* Name;
        const char* Command;
        const char* Icon;
        const char* Location;
        bool Bad;
    };
    const TCase cases[] = {
        {"missing on a local disk", "C:\\Gone\\uninst.exe /S", "C:\\Gone\\app.ico,0", "C:\\Gone", true},
        {"missing, quoted", "\"C:\\Gone App\\uninst.exe\" /S", "\"C:\\Gone App\\app.ico\"",
         "\"C:\\Gone App\"", true},
        {"missing behind a folder that is there", "C:\\Program Files (x86)\\Gone App\\uninst.exe /S", nullptr,
         nullptr, true},
        {"missing on a second local disk", "E:\\Gone\\uninst.exe", nullptr, nullptr, true},
        {"missing under a variable", "%ProgramFiles%\\Gone\\uninst.exe", "%LOCALAPPDATA%\\Gone\\app.ico",
         nullptr, true},
        {"network share", "\\\\srv\\share\\App\\uninst.exe /S", nullptr, nullptr, false},
        {"network share, doubled backslashes", "\\\\\\\\srv\\\\share\\\\uninst.exe", nullptr, nullptr, false},
        {"network share, quoted", "\"\\\\srv\\share\\My App\\uninst.exe\"", nullptr, nullptr, false},
        {"mapped drive", "N:\\App\\uninst.exe", "N:\\App\\app.ico", "N:\\App", false},
        {"substituted drive", "S:\\App\\uninst.exe", nullptr, nullptr, false},
        {"removable drive", "R:\\App\\uninst.exe", nullptr, nullptr, false},
        {"absent drive", "Q:\\App\\uninst.exe", "Q:\\App\\app.ico", "Q:\\App", false},
        {"drive of unknown kind", "U:\\App\\uninst.exe", nullptr, nullptr, false},
        {"access denied", "C:\\Locked\\App\\uninst.exe", "C:\\Gone\\app.ico", nullptr, false},
        {"a name the system refuses", "C:\\Gone\\un<inst.exe", nullptr, "C:\\Gone", false},
        {"only the icon unknown", "C:\\Gone\\uninst.exe", "N:\\App\\app.ico", "C:\\Gone", false},
        {"a bare name found nowhere", "gone.exe /x", "C:\\Gone\\app.ico", nullptr, false},
        {"a variable this machine lacks", "%CV_NO_SUCH%\\uninst.exe", nullptr, nullptr, false},
        {"there under a variable", "%ProgramFiles%\\Kept\\uninst.exe", nullptr, nullptr, false},
        {"icon there under a variable", "C:\\Gone\\uninst.exe", "%LOCALAPPDATA%\\Kept\\app.ico,0", nullptr,
         false},
        {"icon there, quoted", "C:\\Gone\\uninst.exe", "\"C:\\Apps\\Here\\app.ico\",0", nullptr, false},
        {"icon there, a comma in its path", "C:\\Gone\\uninst.exe", "C:\\Apps\\A, B\\app.exe", nullptr,
         false},
        {"folder there, quoted", "C:\\Gone\\uninst.exe", nullptr, "\"C:\\Apps\\Here\"", false},
        {"program of the system", "MsiExec.exe /X{1}", nullptr, "C:\\Gone", false},
    };
    for (const TCase& c : cases) {
        Add(c.Name, c.Command, c.Icon, c.Location);
    }
    Manager.SetCheckFiles(true);
    Manager.Refresh();
    for (const auto& [name, item] : Manager.Items) {
        const auto c =
            std::find_if(std::begin(cases), std::end(cases), [&](const TCase& k) { return name == k.Name; });
        ASSERT_NE(c, std::end(cases));
        EXPECT_EQ(item->Bad, c->Bad) << name;
        EXPECT_EQ(Manager.IsEntryGone(*item), c->Bad) << name;
    }
    EXPECT_EQ(Manager.BadCount, 5);
}

TEST_F(FileCheckTest, EachVolumeIsAskedOncePerScan) {
    for (int i = 0; i < 20; ++i) {
        const std::string n = std::to_string(i);
        Add("local " + n, ("C:\\Gone" + n + "\\uninst.exe /S").c_str(), ("C:\\Gone" + n + "\\a.ico").c_str(),
            ("c:\\Gone" + n).c_str());
        Add("mapped " + n, ("N:\\App" + n + "\\uninst.exe").c_str(), ("n:\\App" + n + "\\a.ico").c_str(),
            nullptr);
        Add("share " + n, ("\\\\srv\\share\\App" + n + "\\uninst.exe").c_str(), nullptr,
            ("\\\\SRV\\Share\\App" + n).c_str());
    }
    Manager.SetCheckFiles(false);
    Manager.Refresh();
    EXPECT_EQ(Sub.Files.VolumeQueries(), 0) << "no disk without the file checks";
    Manager.SetCheckFiles(true);
    Manager.FindBadEntries();
    EXPECT_EQ(Sub.Files.VolumeQueries(), 3); // C:, N: and \\SRV\SHARE
    EXPECT_EQ(Manager.BadCount, 20);
    Manager.FindBadEntries();
    EXPECT_EQ(Sub.Files.VolumeQueries(), 6) << "a new scan asks again: a drive may have come or gone";
}

} // namespace

} // namespace cv::test
