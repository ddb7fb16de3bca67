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

// Why a program did not start: the system's error code and its text for it.
struct TStartError {
    std::uint32_t Code = 0;
    std::string Message;
};

// Error codes of a start the callers look at.
inline constexpr std::uint32_t kStartFileNotFound = 2;
inline constexpr std::uint32_t kStartBadExeFormat = 193;
inline constexpr std::uint32_t kStartElevationRequired = 740;

// What to start. With a program, that file runs (CreateProcess's application
// name, so nothing is searched for) and gets the whole line; the parameters
// are the line after the program's part, for a start through the shell.
// Without one, CreateProcess takes the program from the line itself.
struct TCommand {
    std::string Program;
    std::string CommandLine;
    std::string Parameters;
};

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // CreateProcess with the caller's environment and current directory.
    // trackTree keeps every process it starts in one group so that Wait
    // covers them too. A program that needs elevation is started through the
    // shell instead, so the user is asked; its tree cannot be tracked then
    // and Wait covers the process alone. Null when nothing started, with the
    // reason in *error when one is given.
    virtual std::unique_ptr<IProcess> Start(const TCommand& command, bool trackTree, TStartError* error) = 0;
    // The system's text for an error code (FormatMessage), without the line
    // break at its end; never empty.
    virtual std::string ErrorText(std::uint32_t code) = 0;

    // The command line alone, failures silent.
    std::unique_ptr<IProcess> Start(const std::string& commandLine, bool trackTree) {
        return Start(TCommand{{}, commandLine, {}}, trackTree, nullptr);
    }
};

} // namespace cv
