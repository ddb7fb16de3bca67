// One C++ object per window. The object is found from its handle (stored
// when the window is created, cleared when it is destroyed or the object
// dies), so a late message never reaches a dead object. Commands and
// notifications a control sends to its parent are handed back to the
// control's own object. No exception leaves a window procedure: it goes to
// the application's error handler.
#pragma once

#include <windows.h>

#include <string>

namespace cv {

struct TCreateParams {
    const wchar_t* ClassName = nullptr; // a class of the system's, or null for the toolkit's own
    std::string Caption;
    DWORD Style = WS_OVERLAPPEDWINDOW;
    DWORD ExStyle = 0;
    int Left = CW_USEDEFAULT;
    int Top = CW_USEDEFAULT;
    int Width = CW_USEDEFAULT;
    int Height = CW_USEDEFAULT;
    HWND Parent = nullptr;
    UINT_PTR Id = 0;
};

class TWindow {
public:
    TWindow() = default;
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    void DestroyHandle();

    std::string Text() const;
    void SetText(const std::string& text);

    // The object of a window made by this toolkit, or null.
    static TWindow* FromHandle(HWND handle);

protected:
    // Creates the window; the toolkit's own class, or a system class whose
    // window procedure the object then takes over.
    void CreateHandle(const TCreateParams& params);

    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A window of the toolkit's own class (it paints itself), not a system control.
    bool IsOwnClass() const { return FSystemProc == nullptr; }

    // A command or notification this control sent to its parent.
    virtual bool ReflectedCommand(WORD /*code*/) { return false; }
    virtual bool ReflectedNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }

private:
    static void RegisterToolkitClass();
    static LRESULT CALLBACK StaticProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    HWND FHandle = nullptr;
    WNDPROC FSystemProc = nullptr; // the system class's procedure, for subclassed controls
};

} // namespace cv
