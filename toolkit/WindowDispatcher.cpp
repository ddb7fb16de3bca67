#include "toolkit/WindowDispatcher.h"

#include "toolkit/Application.h"

namespace cv {

namespace {

constexpr UINT kRunCalls = WM_APP + 0x40;

} // namespace

TWindowDispatcher::TWindowDispatcher() {
    TCreateParams params;
    params.Style = 0;
    params.Parent = HWND_MESSAGE;
    params.Left = params.Top = params.Width = params.Height = 0;
    CreateHandle(params);
}

TWindowDispatcher::~TWindowDispatcher() {
    FQueue.Shutdown();
}

bool TWindowDispatcher::Synchronize(const std::function<void()>& call, const std::function<bool()>& abandon) {
    HWND window = Handle();
    return FQueue.Call(
        call,
        [window, &abandon] {
            // A window that went away runs nothing more.
            return !IsWindow(window) || (abandon && abandon());
        },
        [window] { PostMessageW(window, kRunCalls, 0, 0); });
}

void TWindowDispatcher::ProcessPending() {
    FQueue.Drain([](std::exception_ptr error) { TApplication::Instance().HandleException(error); });
}

void TWindowDispatcher::ShowError(const std::string& message) {
    if (HWND capture = GetCapture(); capture != nullptr) {
        SendMessageW(capture, WM_CANCELMODE, 0, 0);
    }
    if (TApplication::Instance().ErrorBox) {
        TApplication::Instance().ErrorBox(message);
    }
}

LRESULT TWindowDispatcher::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunCalls) {
        ProcessPending();
        return 0;
    }
    if (message == WM_DESTROY) {
        FQueue.Shutdown();
    }
    return TWindow::WndProc(message, wParam, lParam);
}

} // namespace cv
