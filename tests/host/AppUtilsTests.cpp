#include "platform/Utils.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(AppUtils, FoldersEndInExactlyOneBackslash) {
    TSubstitutePlatform sub;
    sub.Shell.SetProgramPath("C:\\Program Files\\Clearvane\\clearvane.exe");
    EXPECT_EQ(GetAppDir(sub.Platform), "C:\\Program Files\\Clearvane\\");
    sub.Shell.SetProgramPath("C:\\clearvane.exe");
    EXPECT_EQ(GetAppDir(sub.Platform), "C:\\");
    EXPECT_EQ(GetSystemDir(sub.Platform), "C:\\Windows\\System32\\");
    EXPECT_EQ(GetWindowsDir(sub.Platform), "C:\\Windows\\");
}

TEST(AppUtils, FindLargestFileTakesTheFirstStrictlyLargest) {
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\App\\a.exe", std::string(10, 'x'));
    sub.Files.AddFile("C:\\App\\b.exe", std::string(30, 'x'));
    sub.Files.AddFile("C:\\App\\c.exe", std::string(30, 'x'));
    sub.Files.AddFile("C:\\App\\huge.dat", std::string(99, 'x'));
    sub.Files.AddFolder("C:\\App\\zz.exe");
    sub.Files.AddFile("C:\\Empty\\a.exe", "");
    sub.Files.AddFile("C:\\Empty\\b.exe", "");
    struct TCase {
        const char* Folder;
        const char* Expected;
    };
    const TCase cases[] = {
        {"C:\\App", "C:\\App\\b.exe"},
        {"C:\\App\\", "C:\\App\\b.exe"},
        {"C:\\Empty", ""},
        {"C:\\Missing", ""},
        {"", ""},
    };
    ASSERT_TRUE(sub.Files.ChangeDirectory("C:\\App"));
    for (const TCase& c : cases) {
        EXPECT_EQ(FindLargestFile(sub.Platform, c.Folder, "*.exe"), c.Expected) << c.Folder;
        EXPECT_EQ(sub.Files.CurrentDirectory(), "C:\\App");
    }
}

TEST(AppUtils, ShortcutNamesLoseTheirLastExtension) {
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\Tools\\Tool 2.5.exe", "MZ");
    sub.Files.AddFolder("C:\\Startup");
    CreateShortcut(sub.Platform, "Tool 2.5", "C:\\Tools\\Tool 2.5.exe", "/min", "C:\\Startup");
    CreateShortcut(sub.Platform, "NoDot", "C:\\Tools\\Tool 2.5.exe", "", "C:\\Startup\\");
    EXPECT_TRUE(sub.Files.FileExists("C:\\Startup\\Tool 2.lnk"));
    EXPECT_TRUE(sub.Files.FileExists("C:\\Startup\\NoDot.lnk"));
    ASSERT_TRUE(sub.Files.ChangeDirectory("C:\\Startup"));
    EXPECT_EQ(ResolveShortcut(sub.Platform, "Tool 2.lnk"), "C:\\Tools\\Tool 2.5.exe");
    EXPECT_EQ(ResolveShortcut(sub.Platform, "missing.lnk"), "");
}

TEST(AppUtils, RunAndWaitWaitsOnlyWhenAsked) {
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\Windows\\regedit.exe", "MZ");
    int ended = 0;
    sub.Processes.SetProgram("C:\\Windows\\regedit.exe", [&](const std::string&) {
        TProgramRun run;
        run.Steps = 3;
        run.AtExit = [&] { ++ended; };
        return run;
    });
    RunAndWait(sub.Platform, "C:\\Windows\\regedit.exe /s x.reg", false);
    EXPECT_EQ(ended, 0);
    RunAndWait(sub.Platform, "C:\\Windows\\regedit.exe /s x.reg", true);
    EXPECT_GE(ended, 1);
    RunAndWait(sub.Platform, "C:\\nowhere.exe", true); // returns at once
    ShellOpen(sub.Platform, "https://example.invalid/");
    ShowFileProperties(sub.Platform, "C:\\Windows\\regedit.exe");
    EXPECT_EQ(sub.Shell.Opened(), std::vector<std::string>{"https://example.invalid/"});
    EXPECT_EQ(sub.Shell.PropertiesShown(), std::vector<std::string>{"C:\\Windows\\regedit.exe"});
}

} // namespace

} // namespace cv::test
