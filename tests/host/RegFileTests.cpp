#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/Utf.h"
#include "platform/substitute/SubstituteRegistry.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

std::string Utf16File(const std::string& text) {
    const auto wide = Utf8ToUtf16Bytes(text);
    return "\xFF\xFE" + std::string(wide.begin(), wide.end());
}

std::string Text(const std::string& file) {
    return Utf16BytesToUtf8(reinterpret_cast<const std::uint8_t*>(file.data()) + 2, file.size() - 2);
}

TEST(RegFile, ImportMergesCreatesAndDeletesAsTheEditorDoes) {
    TSubstituteRegistry api;
    TRegistry reg(api);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey("Software\\T\\Keep", true));
    reg.WriteString("Old", "stays");
    reg.WriteString("Drop", "goes");
    ASSERT_TRUE(reg.OpenKey("Software\\T\\Gone\\Deep", true));
    reg.CloseKey();

    const std::string file = Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                                       "; a comment\r\n"
                                       "[HKEY_CURRENT_USER\\Software\\T\\Keep]\r\n"
                                       "\"New\"=\"a \\\"quoted\\\" \\\\ text\"\r\n"
                                       "\"Drop\"=-\r\n"
                                       "@=dword:0000002a\r\n"
                                       "\"Long\"=hex:01,02,\\\r\n"
                                       "  03,04\r\n"
                                       "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                                       "\r\n"
                                       "[-HKEY_CURRENT_USER\\Software\\T\\Gone]\r\n"
                                       "\r\n"
                                       "[HKEY_LOCAL_MACHINE\\Software\\Made]\r\n"
                                       "\"x\"=\"y\"\r\n");
    EXPECT_TRUE(ImportRegFile(api, file));
    ASSERT_TRUE(reg.OpenKey("Software\\T\\Keep", false));
    EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"Old", "New", "", "Long", "Expand"}));
    EXPECT_EQ(reg.ReadString("New"), "a \"quoted\" \\ text");
    EXPECT_EQ(reg.ReadInteger(""), 42);
    std::uint8_t bytes[8] = {};
    EXPECT_EQ(reg.ReadBinaryData("Long", bytes, sizeof bytes), 4u);
    EXPECT_EQ(bytes[3], 4);
    EXPECT_EQ(reg.ReadString("Expand"), "%A%");
    EXPECT_FALSE(reg.KeyExists("Software\\T\\Gone"));
    reg.SetRootKey(kHKeyLocalMachine);
    EXPECT_TRUE(reg.KeyExists("Software\\Made"));
}

TEST(RegFile, BadFilesAndLinesAreRefusedWithoutLosingTheGoodOnes) {
    struct TCase {
        const char* What;
        std::string File;
        bool Ok;
    };
    const std::string header = "Windows Registry Editor Version 5.00\r\n";
    const TCase cases[] = {
        {"no header", Utf16File("[HKEY_CURRENT_USER\\A]\r\n"), false},
        {"empty", "", false},
        {"random bytes", std::string("\x01\x02\xFF\x00garbage", 11), false},
        {"unknown root", Utf16File(header + "[HKEY_NOWHERE\\A]\r\n\"v\"=\"x\"\r\n"), false},
        {"bad dword", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n\"v\"=dword:xyz\r\n\"w\"=\"ok\"\r\n"),
         false},
        {"bad hex", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:1g,2\r\n\"w\"=\"ok\"\r\n"),
         false},
        {"unclosed quote", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n\"v=\"x\r\n\"w\"=\"ok\"\r\n"),
         false},
        {"old format, LF only", "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"w\"=\"ok\"\n", true},
        {"lone CR line ends",
         Utf16File("Windows Registry Editor Version 5.00\r[HKEY_CURRENT_USER\\A]\r\"w\"=\"ok\"\r"), true},
    };
    for (const TCase& c : cases) {
        TSubstituteRegistry api;
        EXPECT_EQ(ImportRegFile(api, c.File), c.Ok) << c.What;
        if (c.File.find('w') != std::string::npos && c.Ok) {
            TRegistry reg(api);
            reg.SetRootKey(kHKeyCurrentUser);
            ASSERT_TRUE(reg.OpenKey("A", false)) << c.What;
            EXPECT_EQ(reg.ReadString("w"), "ok") << c.What;
        }
    }
    TSubstituteRegistry api;
    ImportRegFile(api, cases[4].File); // the line after a bad one still applies
    TRegistry reg(api);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey("A", false));
    EXPECT_EQ(reg.ReadString("w"), "ok");
}

TEST(RegFile, ExportWritesTheEditorsFormsAndWrapsLongData) {
    TSubstituteRegistry api;
    TRegistry reg(api);
    reg.SetRootKey(kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey("Software\\E", true));
    reg.WriteString("S", "C:\\x \"y\"");
    reg.WriteInteger("D", 0x1ab);
    reg.WriteRaw("Empty", {kRegSz, {}});
    reg.WriteRaw("Q", {kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}});
    std::vector<std::uint8_t> data(30, 0xee);
    reg.WriteRaw("Sidebar", {kRegExpandSz, data});
    ASSERT_TRUE(reg.OpenKey("Software\\E\\Sub", true));
    std::string file;
    ASSERT_TRUE(ExportRegFile(api, "HKCU\\Software\\E", &file));
    const std::string expected =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\E]\r\n"
        "\"S\"=\"C:\\\\x \\\"y\\\"\"\r\n"
        "\"D\"=dword:000001ab\r\n"
        "\"Empty\"=hex(1):\r\n"
        "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
        "\"Sidebar\"=hex(2):ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,ee,\\\r\n"
        "  ee,ee,ee,ee,ee,ee,ee,ee,ee,ee\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\E\\Sub]\r\n"
        "\r\n";
    EXPECT_EQ(Text(file), expected);
    EXPECT_FALSE(ExportRegFile(api, "HKCU\\Software\\Missing", &file));
    EXPECT_FALSE(ExportRegFile(api, "HKEY_NOWHERE\\Software", &file));
}

} // namespace

} // namespace cv::test

namespace cv::test {

namespace {

TEST(RegistryKeyText, A32BitKeyIsShownUnderWow6432Node) {
    struct TCase {
        std::string Path;
        TRegView View;
        std::string Shown;
    };
    const TCase cases[] = {
        {"SOFTWARE\\Microsoft\\X", kRegView32, "SOFTWARE\\WOW6432Node\\Microsoft\\X"},
        {"Software\\Run", kRegView32, "Software\\WOW6432Node\\Run"},
        {"\\SOFTWARE\\X", kRegView32, "SOFTWARE\\WOW6432Node\\X"},
        {"SOFTWARE", kRegView32, "SOFTWARE\\WOW6432Node"},
        {"SOFTWARE\\Wow6432Node\\X", kRegView32, "SOFTWARE\\Wow6432Node\\X"},                // named already
        {"SOFTWARE\\WOW6432NodeX\\Y", kRegView32, "SOFTWARE\\WOW6432Node\\WOW6432NodeX\\Y"}, // another key
        {"SOFTWAREX\\Y", kRegView32, "SOFTWAREX\\Y"},
        {"SYSTEM\\X", kRegView32, "SYSTEM\\X"},
        {"SOFTWARE\\X", kRegView64, "SOFTWARE\\X"},
        {"SOFTWARE\\X", kRegViewNative, "SOFTWARE\\X"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ShownKeyPath(c.Path, c.View), c.Shown) << c.Path;
    }
    EXPECT_EQ(FullKeyText(kHKeyLocalMachine, "SOFTWARE\\X", kRegView32),
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\X");
    // The user's key has one view whatever is asked.
    EXPECT_EQ(FullKeyText(kHKeyCurrentUser, "Software\\X", kRegView32), "HKEY_CURRENT_USER\\Software\\X");
}

} // namespace

} // namespace cv::test
