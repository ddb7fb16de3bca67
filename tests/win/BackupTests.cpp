// Backup Uninstall Info and Restore Uninstall Info on the real page, with
// the real registry editor writing and reading the files.
#include "UninstallFlowFixture.h"

#include "platform/RegFile.h"
#include "platform/Utf.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class BackupTest : public UninstallFlowTest {
protected:
    // A file dialog answered with this name.
    static TAnswer Choose(const char* kind, std::string path) {
        return {kind, mrOk, [path](TModalInfo& info) { info.Value = path; }};
    }
    static TAnswer Says(const char* text) {
        return {"TWaitDialogForm", mrOk,
                [text = std::string(text)](TModalInfo& info) { EXPECT_TRUE(HasText(info, text)) << text; }};
    }
    std::string File(const std::string& name) const { return Scratch + "\\" + name; }
    void TearDown() override {
        for (const char* name : {"apps.reg", "apps.reg.1", "apps.reg.2", "other.reg", "other.reg.1",
                                 "other.reg.2", "evil.reg", "evil.reg.1"}) {
            Win32.Files.RemoveFile(File(name));
        }
        UninstallFlowTest::TearDown();
    }
};

} // namespace

TEST_F(BackupTest, ABackupWritesItsFilesAndARestoreBringsADeletedEntryBack) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    MakeApp(kHKeyLocalMachine, "Beta Demo", Intact());
    Open();
    // A name without extension, then one with another: each becomes a .reg with its companions.
    for (const auto& [chosen, base] : {std::pair{"apps", "apps.reg"}, std::pair{"other.txt", "other.reg"}}) {
        Script({Choose("TSaveDialog", File(chosen)), Says("Uninstall information saved.")});
        Page().SaveListAction.Execute();
        EXPECT_TRUE(Answers.empty() && Unexpected.empty()) << chosen;
        for (const char* suffix : {"", ".1", ".2"}) {
            EXPECT_TRUE(Win32.Files.FileExists(File(std::string(base) + suffix))) << base << suffix;
        }
    }
    EXPECT_FALSE(Win32.Files.FileExists(File("other.txt")));

    // Saving over a backup asks first; No writes nothing.
    std::string before;
    ASSERT_TRUE(Win32.Files.ReadFile(File("apps.reg.1"), &before));
    Script({Choose("TSaveDialog", File("apps.reg")), {"TConfirmForm", mrNo, {}}});
    Page().SaveListAction.Execute();
    EXPECT_TRUE(Answers.empty() && Unexpected.empty());

    // Both entries cleared, then restored: back in the list after the refresh.
    for (const char* name : {"Alpha Demo", "Beta Demo"}) {
        SelectAndFocus(name);
        Script({{"TConfirmForm", mrYes, {}}});
        Page().DeleteEntryAction.Execute();
        EXPECT_FALSE(
            KeyThere(name == std::string("Alpha Demo") ? kHKeyCurrentUser : kHKeyLocalMachine, name));
    }
    EXPECT_TRUE(Captions().empty());
    Script({Choose("TOpenDialog", File("apps.reg")), Says("Uninstall information restored.")});
    Page().LoadListAction.Execute();
    EXPECT_TRUE(Answers.empty() && Unexpected.empty());
    WaitForCycle();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Beta Demo", "Alpha Demo"})); // the machine's first
    EXPECT_TRUE(KeyThere(kHKeyCurrentUser, "Alpha Demo"));
    EXPECT_TRUE(KeyThere(kHKeyLocalMachine, "Beta Demo"));
}

TEST_F(BackupTest, AFileHoldingAnotherKeyIsRefusedAndNothingIsImported) {
    Open();
    const auto write = [&](const std::string& name, const std::string& text) {
        const std::vector<std::uint8_t> wide =
            Utf8ToUtf16Bytes("Windows Registry Editor Version 5.00\r\n\r\n" + text);
        Win32.Files.WriteFile(File(name), std::string("\xFF\xFE") + std::string(wide.begin(), wide.end()));
    };
    write("evil.reg",
          "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sneaky]\r\n"
          "\"DisplayName\"=\"Sneaky\"\r\n");
    write("evil.reg.1", "[HKEY_CURRENT_USER\\Software\\ClearvaneTests\\Planted]\r\n\"x\"=\"y\"\r\n");
    Script({Choose("TOpenDialog", File("evil.reg")),
            {"TWaitDialogForm", mrOk, [&](TModalInfo& info) {
                 EXPECT_TRUE(
                     HasText(info, "\"" + File("evil.reg.1") +
                                       "\" holds the key \"HKEY_CURRENT_USER\\Software\\ClearvaneTests\\"
                                       "Planted\", which is no uninstall information. Nothing was "
                                       "restored."));
             }}});
    Page().LoadListAction.Execute();
    EXPECT_TRUE(Answers.empty() && Unexpected.empty());
    EXPECT_FALSE(KeyThere(kHKeyCurrentUser, "Sneaky"));
    TRegistry reg(Win32.Registry, kKeyRead);
    reg.SetRootKey(kHKeyCurrentUser);
    EXPECT_FALSE(reg.KeyExists("Software\\ClearvaneTests\\Planted"));
    EXPECT_TRUE(Captions().empty());
}

} // namespace cv::test
