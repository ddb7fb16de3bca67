// The inventory's main scenarios, on the substitute and on the real registry
// under Wine. The real registry may hold entries of its own, so the tests
// look only at the entries they made.
#include "contract/ContractEnv.h"
#include "contract/RealData.h"

#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/Utf.h"
#include "platform/substitute/SubstituteRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

namespace cv::test {

namespace {

struct TValueSpec {
    std::string Name;
    std::string Text; // for strings
    int Number = 0;   // for numbers
    bool IsNumber = false;
};

TValueSpec S(std::string name, std::string text) {
    return {std::move(name), std::move(text), 0, false};
}
TValueSpec N(std::string name, int number) {
    return {std::move(name), {}, number, true};
}

class InventoryContract : public ::testing::Test {
protected:
    void SetUp() override {
        Env = MakeContractEnv();
        Info = std::make_unique<TFileInfoManager>(P());
        // Unique names, so entries a real prefix already holds never mix in.
        Tag = "cvtest " + Env->ScratchKey().substr(Env->ScratchKey().rfind('\\') + 1) + " ";
    }

    void TearDown() override {
        for (const auto& [root, path, view] : Made) {
            TRegistry reg(P().Registry);
            reg.SetRootKey(root);
            reg.SetView(view);
            reg.DeleteKey(path);
        }
    }

    TPlatform& P() { return Env->Platform(); }

    std::string MakeEntry(HKey root, const std::string& subkey, const std::vector<TValueSpec>& values,
                          TRegView view = kRegViewNative) {
        const std::string path = std::string(kUninstallKey) + "\\" + Tag + subkey;
        TRegistry reg(P().Registry);
        reg.SetRootKey(root);
        reg.SetView(view);
        EXPECT_TRUE(reg.OpenKey(path, true));
        for (const TValueSpec& v : values) {
            if (v.IsNumber) {
                reg.WriteInteger(v.Name, v.Number);
            } else {
                reg.WriteString(v.Name, v.Text);
            }
        }
        Made.emplace_back(root, path, view);
        return path;
    }

    std::string App(const std::string& name) { return Tag + name; }

    // Our entries in Items order, as "root:name".
    std::vector<std::string> Ours(const TUninstallManager& m) const {
        std::vector<std::string> out;
        for (const auto& [name, item] : m.Items) {
            if (item->KeyPath.find(Tag) != std::string::npos) {
                const bool wow = (item->View & kRegView32) != 0;
                out.push_back(
                    std::string(item->RootKey == kHKeyLocalMachine ? (wow ? "LM32:" : "LM:") : "CU:") +
                    name.substr(std::min(name.size(), Tag.size())));
            }
        }
        return out;
    }

    TUninstallItem* Find(TUninstallManager& m, HKey root, const std::string& name) {
        for (auto& [itemName, item] : m.Items) {
            if (item->RootKey == root && itemName == App(name)) {
                return item.get();
            }
        }
        return nullptr;
    }

    // A key holding exactly these values, whatever their types and names.
    std::string MakeRawEntry(const std::string& subkey, const std::vector<TRegNamedValue>& values) {
        const std::string path = std::string(kUninstallKey) + "\\" + Tag + subkey;
        HKey key = 0;
        EXPECT_EQ(P().Registry.CreateKey(kHKeyCurrentUser, path, kKeyAllAccess, &key), kErrorSuccess);
        for (const auto& [name, value] : values) {
            EXPECT_EQ(P().Registry.SetValue(key, name, value.Type, value.Data), kErrorSuccess) << name;
        }
        P().Registry.CloseKey(key);
        Made.emplace_back(kHKeyCurrentUser, path, kRegViewNative);
        return path;
    }

    // Every field, flag and the stamp of an entry, on one line.
    static std::string Whole(const TUninstallItem& item) {
        return Describe(item) + " | " + std::to_string(item.SystemComponent) + " | " + item.ParentKeyName +
               " | " + std::to_string(item.ValuesStamp);
    }

    // The entry as the reads by name give it; "left out" when they throw.
    std::string ByName(HKey root, TRegView view, const std::string& path) {
        TRegistry reg(P().Registry, kKeyRead);
        reg.SetRootKey(root);
        reg.SetView(view);
        TUninstallItem item(P());
        item.RootKey = root;
        item.View = view;
        item.KeyPath = path;
        if (reg.OpenKey(path, false)) {
            try {
                ReadEntryByName(reg, &item);
            } catch (const EClearvaneError&) {
                return "left out";
            }
        }
        return Whole(item);
    }

    // Refresh, and each key this test made as it read it, beside what the
    // reads by name give for the same key.
    void ExpectRefreshAsByName() {
        TUninstallManager manager(P(), *Info);
        manager.Refresh();
        std::map<std::string, std::string> read;
        for (const auto& pair : manager.Items) {
            const TUninstallItem& item = *pair.second;
            if (item.KeyPath.find(Tag) != std::string::npos) {
                read[std::to_string(item.RootKey) + ":" + std::to_string(item.View) + ":" + item.KeyPath] =
                    Whole(item);
            }
        }
        for (const auto& [root, path, view] : Made) {
            const std::string key = std::to_string(root) + ":" + std::to_string(view) + ":" + path;
            const auto found = read.find(key);
            EXPECT_EQ(found == read.end() ? "left out" : found->second, ByName(root, view, path)) << path;
        }
    }

    std::unique_ptr<TContractEnv> Env;
    std::unique_ptr<TFileInfoManager> Info;
    std::string Tag;
    std::vector<std::tuple<HKey, std::string, TRegView>> Made;
};

TEST_F(InventoryContract, RefreshReadsMachineEntriesFirstAndCountsOnlyApplications) {
    TUninstallManager manager(P(), *Info);
    manager.Refresh();
    const int before = manager.AppCount;

    MakeEntry(kHKeyCurrentUser, "shared", {S("DisplayName", App("Shared")), S("UninstallString", "x.exe")});
    MakeEntry(kHKeyLocalMachine, "shared", {S("DisplayName", App("Shared")), S("UninstallString", "y.exe")});
    MakeEntry(kHKeyLocalMachine, "b key",
              {S("DisplayName", App("Second")), S("UninstallString", "u.exe"), N("NoRemove", 0)});
    MakeEntry(kHKeyLocalMachine, "a key",
              {S("DisplayName", App("First")), S("UninstallString", "u.exe"), S("DisplayVersion", "1.2"),
               S("Publisher", "Maker"), S("InstallLocation", "C:\\Apps\\First\\"),
               S("DisplayIcon", "i.ico,-101"), S("HelpLink", "h"), S("HelpTelephone", "t"),
               S("URLInfoAbout", "a"), S("urlupdateinfo", "u")});
    MakeEntry(kHKeyLocalMachine, "c no modify",
              {S("DisplayName", App("Locked")), S("UninstallString", "u.exe"), N("NoModify", 1)});
    MakeEntry(kHKeyCurrentUser, "d no command", {S("DisplayName", App("NoCommand"))});
    MakeEntry(kHKeyCurrentUser, "e no remove",
              {S("DisplayName", App("Fixed")), S("UninstallString", "u.exe"), N("NoRemove", -1)});

    manager.Refresh();
    const std::vector<std::string> expected{"LM:First",     "LM:Second", "LM:Locked", "LM:Shared",
                                            "CU:NoCommand", "CU:Fixed",  "CU:Shared"};
    EXPECT_EQ(Ours(manager), expected);
    EXPECT_EQ(manager.AppCount - before, 4); // First, Second and both Shared

    const TUninstallItem* first = Find(manager, kHKeyLocalMachine, "First");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->KeyPath, std::string(kUninstallKey) + "\\" + Tag + "a key");
    EXPECT_EQ(first->DisplayVersion, "1.2");
    EXPECT_EQ(first->Publisher, "Maker");
    EXPECT_EQ(first->InstallLocation, "C:\\Apps\\First\\");
    EXPECT_EQ(first->DisplayIcon, "i.ico,-101");
    EXPECT_EQ(first->HelpLink + first->HelpTelephone + first->URLInfoAbout + first->URLUpdateInfo, "htau");
    EXPECT_FALSE(first->New);
    EXPECT_FALSE(first->Bad);
}

TEST_F(InventoryContract, AnEntryWithAValueOfTheWrongTypeIsLeftOutAndTheRestStays) {
    MakeEntry(kHKeyCurrentUser, "1 before", {S("DisplayName", App("Before")), S("UninstallString", "u.exe")});
    MakeEntry(kHKeyCurrentUser, "2 broken",
              {S("DisplayName", App("Broken")), S("UninstallString", "u.exe"), N("DisplayIcon", 3)});
    MakeEntry(kHKeyCurrentUser, "3 flag",
              {S("DisplayName", App("TextFlag")), S("UninstallString", "u.exe"), S("NoRemove", "1")});
    MakeEntry(kHKeyCurrentUser, "4 after", {S("DisplayName", App("After")), S("UninstallString", "u.exe")});
    TUninstallManager manager(P(), *Info);
    manager.Refresh();
    EXPECT_EQ(Ours(manager), (std::vector<std::string>{"CU:Before", "CU:After"}));
}

TEST_F(InventoryContract, DeletingRemovesTheKeyUnderItsOwnRootOnly) {
    const std::string path =
        MakeEntry(kHKeyCurrentUser, "twin", {S("DisplayName", App("Twin")), S("UninstallString", "u.exe")});
    MakeEntry(kHKeyLocalMachine, "twin", {S("DisplayName", App("Twin")), S("UninstallString", "u.exe")});
    {
        TRegistry reg(P().Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(path + "\\Nested\\Deeper", true)); // leftovers go with it
    }
    TUninstallManager manager(P(), *Info);
    manager.Refresh();
    const int apps = manager.AppCount;
    TUninstallItem* user = Find(manager, kHKeyCurrentUser, "Twin");
    ASSERT_NE(user, nullptr);
    EXPECT_TRUE(manager.EntryExists(*user));

    manager.DeleteEntry(user);
    EXPECT_EQ(Ours(manager), std::vector<std::string>{"LM:Twin"});
    EXPECT_EQ(manager.AppCount, apps - 1);
    TRegistry reg(P().Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    EXPECT_FALSE(reg.KeyExists(path));
    reg.SetRootKey(kHKeyLocalMachine);
    EXPECT_TRUE(reg.KeyExists(path));

    TUninstallItem* machine = Find(manager, kHKeyLocalMachine, "Twin");
    ASSERT_NE(machine, nullptr);
    reg.DeleteKey(path);
    EXPECT_FALSE(manager.EntryExists(*machine));
}

TEST_F(InventoryContract, EntriesOfThe32BitViewAreListedOnceAndChangedInTheirViewOnly) {
    if (!P().Registry.HasTwoViews()) {
        GTEST_SKIP() << "one registry view";
    }
    MakeEntry(kHKeyLocalMachine, "twin", {S("DisplayName", App("Native")), S("UninstallString", "n.exe")},
              kRegView64);
    MakeEntry(kHKeyLocalMachine, "twin", {S("DisplayName", App("Wow")), S("UninstallString", "w.exe")},
              kRegView32);
    MakeEntry(kHKeyLocalMachine, "only32", {S("DisplayName", App("Only32")), S("UninstallString", "o.exe")},
              kRegView32);
    MakeEntry(kHKeyCurrentUser, "mine", {S("DisplayName", App("Mine")), S("UninstallString", "m.exe")});
    TUninstallManager manager(P(), *Info);
    manager.Refresh();
    // The machine's 64-bit view, its 32-bit view, then the user's; each entry once.
    EXPECT_EQ(Ours(manager), (std::vector<std::string>{"LM:Native", "LM32:Only32", "LM32:Wow", "CU:Mine"}));

    TUninstallItem* wow = Find(manager, kHKeyLocalMachine, "Wow");
    ASSERT_NE(wow, nullptr);
    const std::string shown =
        "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + Tag + "twin";
    EXPECT_EQ(wow->ShownKeyPath(), shown);
    EXPECT_EQ(wow->KeyText(), "HKEY_LOCAL_MACHINE\\" + shown);
    EXPECT_EQ(Find(manager, kHKeyLocalMachine, "Native")->ShownKeyPath(), wow->KeyPath);
    const std::vector<std::string> values = wow->ReadValues();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], "DisplayName=" + App("Wow"));

    // The registry editor's path (the 64-bit view's WOW6432Node) is the same key.
    auto name = [&](TRegView view, const std::string& path) {
        TRegistry reg(P().Registry, kKeyRead);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.SetView(view);
        return reg.OpenKey(path, false) ? reg.ReadString("DisplayName") : std::string("<none>");
    };
    EXPECT_EQ(name(kRegView64, shown), App("Wow"));

    wow->WriteValues({"DisplayName=" + App("Renamed"), "UninstallString=w.exe"});
    EXPECT_EQ(name(kRegView32, wow->KeyPath), App("Renamed"));
    EXPECT_EQ(name(kRegView64, wow->KeyPath), App("Native")); // the same name in the other view is untouched

    manager.DeleteEntry(wow);
    EXPECT_EQ(name(kRegView32, std::string(kUninstallKey) + "\\" + Tag + "twin"), "<none>");
    EXPECT_EQ(name(kRegView64, std::string(kUninstallKey) + "\\" + Tag + "twin"), App("Native"));
    TUninstallItem* native = Find(manager, kHKeyLocalMachine, "Native");
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(manager.EntryExists(*native));
    manager.Refresh();
    EXPECT_EQ(Ours(manager), (std::vector<std::string>{"LM:Native", "LM32:Only32", "CU:Mine"}));
}

TEST_F(InventoryContract, WaitingForAnUninstallerCoversTheCopyItHandsOver) {
    const std::string marker = Env->ScratchFolder() + "\\uninstalled.txt";
    MakeEntry(kHKeyCurrentUser, "hands over",
              {S("DisplayName", App("HandsOver")),
               S("UninstallString", Env->HelperCommand("spawn 600 \"" + marker + "\""))});
    MakeEntry(kHKeyCurrentUser, "unstartable",
              {S("DisplayName", App("Unstartable")),
               S("UninstallString", Env->ScratchFolder() + "\\missing uninstaller.exe /S")});
    TUninstallManager manager(P(), *Info);
    manager.Refresh();
    TUninstallItem* item = Find(manager, kHKeyCurrentUser, "HandsOver");
    ASSERT_NE(item, nullptr);
    manager.RunUninstallerAndWait(*item);
    EXPECT_TRUE(P().Files.FileExists(marker));

    TUninstallItem* broken = Find(manager, kHKeyCurrentUser, "Unstartable");
    ASSERT_NE(broken, nullptr);
    manager.RunUninstallerAndWait(*broken); // returns at once
    manager.RunUninstaller(*broken);
}

TEST_F(InventoryContract, ValuesSurviveAReadAndRewriteByteForByte) {
    const std::string path = MakeEntry(kHKeyCurrentUser, "values", {S("DisplayName", App("Values"))});
    {
        TRegistry reg(P().Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(path, false));
        reg.WriteString("", "default");
        reg.WriteInteger("Size", 5);
        std::vector<std::uint8_t> blob(40, 0xAB);
        reg.WriteBinaryData("Blob", blob.data(), blob.size());
        reg.WriteExpandString("Icon", "%SystemRoot%\\x.ico");
        reg.WriteRaw("List", {kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
        reg.WriteString("Args", "a=b=c");
        ASSERT_TRUE(reg.OpenKey(path + "\\Sub", true));
        reg.WriteString("kept", "yes");
    }
    TUninstallManager manager(P(), *Info);
    manager.Refresh();
    TUninstallItem* item = Find(manager, kHKeyCurrentUser, "Values");
    ASSERT_NE(item, nullptr);
    std::vector<std::string> lines = item->ReadValues();
    std::vector<std::string> sorted = lines;
    std::sort(sorted.begin(), sorted.end());
    const std::vector<std::string> expected{
        "=default", "Args=a=b=c", "Blob=40", "DisplayName=" + App("Values"), "Icon=%SystemRoot%\\x.ico",
        "List=a b", "Size=5"};
    EXPECT_EQ(sorted, expected);

    auto raw = [&](const std::string& name) {
        TRegistry reg(P().Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(path, false);
        TRegRawValue value;
        reg.ReadRaw(name, &value);
        return std::make_pair(value.Type, value.Data);
    };
    const auto blobBefore = raw("Blob");
    const auto listBefore = raw("List");
    item->WriteValues(lines);
    EXPECT_EQ(raw("Blob"), blobBefore);
    EXPECT_EQ(raw("List"), listBefore);
    EXPECT_EQ(raw("Icon").first, static_cast<std::uint32_t>(kRegExpandSz));
    EXPECT_EQ(raw("Size").first, static_cast<std::uint32_t>(kRegDword));

    // Edited lines: a number stays a number, a new line is a string, a
    // dropped line is gone, and the entry's subkey is still there.
    std::vector<std::string> edited;
    for (const std::string& line : lines) {
        if (line.rfind("Size=", 0) == 0) {
            edited.push_back("Size=-7");
        } else if (line.rfind("Args=", 0) != 0) {
            edited.push_back(line);
        }
    }
    edited.push_back("New Value=x=y");
    item->WriteValues(edited);
    TRegistry reg(P().Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey(path, false));
    EXPECT_EQ(reg.ReadInteger("Size"), -7);
    EXPECT_EQ(reg.ReadString("New Value"), "x=y");
    EXPECT_FALSE(reg.ValueExists("Args"));
    EXPECT_EQ(reg.ReadString(""), "default");
    EXPECT_TRUE(reg.KeyExists(path + "\\Sub"));
}

TRegNamedValue Text(std::string name, const std::string& text, std::uint32_t type = kRegSz) {
    return {std::move(name), {type, RegStringData(text)}};
}
TRegNamedValue Bytes(std::string name, std::uint32_t type, std::vector<std::uint8_t> data) {
    return {std::move(name), {type, std::move(data)}};
}

// The one pass reads each entry exactly as the reads by name do: every
// field, flag and the stamp, and an entry left out for a value of the wrong
// type. Names outside ASCII go to the reads by name.
TEST_F(InventoryContract, OnePassRefreshReadsEveryEntryAsTheReadsByName) {
    const std::vector<std::uint8_t> one{1, 0, 0, 0};
    const std::vector<std::uint8_t> zero{0, 0, 0, 0};
    struct TCase {
        std::string Key;
        std::vector<TRegNamedValue> Values;
        bool OnePass;
    };
    std::vector<TCase> cases{
        {"empty", {}, true},
        {"plain",
         {Text("DisplayName", "Plain"), Text("UninstallString", "u.exe /S"), Text("DisplayVersion", "1.0"),
          Text("Publisher", "Maker"), Text("InstallLocation", "C:\\Apps\\Plain"),
          Text("DisplayIcon", "C:\\Apps\\Plain\\p.exe,0"), Text("HelpLink", "h"), Text("HelpTelephone", "t"),
          Text("URLInfoAbout", "a"), Text("URLUpdateInfo", "u"), Bytes("EstimatedSize", kRegDword, one)},
         true},
        {"letter case",
         {Text("displayname", "Lower"), Text("UNINSTALLSTRING", "u.exe"),
          Text("dIsPlAyIcOn", "i.ico", kRegExpandSz), Bytes("nomodify", kRegDword, one),
          Bytes("NOREMOVE", kRegDword, zero)},
         true},
        {"names near ours",
         {Text("DisplayName ", "trailing blank"), Text("Display Name", "inner blank"),
          Text("DisplayNameX", "x"), Text("Display", "short"), Text("", "default"), Text("a=b", "c=d"),
          Text("Help\\Link", "slash"), Text(std::string(300, 'n'), "long name"), Text("DisplayName", "Near")},
         true},
        {"outside ascii",
         {Text("D\u0131splayName", "dotless i"), Text("P\u00fcblisher", "umlaut"),
          Text("DisplayName", "Wide")},
         false},
        {"odd data",
         {Bytes("DisplayName", kRegSz, {'N', 0, 'o', 0}), Bytes("Publisher", kRegSz, {'O', 0, 'd'}),
          Bytes("HelpLink", kRegSz, {}), Bytes("DisplayVersion", kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}),
          Text("URLInfoAbout", std::string(100000, 'w')),
          Bytes("Blob", kRegBinary, std::vector<std::uint8_t>(3000, 7))},
         true},
        {"flags",
         {Text("DisplayName", "Flags"), Bytes("NoModify", kRegDword, zero),
          Bytes("NoRemove", kRegDword, {0, 0, 0, 0x80})},
         true},
        {"system component",
         {Text("DisplayName", "Part"), Bytes("SystemComponent", kRegDword, one),
          Text("ParentKeyName", "Whole")},
         true},
        {"short flag", {Text("DisplayName", "Short"), Bytes("NoModify", kRegDword, {1, 0})}, true},
    };
    // Every value type in every kind of field.
    const std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> types{
        {kRegSz, RegStringData("1")},
        {kRegExpandSz, RegStringData("%SystemRoot%")},
        {kRegMultiSz, {'a', 0, 0, 0, 0, 0}},
        {kRegBinary, {1, 2, 3}},
        {kRegDword, one},
        {kRegDwordBigEndian, {0, 0, 0, 1}},
        {kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}},
        {kRegNone, {}},
    };
    for (const char* field : {"DisplayIcon", "NoRemove", "SystemComponent", "ParentKeyName"}) {
        for (const auto& [type, data] : types) {
            cases.push_back(
                {std::string(field) + " type " + std::to_string(type),
                 {Text("DisplayName", field), Text("UninstallString", "u.exe"), Bytes(field, type, data)},
                 true});
        }
    }
    for (const TCase& c : cases) {
        const std::string path = MakeRawEntry(c.Key, c.Values);
        TRegistry reg(P().Registry, kKeyRead);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(path, false)) << c.Key;
        TUninstallItem item(P());
        bool onePass = false;
        try {
            onePass = ReadEntryInOnePass(reg, &item);
        } catch (const ERegistryError&) {
            onePass = true; // read in one pass and found wanting
        }
        EXPECT_EQ(onePass, c.OnePass) << c.Key;
        if (onePass && item.ValuesStamp != 0) {
            EXPECT_EQ(item.ValuesStamp, ReadValuesStamp(reg)) << c.Key;
        }
    }
    ExpectRefreshAsByName();
}

// The registry exports of real profiles: every uninstall entry they hold,
// made under this test's names, reads in one pass as by name.
TEST_F(InventoryContract, OnePassRefreshReadsTheRealExportsAsTheReadsByName) {
    const std::string folder = RealDataFolder();
    if (folder.empty()) {
        GTEST_SKIP() << "no registry exports in ../shared/realdata; these tests need them";
    }
    const std::string userUninstall = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".reg") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    int entries = 0;
    for (const std::filesystem::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        TSubstituteRegistry exported;
        ASSERT_TRUE(ImportRegFile(exported, bytes.str())) << file;
        HKey uninstall = 0;
        if (exported.OpenKey(kHKeyCurrentUser, userUninstall, kKeyRead, &uninstall) != kErrorSuccess) {
            continue;
        }
        std::string name;
        for (std::uint32_t i = 0; exported.EnumKey(uninstall, i, &name) == kErrorSuccess; ++i) {
            HKey key = 0;
            ASSERT_EQ(exported.OpenKey(uninstall, name, kKeyRead, &key), kErrorSuccess);
            std::vector<TRegNamedValue> values;
            TRegNamedValue value;
            for (std::uint32_t k = 0; exported.EnumValueData(key, k, &value.first, &value.second.Type,
                                                             &value.second.Data) == kErrorSuccess;
                 ++k) {
                values.push_back(value);
            }
            exported.CloseKey(key);
            MakeRawEntry(file.stem().string() + " " + name, values);
            ++entries;
        }
        exported.CloseKey(uninstall);
    }
    EXPECT_GT(entries, 0);
    ExpectRefreshAsByName();
}

TEST_F(InventoryContract, NamesFileRoundTripMarksOnlyNewNames) {
    MakeEntry(kHKeyCurrentUser, "old", {S("DisplayName", App("Old")), S("UninstallString", "u.exe")});
    TUninstallManager first(P(), *Info);
    first.Refresh();
    const std::string names = Env->ScratchFolder() + "\\" + kNamesFile;
    first.SaveNames(names);

    MakeEntry(kHKeyCurrentUser, "new", {S("DisplayName", App("New")), S("UninstallString", "u.exe")});
    TUninstallManager second(P(), *Info);
    second.Refresh();
    second.LoadLastNames(names);
    second.MarkNewEntries();
    EXPECT_TRUE(second.HasNew);
    EXPECT_FALSE(Find(second, kHKeyCurrentUser, "Old")->New);
    EXPECT_TRUE(Find(second, kHKeyCurrentUser, "New")->New);
    std::string text;
    ASSERT_TRUE(P().Files.ReadFile(names, &text));
    EXPECT_NE(text.find(App("Old") + "\r\n"), std::string::npos);
}

} // namespace

} // namespace cv::test
