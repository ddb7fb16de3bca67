#include "toolkit/Application.h"

#include "framework/Dispatcher.h"
#include "platform/win32/Win32Text.h"
#include "toolkit/Form.h"

namespace cv {

namespace {

// How often a modal loop looks whether the program was ended under it.
constexpr UINT kEndCheckInterval = 250;
// How long the main loop may stay away after the end was asked for before
// the loops holding it up are told to let go.
constexpr UINT kEndRescueInterval = 500;

} // namespace

TApplication& TApplication::Instance() {
    static TApplication instance;
    return instance;
}

TApplication::TApplication() {
    ErrorBox = [this](const std::string& message) {
        MessageBoxW(GetActiveWindow(), toWide(message).c_str(), toWide(Title).c_str(), MB_OK | MB_ICONERROR);
    };
}

bool TApplication::HandleMessage(MSG& msg) {
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        ++FEnds;
        return false;
    }
    // The one error boundary: key preview, dialog letters and accelerators
    // run here, outside any window procedure.
    try {
        return RouteMessage(msg);
    } catch (...) {
        HandleException(std::current_exception());
        return true;
    }
}

bool TApplication::RouteMessage(MSG& msg) {
    HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    // The forms the message passes through, innermost first: their
    // accelerators, key preview and dialog letters come before the control.
    for (HWND w = msg.hwnd; w != nullptr; w = GetParent(w)) {
        if (auto* form = dynamic_cast<TForm*>(TWindow::FromHandle(w)); form != nullptr) {
            if (HACCEL table = form->Accelerators();
                table != nullptr && TranslateAcceleratorW(form->Handle(), table, &msg)) {
                return true;
            }
            if (msg.message == WM_KEYDOWN) {
                WORD key = static_cast<WORD>(msg.wParam);
                if (form->PreviewKey(key)) {
                    return true;
                }
            }
            if (msg.message == WM_SYSCHAR && form->DialogChar(static_cast<wchar_t>(msg.wParam))) {
                return true;
            }
        }
        if ((GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
    }
    // The dialog manager moves the focus with Tab and the arrows, and that is
    // all it is asked for. Esc and Enter go to the focused control (or the
    // form) as plain keys: it would turn them into commands nobody asked for.
    // Letters, with or without Alt, are the forms' own (DialogChar above):
    // its search for a letter's control never ends when the focus sits in a
    // hidden page, as after a change of tabs.
    const bool navigation = (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) &&
                            msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN;
    if (root == nullptr || !navigation || !IsDialogMessageW(root, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

int TApplication::Run() {
    FTerminated = false;
    FRunning = true;
    MSG msg;
    int code = 0;
    while (!FTerminated) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            FTerminated = true;
            code = got == 0 ? static_cast<int>(msg.wParam) : 1;
            break;
        }
        HandleMessage(msg);
    }
    FRunning = false;
    if (FRescueTimer != 0) {
        KillTimer(nullptr, FRescueTimer);
        FRescueTimer = 0;
    }
    return code;
}

void CALLBACK TApplication::RescueEnd(HWND, UINT, UINT_PTR, DWORD) {
    // The end was asked for and this loop has not got back: a loop of the
    // system's holds on (a menu, a control tracking the mouse), and may have
    // taken the quit message. Let go of what such loops wait for, and say
    // quit again.
    EndMenu();
    ReleaseCapture();
    PostQuitMessage(0);
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
    ++FEnds;
    PostQuitMessage(0);
    if (FRunning && FRescueTimer == 0) {
        FRescueTimer = SetTimer(nullptr, 0, kEndRescueInterval, &TApplication::RescueEnd);
    }
}

void TApplication::HandleException(const std::exception& error) {
    if (ExceptionFilter && ExceptionFilter(error)) {
        return;
    }
    if (ErrorBox) {
        ErrorBox(error.what());
    }
}

void TApplication::HandleException(std::exception_ptr error) {
    if (ExceptionFilter) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            if (ExceptionFilter(e)) {
                return;
            }
        } catch (...) {
        }
    }
    if (ErrorBox) {
        ErrorBox(ErrorMessage(error));
    }
}

std::optional<int> TApplication::AskResponder(TModalInfo& info) {
    if (!FResponder) {
        return std::nullopt;
    }
    return FResponder(info);
}

int TApplication::RunModal(TModalInfo info, const std::function<bool()>& done,
                           const std::function<int()>& result, const std::function<void(int)>& answer) {
    if (auto response = AskResponder(info); response && *response != kRunModalLoop) {
        answer(*response);
        return result();
    }
    // The quit message the program's end posts may be taken by a loop that
    // is not ours (a list view's mouse tracking dispatches whatever it
    // finds): the end is also counted, and a timer wakes this loop to look.
    const unsigned ends = FEnds;
    const UINT_PTR timer = SetTimer(nullptr, 0, kEndCheckInterval, nullptr);
    MSG msg;
    while (!done() && FEnds == ends) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 1); // the main loop still has to end
            break;
        }
        HandleMessage(msg);
    }
    KillTimer(nullptr, timer);
    return result();
}

} // namespace cv
