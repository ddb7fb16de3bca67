// A timer that calls its handler on the user-interface thread every
// interval while enabled. It hears WM_TIMER through a message-only window.
#pragma once

#include "toolkit/Window.h"

#include <functional>

namespace cv {

class TTimer : public TWindow {
public:
    explicit TTimer(unsigned interval = 1000, bool enabled = true);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned interval);
    std::function<void()> OnTimer;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Update();
    unsigned FInterval;
    bool FEnabled;
};

} // namespace cv
