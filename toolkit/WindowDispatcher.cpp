#include "toolkit/WindowDispatcher.h"

#include "toolkit/Application.h"

namespace cv {

namespace {

constexpr UINT kRunCalls = WM_APP + 0x40;
constexpr UINT kShowErrors = WM_APP + 0x41;

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
    // Only waits call this: what goes wrong here is told after the wait.
    const bool outer = !FInWait;
    FInWait = true;
    FQueue.Drain([this](std::exception_ptr error) { ShowLater(ErrorMessage(error)); });
    if (outer) {
        FInWait = false;
    }
}

void TWindowDispatcher::ShowLater(const std::string& message) {
    FDeferred.push_back(message);
    PostMessageW(Handle(), kShowErrors, 0, 0);
}

void TWindowDispatcher::ShowDeferred() {
    std::vector<std::string> messages;
    messages.swap(FDeferred);
    for (const std::string& message : messages) {
        ShowError(message);
    }
}

void TWindowDispatcher::ShowError(const std::string& message) {
    if (FInWait) {
        ShowLater(message);
        return;
    }
    if (HWND capture = GetCapture(); capture != nullptr) {
        SendMessageW(capture, WM_CANCELMODE, 0, 0);
    }
    if (TApplication::Instance().ErrorBox) {
        TApplication::Instance().ErrorBox(message);
    }
}

LRESULT TWindowDispatcher::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunCalls) {
        FQueue.Drain([](std::exception_ptr error) { TApplication::Instance().HandleException(error); });
        return 0;
    }
    if (message == kShowErrors) {
        ShowDeferred();
        return 0;
    }
    return TWindow::WndProc(message, wParam, lParam);
}

} // namespace cv
