#include "toolkit/Timer.h"

namespace cv {

TTimer::TTimer(unsigned interval, bool enabled) : FInterval(interval), FEnabled(enabled) {
    TCreateParams params;
    params.Style = 0;
    params.Parent = HWND_MESSAGE;
    params.Left = params.Top = params.Width = params.Height = 0;
    CreateHandle(params);
    Update();
}

void TTimer::SetEnabled(bool enabled) {
    FEnabled = enabled;
    Update();
}

void TTimer::SetInterval(unsigned interval) {
    FInterval = interval;
    Update();
}

void TTimer::Update() {
    KillTimer(Handle(), 1);
    if (FEnabled && FInterval > 0) {
        SetTimer(Handle(), 1, FInterval, nullptr);
    }
}

LRESULT TTimer::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == 1) {
        if (FEnabled && OnTimer) {
            OnTimer();
        }
        return 0;
    }
    return TWindow::WndProc(message, wParam, lParam);
}

} // namespace cv
