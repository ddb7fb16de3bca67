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

    using IProcessLauncher::Start;
    std::unique_ptr<IProcess> Start(const TCommand& command, bool trackTree, TStartError* error) override;
    // Windows' texts for the errors a start meets; "Error N" for the rest.
    std::string ErrorText(std::uint32_t code) override;

    // What the program at that path does; an existing program without a
    // behaviour ends at once with code 0.
    void SetProgram(const std::string& path, TBehaviour behaviour);
    // Starting the program at that path fails with the error code.
    void SetStartFailure(const std::string& path, std::uint32_t code);
    // The program at that path asks for elevation: it starts through the
    // shell, and a wait covers it alone, not the processes it starts.
    void SetNeedsElevation(const std::string& path);
    // Every command line that started, in order, and the programs they ran.
    std::vector<std::string> Started();
    std::vector<std::string> StartedPrograms();
    // The programs that started through the shell.
    std::vector<std::string> Elevated();
    // The program CreateProcess would run for the command line; empty when none.
    std::string ProgramOf(const std::string& commandLine);

    struct TState;

private:
    std::shared_ptr<TState> Launch(const std::string& program, const std::string& commandLine);
    void Step();
    void Finish(TState& state);
    friend class TSubstituteProcess;

    TSubstituteFileSystem& FFiles;
    TSubstituteShell& FShell;
    std::recursive_mutex FLock;
    std::map<std::string, TBehaviour> FPrograms;         // upper-case full path
    std::map<std::string, std::uint32_t> FStartFailures; // upper-case full path
    std::map<std::string, bool> FNeedsElevation;         // upper-case full path
    std::vector<std::string> FStarted;
    std::vector<std::string> FStartedPrograms;
    std::vector<std::string> FElevated;
    std::vector<std::shared_ptr<TState>> FRunning;
};

} // namespace cv
