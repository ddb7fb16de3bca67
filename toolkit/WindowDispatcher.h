// The worker threads' way to the user-interface thread in the program: a
// call is queued and a message-only window is woken to run it from the
// message loop (or from a wait for a worker, which runs these calls and
// nothing else), while the worker waits for it. When the window goes, the
// waiting workers take their calls back. An error met inside a wait is
// shown once the wait is over, from the message loop: an error box runs a
// message loop of its own, which a wait must not.
#pragma once

#include "framework/Dispatcher.h"
#include "toolkit/Window.h"

#include <string>
#include <vector>

namespace cv {

class TWindowDispatcher : public IDispatcher, public TWindow {
public:
    TWindowDispatcher();
    ~TWindowDispatcher() override;
    using IDispatcher::Synchronize;
    bool Synchronize(const std::function<void()>& call, const std::function<bool()>& abandon) override;
    void ProcessPending() override;
    // The application's error box, after any mouse capture is cancelled.
    void ShowError(const std::string& message) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowLater(const std::string& message);
    void ShowDeferred();

    TCallQueue FQueue;
    bool FInWait = false;
    std::vector<std::string> FDeferred;
};

} // namespace cv
