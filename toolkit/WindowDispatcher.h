// The worker threads' way to the user-interface thread in the program: a
// call is posted to a message-only window and run by the message loop (or
// by any wait that handles messages), while the worker waits for it.
#pragma once

#include "framework/Dispatcher.h"
#include "toolkit/Window.h"

namespace cv {

class TWindowDispatcher : public IDispatcher, public TWindow {
public:
    TWindowDispatcher();
    void Synchronize(const std::function<void()>& call) override;
    void ProcessPending() override;
    // The application's error box, after any mouse capture is cancelled.
    void ShowError(const std::string& message) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    DWORD FThreadId;
};

} // namespace cv
