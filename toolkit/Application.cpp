#include "toolkit/Application.h"

#include "platform/win32/Win32Text.h"

namespace cv {

TApplication& TApplication::Instance() {
    static TApplication instance;
    return instance;
}

TApplication::TApplication() {
    ErrorBox = [](const std::string& message) {
        MessageBoxW(GetActiveWindow(), toWide(message).c_str(), L"Clearvane", MB_OK | MB_ICONERROR);
    };
}

bool TApplication::HandleMessage(MSG& msg) {
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return false;
    }
    HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root == nullptr || !IsDialogMessageW(root, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

int TApplication::Run() {
    MSG msg;
    while (!FTerminated) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            FTerminated = true;
            return got == 0 ? static_cast<int>(msg.wParam) : 1;
        }
        HandleMessage(msg);
    }
    return 0;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!HandleMessage(msg)) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // leave it for the main loop
            return;
        }
    }
}

void TApplication::Terminate() {
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::HandleException(const std::exception& error) {
    if (ErrorBox) {
        ErrorBox(error.what());
    }
}

int TApplication::RunModal(const TModalInfo& info, const std::function<bool()>& done,
                           const std::function<int()>& result, const std::function<void(int)>& answer) {
    if (FResponder) {
        answer(FResponder(info));
        return result();
    }
    MSG msg;
    while (!done()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 1); // the main loop still has to end
            break;
        }
        HandleMessage(msg);
    }
    return result();
}

} // namespace cv
