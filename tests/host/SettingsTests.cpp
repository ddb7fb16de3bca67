#include "app/IniFile.h"
#include "app/ListLayoutStore.h"
#include "app/Settings.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

const char* const kIni = "C:\\Program Files\\Clearvane\\qxuninstaller.ini";

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() {
        Sub.Files.AddFolder("C:\\Program Files\\Clearvane");
        Sub.Shell.SetSpecialFolder(kCsidlAppData, ""); // the files stay beside the program
    }
    std::string File() {
        std::string text;
        Sub.Files.ReadFile(kIni, &text);
        return text;
    }
    TSubstitutePlatform Sub;
};

TEST(IniInteger, ReadsDecimalAndBothHexadecimalForms) {
    struct TCase {
        const char* Text;
        bool Ok;
        int Value;
    };
    const TCase cases[] = {
        {"42", true, 42},         {" -7 ", true, -7},
        {"0x1F", true, 31},       {"$ff", true, 255},
        {"0XFFFFFFFF", true, -1}, {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"-2147483648", true, -2147483647 - 1},
        {"", false, 0},           {"12abc", false, 0},
        {"0x", false, 0},         {"$", false, 0},
        {"1.5", false, 0},        {"0x100000000", false, 0},
        {"ten", false, 0},
    };
    for (const TCase& c : cases) {
        int value = 0;
        EXPECT_EQ(ParseIniInteger(c.Text, &value), c.Ok) << c.Text;
        if (c.Ok) {
            EXPECT_EQ(value, c.Value) << c.Text;
        }
    }
}

TEST_F(SettingsTest, AMissingFileGivesTheDefaults) {
    const TMainFormPlacement p = LoadMainFormPlacement(Sub.Platform);
    EXPECT_EQ(p.WindowState, 0);
    EXPECT_EQ(p.WindowLeft, 186);
    EXPECT_EQ(p.WindowTop, 131);
    EXPECT_EQ(p.WindowWidth, 699);
    EXPECT_EQ(p.WindowHeight, 558);
    const TUninstallerView v = LoadUninstallerView(Sub.Platform, 3);
    EXPECT_EQ(v.ViewStyle, 0);
    EXPECT_EQ(v.ColumnWidths, (std::vector<int>{100, 100, 100}));
}

TEST_F(SettingsTest, ValuesAreReadWithoutCaseAndGarbageReadsAsTheDefault) {
    Sub.Files.AddFile(kIni, "; written by hand\n"
                            "[main form]\r\n"
                            "  windowstate = 2\r\n"
                            "WindowLeft=$10\r"
                            "WindowTop=0x20\r\n"
                            "WindowWidth=wide\r\n"
                            "WindowHeight=\"300\"\r\n"
                            "[CLEARVANE]\r\n"
                            "ViewStyle=3\r\n"
                            "Column1=250\r\n"
                            "Column1=999\r\n");
    const TMainFormPlacement p = LoadMainFormPlacement(Sub.Platform);
    EXPECT_EQ(p.WindowState, 2);
    EXPECT_EQ(p.WindowLeft, 16);
    EXPECT_EQ(p.WindowTop, 32);
    EXPECT_EQ(p.WindowWidth, 699);
    EXPECT_EQ(p.WindowHeight, 300);
    const TUninstallerView v = LoadUninstallerView(Sub.Platform, 3);
    EXPECT_EQ(v.ViewStyle, 3);
    EXPECT_EQ(v.ColumnWidths, (std::vector<int>{100, 250, 100}));
}

TEST_F(SettingsTest, SavesKeepOtherContentAndRoundTrip) {
    Sub.Files.AddFile(kIni, "[Other]\r\nKeep=me\r\n\r\n[Clearvane]\r\nviewstyle=1\r\nColumn0=5\r\n");
    SaveUninstallerView(Sub.Platform, {3, {120, 340, 56}});
    TMainFormPlacement placement;
    placement.WindowLeft = -8;
    placement.WindowWidth = 1024;
    SaveMainFormPlacement(Sub.Platform, placement);
    EXPECT_EQ(File(), "[Other]\r\nKeep=me\r\n\r\n[Clearvane]\r\nViewStyle=3\r\nColumn0=120\r\nColumn1=340\r\n"
                      "Column2=56\r\n\r\n[Main Form]\r\nWindowState=0\r\nWindowLeft=-8\r\nWindowTop=131\r\n"
                      "WindowWidth=1024\r\nWindowHeight=558\r\n");
    EXPECT_EQ(LoadUninstallerView(Sub.Platform, 3).ColumnWidths, (std::vector<int>{120, 340, 56}));
    EXPECT_EQ(LoadMainFormPlacement(Sub.Platform).WindowLeft, -8);
    EXPECT_EQ(TIniFile(Sub.Platform, kIni).ReadString("other", "KEEP", ""), "me");
}

TEST_F(SettingsTest, ASectionsKeysComeInFileOrderAndASectionCanBeErased) {
    Sub.Files.AddFile(kIni,
                      "[Files]\r\nFiles1=b\r\nfiles0=a\r\nnot a key\r\nFiles1=again\r\n[files]\r\nX=1\r\n"
                      "[Other]\r\nKeep=me\r\n");
    TIniFile ini(Sub.Platform, kIni);
    EXPECT_EQ(ini.ReadSectionKeys("FILES"), (std::vector<std::string>{"Files1", "files0", "Files1"}));
    EXPECT_TRUE(ini.ReadSectionKeys("Missing").empty());
    ini.EraseSection("files"); // every section of that name, whatever its case
    EXPECT_TRUE(ini.ReadSectionKeys("Files").empty());
    ini.WriteString("Files", "Files0", "c");
    ini.UpdateFile();
    EXPECT_EQ(File(), "[Other]\r\nKeep=me\r\n\r\n[Files]\r\nFiles0=c\r\n");
}

TEST_F(SettingsTest, AByteOrderMarkSurvivesASave) {
    // Two marks: the second belongs to the first line, which is then no section.
    Sub.Files.AddFile(kIni, "\xEF\xBB\xBF\xEF\xBB\xBF[Main Form]\r\nWindowTop=5\r\n");
    TMainFormPlacement placement;
    placement.WindowLeft = 77;
    SaveMainFormPlacement(Sub.Platform, placement);
    EXPECT_EQ(LoadMainFormPlacement(Sub.Platform).WindowLeft, 77);
    EXPECT_EQ(File().substr(0, 6), "\xEF\xBB\xBF\xEF\xBB\xBF");
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReportedAndLeftWhole) {
    Sub.Files.AddFile(kIni, "[Clearvane]\r\nViewStyle=1\r\n");
    struct TCase {
        const char* What;
        std::function<void()> Break;
    };
    const TCase cases[] = {
        {"read-only file", [&] { Sub.Files.SetAttributes(kIni, kFileAttributeReadOnly); }},
        {"write refused",
         [&] {
             Sub.Files.SetFault([](const std::string& op, const std::string&) { return op == "WriteFile"; });
         }},
        {"rename refused",
         [&] {
             Sub.Files.SetFault([](const std::string& op, const std::string&) { return op == "MovePath"; });
         }},
    };
    for (const TCase& c : cases) {
        c.Break();
        try {
            SaveUninstallerView(Sub.Platform, {2, {1, 2, 3}});
            ADD_FAILURE() << c.What;
        } catch (const ESettingsError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Unable to write to ") + kIni) << c.What;
        }
        Sub.Files.SetFault(nullptr);
        Sub.Files.SetAttributes(kIni, kFileAttributeArchive);
        EXPECT_EQ(File(), "[Clearvane]\r\nViewStyle=1\r\n") << c.What;
        EXPECT_FALSE(Sub.Files.FileExists(std::string(kIni) + ".new")) << c.What;
    }
    Sub.Files.RemoveFile(kIni);
    Sub.Files.SetAttributes("C:\\Program Files\\Clearvane", kFileAttributeReadOnly | kFileAttributeDirectory);
    EXPECT_THROW(SaveMainFormPlacement(Sub.Platform, {}), ESettingsError);
}

TEST(ListLayoutStore, StoredLayoutIsHeldToTheListsColumns) {
    TSubstitutePlatform sub;
    TListLayoutStore store(sub.Platform);
    const TListLayout design{{150, 200, 90, 300}, true, 0, 3};
    auto put = [&](const std::string& sub_, const std::string& value, const std::string& text) {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(std::string(kStartupLayoutKey) + "\\" + sub_, true);
        reg.WriteString(value, text);
    };
    TListLayout layout = store.Load(design);
    EXPECT_EQ(layout.Widths, design.Widths);
    EXPECT_TRUE(layout.Ascending);
    EXPECT_EQ(layout.SortColumn, 0);
    EXPECT_EQ(layout.ViewStyle, 3);

    struct TCase {
        const char* Sizes;
        const char* Ascending;
        const char* SortCol;
        const char* ViewStyle;
        std::vector<int> Widths;
        bool ExpectAscending;
        int ExpectSort;
        int ExpectStyle;
    };
    const TCase cases[] = {
        {"10,20", "0", "2", "1", {10, 20, 90, 300}, false, 2, 1},
        {"1,2,3,4,5,6", "1", "9", "4", {1, 2, 3, 4}, true, 3, 3},
        {"x,,-5,7", "1", "-2", "-1", {150, 200, 90, 7}, true, 0, 3},
        {"", "yes", "abc", "two", {150, 200, 90, 300}, true, 0, 3},
    };
    for (const TCase& c : cases) {
        put("Columns", "Sizes", c.Sizes);
        put("Sort", "Ascending", c.Ascending);
        put("Sort", "SortCol", c.SortCol);
        put("ViewStyle", "ViewStyle", c.ViewStyle);
        layout = store.Load(design);
        EXPECT_EQ(layout.Widths, c.Widths) << c.Sizes;
        EXPECT_EQ(layout.Ascending, c.ExpectAscending) << c.Ascending;
        EXPECT_EQ(layout.SortColumn, c.ExpectSort) << c.SortCol;
        EXPECT_EQ(layout.ViewStyle, c.ExpectStyle) << c.ViewStyle;
    }
    {
        TRegistry reg(sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.OpenKey(std::string(kStartupLayoutKey) + "\\ViewStyle", false);
        reg.WriteInteger("ViewStyle", 2); // the wrong type counts as missing
    }
    EXPECT_EQ(store.Load(design).ViewStyle, 3);

    store.Save({{11, 22, 33, 44}, false, 2, 1});
    layout = store.Load(design);
    EXPECT_EQ(layout.Widths, (std::vector<int>{11, 22, 33, 44}));
    EXPECT_FALSE(layout.Ascending);
    EXPECT_EQ(layout.SortColumn, 2);
    EXPECT_EQ(layout.ViewStyle, 1);
    sub.Registry.SetRefusesWrite(kHKeyCurrentUser, std::string(kStartupLayoutKey) + "\\Sort", true);
    EXPECT_THROW(store.Save(design), ERegistryError);
}

} // namespace

} // namespace cv::test
