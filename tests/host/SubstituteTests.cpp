// The substitute's own rules that the shared platform tests cannot reach:
// refused access, generated short names, failures on demand, process steps.
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(SubstituteRegistry, KeysThatRefuseWritesOpenOnlyForReading) {
    TSubstituteRegistry api;
    TRegistry reg(api);
    reg.SetRootKey(kHKeyLocalMachine);
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Locked\\Child", true));
    reg.CloseKey();
    api.SetRefusesWrite(kHKeyLocalMachine, "SOFTWARE\\Locked", true);

    EXPECT_FALSE(reg.OpenKey("SOFTWARE\\Locked", false));
    EXPECT_FALSE(reg.OpenKey("SOFTWARE\\Locked\\New", true));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Locked"));
    EXPECT_TRUE(reg.OpenKey("SOFTWARE\\Locked\\Child", false)); // its subkeys have their own rights
    EXPECT_FALSE(reg.DeleteKey("SOFTWARE\\Locked"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Locked"));
    ASSERT_TRUE(reg.OpenKeyReadOnly("SOFTWARE\\Locked"));
    EXPECT_THROW(reg.WriteString("v", "x"), ERegistryError);
    EXPECT_FALSE(reg.DeleteKey(""));
    EXPECT_FALSE(reg.DeleteKey("\\"));
    reg.CloseKey();
    EXPECT_EQ(api.OpenHandleCount(), 0u);
}

TEST(SubstituteFileSystem, ShortNamesAreUniqueInTheirFolder) {
    TSubstituteFileSystem files;
    files.AddFile("C:\\Program Files\\a.txt");
    files.AddFile("C:\\Program Data\\b.txt");
    files.AddFile("C:\\SHORT.TXT");
    files.AddFile("C:\\Program Files\\Long Name.html");
    EXPECT_EQ(files.ShortPathName("C:\\Program Files\\a.txt"), "C:\\PROGRA~1\\a.txt");
    EXPECT_EQ(files.ShortPathName("C:\\program data\\B.TXT"), "C:\\PROGRA~2\\b.txt");
    EXPECT_EQ(files.ShortPathName("C:\\Program Files\\Long Name.html"), "C:\\PROGRA~1\\LONGNA~1.HTM");
    EXPECT_EQ(files.ShortPathName("C:\\SHORT.TXT"), "C:\\SHORT.TXT");
    EXPECT_EQ(files.FullPathName("C:\\Program Files\\..\\x\\.\\y"), "C:\\x\\y");
    ASSERT_TRUE(files.ChangeDirectory("C:\\Program Files"));
    EXPECT_TRUE(files.FileExists("a.txt"));
    EXPECT_TRUE(files.FileExists("\\SHORT.TXT"));
    EXPECT_FALSE(files.FileExists("bad|name.txt"));
    EXPECT_FALSE(files.WriteFile("bad|name.txt", "x"));
}

TEST(SubstituteFileSystem, ReadOnlyFilesAndInjectedFailuresRefuseChanges) {
    TSubstituteFileSystem files;
    files.AddFile("C:\\ro.txt", "keep", kFileAttributeReadOnly);
    files.AddFile("C:\\rw.txt", "new");
    EXPECT_FALSE(files.WriteFile("C:\\ro.txt", "x"));
    EXPECT_FALSE(files.RemoveFile("C:\\ro.txt"));
    EXPECT_FALSE(files.MovePath("C:\\rw.txt", "C:\\ro.txt", true));
    files.SetFault([](const std::string& op, const std::string& path) {
        return op == "RemoveFile" && path == "C:\\rw.txt";
    });
    EXPECT_FALSE(files.RemoveFile("C:\\rw.txt"));
    EXPECT_TRUE(files.FileExists("C:\\rw.txt"));
    files.SetFault(nullptr);
    EXPECT_TRUE(files.MovePath("C:\\rw.txt", "C:\\Moved.txt", false));
    EXPECT_FALSE(files.MovePath("C:\\", "C:\\x", false));
    files.AddFolder("C:\\Outer\\Inner");
    EXPECT_FALSE(files.MovePath("C:\\Outer", "C:\\Outer\\Inner\\Outer", false));
    EXPECT_TRUE(files.MovePath("C:\\Outer", "C:\\Renamed", false));
    EXPECT_TRUE(files.DirectoryExists("C:\\Renamed\\Inner"));
}

TEST(SubstituteProcesses, CommandLinesFindTheirProgramAsCreateProcessDoes) {
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\Program Files\\App\\run.exe", "MZ");
    sub.Files.AddFile("C:\\Program.exe", "MZ");
    sub.Files.AddFile("C:\\Windows\\System32\\msiexec.exe", "MZ");
    sub.Files.AddFile("C:\\doc.txt", "text");
    struct TCase {
        const char* Line;
        const char* Program;
    };
    const TCase cases[] = {
        {"\"C:\\Program Files\\App\\run.exe\" /x", "C:\\Program Files\\App\\run.exe"},
        {"C:\\Program Files\\App\\run.exe /x", "C:\\Program.exe"}, // the classic unquoted-path trap
        {"msiexec /x {id}", "C:\\Windows\\System32\\msiexec.exe"},
        {"C:\\doc.txt", ""},
        {"", ""},
        {"\"C:\\Program Files\\App\\missing.exe\"", ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(sub.Processes.ProgramOf(c.Line), c.Program) << c.Line;
    }
}

TEST(RegistryObject, TheSoftwareKeyOfThe32BitViewGoesWholeAndSaysSo) {
    TSubstituteRegistry api;
    TRegistry reg(api);
    reg.SetRootKey(kHKeyLocalMachine);
    // SOFTWARE\WOW6432Node holding a WOW6432Node of its own: in the 32-bit
    // view "SOFTWARE\WOW6432Node" names SOFTWARE itself, not that subkey.
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\WOW6432Node\\WOW6432Node\\Deep", true));
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\WOW6432Node\\Other", true));
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Native", true));
    reg.SetView(kRegView32);
    EXPECT_TRUE(reg.DeleteKey("SOFTWARE"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE"));
    reg.SetView(kRegViewNative);
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\WOW6432Node"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Native"));
    // A key that was not there is still not deleted.
    reg.SetView(kRegView32);
    EXPECT_FALSE(reg.DeleteKey("SOFTWARE"));
    EXPECT_EQ(reg.LastError(), kErrorFileNotFound);
    EXPECT_EQ(api.OpenHandleCount(), 0u);
}

} // namespace

} // namespace cv::test

namespace cv::test {

namespace {

// The substitute, except that one key reports an extra subkey whose name a
// path cannot carry, as a key made through the native API can.
class TNulNameRegistry : public TSubstituteRegistry {
public:
    // The key a path names once the wide API has cut it at its NUL.
    static bool IsVictim(std::string_view path) {
        path = path.substr(0, path.find('\0'));
        while (!path.empty() && path.back() == '\\') {
            path.remove_suffix(1);
        }
        return path == "SOFTWARE\\Victim";
    }
    HKey Marked = 0;
    int Listed = 0; // how often the odd name was handed out: a loop would go on for ever
    long OpenKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) override {
        const long rc = TSubstituteRegistry::OpenKey(parent, subKey, access, result);
        if (rc == kErrorSuccess && IsVictim(subKey)) {
            Marked = *result;
        }
        return rc;
    }
    long EnumKey(HKey key, std::uint32_t index, std::string* name) override {
        const long rc = TSubstituteRegistry::EnumKey(key, index, name);
        if (key == Marked && rc == kErrorNoMoreItems && index == 0 && ++Listed < 50) {
            *name = std::string("\0hidden", 7); // cut at its NUL, a path to it names the parent
            return kErrorSuccess;
        }
        return rc;
    }
    long DeleteKey(HKey parent, std::string_view subKey, TRegView view) override {
        if (IsVictim(subKey)) {
            return kErrorAccessDenied; // it still has that subkey
        }
        return TSubstituteRegistry::DeleteKey(parent, subKey, view);
    }
};

TEST(RegistryObject, PathsThatNameAnotherKeyAreNeverFollowed) {
    TNulNameRegistry api;
    TRegistry reg(api);
    reg.SetRootKey(kHKeyLocalMachine);
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Victim", true));
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Bystander", true));
    reg.CloseKey();
    // Cut at its NUL, this path would be the root or SOFTWARE itself.
    for (const std::string& path : {std::string("\0\0SOFTWARE", 10), std::string("SOFTWARE\0\\Victim", 16),
                                    std::string("SOFTWARE\\\\Victim")}) {
        EXPECT_FALSE(reg.DeleteKey(path));
        EXPECT_FALSE(reg.KeyExists(path));
        EXPECT_FALSE(reg.OpenKey(path, true));
    }
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Bystander"));
    // A subkey whose name holds a NUL is left alone, and so is its parent.
    EXPECT_FALSE(reg.DeleteKey("SOFTWARE\\Victim"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Victim"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Bystander"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE"));
    EXPECT_LE(api.Listed, 2); // once by the check before deleting, once by the delete
}

} // namespace

} // namespace cv::test
