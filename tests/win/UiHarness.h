// What the user-interface tests share: answering modal forms, posting keys
// and clicks, and pictures of windows saved as PNG files.
#pragma once

#include "toolkit/Application.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cv::test {

// Installs a responder for the scope of a test and takes it away after.
class TResponderScope {
public:
    explicit TResponderScope(TModalResponder responder) {
        TApplication::Instance().SetModalResponder(std::move(responder));
    }
    ~TResponderScope() { TApplication::Instance().SetModalResponder(nullptr); }
    TResponderScope(const TResponderScope&) = delete;
    TResponderScope& operator=(const TResponderScope&) = delete;
};

// The window with the keyboard focus, or the given one when none has it.
HWND FocusOr(HWND window);
// Posts a key press (down and up) as the keyboard would to the window.
void PostKey(HWND window, WORD key);
// Posts a typed character, plain or with Alt.
void PostChar(HWND window, wchar_t ch, bool alt = false);
// Clicks a tab of a tab control as the user would.
void ClickTab(HWND tabControl, int index);
// A visible top-level window of any process whose title begins with the text.
HWND FindTopWindow(const std::wstring& titleStart);
// Handles every message waiting, for a while.
void Pump(unsigned milliseconds = 0);
// The rows of a list view that lie over an earlier row or have no place, one
// line each; empty when every row has a place of its own.
std::string OverlappingRows(HWND list);

struct TImage32 {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels; // 0x00RRGGBB, row by row from the top
    std::uint32_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * Width + x] & 0xFFFFFF;
    }
};

// What the window shows on the screen now, frame included.
TImage32 CaptureWindow(HWND window);
// What the screen shows in the rectangle now, as it is: nothing is repainted first.
TImage32 GrabScreen(const RECT& area);
// What a window paints of its client area into a memory bitmap.
TImage32 PrintClient(HWND window);
// Pictures side by side on a background, with a gap between them.
TImage32 SideBySide(const std::vector<TImage32>& images, int gap, std::uint32_t background);
void SavePng(const TImage32& image, const std::string& path);
// The folder of the test program (no final backslash): the helper and the
// help file lie there.
std::string TestFolder();
// build/.../screenshots/<name>.png; the folder is made when missing.
std::string ScreenshotPath(const std::string& name);

} // namespace cv::test
