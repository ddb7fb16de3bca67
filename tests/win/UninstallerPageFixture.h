// The main window with the real uninstaller page on the prefix's own
// registry. The page lists every uninstall entry of both roots, so the
// tests need a prefix without entries of its own (a fresh test prefix has
// none) and skip elsewhere. The record of the last run lands in a scratch
// folder made the current directory.
#pragma once

#include "UiHarness.h"
#include "app/Settings.h"
#include "forms/MainForm.h"
#include "platform/Registry.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "uninstaller/UninstallerForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace cv::test {

// Closes the main window as Exit does, then takes away the quit message it
// leaves, so later tests still get their messages; and the responder.
inline void CloseMainWindow(std::unique_ptr<TMainForm>& main) {
    if (main) {
        main->ExitAction.Execute();
        main.reset();
        TForm::MainForm = nullptr;
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    TApplication::Instance().SetModalResponder(nullptr);
}

class UninstallerPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (HKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
            if (!NeedsEmptyPrefix) {
                break;
            }
            TRegistry reg(Win32.Registry);
            reg.SetRootKey(root);
            if (reg.OpenKey(kUninstallKey, false) && !reg.GetKeyNames().empty()) {
                GTEST_SKIP() << "the prefix has uninstall entries of its own";
            }
        }
        std::wstring temp(MAX_PATH + 1, L'\0');
        temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
        Scratch = toUtf8(temp) + "cvpage-" + std::to_string(GetCurrentProcessId());
        Win32.Files.MakeDirectory(Scratch);
        Previous = Win32.Files.CurrentDirectory();
        Win32.Files.ChangeDirectory(Scratch);
        Win32.Files.RemoveFile(SettingsPath(Platform));
        Ready = true;
    }

    void TearDown() override {
        if (!Ready) {
            return;
        }
        CloseMain();
        for (const auto& [root, path] : Made) {
            TRegistry reg(Win32.Registry);
            reg.SetRootKey(root);
            reg.DeleteKey(path);
        }
        Win32.Files.ChangeDirectory(Previous);
        Win32.Files.RemoveFile(Scratch + "\\" + kNamesFile);
        Win32.Files.RemoveEmptyDirectory(Scratch);
        Win32.Files.RemoveFile(SettingsPath(Platform));
    }

    // The tests' helper program doing what the words say (see TestHelper.cpp).
    static std::string Helper(const std::string& words) {
        return "\"" + TestFolder() + "\\cv_testhelper.exe\" " + words;
    }
    // A program that is there and one that is gone.
    static std::string Intact() { return Helper("exit 0"); }
    static std::string Gone() { return "C:\\cv-gone\\uninst.exe /remove"; }

    void MakeEntry(HKey root, const std::string& subkey,
                   const std::vector<std::pair<std::string, std::string>>& texts,
                   const std::vector<std::pair<std::string, int>>& numbers = {}) {
        const std::string path = std::string(kUninstallKey) + "\\" + subkey;
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(root);
        ASSERT_TRUE(reg.OpenKey(path, true));
        for (const auto& [name, text] : texts) {
            reg.WriteString(name, text);
        }
        for (const auto& [name, number] : numbers) {
            reg.WriteInteger(name, number);
        }
        Made.emplace_back(root, path);
    }
    void MakeApp(HKey root, const std::string& name, const std::string& command) {
        MakeEntry(root, name, {{"DisplayName", name}, {"UninstallString", command}});
    }

    // Shows the main window with the page; the page builds its list at once
    // and its worker runs while messages are handled.
    void Open(bool waitForCycle = true) {
        CloseMain();
        TApplication::Instance().SetModalResponder([this](TModalInfo& info) {
            Dialogs.push_back(info);
            if (OnDialog) {
                OnDialog(info);
            }
            return static_cast<int>(mrOk);
        });
        Main = std::make_unique<TMainForm>(
            PagePlatform(),
            [this](TMainForm& main) -> std::unique_ptr<TBaseSubForm> {
                return std::make_unique<TUninstallerForm>(
                    main, PagePlatform(), std::make_shared<TUninstallManager>(PagePlatform(), Info));
            },
            [](TMainForm& main) { return MakeEmptyPage(main, "StartupForm"); });
        TForm::MainForm = Main.get();
        Main->Show();
        if (waitForCycle) {
            WaitForCycle();
        }
    }

    // Handles messages until the condition holds (at most ten seconds).
    template <class F> bool Until(F condition) {
        const ULONGLONG start = GetTickCount64();
        while (!condition() && GetTickCount64() - start < 10000) {
            Pump(10);
        }
        return condition();
    }

    void WaitForCycle() {
        const ULONGLONG start = GetTickCount64();
        while (!Page().CanRebuild() && GetTickCount64() - start < 20000) {
            Pump(10);
        }
        ASSERT_TRUE(Page().CanRebuild()) << "the icon cycle never ended";
        Pump(20);
    }

    void CloseMain() { CloseMainWindow(Main); }
    // The services the window and the page are made with.
    virtual const TPlatform& PagePlatform() { return Win32.Platform; }

    TUninstallerForm& Page() const { return dynamic_cast<TUninstallerForm&>(*Main->UninstallerForm); }
    TListView& List() const { return Page().UninstListView.ListView; }
    TUninstallItem* Entry(int index) const {
        return reinterpret_cast<TUninstallItem*>(List().ItemData(index));
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (int i = 0; i < List().Count(); ++i) {
            out.push_back(List().ItemText(i));
        }
        return out;
    }
    std::string StatusText() const { return Main->StatusBar.PanelText(1); }
    std::string Record() {
        std::string text;
        Win32.Files.ReadFile(Scratch + "\\" + kNamesFile, &text);
        return text;
    }
    void WriteRecord(const std::string& text) { Win32.Files.WriteFile(Scratch + "\\" + kNamesFile, text); }
    static bool HasText(const TModalInfo& info, const std::string& text) {
        return std::find(info.Texts.begin(), info.Texts.end(), text) != info.Texts.end();
    }
    // Whether the item's row in a picture of the list is mostly pure red.
    bool RowHasRed(const TImage32& shot, int index) const {
        RECT r = {};
        r.left = LVIR_LABEL;
        SendMessageW(List().Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&r));
        int red = 0;
        int all = 0;
        for (int y = std::max(0L, r.top); y < std::min<LONG>(r.bottom, shot.Height); ++y) {
            for (int x = std::max(0L, r.left); x < std::min<LONG>(r.right, shot.Width); ++x) {
                ++all;
                red += shot.At(x, y) == 0xFF0000 ? 1 : 0;
            }
        }
        return all > 0 && red * 2 > all;
    }

    TWin32Platform Win32;
    const TPlatform& Platform = Win32.Platform;
    const TFileInfoManager Info{Win32.Platform};
    std::unique_ptr<TMainForm> Main;
    std::vector<TModalInfo> Dialogs;
    // Looks at each dialog Open's responder answers, when it is shown.
    std::function<void(TModalInfo&)> OnDialog;
    std::vector<std::pair<HKey, std::string>> Made;
    std::string Scratch;
    std::string Previous;
    bool Ready = false;
    // The tests make every entry they list themselves.
    bool NeedsEmptyPrefix = true;
};

} // namespace cv::test
