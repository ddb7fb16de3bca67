// Processes over CreateProcess. A process started with its tree tracked runs
// in a job object whose completion port reports when the last process of the
// job has ended, so a wait also covers the copies an uninstaller hands its
// work to before it exits.
#pragma once

#include "platform/Processes.h"

namespace cv {

class TWin32Processes : public IProcessLauncher {
public:
    using IProcessLauncher::Start;
    std::unique_ptr<IProcess> Start(const TCommand& command, bool trackTree, TStartError* error) override;
    std::string ErrorText(std::uint32_t code) override;
};

// ShellExecuteEx of the command's program with its parameters and the
// default verb, as Start does for a program that needs elevation; the wait
// covers the process alone.
std::unique_ptr<IProcess> StartThroughShell(const TCommand& command, TStartError* error);

// While a process is waited for: repaints windows and answers sent
// messages, and nothing else.
void PumpWin32Messages();

} // namespace cv
