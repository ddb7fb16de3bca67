// Processes over CreateProcess. A process started with its tree tracked runs
// in a job object whose completion port reports when the last process of the
// job has ended, so a wait also covers the copies an uninstaller hands its
// work to before it exits.
#pragma once

#include "platform/Processes.h"

namespace cv {

class TWin32Processes : public IProcessLauncher {
public:
    std::unique_ptr<IProcess> Start(const std::string& commandLine, bool trackTree) override;
};

// While a process is waited for: repaints windows and answers sent
// messages, and nothing else.
void PumpWin32Messages();

} // namespace cv
