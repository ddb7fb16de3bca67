#include "contract/KeyValues.h"
#include "inventory/UninstallManager.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

const std::string kKey = std::string(kUninstallKey) + "\\App";

class UninstallItemTest : public ::testing::Test {
protected:
    UninstallItemTest() : Item(Sub.Platform) {
        Item.RootKey = kHKeyLocalMachine;
        Item.KeyPath = kKey;
    }

    TRegistry Reg() {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        reg.OpenKey(kKey, true);
        return reg;
    }

    TKeyValues Snapshot() { return KeyValues(Sub.Registry, kHKeyLocalMachine, kKey); }

    TSubstitutePlatform Sub;
    TUninstallItem Item;
};

TEST_F(UninstallItemTest, OnlyNamedRemovableEntriesWithACommandAreApplications) {
    struct TCase {
        const char* Name;
        const char* Command;
        bool NoModify;
        bool NoRemove;
        bool Expected;
    };
    const TCase cases[] = {
        {"App", "u.exe", false, false, true}, {"App", "", false, false, false},
        {"", "u.exe", false, false, false},   {"App", "u.exe", true, false, false},
        {"App", "u.exe", false, true, false}, {"App", "u.exe", true, true, false},
    };
    for (const TCase& c : cases) {
        Item.DisplayName = c.Name;
        Item.UninstallString = c.Command;
        Item.NoModify = c.NoModify;
        Item.NoRemove = c.NoRemove;
        EXPECT_EQ(Item.IsUninstallable(), c.Expected)
            << c.Name << "|" << c.Command << c.NoModify << c.NoRemove;
    }
}

TEST_F(UninstallItemTest, InstallFolderFallsBackToTheExecutablesFolder) {
    Sub.Files.AddFile("C:\\Program Files\\Tool\\bin\\unins000.exe", "MZ");
    Sub.Files.AddFile("C:\\Windows\\System32\\msiexec.exe", "MZ");
    Sub.Files.AddFolder("C:\\Program Files\\Tool");
    struct TCase {
        const char* Location;
        const char* Command;
        const char* Executable;
        const char* Folder;
    };
    const TCase cases[] = {
        {"C:\\Program Files\\Tool", "\"C:\\Program Files\\Tool\\bin\\unins000.exe\" /SILENT",
         "C:\\Program Files\\Tool\\bin\\unins000.exe", "C:\\Program Files\\Tool"},
        {"C:\\Program Files\\Tool\\", "x", "", "C:\\Program Files\\Tool\\"},
        {"C:\\Gone", "C:\\Program Files\\Tool\\bin\\unins000.exe /x",
         "C:\\Program Files\\Tool\\bin\\unins000.exe", "C:\\Program Files\\Tool\\bin\\"},
        {"", "msiexec.exe /x {GUID}", "C:\\Windows\\System32\\msiexec.exe", "C:\\Windows\\System32\\"},
        {"C:\\Gone", "C:\\Gone\\u.exe", "", ""},
        {"", "", "", ""},
    };
    for (const TCase& c : cases) {
        Item.InstallLocation = c.Location;
        Item.UninstallString = c.Command;
        EXPECT_EQ(Item.GetExecutable(), c.Executable) << c.Command;
        EXPECT_EQ(Item.GetInstallDir(), c.Folder) << c.Command;
    }
}

TEST_F(UninstallItemTest, ReadValuesGivesNameAndTextLinesInRegistryOrder) {
    {
        TRegistry reg = Reg();
        reg.WriteString("DisplayName", "Tool");
        reg.WriteInteger("EstimatedSize", 5);
        std::vector<std::uint8_t> blob(40, 1);
        reg.WriteBinaryData("Blob", blob.data(), blob.size());
        reg.WriteInteger("Minus", -1);
        reg.WriteBinaryData("EmptyBlob", nullptr, 0);
        reg.WriteString("", "the default");
        reg.WriteString("Cmd", "a=b");
        reg.WriteRaw("Q", {kRegQword, {0, 1, 0, 0, 0, 0, 0, 0}});
        reg.WriteRaw("Odd", {kRegDword, {1, 2}});
    }
    const std::vector<std::string> expected{"DisplayName=Tool", "EstimatedSize=5", "Blob=40",
                                            "Minus=-1",         "EmptyBlob=0",     "=the default",
                                            "Cmd=a=b",          "Q=256",           "Odd=2"};
    EXPECT_EQ(Item.ReadValues(), expected);

    Item.KeyPath = kKey + "\\Missing";
    EXPECT_TRUE(Item.ReadValues().empty());
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kKey, true);
    Item.KeyPath = kKey;
    EXPECT_EQ(Item.ReadValues(), expected); // read rights are enough to read
}

TEST_F(UninstallItemTest, RewritingFromTextKeepsUntouchedValuesAndSetsTheRest) {
    {
        TRegistry reg = Reg();
        reg.WriteString("DisplayName", "Tool");
        reg.WriteInteger("Size", 5);
        reg.WriteRaw("Raw", {kRegSz, {'x', 0, 0, 0, 'y', 0}}); // text stops at the NUL, data goes on
        reg.WriteString("a=b", "c");                           // a name holding "="
        reg.OpenKey(kKey + "\\Child", true);
    }
    const auto before = Snapshot();
    Item.WriteValues(Item.ReadValues());
    EXPECT_EQ(Snapshot(), before);

    Item.WriteValues(
        {"=new default", "DisplayName=Tool 2", "Size=12", "Size=13", "Plain", "Eq=1=2", "Size2=oops"});
    TRegistry reg = Reg();
    // The values kept stay where they were; new ones come after them.
    EXPECT_EQ(reg.GetValueNames(),
              (std::vector<std::string>{"DisplayName", "Size", "", "Plain", "Eq", "Size2"}));
    EXPECT_EQ(reg.ReadString(""), "new default");
    EXPECT_EQ(reg.ReadString("DisplayName"), "Tool 2");
    EXPECT_EQ(reg.ReadInteger("Size"), 13); // the later line wins, still a number
    EXPECT_EQ(reg.ReadString("Plain"), "");
    EXPECT_EQ(reg.ReadString("Eq"), "1=2");
    EXPECT_TRUE(reg.KeyExists(kKey + "\\Child"));
}

TEST_F(UninstallItemTest, ASaveThatWouldLoseDataIsRefusedWhole) {
    {
        TRegistry reg = Reg();
        reg.WriteString("DisplayName", "Tool");
        reg.WriteInteger("Size", 5);
        reg.WriteBinaryData("Blob", "abc", 3);
        reg.WriteRaw("Multi", {kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
        reg.WriteRaw("Big", {kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}});
        reg.WriteRaw("None", {kRegNone, {}});
        reg.WriteRaw("Short", {kRegDword, {1, 2}});
    }
    const auto before = Snapshot();
    struct TCase {
        std::string Line; // changes one row, the others stay as shown
        std::string Message;
    };
    const std::string notText =
        "\" cannot be changed here: it holds neither text nor a 32-bit number. Nothing was saved.";
    const TCase cases[] = {
        {"Size=five", "The value \"Size\" is a 32-bit number: \"five\" is not one. Nothing was saved."},
        {"Size=", "The value \"Size\" is a 32-bit number: \"\" is not one. Nothing was saved."},
        {"Size=99999999999",
         "The value \"Size\" is a 32-bit number: \"99999999999\" is not one. Nothing was saved."},
        {"Blob=4", "The value \"Blob" + notText},
        {"Multi=a", "The value \"Multi" + notText},
        {"big=2", "The value \"big" + notText},
        {"None=x", "The value \"None" + notText},
        {"Short=7", "The value \"Short" + notText},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> lines = Item.ReadValues();
        const std::string name = c.Line.substr(0, c.Line.find('='));
        lines.erase(
            std::remove_if(lines.begin(), lines.end(),
                           [&](const std::string& l) { return SameText(l.substr(0, l.find('=')), name); }),
            lines.end());
        lines.insert(lines.begin(), "DisplayName=Changed"); // would be written first
        lines.push_back(c.Line);
        try {
            Item.WriteValues(lines);
            ADD_FAILURE() << c.Line << " saved";
        } catch (const ERegistryError& e) {
            EXPECT_EQ(e.what(), c.Message);
        }
        EXPECT_EQ(Snapshot(), before) << c.Line;
    }
    // A number given as a number is saved as one; removing such a row is the user's to do.
    Item.WriteValues({"DisplayName=Tool", "Size=-7"});
    TRegistry reg = Reg();
    EXPECT_EQ(reg.ReadInteger("Size"), -7);
    EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"DisplayName", "Size"}));
}

TEST_F(UninstallItemTest, AValueThatCouldNotBeReadIsNeverDeleted) {
    // A value that vanishes between the names' listing and its read stands
    // for one the registry would not give: the grid never showed it.
    class TFlakyRegistry : public TSubstituteRegistry {
    public:
        long QueryValue(HKey key, std::string_view name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override {
            if (name == "Hidden") {
                return kErrorAccessDenied;
            }
            return TSubstituteRegistry::QueryValue(key, name, type, data);
        }
    };
    TFlakyRegistry flaky;
    TPlatform platform{flaky, Sub.Files, Sub.Shell, Sub.Processes, Sub.Locale, {}};
    TUninstallItem item(platform);
    item.RootKey = kHKeyLocalMachine;
    item.KeyPath = kKey;
    {
        TRegistry reg(flaky);
        reg.SetRootKey(kHKeyLocalMachine);
        ASSERT_TRUE(reg.OpenKey(kKey, true));
        reg.WriteString("DisplayName", "Tool");
        reg.WriteString("Hidden", "kept");
    }
    EXPECT_EQ(item.ReadValues(), std::vector<std::string>{"DisplayName=Tool"});
    item.WriteValues({"DisplayName=Tool 2"});
    TRegistry reg(flaky);
    reg.SetRootKey(kHKeyLocalMachine);
    ASSERT_TRUE(reg.OpenKey(kKey, false));
    EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"DisplayName", "Hidden"}));
}

TEST_F(UninstallItemTest, AFailedRewriteLeavesTheOldValues) {
    const char* const kRefused = "Cannot change \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                                 "CurrentVersion\\Uninstall\\App\": administrator rights are needed to "
                                 "change this key.";
    {
        TRegistry reg = Reg();
        reg.WriteString("DisplayName", "Tool");
        reg.WriteInteger("Size", 5);
        reg.WriteExpandString("Icon", "%x%");
    }
    const auto before = Snapshot();
    const std::vector<std::string> lines{"DisplayName=Other", "Size=6", "New=1", "Icon=%y%"};
    // Fail each change of the rewrite in turn: its four writes.
    for (int failAt = 1; failAt <= 4; ++failAt) {
        int count = 0;
        Sub.Registry.SetFault([&](const std::string&, const std::string&) { return ++count == failAt; });
        try {
            Item.WriteValues(lines);
            ADD_FAILURE() << "no error when change " << failAt << " failed";
        } catch (const ERightsError& e) {
            EXPECT_STREQ(e.what(), kRefused) << failAt;
        }
        Sub.Registry.SetFault(nullptr);
        EXPECT_EQ(Snapshot(), before) << "change " << failAt;
    }
    // A key that refuses writes reports the first value.
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kKey, true);
    try {
        Item.WriteValues(lines);
        ADD_FAILURE() << "no error";
    } catch (const ERightsError& e) {
        EXPECT_STREQ(e.what(), kRefused);
    }
    Sub.Registry.SetRefusesWrite(kHKeyLocalMachine, kKey, false);
    EXPECT_EQ(Snapshot(), before);

    // A key gone meanwhile (its uninstaller removed it) is not made again.
    {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyLocalMachine);
        ASSERT_TRUE(reg.DeleteKey(kKey));
    }
    try {
        Item.WriteValues(lines);
        ADD_FAILURE() << "no error for a missing key";
    } catch (const ERegistryError& e) {
        EXPECT_EQ(std::string(e.what()), "The entry \"HKEY_LOCAL_MACHINE\\" + kKey + "\" no longer exists.");
    }
    TRegistry reg(Sub.Registry);
    reg.SetRootKey(kHKeyLocalMachine);
    EXPECT_FALSE(reg.KeyExists(kKey));
}

TEST_F(UninstallItemTest, TwoValuesGivingTheSameLineBothStay) {
    {
        TRegistry reg = Reg();
        reg.WriteString("a=b", "c");
        reg.WriteString("a", "b=c");
        reg.WriteString("x=", "");
        reg.WriteString("x", "");
    }
    const TKeyValues before = Snapshot();
    ASSERT_EQ(Item.ReadValues(), (std::vector<std::string>{"a=b=c", "a=b=c", "x==", "x="}));
    // Each line stands for one value, in the order ReadValues gave them.
    Item.WriteValues(Item.ReadValues());
    EXPECT_EQ(Snapshot(), before);
    // One of the two lines gone: one of the two values goes, and which one
    // is told by the lines left, in order.
    Item.WriteValues({"a=b=c", "x==", "x="});
    EXPECT_EQ(Reg().GetValueNames(), (std::vector<std::string>{"a=b", "x=", "x"}));
    // A line given twice for one value stands for that value both times.
    Item.WriteValues({"x==", "a=b=c", "x=", "a=b=c"});
    EXPECT_EQ(Reg().GetValueNames(), (std::vector<std::string>{"a=b", "x=", "x"}));
    EXPECT_EQ(Reg().ReadString("a=b"), "c");
}

} // namespace

} // namespace cv::test

namespace cv::test {

namespace {

TEST_F(UninstallItemTest, ARenamedRowKeepsItsValuesTypeAndDataAndANameMayHoldAnEqualsSign) {
    const std::vector<std::uint8_t> blob{1, 2, 0, 255, 7};
    {
        TRegistry reg = Reg();
        reg.WriteString("DisplayName", "Tool");
        reg.WriteRaw("Bin", {kRegBinary, blob});
        reg.WriteInteger("Size", 42);
        reg.WriteExpandString("Icon", "%x%\\i.ico");
        reg.WriteString("a=b", "c");
    }
    std::vector<TValueText> rows = Item.ReadRows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[4], (TValueText{"a=b", "c"}));
    // Every row but DisplayName renamed; "a=b" gets a new text.
    rows = {{"DisplayName", "Tool"}, {"Bin2", "5"}, {"Size2", "42"}, {"Icon2", "%x%\\i.ico"}, {"a=b", "d"}};
    Item.WriteRows(rows);
    TRegistry reg = Reg();
    EXPECT_EQ(reg.GetValueNames(),
              (std::vector<std::string>{"DisplayName", "a=b", "Bin2", "Size2", "Icon2"}));
    TRegRawValue value;
    ASSERT_TRUE(reg.ReadRaw("Bin2", &value));
    EXPECT_EQ(value, (TRegRawValue{kRegBinary, blob}));
    EXPECT_EQ(reg.ReadInteger("Size2"), 42);
    ASSERT_TRUE(reg.ReadRaw("Icon2", &value));
    EXPECT_EQ(value.Type, static_cast<std::uint32_t>(kRegExpandSz));
    EXPECT_EQ(reg.ReadString("a=b"), "d");

    // The lines of ReadValues name a value with "=" whole when left as they are.
    Item.WriteValues(Item.ReadValues());
    EXPECT_EQ(reg.GetValueNames(),
              (std::vector<std::string>{"DisplayName", "a=b", "Bin2", "Size2", "Icon2"}));
    // A new name with a text no removed value shows is a new string.
    Item.WriteRows({{"DisplayName", "Tool"}, {"Fresh", "new"}});
    EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"DisplayName", "Fresh"}));
    ASSERT_TRUE(reg.ReadRaw("Fresh", &value));
    EXPECT_EQ(value.Type, static_cast<std::uint32_t>(kRegSz));
}

} // namespace

} // namespace cv::test
