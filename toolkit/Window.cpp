#include "toolkit/Window.h"

#include "platform/win32/Win32Text.h"
#include "toolkit/Application.h"

namespace cv {

namespace {

const wchar_t* const kClassName = L"ClearvaneWindow";
const wchar_t* const kObjectProp = L"ClearvaneObject";

} // namespace

void TWindow::RegisterToolkitClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &TWindow::StaticProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON"); // none in a program without it
        wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, L"MAINICON", IMAGE_ICON, 16, 16, 0));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

TWindow::~TWindow() {
    DestroyHandle();
}

TWindow* TWindow::FromHandle(HWND handle) {
    return handle == nullptr ? nullptr : static_cast<TWindow*>(GetPropW(handle, kObjectProp));
}

void TWindow::CreateHandle(const TCreateParams& params) {
    RegisterToolkitClass();
    const bool own = params.ClassName == nullptr;
    HWND handle =
        CreateWindowExW(params.ExStyle, own ? kClassName : params.ClassName, toWide(params.Caption).c_str(),
                        params.Style, params.Left, params.Top, params.Width, params.Height, params.Parent,
                        reinterpret_cast<HMENU>(params.Id), GetModuleHandleW(nullptr), own ? this : nullptr);
    if (handle == nullptr) {
        return;
    }
    if (!own) {
        // A system control: take over its procedure, keeping the old one for defaults.
        FHandle = handle;
        SetPropW(handle, kObjectProp, this);
        FSystemProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::SubclassProc)));
    }
}

void TWindow::Detach() {
    if (FHandle != nullptr) {
        RemovePropW(FHandle, kObjectProp);
        if (FSystemProc != nullptr) {
            SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FSystemProc));
        }
        FHandle = nullptr;
    }
}

void TWindow::DestroyHandle() {
    if (FHandle != nullptr) {
        HWND handle = FHandle;
        Detach(); // the object no longer hears this window
        DestroyWindow(handle);
    }
}

std::string TWindow::Text() const {
    if (FHandle == nullptr) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(FHandle)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(FHandle, text.data(), static_cast<int>(text.size()))));
    return toUtf8(text);
}

void TWindow::SetText(const std::string& text) {
    if (FHandle != nullptr) {
        SetWindowTextW(FHandle, toWide(text).c_str());
    }
}

LRESULT TWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (FSystemProc != nullptr) {
        return CallWindowProcW(FSystemProc, FHandle, message, wParam, lParam);
    }
    return DefWindowProcW(FHandle, message, wParam, lParam);
}

LRESULT TWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT TWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam != 0) {
        if (TWindow* control = FromHandle(reinterpret_cast<HWND>(lParam));
            control != nullptr && control != this && control->ReflectedCommand(HIWORD(wParam))) {
            return 0;
        }
    } else if (message == WM_NOTIFY && lParam != 0) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (TWindow* control = FromHandle(header->hwndFrom);
            control != nullptr && control != this && control->ReflectedNotify(*header, result)) {
            return result;
        }
    }
    const LRESULT result = WndProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        Detach();
    }
    return result;
}

LRESULT CALLBACK TWindow::StaticProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self != nullptr) {
            self->FHandle = handle;
            SetPropW(handle, kObjectProp, self);
        }
    }
    TWindow* self = FromHandle(handle);
    if (self == nullptr) {
        return DefWindowProcW(handle, message, wParam, lParam);
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        TApplication::Instance().HandleException(std::current_exception());
        return 0;
    }
}

LRESULT CALLBACK TWindow::SubclassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    return StaticProc(handle, message, wParam, lParam); // the object holds the system class's procedure
}

} // namespace cv
