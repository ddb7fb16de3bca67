// Deleted entries put back through File > Restore Deleted Entries... on the
// real page, and deletes that stay inside their entry on the real registry.
#include "UninstallFlowFixture.h"

#include "app/DeletedStore.h"
#include "contract/KeyValues.h"
#include "forms/DeletedEntriesForm.h"
#include "platform/Errors.h"
#include "platform/Utf.h"
#include "platform/Utils.h"
#include "startup/StartupManager.h"

#include <gtest/gtest.h>

#include <map>

#include <winternl.h>

namespace cv::test {

namespace {

const std::string kLinked = "CV Linked Demo";

class DeletedEntriesTest : public UninstallFlowTest {
protected:
    void SetUp() override {
        UninstallFlowTest::SetUp();
        ClearStore();
    }
    void TearDown() override {
        ClearStore();
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        if (reg.OpenKey(kRunKey, false)) {
            reg.DeleteValue(kRunName);
        }
        Win32.Files.RemoveFile(Link());
        UninstallFlowTest::TearDown();
    }
    void ClearStore() {
        const std::string store = TDeletedStore::DefaultFolder(Platform);
        for (const TFoundFile& found : Win32.Files.FindFiles(store, "*")) {
            Win32.Files.RemoveFile(store + "\\" + found.Name);
        }
    }
    std::string Link() { return Win32.Shell.GetSpecialFolderPath(kCsidlStartup) + "\\CV Restore Test.lnk"; }

    // An entry with a value of every type and subkeys two deep.
    void MakeKinds(HKey root, TRegView view, const std::string& name) {
        const std::string path = std::string(kUninstallKey) + "\\" + name;
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(root);
        reg.SetView(view);
        ASSERT_TRUE(reg.OpenKey(path + "\\Parts\\Deeper", true));
        reg.WriteRaw("Endian", {kRegDwordBigEndian, {0, 0, 0, 9}});
        ASSERT_TRUE(reg.OpenKey(path, true));
        reg.WriteString("DisplayName", name);
        reg.WriteString("UninstallString", Intact());
        reg.WriteExpandString("DisplayIcon", "%SystemRoot%\\notepad.exe");
        reg.WriteInteger("EstimatedSize", 1234);
        reg.WriteBinaryData("Blob", "\x00\x01\xff", 3);
        reg.WriteRaw("Lines", {kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
        reg.WriteRaw("Big", {kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}});
        reg.WriteRaw("Odd \"name\" = \\", {kRegNone, {}});
        reg.WriteRaw("", {kRegSz, {'x', 0, 0}});
        Made.emplace_back(root, root == kHKeyLocalMachine ? ShownKeyPath(path, view) : path);
    }
    TKeyTree Tree(HKey root, TRegView view, const std::string& name) {
        const std::string path = std::string(kUninstallKey) + "\\" + name;
        return KeyTree(Win32.Registry, root, root == kHKeyLocalMachine ? ShownKeyPath(path, view) : path);
    }
    TKeyValues Run() { return KeyValues(Win32.Registry, kHKeyCurrentUser, kRunKey); }
    std::string LinkBytes() {
        std::string bytes;
        return Win32.Files.ReadFile(Link(), &bytes) ? bytes : std::string("(none)");
    }
    void ClearIt(const std::string& caption) {
        SelectAndFocus(caption);
        Script({{"TConfirmForm", mrYes, {}}});
        Page().DeleteEntryAction.Execute();
        EXPECT_TRUE(Answers.empty() && Unexpected.empty()) << caption;
    }
    // A string value whose name holds a NUL, as only the native call can make it.
    static bool SetNulNamedValue(const std::string& path, const std::wstring& name, const wchar_t* text) {
        using TNtSetValueKey = LONG(NTAPI*)(HANDLE, PUNICODE_STRING, ULONG, ULONG, PVOID, ULONG);
        const auto setValue = reinterpret_cast<TNtSetValueKey>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
        HKEY key = nullptr;
        if (setValue == nullptr || RegOpenKeyExW(HKEY_CURRENT_USER, toWide(path).c_str(), 0, KEY_ALL_ACCESS,
                                                 &key) != ERROR_SUCCESS) {
            return false;
        }
        std::wstring counted = name;
        UNICODE_STRING unicode{static_cast<USHORT>(counted.size() * sizeof(wchar_t)),
                               static_cast<USHORT>(counted.size() * sizeof(wchar_t)), counted.data()};
        std::wstring data = text;
        const LONG status = setValue(key, &unicode, 0, REG_SZ, data.data(),
                                     static_cast<ULONG>((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        return status == 0;
    }
    static TDeletedEntriesForm& Form(const TModalInfo& info) {
        return dynamic_cast<TDeletedEntriesForm&>(*TWindow::FromHandle(info.Handle));
    }

    static constexpr const char* kRunName = "CV Restore Test";
};

} // namespace

TEST_F(DeletedEntriesTest, EntriesDeletedOnBothPagesComeBackByteForByteThroughTheDialog) {
    MakeKinds(kHKeyCurrentUser, kRegViewNative, "CV Kinds Demo");
    MakeKinds(kHKeyLocalMachine, kRegView32, "CV Radio 32");
    {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(kRunKey, true));
        reg.WriteExpandString(kRunName, "\"%SystemRoot%\\notepad.exe\" /min");
    }
    ASSERT_TRUE(CreateShortcut(Platform, "CV Restore Test", "C:\\windows\\notepad.exe", "/x",
                               Win32.Shell.GetSpecialFolderPath(kCsidlStartup)));
    const TKeyTree kinds = Tree(kHKeyCurrentUser, kRegViewNative, "CV Kinds Demo");
    const TKeyTree radio = Tree(kHKeyLocalMachine, kRegView32, "CV Radio 32");
    const TKeyValues run = SortedByName(Run());
    const std::string link = LinkBytes();
    ASSERT_EQ(kinds.size(), 3u);
    ASSERT_EQ(radio.size(), 3u);

    Open();
    ASSERT_EQ(Captions(), (std::vector<std::string>{"CV Radio 32", "CV Kinds Demo"}));
    ClearIt("CV Kinds Demo");
    ClearIt("CV Radio 32");
    TFileInfoManager info(Platform);
    TStartupManager startup(Platform, info);
    for (const auto& item : startup.GetItems(true)) {
        if (item->DisplayName == kRunName) {
            startup.DeleteStartupItem(*item);
        }
    }
    EXPECT_TRUE(Tree(kHKeyCurrentUser, kRegViewNative, "CV Kinds Demo").empty());
    EXPECT_TRUE(Tree(kHKeyLocalMachine, kRegView32, "CV Radio 32").empty());
    EXPECT_NE(SortedByName(Run()), run);
    EXPECT_EQ(LinkBytes(), "(none)");

    Script({{"TDeletedEntriesForm", mrCancel, [&](TModalInfo& dialog) {
                 TDeletedEntriesForm& form = Form(dialog);
                 ASSERT_EQ(form.ListView.Count(), 4);
                 std::vector<std::string> names;
                 for (int i = 0; i < form.ListView.Count(); ++i) {
                     names.push_back(form.ListView.ItemText(i, 1));
                 }
                 // Newest first: the startup page's two, then the page's in reverse.
                 EXPECT_EQ(names[2], "CV Radio 32");
                 EXPECT_EQ(names[3], "CV Kinds Demo");
                 EXPECT_EQ(form.ListView.ItemText(2, 2),
                           "HKEY_LOCAL_MACHINE\\...\\Uninstall\\CV Radio 32 (32-bit)");
                 EXPECT_FALSE(form.RestoreButton.Enabled()) << "nothing chosen yet";
                 ListView_SetItemState(form.ListView.Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
                 WORD enter = VK_RETURN; // Enter puts back what is chosen
                 form.OnKeyDown(enter);
                 EXPECT_EQ(form.ListView.Count(), 0) << "the list is read again";
                 EXPECT_NE(form.Label1.Caption().find("none to put back"), std::string::npos);
             }}});
    Page().RestoreDeletedAction.Execute();
    EXPECT_TRUE(Answers.empty() && Unexpected.empty());
    EXPECT_EQ(Tree(kHKeyCurrentUser, kRegViewNative, "CV Kinds Demo"), kinds);
    EXPECT_EQ(Tree(kHKeyLocalMachine, kRegView32, "CV Radio 32"), radio);
    EXPECT_TRUE(Tree(kHKeyLocalMachine, kRegView64, "CV Radio 32").empty()) << "in its own view only";
    EXPECT_EQ(SortedByName(Run()), run);
    EXPECT_EQ(LinkBytes(), link);
    WaitForCycle();
    const std::vector<std::string> shown = Captions();
    for (const char* name : {"CV Kinds Demo", "CV Radio 32"}) {
        EXPECT_NE(std::find(shown.begin(), shown.end(), name), shown.end()) << name << " listed again";
    }
}

TEST_F(DeletedEntriesTest, AnEntryInItsPlaceAgainIsReplacedOnlyWhenTheUserSaysSo) {
    MakeKinds(kHKeyCurrentUser, kRegViewNative, "CV Kinds Demo");
    const TKeyTree kinds = Tree(kHKeyCurrentUser, kRegViewNative, "CV Kinds Demo");
    Open();
    ClearIt("CV Kinds Demo");
    // Installed again meanwhile.
    MakeApp(kHKeyCurrentUser, "CV Kinds Demo", Intact());
    const TKeyTree again = Tree(kHKeyCurrentUser, kRegViewNative, "CV Kinds Demo");
    for (const int answer : {static_cast<int>(mrNo), static_cast<int>(mrYes)}) {
        Script(
            {{"TDeletedEntriesForm", mrCancel,
              [&](TModalInfo& dialog) {
                  TDeletedEntriesForm& form = Form(dialog);
                  ASSERT_EQ(form.ListView.Count(), 1);
                  form.ListView.SetSelected(0);
                  form.RestoreChosen();
              }},
             {"TConfirmForm", answer, [](TModalInfo& confirm) {
                  const std::string asked = "\"CV Kinds Demo\" is in its place again (HKEY_CURRENT_USER\\" +
                                            std::string(kUninstallKey) + "\\CV Kinds Demo). Replace it";
                  EXPECT_TRUE(std::any_of(confirm.Texts.begin(), confirm.Texts.end(),
                                          [&](const std::string& text) { return text.starts_with(asked); }))
                      << ::testing::PrintToString(confirm.Texts);
              }}});
        Page().RestoreDeletedAction.Execute();
        EXPECT_TRUE(Answers.empty() && Unexpected.empty());
        EXPECT_EQ(Tree(kHKeyCurrentUser, kRegViewNative, "CV Kinds Demo"), answer == mrYes ? kinds : again);
    }
    // The entry it replaced is kept in turn.
    const std::vector<TDeletedEntry> kept = TDeletedStore(Platform).List();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].Name, "CV Kinds Demo");
}

// A registry link under an entry: no copy can hold it, so the page does not
// delete the entry; the registry object's delete takes the link with the
// entry, and the key it points to, elsewhere in the registry, stays whole.
TEST_F(DeletedEntriesTest, ALinkUnderAnEntryIsNeverFollowed) {
    const std::string victim = "Software\\ClearvaneTests\\Victim";
    {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        ASSERT_TRUE(reg.OpenKey(victim + "\\Inside", true));
        reg.WriteString("Keep", "me");
        ASSERT_TRUE(reg.OpenKey(victim, true));
        reg.WriteString("Keep", "me too");
    }
    MakeApp(kHKeyLocalMachine, kLinked, Gone());
    const std::string entry = std::string(kUninstallKey) + "\\" + kLinked;
    HKEY link = nullptr;
    const std::wstring linkPath = toWide(entry + "\\Link");
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, linkPath.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr) != ERROR_SUCCESS) {
        GTEST_SKIP() << "this registry makes no links";
    }
    const std::wstring target = L"\\Registry\\Machine\\" + toWide(victim);
    ASSERT_EQ(RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                             reinterpret_cast<const BYTE*>(target.data()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(link);
    const TKeyTree before = KeyTree(Win32.Registry, kHKeyLocalMachine, victim);
    {
        // Seen through the link, the victim's values show: the link works.
        TRegistry reg(Win32.Registry, kKeyRead);
        reg.SetRootKey(kHKeyLocalMachine);
        ASSERT_TRUE(reg.OpenKey(entry + "\\Link", false));
        ASSERT_EQ(reg.ReadString("Keep"), "me too");
    }
    // No copy can hold a link: the page's delete is refused, and nothing goes.
    TFileInfoManager info(Platform);
    TUninstallManager manager(Platform, info);
    manager.Refresh();
    for (const auto& [name, item] : manager.Items) {
        if (name == kLinked) {
            EXPECT_THROW(manager.DeleteEntry(item.get()), EBackupError);
        }
    }
    TRegistry reg(Win32.Registry, kKeyRead);
    reg.SetRootKey(kHKeyLocalMachine);
    EXPECT_TRUE(reg.KeyExists(entry + "\\Link"));
    EXPECT_TRUE(TDeletedStore(Platform).List().empty());
    // The registry's own delete takes the entry with its link, and only them.
    TRegistry deleter(Win32.Registry);
    deleter.SetRootKey(kHKeyLocalMachine);
    EXPECT_TRUE(deleter.DeleteKey(entry));
    EXPECT_FALSE(reg.KeyExists(entry));
    EXPECT_EQ(KeyTree(Win32.Registry, kHKeyLocalMachine, victim), before);
    TRegistry cleanup(Win32.Registry);
    cleanup.SetRootKey(kHKeyLocalMachine);
    cleanup.DeleteKey("Software\\ClearvaneTests");
}

// A value whose name holds a NUL is not shown as the value its name starts
// with, and a change of that value leaves it as it is.
TEST_F(DeletedEntriesTest, AValueNameHoldingANulIsNeitherShownNorChanged) {
    MakeApp(kHKeyCurrentUser, "CV Nul Demo", Intact());
    const std::string path = std::string(kUninstallKey) + "\\CV Nul Demo";
    wchar_t name[] = L"DisplayName\0Hidden";
    ASSERT_TRUE(SetNulNamedValue(path, std::wstring(name, std::size(name) - 1), L"hidden"));

    TUninstallItem item(Platform);
    item.RootKey = kHKeyCurrentUser;
    item.KeyPath = path;
    std::vector<TValueText> rows = item.ReadRows();
    int displayNames = 0;
    for (auto& [rowName, text] : rows) {
        EXPECT_EQ(rowName.find('\0'), std::string::npos);
        if (rowName == "DisplayName") {
            ++displayNames;
            EXPECT_EQ(text, "CV Nul Demo");
            text = "CV Nul Demo 2";
        }
    }
    EXPECT_EQ(displayNames, 1);
    item.WriteRows(rows);
    // The hidden value keeps its data; the plain one has the new text.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, toWide(path).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    std::map<std::wstring, std::wstring> raw;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[64];
        DWORD nameLength = 64;
        wchar_t valueData[64] = {};
        DWORD dataSize = sizeof(valueData);
        if (RegEnumValueW(key, i, valueName, &nameLength, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(valueData), &dataSize) != ERROR_SUCCESS) {
            break;
        }
        raw[std::wstring(valueName, nameLength)] = valueData;
    }
    RegCloseKey(key);
    EXPECT_EQ(raw[std::wstring(name, std::size(name) - 1)], L"hidden");
    EXPECT_EQ(raw[L"DisplayName"], L"CV Nul Demo 2");
    // No copy can hold that name, so the entry is not deleted.
    TFileInfoManager info(Platform);
    TUninstallManager manager(Platform, info);
    manager.Refresh();
    for (const auto& [entryName, entry] : manager.Items) {
        if (entryName == "CV Nul Demo 2") {
            EXPECT_THROW(manager.DeleteEntry(entry.get()), EBackupError);
        }
    }
    TRegistry reg(Win32.Registry, kKeyRead);
    reg.SetRootKey(kHKeyCurrentUser);
    EXPECT_TRUE(reg.KeyExists(path));
}

// Values whose names hold a NUL (one that would spoil the entry were it its
// NoModify) are none of the entry's fields: the one pass reads the entry as
// the reads by name do, stamp and all.
TEST_F(DeletedEntriesTest, AValueNameHoldingANulIsNoneOfTheEntrysFields) {
    MakeApp(kHKeyCurrentUser, "CV Nul Fields", Intact());
    const std::string path = std::string(kUninstallKey) + "\\CV Nul Fields";
    for (const wchar_t* name : {L"DisplayName\0Hidden", L"NoModify\0Text"}) {
        const std::wstring counted(name, std::wcslen(name) + 1 + std::wcslen(name + std::wcslen(name) + 1));
        ASSERT_TRUE(SetNulNamedValue(path, counted, L"hidden"));
    }

    TFileInfoManager info(Platform);
    TUninstallManager manager(Platform, info);
    manager.Refresh();
    const TUninstallItem* item = nullptr;
    for (const auto& pair : manager.Items) {
        if (pair.second->RootKey == kHKeyCurrentUser && pair.second->KeyPath == path) {
            item = pair.second.get();
        }
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->DisplayName, "CV Nul Fields");
    EXPECT_FALSE(item->NoModify);
    TRegistry reg(Win32.Registry, kKeyRead);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey(path, false));
    TUninstallItem named(Platform);
    ReadEntryByName(reg, &named);
    EXPECT_EQ(item->ValuesStamp, named.ValuesStamp);
    EXPECT_EQ(item->DisplayName + "|" + item->UninstallString,
              named.DisplayName + "|" + named.UninstallString);
}

} // namespace cv::test
