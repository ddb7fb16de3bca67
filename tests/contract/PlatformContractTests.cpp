// The platform's promises, run against the substitute on the host and against
// the real Win32 services under Wine, so the stand-in cannot drift.
#include "contract/ContractEnv.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/Utf.h"
#include "platform/Utils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace cv::test {

namespace {

class PlatformContract : public ::testing::Test {
protected:
    void SetUp() override { Env = MakeContractEnv(); }

    TPlatform& P() { return Env->Platform(); }
    std::string InScratch(const std::string& name) { return Env->ScratchFolder() + "\\" + name; }
    std::string Key(const std::string& sub = {}) {
        return Env->ScratchKey() + (sub.empty() ? "" : "\\" + sub);
    }
    TRegistry Reg() {
        TRegistry reg(P().Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        return reg;
    }

    std::unique_ptr<TContractEnv> Env;
};

// Everything below a key: paths, value names, types and data, in the
// platform's own order.
std::vector<std::string> Dump(IRegistryApi& api, HKey root, const std::string& path) {
    std::vector<std::string> out;
    HKey key = 0;
    if (api.OpenKey(root, path, kKeyRead, &key) != kErrorSuccess) {
        return out;
    }
    std::string name;
    std::vector<std::string> values;
    for (std::uint32_t i = 0; api.EnumValue(key, i, &name) == kErrorSuccess; ++i) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        api.QueryValue(key, name, &type, &data);
        std::string line = path + " | " + name + " | " + std::to_string(type) + " |";
        for (std::uint8_t b : data) {
            line += " " + std::to_string(b);
        }
        values.push_back(line);
    }
    std::sort(values.begin(), values.end());
    out.push_back("[" + path + "]");
    out.insert(out.end(), values.begin(), values.end());
    std::vector<std::string> subkeys;
    for (std::uint32_t i = 0; api.EnumKey(key, i, &name) == kErrorSuccess; ++i) {
        subkeys.push_back(name);
    }
    api.CloseKey(key);
    for (const std::string& sub : subkeys) {
        const auto below = Dump(api, root, path + "\\" + sub);
        out.insert(out.end(), below.begin(), below.end());
    }
    return out;
}

TEST_F(PlatformContract, SubkeysAndValuesEnumerateInEachPlatformsOrder) {
    TRegistry reg = Reg();
    for (const char* name : {"beta", "Alpha", "gamma", "_under", "[bracket"}) {
        ASSERT_TRUE(reg.OpenKey(Key(name), true));
    }
    ASSERT_TRUE(reg.OpenKey(Key(), false));
    // Windows compares upper-cased names, Wine lower-cased ones: they part only
    // for the characters between the two alphabets.
    const std::vector<std::string> windowsOrder{"Alpha", "beta", "gamma", "[bracket", "_under"};
    const std::vector<std::string> wineOrder{"[bracket", "_under", "Alpha", "beta", "gamma"};
    EXPECT_EQ(reg.GetKeyNames(), Env->IsWine() ? wineOrder : windowsOrder);

    for (const char* name : {"zulu", "Alpha", "mike"}) {
        reg.WriteString(name, "x");
    }
    const std::vector<std::string> created{"zulu", "Alpha", "mike"};
    const std::vector<std::string> sorted{"Alpha", "mike", "zulu"};
    EXPECT_EQ(reg.GetValueNames(), Env->IsWine() ? sorted : created);
}

TEST_F(PlatformContract, NamesMatchWithoutCaseAndKeepTheirSpelling) {
    TRegistry reg = Reg();
    ASSERT_TRUE(reg.OpenKey(Key("MixedCase"), true));
    reg.WriteString("DisplayName", "first");
    reg.WriteString("DISPLAYNAME", "second");
    EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"DisplayName"});
    EXPECT_EQ(reg.ReadString("displayname"), "second");
    EXPECT_TRUE(reg.OpenKey(Key("MIXEDCASE"), false));
    ASSERT_TRUE(reg.OpenKey(Key(), false));
    EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"MixedCase"});
    EXPECT_TRUE(reg.KeyExists(Key("mixedcase")));
}

TEST_F(PlatformContract, ValueTypesReadBackAndWrongTypesRaiseTheDataTypeError) {
    TRegistry reg = Reg();
    ASSERT_TRUE(reg.OpenKey(Key("Types"), true));
    reg.WriteString("Text", "Caf\xC3\xA9 \"quoted\" C:\\Path");
    reg.WriteExpandString("Expand", "%SystemRoot%\\x");
    reg.WriteInteger("Number", -1);
    const std::uint8_t bytes[40] = {1, 2, 3};
    reg.WriteBinaryData("Blob", bytes, sizeof bytes);
    reg.WriteString("", "default");
    reg.WriteRaw("Empty", {kRegSz, {}});
    reg.WriteRaw("Multi", {kRegMultiSz, RegStringData("a")});

    EXPECT_EQ(reg.ReadString("Text"), "Caf\xC3\xA9 \"quoted\" C:\\Path");
    EXPECT_EQ(reg.ReadString("Expand"), "%SystemRoot%\\x"); // never expanded
    EXPECT_EQ(reg.ReadInteger("Number"), -1);
    EXPECT_TRUE(reg.ReadBool("Number"));
    std::uint8_t buffer[64] = {};
    EXPECT_EQ(reg.ReadBinaryData("Blob", buffer, sizeof buffer), 40u);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(reg.ReadString(""), "default");
    EXPECT_EQ(reg.ReadString("Empty"), "");
    EXPECT_EQ(reg.ReadString("Missing"), "");
    EXPECT_EQ(reg.ReadBinaryData("Missing", buffer, sizeof buffer), 0u);
    TRegDataInfo info;
    ASSERT_TRUE(reg.GetDataInfo("Blob", &info));
    EXPECT_EQ(info.Type, static_cast<std::uint32_t>(kRegBinary));
    EXPECT_EQ(info.Size, 40u);
    EXPECT_FALSE(reg.GetDataInfo("Missing", &info));

    struct TWrong {
        const char* Name;
        std::function<void()> Read;
    };
    const TWrong wrong[] = {
        {"Number", [&] { reg.ReadString("Number"); }},
        {"Blob", [&] { reg.ReadString("Blob"); }},
        {"Multi", [&] { reg.ReadString("Multi"); }},
        {"Text", [&] { reg.ReadInteger("Text"); }},
        {"Missing", [&] { reg.ReadInteger("Missing"); }},
        {"Text", [&] { reg.ReadBinaryData("Text", buffer, sizeof buffer); }},
        {"Blob", [&] { reg.ReadBinaryData("Blob", buffer, 39); }},
    };
    for (const TWrong& w : wrong) {
        try {
            w.Read();
            ADD_FAILURE() << "no error reading " << w.Name;
        } catch (const ERegistryError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Invalid data type for '") + w.Name + "'");
        }
    }
}

// One value with its data in one call: each index gives what the name and
// the read by that name give, long names and large data whole, then the end.
TEST_F(PlatformContract, EnumeratingValuesWithTheirDataGivesWhatTheReadsByNameGive) {
    TRegistry reg = Reg();
    ASSERT_TRUE(reg.OpenKey(Key("WithData"), true));
    reg.WriteString("short", "s");
    reg.WriteString(std::string(400, 'n'), "long name");
    reg.WriteString("large", std::string(70000, 'd'));
    reg.WriteInteger("number", -2);
    reg.WriteBinaryData("empty", nullptr, 0);
    reg.WriteRaw("list", {kRegMultiSz, {'a', 0, 0, 0, 0, 0}});
    HKey key = 0;
    ASSERT_EQ(P().Registry.OpenKey(kHKeyCurrentUser, Key("WithData"), kKeyRead, &key), kErrorSuccess);
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data(5, 0xEE); // what a buffer held before counts for nothing
    std::uint32_t index = 0;
    for (; P().Registry.EnumValueData(key, index, &name, &type, &data) == kErrorSuccess; ++index) {
        std::string named;
        ASSERT_EQ(P().Registry.EnumValue(key, index, &named), kErrorSuccess);
        EXPECT_EQ(name, named);
        std::uint32_t queriedType = 0;
        std::vector<std::uint8_t> queried;
        ASSERT_EQ(P().Registry.QueryValue(key, name, &queriedType, &queried), kErrorSuccess) << name;
        EXPECT_EQ(type, queriedType) << name;
        EXPECT_EQ(data, queried) << name;
    }
    EXPECT_EQ(index, 6u);
    EXPECT_EQ(P().Registry.EnumValueData(key, index, &name, &type, &data), kErrorNoMoreItems);
    P().Registry.CloseKey(key);

    std::vector<TRegNamedValue> values;
    ASSERT_TRUE(reg.ReadAllValues(&values));
    std::vector<std::string> names;
    for (const TRegNamedValue& value : values) {
        names.push_back(value.first);
        TRegRawValue raw;
        ASSERT_TRUE(reg.ReadRaw(value.first, &raw));
        EXPECT_EQ(value.second, raw) << value.first;
    }
    EXPECT_EQ(names, reg.GetValueNames());
}

TEST_F(PlatformContract, KeysWithSubkeysGoOnlyThroughTheRecursiveDelete) {
    TRegistry reg = Reg();
    for (const char* path : {"Tree\\a\\b\\c", "Tree\\a\\d", "Tree\\e"}) {
        ASSERT_TRUE(reg.OpenKey(Key(path), true));
        reg.WriteString("v", path);
    }
    HKey parent = 0;
    ASSERT_EQ(P().Registry.OpenKey(kHKeyCurrentUser, Key(), kKeyAllAccess, &parent), kErrorSuccess);
    EXPECT_EQ(P().Registry.DeleteKey(parent, "Tree", kRegViewNative), kErrorAccessDenied);
    P().Registry.CloseKey(parent);
    reg.CloseKey();

    EXPECT_TRUE(reg.DeleteKey(Key("Tree")));
    EXPECT_FALSE(reg.KeyExists(Key("Tree")));
    EXPECT_FALSE(reg.DeleteKey(Key("Tree")));
    EXPECT_TRUE(reg.KeyExists(Key()));
}

// An ordinary key opened as a link is the key itself; a delete removes the
// key named and nothing beside it, and refuses a value name holding a NUL.
TEST_F(PlatformContract, OrdinaryKeysOpenAsThemselvesAndDeletesTakeOnlyWhatTheyName) {
    TRegistry reg = Reg();
    ASSERT_TRUE(reg.OpenKey(Key("Plain\\Sub"), true));
    ASSERT_TRUE(reg.OpenKey(Key("Plainly"), true));
    reg.WriteString("v", "stays");
    HKey key = 0;
    bool link = true;
    ASSERT_EQ(P().Registry.OpenKeyAsLink(kHKeyCurrentUser, Key("Plain"), kKeyRead, &key, &link),
              kErrorSuccess);
    EXPECT_FALSE(link);
    std::string name;
    EXPECT_EQ(P().Registry.EnumKey(key, 0, &name), kErrorSuccess);
    EXPECT_EQ(name, "Sub");
    P().Registry.CloseKey(key);
    EXPECT_EQ(P().Registry.OpenKeyAsLink(kHKeyCurrentUser, Key("Missing"), kKeyRead, &key, &link),
              kErrorFileNotFound);
    HKey parent = 0;
    ASSERT_EQ(P().Registry.OpenKey(kHKeyCurrentUser, Key(), kKeyAllAccess, &parent), kErrorSuccess);
    EXPECT_EQ(P().Registry.DeleteKey(parent, "Plain\\Sub", kRegViewNative), kErrorSuccess);
    EXPECT_EQ(P().Registry.DeleteKey(parent, "Plain\\Sub", kRegViewNative), kErrorFileNotFound);
    P().Registry.CloseKey(parent);
    EXPECT_TRUE(reg.KeyExists(Key("Plain")));
    ASSERT_TRUE(reg.OpenKey(Key("Plainly"), false));
    EXPECT_EQ(reg.ReadString("v"), "stays");
    EXPECT_EQ(reg.ReadString(std::string("v\0x", 3)), "") << "not the value its name starts with";
    EXPECT_FALSE(reg.DeleteValue(std::string("v\0x", 3)));
    EXPECT_THROW(reg.WriteString(std::string("v\0x", 3), "other"), ERegistryError);
    EXPECT_EQ(reg.ReadString("v"), "stays");
    EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"v"});
}

TEST_F(PlatformContract, AHandleToADeletedKeyFindsNothing) {
    TRegistry reg = Reg();
    ASSERT_TRUE(reg.OpenKey(Key("Doomed"), true));
    reg.WriteString("v", "x");
    TRegistry other = Reg();
    EXPECT_TRUE(other.DeleteKey(Key("Doomed")));
    EXPECT_EQ(reg.ReadString("v"), "");
    EXPECT_THROW(reg.WriteString("v", "y"), ERegistryError);
}

TEST_F(PlatformContract, ExportThenImportRestoresEveryValueExactly) {
    TRegistry reg = Reg();
    ASSERT_TRUE(reg.OpenKey(Key("Export\\Inner Key"), true));
    reg.WriteString("", "default value");
    reg.WriteString("Quote \"and\" back\\slash", "C:\\Program Files\\\"x\"");
    reg.WriteString("Unicode \xE2\x82\xAC", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    reg.WriteRaw("EmptyString", {kRegSz, {}});
    reg.WriteRaw("Unterminated", {kRegSz, {'a', 0, 'b', 0}});
    reg.WriteExpandString("Expand", "%ProgramFiles%\\App\\app.exe /autoRun");
    reg.WriteInteger("Dword", 0x12345678);
    std::vector<std::uint8_t> blob(300);
    for (std::size_t i = 0; i < blob.size(); ++i) {
        blob[i] = static_cast<std::uint8_t>(i * 7);
    }
    reg.WriteBinaryData("LongBinary", blob.data(), blob.size());
    reg.WriteRaw("Multi", {kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
    reg.WriteRaw("EmptyMulti", {kRegMultiSz, {}});
    reg.WriteRaw("Qword", {kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}});
    reg.WriteRaw("None", {kRegNone, {9}});
    ASSERT_TRUE(reg.OpenKey(Key("Export\\Inner Key\\Deeper"), true));
    reg.WriteInteger("n", 7);
    reg.CloseKey();

    std::vector<std::string> before = Dump(P().Registry, kHKeyCurrentUser, Key("Export"));
    if (Env->IsWine()) {
        // Wine's editor writes a zero-length string as "" where Windows writes
        // hex(1):, so it comes back holding its terminator. Both read as empty.
        for (std::string& line : before) {
            if (line.find("| EmptyString | 1 |") != std::string::npos) {
                line += " 0 0";
            }
        }
    }
    const std::string file = InScratch("backup one.reg");
    ASSERT_TRUE(P().Shell.RegeditExport("HKEY_CURRENT_USER\\" + Key("Export"), file));
    std::string bytes;
    ASSERT_TRUE(P().Files.ReadFile(file, &bytes));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Utf16BytesToUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, 72),
              "Windows Registry Editor Version 5.00");

    ASSERT_TRUE(reg.DeleteKey(Key("Export")));
    ASSERT_TRUE(P().Shell.RegeditImport(file));
    EXPECT_EQ(Dump(P().Registry, kHKeyCurrentUser, Key("Export")), before);

    // An import merges: values the file does not name stay.
    ASSERT_TRUE(reg.OpenKey(Key("Export\\Inner Key"), false));
    reg.WriteString("Added later", "stays");
    reg.WriteString("Dword", "changed");
    ASSERT_TRUE(P().Shell.RegeditImport(file));
    EXPECT_EQ(reg.ReadString("Added later"), "stays");
    EXPECT_EQ(reg.ReadInteger("Dword"), 0x12345678);

    EXPECT_FALSE(P().Shell.RegeditExport("HKEY_CURRENT_USER\\" + Key("Missing"), InScratch("missing.reg")));
    EXPECT_FALSE(P().Files.FileExists(InScratch("missing.reg")));
}

TEST_F(PlatformContract, ShortcutsKeepTheirTarget) {
    const std::string target = InScratch("Some Program.exe");
    ASSERT_TRUE(P().Files.WriteFile(target, "MZ"));
    const std::string link = InScratch("Some Program.lnk");
    ASSERT_TRUE(P().Shell.CreateShortcut(link, target, "/min", Env->ScratchFolder()));
    EXPECT_TRUE(P().Files.FileExists(link));
    EXPECT_TRUE(SameText(P().Shell.ResolveShortcut(link), target)) << P().Shell.ResolveShortcut(link);

    ASSERT_TRUE(P().Files.WriteFile(InScratch("not a link.lnk"), "plain text"));
    EXPECT_EQ(P().Shell.ResolveShortcut(InScratch("not a link.lnk")), "");
    EXPECT_EQ(P().Shell.ResolveShortcut(InScratch("missing.lnk")), "");
}

TEST_F(PlatformContract, AssociatedProgramOfFilesAndBareProgramNames) {
    const std::string text = InScratch("readme.txt");
    ASSERT_TRUE(P().Files.WriteFile(text, "hello"));
    const std::string program = P().Shell.AssociatedProgram(text);
    EXPECT_TRUE(SameText(ExtractFileName(program), "notepad.exe")) << program;
    EXPECT_EQ(P().Shell.AssociatedProgram(InScratch("missing.txt")), "");
    EXPECT_EQ(P().Shell.AssociatedProgram(""), "");

    const std::string program2 = P().Shell.AssociatedProgram("notepad.exe");
    EXPECT_TRUE(SameText(program2, P().Shell.SystemDirectory() + "\\notepad.exe")) << program2;
    const std::string exe = InScratch("tool.exe");
    ASSERT_TRUE(P().Files.WriteFile(exe, "MZ"));
    EXPECT_TRUE(SameText(P().Shell.AssociatedProgram(exe), exe));
}

TEST_F(PlatformContract, ShortPathsHaveNoBlanksAndLeadToTheSameFile) {
    ASSERT_TRUE(P().Files.MakeDirectory(InScratch("A Long Folder Name")));
    const std::string file = InScratch("A Long Folder Name\\Some Long File Name.text");
    ASSERT_TRUE(P().Files.WriteFile(file, "data"));
    const std::string shortPath = P().Files.ShortPathName(file);
    ASSERT_FALSE(shortPath.empty());
    const std::string tail = shortPath.substr(P().Files.ShortPathName(Env->ScratchFolder()).size());
    EXPECT_EQ(tail.find(' '), std::string::npos) << shortPath;
    std::string data;
    EXPECT_TRUE(P().Files.ReadFile(shortPath, &data));
    EXPECT_EQ(data, "data");
    EXPECT_EQ(P().Files.ShortPathName(InScratch("missing file.txt")), "");
}

TEST_F(PlatformContract, FileChangesFailOnlyByTheirResult) {
    auto& f = P().Files;
    const std::string a = InScratch("a.txt");
    const std::string b = InScratch("b.txt");
    ASSERT_TRUE(f.WriteFile(a, "first"));
    ASSERT_TRUE(f.WriteFile(b, "second"));
    ASSERT_TRUE(f.MakeDirectory(InScratch("sub")));
    ASSERT_TRUE(f.WriteFile(InScratch("sub\\inner.txt"), "x"));

    struct TCase {
        const char* What;
        bool Result;
        bool Expected;
    };
    const TCase cases[] = {
        {"delete a missing file", f.RemoveFile(InScratch("missing.txt")), false},
        {"move a missing file", f.MovePath(InScratch("missing.txt"), InScratch("c.txt"), true), false},
        {"move onto a file without replace", f.MovePath(a, b, false), false},
        {"write into a missing folder", f.WriteFile(InScratch("nowhere\\x.txt"), "x"), false},
        {"make an existing folder", f.MakeDirectory(InScratch("sub")), false},
        {"remove a folder with files", f.RemoveEmptyDirectory(InScratch("sub")), false},
        {"remove a missing folder", f.RemoveEmptyDirectory(InScratch("gone")), false},
        {"change to a missing folder", f.ChangeDirectory(InScratch("gone")), false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.Result, c.Expected) << c.What;
    }
    std::string data;
    ASSERT_TRUE(f.ReadFile(b, &data));
    EXPECT_EQ(data, "second");

    EXPECT_TRUE(f.MovePath(a, b, true));
    EXPECT_FALSE(f.FileExists(a));
    ASSERT_TRUE(f.ReadFile(b, &data));
    EXPECT_EQ(data, "first");
    EXPECT_TRUE(f.RemoveFile(InScratch("sub\\inner.txt")));
    EXPECT_TRUE(f.RemoveEmptyDirectory(InScratch("sub")));
    EXPECT_FALSE(f.DirectoryExists(InScratch("sub")));
    EXPECT_FALSE(f.FileExists(Env->ScratchFolder()));
    EXPECT_TRUE(f.DirectoryExists(Env->ScratchFolder()));
}

TEST_F(PlatformContract, PathsAndVolumesAnswerOnlyWhatTheSystemKnows) {
    auto& f = P().Files;
    ASSERT_TRUE(f.WriteFile(InScratch("app.exe"), "MZ"));
    const std::pair<std::string, TPathState> paths[] = {
        {InScratch("app.exe"), TPathState::File},
        {Env->ScratchFolder(), TPathState::Folder},
        {InScratch("gone.exe"), TPathState::Missing},
        {InScratch("gone\\deeper\\app.exe"), TPathState::Missing},
        {InScratch("bad<name.exe"), TPathState::Unknown},
        {"\\\\cv-no-such-host\\share\\app.exe", TPathState::Unknown},
        {"", TPathState::Unknown},
    };
    for (const auto& [path, state] : paths) {
        EXPECT_EQ(f.PathState(path), state) << path;
    }
    EXPECT_EQ(f.VolumeKind(Env->ScratchFolder().substr(0, 2)), TVolumeKind::Local);
    EXPECT_EQ(f.VolumeKind("\\\\cv-no-such-host\\share"), TVolumeKind::Network);
    EXPECT_EQ(f.VolumeKind("scratch"), TVolumeKind::Unknown);
    // A letter no drive has: what is asked of it there is simply missing,
    // which is why the volume is asked first.
    std::string absent;
    for (char letter = 'Y'; letter > 'D' && absent.empty(); --letter) {
        const std::string volume = std::string(1, letter) + ":";
        if (f.VolumeKind(volume) == TVolumeKind::Absent) {
            absent = volume;
        }
    }
    ASSERT_FALSE(absent.empty());
    EXPECT_EQ(f.PathState(absent + "\\cv\\app.exe"), TPathState::Missing);

    IShell& shell = P().Shell;
    EXPECT_TRUE(
        SameText(shell.ExpandEnvironment("%SystemRoot%\\app.exe"), shell.WindowsDirectory() + "\\app.exe"));
    EXPECT_TRUE(SameText(shell.ExpandEnvironment("%windir%"), shell.WindowsDirectory()));
    for (const char* text : {"%cv_no_such_variable%\\x", "100%", "", "%"}) {
        EXPECT_EQ(shell.ExpandEnvironment(text), text);
    }
}

TEST_F(PlatformContract, FindFilesListsMatchesWithSizesAndAttributes) {
    auto& f = P().Files;
    ASSERT_TRUE(f.WriteFile(InScratch("big.exe"), std::string(1000, 'x')));
    ASSERT_TRUE(f.WriteFile(InScratch("EMPTY.EXE"), ""));
    ASSERT_TRUE(f.WriteFile(InScratch("notes.txt"), "abc"));
    ASSERT_TRUE(f.MakeDirectory(InScratch("folder.exe")));
    std::map<std::string, std::pair<std::uint64_t, bool>> found;
    for (const TFoundFile& file : f.FindFiles(Env->ScratchFolder(), "*.exe")) {
        found[UpperText(file.Name)] = {file.Size, (file.Attributes & kFileAttributeDirectory) != 0};
    }
    const std::map<std::string, std::pair<std::uint64_t, bool>> expected{
        {"BIG.EXE", {1000, false}}, {"EMPTY.EXE", {0, false}}, {"FOLDER.EXE", {0, true}}};
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(f.FindFiles(InScratch("missing"), "*").empty());
    // Attributes of the path itself: none for what is not there.
    EXPECT_EQ(f.GetAttributes(InScratch("folder.exe")) &
                  (kFileAttributeDirectory | kFileAttributeReparsePoint),
              std::uint32_t{kFileAttributeDirectory});
    EXPECT_EQ(
        f.GetAttributes(InScratch("notes.txt")) & (kFileAttributeDirectory | kFileAttributeReparsePoint), 0u);
    EXPECT_EQ(f.GetAttributes(InScratch("missing")), std::uint32_t{kNoAttributes});
}

TEST_F(PlatformContract, ProcessesReportStillActiveUntilTheyEnd) {
    auto process = P().Processes.Start(Env->HelperCommand("sleep 1500 exit 7"), false);
    ASSERT_NE(process, nullptr);
    std::uint32_t code = 0;
    ASSERT_TRUE(process->GetExitCode(&code));
    EXPECT_EQ(code, kStillActive);
    EXPECT_FALSE(process->Wait(P().ProcessMessages, 100));
    EXPECT_TRUE(process->Wait(P().ProcessMessages));
    ASSERT_TRUE(process->GetExitCode(&code));
    EXPECT_EQ(code, 7u);

    EXPECT_EQ(P().Processes.Start(InScratch("no such program.exe") + " /x", false), nullptr);
    ASSERT_TRUE(P().Files.WriteFile(InScratch("document.txt"), "text"));
    EXPECT_EQ(P().Processes.Start("\"" + InScratch("document.txt") + "\"", false), nullptr);
}

TEST_F(PlatformContract, ATrackedWaitOutlastsTheCopiesAProgramStarts) {
    const std::string marker = InScratch("child finished.txt");
    auto process = P().Processes.Start(Env->HelperCommand("spawn 700 \"" + marker + "\""), true);
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(process->Wait(P().ProcessMessages));
    EXPECT_TRUE(P().Files.FileExists(marker));
}

TEST_F(PlatformContract, LongPathsCommandLinesAndValuesAreNeverCut) {
    auto& f = P().Files;
    std::string folder = Env->ScratchFolder();
    for (int i = 0; i < 6; ++i) {
        folder += "\\" + std::string(50, static_cast<char>('a' + i));
        ASSERT_TRUE(f.MakeDirectory(folder)) << folder.size();
    }
    const std::string program = folder + "\\Long Named Uninstaller.exe";
    ASSERT_GT(program.size(), 300u);
    ASSERT_TRUE(f.WriteFile(program, std::string(70000, 'x')));
    EXPECT_TRUE(f.FileExists(program));
    std::string data;
    ASSERT_TRUE(f.ReadFile(program, &data));
    EXPECT_EQ(data.size(), 70000u);
    ASSERT_EQ(f.FindFiles(folder, "*.exe").size(), 1u);
    EXPECT_EQ(f.FindFiles(folder, "*.exe")[0].Size, 70000u);
    EXPECT_FALSE(f.ShortPathName(program).empty());
    EXPECT_EQ(ExtractExecutable(P(), "\"" + program + "\" /uninstall /quiet"), program);
    EXPECT_TRUE(f.MovePath(program, folder + "\\moved.exe", false));
    EXPECT_TRUE(f.RemoveFile(folder + "\\moved.exe"));

    TRegistry reg = Reg();
    ASSERT_TRUE(reg.OpenKey(Key("Long"), true));
    const std::string text(100000, 'v');
    const std::string name(300, 'n');
    reg.WriteString(name, text);
    EXPECT_EQ(reg.ReadString(name), text);
    EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{name});
}

// The lists sort by the locale, so its separators must tell numbers, dates
// and times apart, and the substitute's comparison must order names as
// Windows' own does.
TEST_F(PlatformContract, TheLocaleSeparatesItsFieldsAndOrdersTextsAsPeopleRead) {
    const TLocaleFormat format = P().Locale.Format();
    EXPECT_NE(format.DecimalSeparator, format.ThousandSeparator);
    EXPECT_NE(format.DateSeparator, format.TimeSeparator);
    struct TCase {
        const char* A;
        const char* B;
        int Expected;
    };
    const TCase cases[] = {
        {"alpha", "Beta", -1}, // letters before case
        {"Beta", "alpha", 1},
        {"beta", "Beta", -1}, // then the small letter first
        {"Beta", "Beta", 0},
        {"Note", "Notepad", -1},   // a beginning before the longer text
        {"Item 10", "Item 2", -1}, // digits as characters, not as numbers
        {"", "a", -1},
    };
    for (const TCase& c : cases) {
        const int order = P().Locale.CompareText(c.A, c.B);
        EXPECT_EQ(order < 0 ? -1 : order > 0 ? 1 : 0, c.Expected) << c.A << " vs " << c.B;
    }
}

// A time Windows recorded in UTC reads on the user's clock: whole quarter
// hours from UTC and never more than a day's zones apart, in winter and in
// summer alike.
TEST_F(PlatformContract, AMomentInUtcReadsOnTheLocalClock) {
    const auto minutes = [](const TCivilTime& t) {
        // Days counted from 1 March of year 0, then the clock.
        const int y = t.Year - (t.Month <= 2 ? 1 : 0);
        const int m = t.Month <= 2 ? t.Month + 9 : t.Month - 3;
        const long long days = 365LL * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + t.Day - 1;
        return (days * 24 + t.Hour) * 60 + t.Minute;
    };
    for (const std::uint64_t moment : {133497936000000000ull,    // 15 January 2024 12:00 UTC
                                       133655184000000000ull}) { // 15 July 2024 12:00 UTC
        const TCivilTime utc = CivilTimeOf(moment);
        EXPECT_EQ(utc.Hour, 12);
        const TCivilTime local = P().Locale.LocalTimeOf(moment);
        const long long offset = minutes(local) - minutes(utc);
        EXPECT_LE(offset < 0 ? -offset : offset, 14 * 60) << moment;
        EXPECT_EQ(offset % 15, 0) << moment;
        EXPECT_EQ(local.Second, utc.Second);
    }
}

} // namespace

} // namespace cv::test
