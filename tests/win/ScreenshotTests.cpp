// Pictures of the dialogs and of an image button in each of its states,
// saved to screenshots/ in the build folder (scripts/screenshots.sh copies
// them to docs/screenshots).
#include "UiHarness.h"
#include "forms/AboutForm.h"
#include "forms/DialogForms.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

// Answers each modal form by taking its picture and closing it with Esc.
int Photograph(TModalInfo& info, const std::string& name) {
    Pump(300);
    SavePng(CaptureWindow(info.Handle), ScreenshotPath(name));
    PostKey(FocusOr(info.Handle), VK_ESCAPE);
    return kRunModalLoop;
}

} // namespace

TEST(Screenshots, EachDialog) {
    DialogBeep = [](unsigned) {};
    {
        TResponderScope scope([](TModalInfo& info) { return Photograph(info, "dialog-info"); });
        InfoDialog("No bad entries!", "Everything looks fine!", true);
    }
    {
        TResponderScope scope([](TModalInfo& info) { return Photograph(info, "dialog-warning"); });
        WarnDialog("Are you sure you want to save the changes?");
    }
    {
        TResponderScope scope([](TModalInfo& info) { return Photograph(info, "dialog-confirm"); });
        ConfirmDialog("Are you sure you want to uninstall Example Editor 2.1?");
    }
    {
        TWin32Platform platform;
        TResponderScope scope([](TModalInfo& info) {
            Pump(900); // the logo has faded in part of the way
            return Photograph(info, "dialog-about");
        });
        ShowAbout(platform.Platform);
    }
}

} // namespace cv::test
