// The quick entry for a file dropped on the program's icon, on the real
// registry, shell and file system: the choices, what each one does, and an
// uninstaller that hands over to a copy of itself waited for to its end.
#include "UninstallerPageFixture.h"

#include "uninstaller/QuickEntryForm.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class QuickEntryTest : public UninstallerPageTest {
protected:
    void SetUp() override {
        UninstallerPageTest::SetUp();
        Folder = Scratch + "\\Quick Demo Folder";
        Win32.Files.MakeDirectory(Folder);
        Program = Folder + "\\quick.exe";
        ASSERT_TRUE(Win32.Files.WriteFile(Program, "MZ"));
    }
    void TearDown() override {
        for (const std::string& file : {Program, Folder + ".lnk", Folder + ".LNK", Scratch + "\\done.txt"}) {
            Win32.Files.RemoveFile(file);
        }
        Win32.Files.RemoveEmptyDirectory(Folder);
        UninstallerPageTest::TearDown();
    }
    // Runs the quick entry for the path; the dialog is answered by choosing
    // the item and pressing the button (OK or Cancel).
    enum class TEnd { Ok, Cancel, Esc };
    int Drop(const std::string& path, int item, TEnd end = TEnd::Ok) {
        TResponderScope scope([&](TModalInfo& info) {
            auto& form = dynamic_cast<TQuickEntryForm&>(*TWindow::FromHandle(info.Handle));
            Items = form.RadioGroup.Items();
            form.RadioGroup.SetItemIndex(item);
            if (end == TEnd::Esc) {
                form.RadioGroup.Button(static_cast<std::size_t>(item))->SetFocus();
                PostKey(FocusOr(info.Handle), VK_ESCAPE);
            } else {
                (end == TEnd::Cancel ? form.AlphaButton1 : form.OkButton).Click();
            }
            return kRunModalLoop;
        });
        TUninstallManager inventory(Platform, Info);
        return ShowQuickEntry(Platform, inventory, path);
    }
    // What Wine's shell keeps in the Recycle Bin under a name that begins so
    // (it adds a tail when the name is taken), read and then taken away.
    static std::vector<std::string> TakeFromTrash(const std::string& name) {
        const char* data = std::getenv("XDG_DATA_HOME");
        const char* home = std::getenv("HOME");
        std::string base =
            data != nullptr && *data != 0 ? data : std::string(home ? home : "/root") + "/.local/share";
        std::replace(base.begin(), base.end(), '/', '\\');
        const std::string files = "Z:" + base + "\\Trash\\files";
        TWin32FileSystem fs;
        std::vector<std::string> contents;
        for (const TFoundFile& found : fs.FindFiles(files, name + "*")) {
            std::string text;
            fs.ReadFile(files + "\\" + found.Name, &text);
            contents.push_back(text);
            fs.RemoveFile(files + "\\" + found.Name);
        }
        return contents;
    }

    std::string Folder;
    std::string Program;
    std::vector<std::string> Items;
};

} // namespace

TEST_F(QuickEntryTest, TheOwnersChoicesAndWhatCancelAndShowMeTheUIAnswer) {
    MakeEntry(kHKeyCurrentUser, "Quick Demo",
              {{"DisplayName", "Quick Demo with a name of forty-five letters!"}, // 45
               {"UninstallString", Helper("exit 0")},
               {"InstallLocation", Folder}});
    // The folder in short form, and a shortcut in upper case, find it as well.
    const std::string shortProgram = Win32.Files.ShortPathName(Program);
    ASSERT_NE(shortProgram, Program);
    ASSERT_TRUE(Win32.Shell.CreateShortcut(Folder + ".LNK", Program, "", ""));
    for (const std::string& path : {Program, shortProgram, Folder + ".LNK"}) {
        EXPECT_EQ(Drop(path, 2), kQuickEntryShowWindow) << path;
        ASSERT_EQ(Items.size(), 3u) << path;
        EXPECT_EQ(Items[0], "Uninstall \"Quick Demo with a name of forty-five ...\"?");
        EXPECT_EQ(Items[2], "Show me the UI.");
    }
    EXPECT_EQ(Drop(Program, 0, TEnd::Cancel), kQuickEntryDone); // Cancel ends the program too
    EXPECT_EQ(Drop(Program, 2, TEnd::Esc), kQuickEntryDone);    // and so does Esc, whatever is chosen
    EXPECT_TRUE(Win32.Files.FileExists(Program));
    // A file outside any install folder: Delete and Show me the UI. only.
    EXPECT_EQ(Drop(Scratch + "\\elsewhere.txt", 1), kQuickEntryShowWindow);
    EXPECT_EQ(Items, (std::vector<std::string>{"Delete \"elsewhere.txt\"?", "Show me the UI."}));
}

TEST_F(QuickEntryTest, DeleteMovesTheFileOrTheShortcutToTheRecycleBin) {
    const std::string name = "dropped-" + std::to_string(GetCurrentProcessId()) + ".txt";
    const std::string dropped = Folder + "\\" + name;
    ASSERT_TRUE(Win32.Files.WriteFile(dropped, "keep me"));
    EXPECT_EQ(Drop(dropped, 0), kQuickEntryDone);
    EXPECT_FALSE(Win32.Files.FileExists(dropped));
    EXPECT_EQ(TakeFromTrash(name), std::vector<std::string>{"keep me"});

    // A shortcut goes itself; its target stays.
    ASSERT_TRUE(Win32.Shell.CreateShortcut(Folder + ".lnk", Program, "", ""));
    EXPECT_EQ(Drop(Folder + ".lnk", 0), kQuickEntryDone);
    EXPECT_FALSE(Win32.Files.FileExists(Folder + ".lnk"));
    EXPECT_TRUE(Win32.Files.FileExists(Program));
    EXPECT_EQ(TakeFromTrash("Quick Demo Folder.lnk").size(), 1u);
}

TEST_F(QuickEntryTest, UninstallWaitsForTheUninstallerAndTheCopyItHandsOverTo) {
    const std::string done = Scratch + "\\done.txt";
    MakeEntry(kHKeyCurrentUser, "Quick Demo",
              {{"DisplayName", "Quick Demo"},
               {"UninstallString", Helper("spawn 700 \"" + done + "\"")},
               {"InstallLocation", Folder}});
    EXPECT_EQ(Drop(Program, 0), kQuickEntryDone);
    EXPECT_TRUE(Win32.Files.FileExists(done)) << "ended before the uninstaller's copy";
}

} // namespace cv::test
