#include "toolkit/Form.h"

#include "platform/win32/Win32Text.h"

#include <algorithm>

namespace cv {

namespace {

constexpr UINT kFirstActionCommand = 0xA000;

// The thread's other visible windows are disabled while a modal form runs
// and enabled again when it ends, however it ends.
class TDisabledWindows {
public:
    explicit TDisabledWindows(HWND keep) : FKeep(keep) {
        EnumThreadWindows(GetCurrentThreadId(), &DisableWindow, reinterpret_cast<LPARAM>(this));
    }
    ~TDisabledWindows() {
        for (HWND window : FWindows) {
            if (IsWindow(window)) {
                EnableWindow(window, TRUE);
            }
        }
    }
    TDisabledWindows(const TDisabledWindows&) = delete;
    TDisabledWindows& operator=(const TDisabledWindows&) = delete;

private:
    static BOOL CALLBACK DisableWindow(HWND window, LPARAM data) {
        auto* self = reinterpret_cast<TDisabledWindows*>(data);
        if (window != self->FKeep && IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            self->FWindows.push_back(window);
        }
        return TRUE;
    }

    HWND FKeep;
    std::vector<HWND> FWindows;
};

} // namespace

TForm* TForm::MainForm = nullptr;

DWORD TForm::StyleOf(TBorderStyle border, bool child) {
    if (child) {
        return WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    }
    switch (border) {
    case TBorderStyle::bsDialog:
        return WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN; // no system menu, no close box
    case TBorderStyle::bsSingle:
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    case TBorderStyle::bsNone:
        return WS_POPUP | WS_CLIPCHILDREN;
    default:
        return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    }
}

TForm::TForm(std::string name, TWinControl* parent, TBorderStyle border)
    : TWinControl(parent, std::move(name)), FBorderStyle(parent != nullptr ? TBorderStyle::bsNone : border) {
    FVisible = false;
    FColor = clBtnFace;
    TCreateParams params;
    params.Style = StyleOf(FBorderStyle, parent != nullptr);
    params.ExStyle = WS_EX_CONTROLPARENT | (FBorderStyle == TBorderStyle::bsDialog ? WS_EX_DLGMODALFRAME : 0);
    params.Left = 0;
    params.Top = 0;
    params.Width = 300;
    params.Height = 200;
    if (parent == nullptr && MainForm != nullptr && MainForm->HandleAllocated()) {
        params.Parent = MainForm->Handle(); // owned by the main form: stays above it
    }
    CreateWindowed(params);
}

TForm::~TForm() {
    if (MainForm == this) {
        MainForm = nullptr;
    }
    if (FMenu != nullptr && HandleAllocated()) {
        ::SetMenu(Handle(), nullptr);
    }
    DestroyComponents(); // while the form's window is still there
    if (FAccelerators != nullptr) {
        DestroyAcceleratorTable(FAccelerators);
    }
}

void TForm::SetClientSize(int width, int height) {
    RECT r = {0, 0, width, height};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
    AdjustWindowRectEx(&r, style, FMenu != nullptr && FParent == nullptr, exStyle);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, std::max(width, FMinWidth), height);
}

void TForm::SetMinWidth(int width) {
    FMinWidth = width;
    if (Width() < width) {
        SetBounds(Left(), Top(), width, Height());
    }
}

int TForm::WindowState() const {
    if (IsIconic(Handle())) {
        return 1;
    }
    return IsZoomed(Handle()) ? 2 : 0;
}

void TForm::SetParentPage(TWinControl* parent) {
    SetParentControl(parent);
    FBorderStyle = TBorderStyle::bsNone;
    SetWindowLongPtrW(Handle(), GWL_STYLE, static_cast<LONG_PTR>(StyleOf(FBorderStyle, parent != nullptr)));
    SetParent(Handle(), parent != nullptr ? parent->Handle() : nullptr);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void TForm::CenterOn(HWND other) {
    RECT area;
    if (other != nullptr && IsWindow(other) && IsWindowVisible(other)) {
        GetWindowRect(other, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int left = area.left + (area.right - area.left - Width()) / 2;
    const int top = area.top + (area.bottom - area.top - Height()) / 2;
    SetBounds(std::max(0, left), std::max(0, top), Width(), Height());
}

void TForm::Show() {
    FVisible = true;
    if (FParent != nullptr) {
        FParent->Realign(); // a page takes its place among the aligned controls
    }
    ShowWindow(Handle(), FParent != nullptr ? SW_SHOWNA : SW_SHOW);
    if (FParent == nullptr) {
        FocusFirst();
    }
}

void TForm::Hide() {
    FVisible = false;
    ShowWindow(Handle(), SW_HIDE);
}

void TForm::BringToFront() {
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::Close() {
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(canClose);
    }
    if (!canClose) {
        return;
    }
    if (MainForm == this) {
        // A menu still open would float on after the window went, its
        // commands aimed at pages that are closing.
        EndMenu();
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) {
        OnClose(action);
    }
    if (action == TCloseAction::caNone) {
        return;
    }
    if (FModal) {
        if (FModalResult == mrNone) {
            FModalResult = mrCancel;
        }
        return;
    }
    Hide();
    if (MainForm == this) {
        TApplication::Instance().Terminate();
    }
}

void TForm::FocusFirst() {
    // The first control that takes the focus; without one the form itself
    // hears the keys.
    HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (first != nullptr && IsChild(Handle(), first) &&
        (GetWindowLongPtrW(first, GWL_STYLE) & WS_TABSTOP) != 0) {
        ::SetFocus(first);
    } else {
        ::SetFocus(Handle());
    }
}

int TForm::ShowModal() {
    HWND previous = GetActiveWindow();
    if (CenterOnMainForm) {
        CenterOn(MainForm != nullptr && MainForm != this ? MainForm->Handle() : nullptr);
    }
    FModal = true;
    FModalResult = mrNone;
    {
        const TDisabledWindows disabled(Handle());
        FVisible = true;
        ShowWindow(Handle(), SW_SHOW);
        SetActiveWindow(Handle());
        FocusFirst();
        TApplication::Instance().RunModal(
            ModalInfo(), [this] { return FModalResult != mrNone || !HandleAllocated(); },
            [this] { return FModalResult; }, [this](int result) { FModalResult = result; });
    }
    if (HandleAllocated()) {
        Hide();
    }
    FModal = false;
    if (previous != nullptr && IsWindow(previous)) {
        SetActiveWindow(previous);
    }
    return FModalResult;
}

void TForm::SetMenu(TMenu* menu) {
    FMenu = menu;
    if (menu != nullptr) {
        menu->AttachTo(Handle());
    } else {
        ::SetMenu(Handle(), nullptr);
    }
}

void TForm::AddAction(TAction& action) {
    FActions.push_back(&action);
    FAcceleratorsStale = true;
}

HACCEL TForm::Accelerators() {
    // Rebuilt whenever a shortcut differs from the table's.
    std::vector<ACCEL> table;
    for (std::size_t i = 0; i < FActions.size(); ++i) {
        const TShortCut& key = FActions[i]->ShortCut();
        if (key.Key == 0) {
            continue;
        }
        ACCEL a = {};
        a.fVirt = static_cast<BYTE>(FVIRTKEY | (key.Ctrl ? FCONTROL : 0) | (key.Shift ? FSHIFT : 0) |
                                    (key.Alt ? FALT : 0));
        a.key = key.Key;
        a.cmd = static_cast<WORD>(kFirstActionCommand + i);
        table.push_back(a);
    }
    if (FAccelerators != nullptr && !FAcceleratorsStale) {
        std::vector<ACCEL> current(
            static_cast<std::size_t>(CopyAcceleratorTableW(FAccelerators, nullptr, 0)));
        CopyAcceleratorTableW(FAccelerators, current.data(), static_cast<int>(current.size()));
        const bool same =
            current.size() == table.size() &&
            std::equal(current.begin(), current.end(), table.begin(), [](const ACCEL& a, const ACCEL& b) {
                return a.fVirt == b.fVirt && a.key == b.key && a.cmd == b.cmd;
            });
        if (same) {
            return FAccelerators;
        }
    }
    if (FAccelerators != nullptr) {
        DestroyAcceleratorTable(FAccelerators);
        FAccelerators = nullptr;
    }
    FAcceleratorsStale = false;
    if (!table.empty()) {
        FAccelerators = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
    }
    return FAccelerators;
}

bool TForm::PreviewKey(WORD& key) {
    if (!KeyPreview || !OnKeyDown) {
        return false;
    }
    OnKeyDown(key);
    return key == 0;
}

TModalInfo TForm::ModalInfo() const {
    TModalInfo info;
    info.Handle = Handle();
    info.ClassName = ClassName();
    info.Caption = Text();
    for (const TControl* c : Controls()) {
        if (c->Visible()) {
            c->CollectTexts(info.Texts);
        }
    }
    return info;
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_COMMAND:
        if (lParam == 0) {
            const UINT command = LOWORD(wParam);
            if (command >= kFirstActionCommand && command < kFirstActionCommand + FActions.size()) {
                FActions[command - kFirstActionCommand]->Execute();
                return 0;
            }
            if (FMenu != nullptr && FMenu->DispatchCommand(command)) {
                return 0;
            }
        }
        break;
    case WM_CHAR:
        // The form holds the focus itself: a letter may be a button's accelerator.
        if (DialogChar(static_cast<wchar_t>(wParam))) {
            return 0;
        }
        break;
    case WM_SYSCHAR:
        if (DialogChar(static_cast<wchar_t>(wParam))) {
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            FLastFocus = focus != nullptr && IsChild(Handle(), focus) ? focus : nullptr;
        } else if (FLastFocus != nullptr && IsWindow(FLastFocus) && IsChild(Handle(), FLastFocus)) {
            ::SetFocus(FLastFocus);
            return 0;
        }
        break;
    case WM_GETMINMAXINFO:
        if (FMinWidth > 0) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = FMinWidth;
        }
        break;
    case WM_SHOWWINDOW:
        if (wParam != 0) {
            DoShow();
            if (OnShow) {
                OnShow();
            }
        }
        break;
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

} // namespace cv
