// Starting programs and waiting for them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Timeouts.h"

namespace cv {

inline constexpr std::uint32_t kStillActive = 259;

// Handles the user interface's pending messages while a wait goes on.
using TMessagePump = std::function<void()>;

class IProcess {
public:
    virtual ~IProcess() = default;
    // GetExitCodeProcess: kStillActive while the process runs; false when the
    // code cannot be read.
    virtual bool GetExitCode(std::uint32_t* code) = 0;
    // Blocks until the process has ended and, for a process started with its
    // tree tracked, every process it started in turn. The pump runs whenever
    // messages arrive, so a window stays alive; the wait itself uses no
    // processor time. False when the time ran out (Timeouts.h: 0 looks once).
    virtual bool Wait(const TMessagePump& pump, std::uint32_t timeoutMs = kWaitForever) = 0;
};

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // CreateProcess with the command line alone, the caller's environment and
    // current directory. trackTree keeps every process it starts in one group
    // so that Wait covers them too. Null when the process could not start.
    virtual std::unique_ptr<IProcess> Start(const std::string& commandLine, bool trackTree) = 0;
};

} // namespace cv
