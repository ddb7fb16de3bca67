#include "toolkit/ToolTips.h"

#include "platform/win32/Win32Text.h"
#include "toolkit/Control.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace cv {

namespace {

// Wide enough for a sentence on a line, narrow enough that a long hint wraps
// into a block rather than a strip across the screen.
constexpr LPARAM kMaxTipWidth = 300;

// The first toolkit control met going up from the window, the window itself
// included.
TControl* ControlAt(HWND window) {
    for (HWND w = window; w != nullptr; w = GetParent(w)) {
        if (auto* control = dynamic_cast<TControl*>(TWindow::FromHandle(w)); control != nullptr) {
            return control;
        }
        if ((GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) == 0) {
            break; // GetParent of a top-level window is its owner: another form's hints are not this one's
        }
    }
    return nullptr;
}

// A message-only window that answers the tooltip's requests for text; the
// tooltip itself is a system window whose procedure is not ours.
class THintWindow final : public TWindow {
public:
    THintWindow() {
        TCreateParams params;
        params.Style = 0;
        params.Left = params.Top = params.Width = params.Height = 0;
        params.Parent = HWND_MESSAGE;
        CreateHandle(params);
        if (!HandleAllocated()) {
            return;
        }
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&init);
        FTip =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
        if (FTip != nullptr) {
            SendMessageW(FTip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
        }
    }

    ~THintWindow() override {
        if (FTip != nullptr) {
            DestroyWindow(FTip);
        }
    }

    void Add(HWND window) {
        // The tooltip watches a window's mouse messages by subclassing it,
        // which only works from the window's own thread.
        if (FTip == nullptr || GetCurrentThreadId() != FThread ||
            GetWindowThreadProcessId(window, nullptr) != FThread) {
            return;
        }
        const auto* control = dynamic_cast<const TWinControl*>(ControlAt(window));
        if (control == nullptr) {
            return;
        }
        // A handle can come back for a new window when the old one went unseen.
        Forget([window](const TTool& tool) { return tool.Window == window; });
        TOOLINFOW info = ToolOf(window);
        // Transparent: a click on a tip that covers a control (a drop-down
        // arrow below the field) reaches the control.
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
        info.lpszText = LPSTR_TEXTCALLBACKW;
        if (SendMessageW(FTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0) {
            FTools.push_back({window, control->Handle()});
        }
    }

    void Remove(HWND window) {
        // Windows that went without a word are dropped too, so the list
        // never grows with dead handles.
        Forget([window](const TTool& tool) {
            return tool.Window == window || tool.Control == window || !IsWindow(tool.Window);
        });
    }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFYFORMAT) {
            return NFR_UNICODE;
        }
        if (message == WM_NOTIFY) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == FTip && header->code == TTN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                // Kept until the next request: the tooltip copies the text after we return.
                const TControl* control = ControlAt(reinterpret_cast<HWND>(header->idFrom));
                FText = control != nullptr ? toWide(control->Hint) : std::wstring();
                info->lpszText = FText.data();
                info->hinst = nullptr;
                return 0;
            }
        }
        return TWindow::WndProc(message, wParam, lParam);
    }

private:
    struct TTool {
        HWND Window;
        HWND Control; // the window of the control whose hint it shows: itself, or the one it lies in
    };

    TOOLINFOW ToolOf(HWND window) const {
        TOOLINFOW tool = {};
        // The size comctl32 5 knows too: a program without the manifest still has tips.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(window);
        return tool;
    }

    template <typename Pred> void Forget(Pred gone) {
        auto kept =
            std::stable_partition(FTools.begin(), FTools.end(), [&](const TTool& t) { return !gone(t); });
        for (auto it = kept; it != FTools.end(); ++it) {
            TOOLINFOW tool = ToolOf(it->Window);
            SendMessageW(FTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        FTools.erase(kept, FTools.end());
    }

    HWND FTip = nullptr;
    const DWORD FThread = GetCurrentThreadId();
    std::vector<TTool> FTools;
    std::wstring FText;
};

// Made with the first control, so it outlives every control of static
// lifetime; never made just to forget a window.
THintWindow* Hints(bool make) {
    static std::unique_ptr<THintWindow> hints;
    if (hints == nullptr && make) {
        hints = std::make_unique<THintWindow>();
    }
    return hints.get();
}

} // namespace

void AddHintWindow(HWND window) {
    if (window != nullptr) {
        Hints(true)->Add(window);
    }
}

void RemoveHintWindows(HWND window) {
    if (THintWindow* hints = Hints(false); hints != nullptr && window != nullptr) {
        hints->Remove(window);
    }
}

} // namespace cv
