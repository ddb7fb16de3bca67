// Processes for host tests. A program is a file in the substitute file
// system, found from the command line the way CreateProcess finds it; what it
// does when it runs is told by the test. Time is counted in steps: every
// round of a wait pumps the messages once and moves each running process one
// step on (a step stands for 10 milliseconds of a wait's timeout).
#pragma once

#include "platform/Processes.h"
#include "platform/substitute/SubstituteFileSystem.h"
#include "platform/substitute/SubstituteShell.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace cv {

struct TProgramRun {
    std::uint32_t ExitCode = 0;
    int Steps = 0;                     // how long it runs
    std::function<void()> AtExit;      // what it leaves done when it ends
    std::vector<std::string> Children; // command lines it starts as it ends
};

class TSubstituteProcesses : public IProcessLauncher {
public:
    using TBehaviour = std::function<TProgramRun(const std::string& commandLine)>;

    TSubstituteProcesses(TSubstituteFileSystem& files, TSubstituteShell& shell);
    ~TSubstituteProcesses() override;

    std::unique_ptr<IProcess> Start(const std::string& commandLine, bool trackTree) override;

    // What the program at that path does; an existing program without a
    // behaviour ends at once with code 0.
    void SetProgram(const std::string& path, TBehaviour behaviour);
    // Every command line that started, in order.
    std::vector<std::string> Started();
    // The program CreateProcess would run for the command line; empty when none.
    std::string ProgramOf(const std::string& commandLine);

    struct TState;

private:
    std::shared_ptr<TState> Launch(const std::string& commandLine);
    void Step();
    void Finish(TState& state);
    friend class TSubstituteProcess;

    TSubstituteFileSystem& FFiles;
    TSubstituteShell& FShell;
    std::recursive_mutex FLock;
    std::map<std::string, TBehaviour> FPrograms; // upper-case full path
    std::vector<std::string> FStarted;
    std::vector<std::shared_ptr<TState>> FRunning;
};

} // namespace cv
