// The application object: the message loop, handling pending messages
// during long work, ending the program, the one place every modal loop runs
// through, and the default error box for an error that reaches the loop.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cv {

// What a test's responder sees of a modal window.
struct TModalInfo {
    HWND Handle = nullptr;
    std::string ClassName; // the object's kind, such as "TConfirmForm"
    std::string Caption;
    std::vector<std::string> Texts; // the texts shown in it
    std::string Value;              // a file dialog's file name, in and out
};

// Answers a modal window instead of a user: returns its modal result, or
// kRunModalLoop to let the real loop run (after posting keys or clicks to
// the window, say).
using TModalResponder = std::function<int(TModalInfo&)>;
inline constexpr int kRunModalLoop = -1;

class TApplication {
public:
    static TApplication& Instance();

    // Runs the message loop until Terminate or WM_QUIT; the exit code. A
    // loop of the system's that holds on after Terminate (an open menu, a
    // control tracking the mouse) is told to let go.
    int Run();
    // Handles every message waiting, then returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Shows the error's message in the default error box; the loop goes on.
    void HandleException(const std::exception& error);
    // The same for whatever was thrown, std::exception or not.
    void HandleException(std::exception_ptr error);

    // The box that shows it; a test may replace it.
    std::function<void(const std::string&)> ErrorBox;
    // Sees every error first; true when it dealt with it, and no box shows.
    std::function<bool(const std::exception&)> ExceptionFilter;
    // The program's name as its error box shows it.
    std::string Title = "Clearvane";

    // Runs a modal loop for the window until done() says it has a result or
    // the program is ended while it runs, or hands the window to the
    // responder when one is installed.
    int RunModal(TModalInfo info, const std::function<bool()>& done, const std::function<int()>& result,
                 const std::function<void(int)>& answer);
    // The responder's answer for a modal window, when one is installed.
    std::optional<int> AskResponder(TModalInfo& info);
    void SetModalResponder(TModalResponder responder) { FResponder = std::move(responder); }
    bool HasModalResponder() const { return static_cast<bool>(FResponder); }

private:
    TApplication();
    bool HandleMessage(MSG& msg);
    bool RouteMessage(MSG& msg);

    static void CALLBACK RescueEnd(HWND, UINT, UINT_PTR, DWORD);

    bool FTerminated = false;
    bool FRunning = false; // inside Run
    UINT_PTR FRescueTimer = 0;
    // Counts the ends asked for (Terminate, a quit message reaching a loop
    // of ours): a modal loop ends when it changes under it.
    unsigned FEnds = 0;
    TModalResponder FResponder;
};

} // namespace cv
