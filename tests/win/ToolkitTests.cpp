// The toolkit's window objects on a real (virtual) display under Wine.
#include "toolkit/Application.h"
#include "toolkit/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace cv::test {

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kThrow = WM_APP + 2;

class TProbe : public TWindow {
public:
    explicit TProbe(HWND parent = nullptr) {
        TCreateParams p;
        p.Caption = "Probe \xC3\xA9";
        p.Style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
        p.Parent = parent;
        p.Width = 200;
        p.Height = 100;
        CreateHandle(p);
    }
    int Pings = 0;
    int Destroyed = 0;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPing) {
            return ++Pings;
        }
        if (message == kThrow) {
            throw std::runtime_error("Failed to set data for 'Probe'");
        }
        if (message == WM_DESTROY) {
            ++Destroyed;
        }
        return TWindow::WndProc(message, wParam, lParam);
    }
};

class TButtonProbe : public TWindow {
public:
    TButtonProbe(HWND parent) {
        TCreateParams p;
        p.ClassName = L"BUTTON";
        p.Caption = "&Go";
        p.Style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
        p.Parent = parent;
        p.Width = 80;
        p.Height = 24;
        p.Id = 7;
        CreateHandle(p);
    }
    int Clicks = 0;

protected:
    bool ReflectedCommand(WORD code) override {
        Clicks += code == BN_CLICKED ? 1 : 0;
        return true;
    }
};

TEST(Toolkit, AWindowObjectHearsItsMessagesUntilEitherIsGone) {
    auto probe = std::make_unique<TProbe>();
    HWND handle = probe->Handle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(TWindow::FromHandle(handle), probe.get());
    EXPECT_EQ(probe->Text(), "Probe \xC3\xA9");
    EXPECT_EQ(SendMessageW(handle, kPing, 0, 0), 1);
    EXPECT_EQ(SendMessageW(handle, kPing, 0, 0), 2);

    // The window goes first: the object is told and lets go of it.
    DestroyWindow(handle);
    EXPECT_FALSE(probe->HandleAllocated());
    EXPECT_EQ(TWindow::FromHandle(handle), nullptr);

    // The object goes first: its window goes with it, and a late message finds nobody.
    probe = std::make_unique<TProbe>();
    handle = probe->Handle();
    probe.reset();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(SendMessageW(handle, kPing, 0, 0), 0);
}

TEST(Toolkit, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
    std::vector<std::string> shown;
    auto& app = TApplication::Instance();
    const auto keep = app.ErrorBox;
    app.ErrorBox = [&](const std::string& message) { shown.push_back(message); };
    TProbe probe;
    SendMessageW(probe.Handle(), kThrow, 0, 0);
    EXPECT_EQ(SendMessageW(probe.Handle(), kPing, 0, 0), 1);
    app.ErrorBox = keep;
    EXPECT_EQ(shown, std::vector<std::string>{"Failed to set data for 'Probe'"});
}

TEST(Toolkit, ASystemControlHearsItsOwnCommands) {
    TProbe parent;
    TButtonProbe button(parent.Handle());
    ASSERT_NE(button.Handle(), nullptr);
    EXPECT_EQ(button.Text(), "&Go");
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(button.Clicks, 1);
    button.DestroyHandle();
    EXPECT_EQ(button.Clicks, 1);
}

TEST(Toolkit, ModalLoopsEndByTheirOwnResultOrByTheResponder) {
    auto& app = TApplication::Instance();
    TProbe form;
    int result = 0;
    bool done = false;
    // A real loop: the form ends it from a posted message, as a button would.
    PostMessageW(form.Handle(), kPing, 0, 0);
    const int got = app.RunModal(
        {form.Handle(), "TProbe", "Probe", {}, {}},
        [&] {
            if (form.Pings > 0) {
                result = 6, done = true;
            }
            return done;
        },
        [&] { return result; }, [&](int r) { result = r; });
    EXPECT_EQ(got, 6);

    std::vector<std::string> seen;
    app.SetModalResponder([&](const TModalInfo& info) {
        seen.push_back(info.ClassName + ":" + info.Caption);
        return 7;
    });
    EXPECT_EQ(app.RunModal(
                  {form.Handle(), "TConfirmForm", "Clearvane", {"Uninstall?"}, {}}, [] { return false; },
                  [&] { return result; }, [&](int r) { result = r; }),
              7);
    app.SetModalResponder(nullptr);
    EXPECT_EQ(seen, std::vector<std::string>{"TConfirmForm:Clearvane"});
}

} // namespace

} // namespace cv::test

namespace cv::test {

namespace {

TEST(Toolkit, TheManifestBringsUtf8AndCommonControlsSix) {
    EXPECT_EQ(GetACP(), 65001u);
    // Only the version 6 controls library knows task dialogs.
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    EXPECT_NE(GetProcAddress(controls, "TaskDialogIndirect"), nullptr);
    FreeLibrary(controls);
}

} // namespace

} // namespace cv::test
