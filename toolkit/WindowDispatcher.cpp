#include "toolkit/WindowDispatcher.h"

#include "toolkit/Application.h"

namespace cv {

namespace {

constexpr UINT kRunCall = WM_APP + 0x40;

struct TCallRequest {
    const std::function<void()>* Call;
    HANDLE Done;
};

} // namespace

TWindowDispatcher::TWindowDispatcher() : FThreadId(GetCurrentThreadId()) {
    TCreateParams params;
    params.Style = 0;
    params.Parent = HWND_MESSAGE;
    params.Left = params.Top = params.Width = params.Height = 0;
    CreateHandle(params);
}

void TWindowDispatcher::Synchronize(const std::function<void()>& call) {
    if (GetCurrentThreadId() == FThreadId) {
        call();
        return;
    }
    TCallRequest request{&call, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    if (request.Done == nullptr) {
        return;
    }
    if (PostMessageW(Handle(), kRunCall, 0, reinterpret_cast<LPARAM>(&request))) {
        WaitForSingleObject(request.Done, INFINITE);
    }
    CloseHandle(request.Done);
}

void TWindowDispatcher::ProcessPending() {
    TApplication::Instance().ProcessMessages();
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
    if (message == kRunCall) {
        auto* request = reinterpret_cast<TCallRequest*>(lParam);
        try {
            (*request->Call)();
        } catch (const std::exception& error) {
            TApplication::Instance().HandleException(error);
        }
        SetEvent(request->Done);
        return 0;
    }
    return TWindow::WndProc(message, wParam, lParam);
}

} // namespace cv
