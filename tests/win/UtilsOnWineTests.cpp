// The shared utilities and the settings file on the real platform: shortcuts
// through the shell's link object, and an ini file that the platform's own
// private-profile functions read as we wrote it and the other way round.
#include "contract/ContractEnv.h"

#include "app/IniFile.h"
#include "platform/TextCase.h"
#include "platform/Utils.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(UtilsOnWine, ShortcutsNamedAfterTheirProgramResolveToIt) {
    const auto env = MakeContractEnv();
    const TPlatform& p = env->Platform();
    const std::string target = env->ScratchFolder() + "\\Tool 2.5.exe";
    ASSERT_TRUE(p.Files.WriteFile(target, "MZ"));
    CreateShortcut(p, "Tool 2.5", target, "/min", env->ScratchFolder());
    EXPECT_TRUE(p.Files.FileExists(env->ScratchFolder() + "\\Tool 2.lnk"));
    const std::string before = p.Files.CurrentDirectory();
    ASSERT_TRUE(p.Files.ChangeDirectory(env->ScratchFolder()));
    EXPECT_TRUE(SameText(ResolveShortcut(p, "Tool 2.lnk"), target)) << ResolveShortcut(p, "Tool 2.lnk");
    p.Files.ChangeDirectory(before);
    EXPECT_EQ(GetSystemDir(p).back(), '\\');
    EXPECT_TRUE(p.Files.DirectoryExists(GetWindowsDir(p)));
    EXPECT_TRUE(p.Files.FileExists(GetAppDir(p) + "clearvane_win_tests.exe"));
}

TEST(UtilsOnWine, IniFilesReadAndWriteAsThePlatformsOwnFunctions) {
    const auto env = MakeContractEnv();
    const TPlatform& p = env->Platform();
    const std::string path = env->ScratchFolder() + "\\qxuninstaller.ini";
    const std::wstring wide = toWide(path);

    TIniFile ours(p, path);
    ours.WriteInteger("Main Form", "WindowLeft", -8);
    ours.WriteInteger("Clearvane", "Column2", 333);
    ours.WriteString("Clearvane", "Spaced", "a b");
    ours.UpdateFile();
    EXPECT_EQ(GetPrivateProfileIntW(L"main form", L"windowleft", 0, wide.c_str()), -8);
    EXPECT_EQ(GetPrivateProfileIntW(L"Clearvane", L"Column2", 0, wide.c_str()), 333);
    wchar_t text[64] = {};
    GetPrivateProfileStringW(L"Clearvane", L"Spaced", L"", text, 64, wide.c_str());
    EXPECT_EQ(toUtf8(text), "a b");

    ASSERT_TRUE(WritePrivateProfileStringW(L"Clearvane", L"ViewStyle", L"3", wide.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"New Section", L"Key", L"\"quoted\"", wide.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Main Form", L"WindowLeft", L"0x20", wide.c_str()));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, wide.c_str()); // flush Wine's cache
    const TIniFile theirs(p, path);
    EXPECT_EQ(theirs.ReadInteger("Clearvane", "ViewStyle", 0), 3);
    EXPECT_EQ(theirs.ReadInteger("Clearvane", "Column2", 0), 333);
    EXPECT_EQ(theirs.ReadInteger("MAIN FORM", "WindowLeft", 0), 32);
    EXPECT_EQ(theirs.ReadString("new section", "key", ""), "quoted");
}

} // namespace

} // namespace cv::test
