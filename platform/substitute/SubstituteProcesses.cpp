#include "platform/substitute/SubstituteProcesses.h"

#include "platform/PathText.h"
#include "platform/TextCase.h"

namespace cv {

struct TSubstituteProcesses::TState {
    TProgramRun Run;
    bool Ended = false;
    std::vector<std::shared_ptr<TState>> Tree; // processes started by it, with their own
};

namespace {

bool TreeEnded(const TSubstituteProcesses::TState& state) {
    if (!state.Ended) {
        return false;
    }
    for (const auto& child : state.Tree) {
        if (!TreeEnded(*child)) {
            return false;
        }
    }
    return true;
}

} // namespace

class TSubstituteProcess : public IProcess {
public:
    TSubstituteProcess(TSubstituteProcesses& owner, std::shared_ptr<TSubstituteProcesses::TState> state,
                       bool trackTree)
        : FOwner(owner), FState(std::move(state)), FTrackTree(trackTree) {}

    bool GetExitCode(std::uint32_t* code) override {
        std::lock_guard<std::recursive_mutex> guard(FOwner.FLock);
        *code = FState->Ended ? FState->Run.ExitCode : kStillActive;
        return true;
    }

    bool Wait(const TMessagePump& pump, std::uint32_t timeoutMs) override {
        const long limit = timeoutMs == kWaitForever ? -1 : static_cast<long>((timeoutMs + 9) / 10);
        for (long step = 0;; ++step) {
            {
                std::lock_guard<std::recursive_mutex> guard(FOwner.FLock);
                if (FTrackTree ? TreeEnded(*FState) : FState->Ended) {
                    return true;
                }
            }
            if (limit >= 0 && step >= limit) {
                return false;
            }
            if (pump) {
                pump();
            }
            FOwner.Step();
        }
    }

private:
    TSubstituteProcesses& FOwner;
    std::shared_ptr<TSubstituteProcesses::TState> FState;
    bool FTrackTree;
};

TSubstituteProcesses::TSubstituteProcesses(TSubstituteFileSystem& files, TSubstituteShell& shell)
    : FFiles(files), FShell(shell) {}

TSubstituteProcesses::~TSubstituteProcesses() = default;

std::string TSubstituteProcesses::ProgramOf(const std::string& commandLine) {
    auto resolve = [&](const std::string& candidate) -> std::string {
        const std::string found = FShell.FindOnSearchPath(candidate);
        return !found.empty() && IsProgramExtension(ExtractFileExt(found)) ? found : std::string();
    };
    const auto start = commandLine.find_first_not_of(" \t");
    if (start == std::string::npos) {
        return {};
    }
    if (commandLine[start] == '"') {
        const auto close = commandLine.find('"', start + 1);
        return resolve(commandLine.substr(start + 1, close == std::string::npos ? std::string::npos
                                                                                : close - start - 1));
    }
    // Unquoted: each blank may end the program's path, the shortest first.
    for (std::size_t at = commandLine.find_first_of(" \t", start);;
         at = commandLine.find_first_of(" \t", at + 1)) {
        const std::string candidate = commandLine.substr(start, at == std::string::npos ? at : at - start);
        if (const std::string found = resolve(candidate); !found.empty()) {
            return found;
        }
        if (at == std::string::npos) {
            return {};
        }
    }
}

std::shared_ptr<TSubstituteProcesses::TState> TSubstituteProcesses::Launch(const std::string& program,
                                                                           const std::string& commandLine) {
    if (program.empty()) {
        return nullptr;
    }
    auto state = std::make_shared<TState>();
    TBehaviour behaviour;
    {
        std::lock_guard<std::recursive_mutex> guard(FLock);
        FStarted.push_back(commandLine);
        FStartedPrograms.push_back(program);
        const auto it = FPrograms.find(UpperText(program));
        if (it != FPrograms.end()) {
            behaviour = it->second;
        }
    }
    if (behaviour) {
        state->Run = behaviour(commandLine);
    }
    if (state->Run.Steps <= 0) {
        state->Ended = true;
        Finish(*state);
    } else {
        std::lock_guard<std::recursive_mutex> guard(FLock);
        FRunning.push_back(state);
    }
    return state;
}

void TSubstituteProcesses::Finish(TState& state) {
    if (state.Run.AtExit) {
        state.Run.AtExit();
    }
    for (const std::string& child : state.Run.Children) {
        if (auto started = Launch(ProgramOf(child), child)) {
            std::lock_guard<std::recursive_mutex> guard(FLock);
            state.Tree.push_back(started);
        }
    }
}

void TSubstituteProcesses::Step() {
    std::vector<std::shared_ptr<TState>> ending;
    {
        std::lock_guard<std::recursive_mutex> guard(FLock);
        for (auto it = FRunning.begin(); it != FRunning.end();) {
            TState& state = **it;
            if (--state.Run.Steps <= 0) {
                state.Ended = true;
                ending.push_back(*it);
                it = FRunning.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto& state : ending) {
        Finish(*state);
    }
}

std::unique_ptr<IProcess> TSubstituteProcesses::Start(const TCommand& command, bool trackTree,
                                                      TStartError* error) {
    std::uint32_t failure = 0;
    std::string program = command.Program;
    if (program.empty()) {
        program = ProgramOf(command.CommandLine);
        failure = program.empty() ? kStartFileNotFound : 0;
    } else if (!FFiles.FileExists(program)) {
        failure = kStartFileNotFound;
    } else if (!IsProgramExtension(ExtractFileExt(program))) {
        failure = kStartBadExeFormat;
    } else {
        program = FFiles.FullPathName(program);
    }
    bool elevated = false;
    if (failure == 0) {
        std::lock_guard<std::recursive_mutex> guard(FLock);
        const std::string key = UpperText(FFiles.FullPathName(program));
        if (const auto it = FStartFailures.find(key); it != FStartFailures.end()) {
            failure = it->second;
        } else if (FNeedsElevation.count(key) != 0) {
            // As the real launcher does: only a program it was given goes to the shell.
            if (command.Program.empty()) {
                failure = kStartElevationRequired;
            } else {
                elevated = true;
                FElevated.push_back(program);
            }
        }
    }
    if (failure != 0) {
        if (error != nullptr) {
            *error = {failure, ErrorText(failure)};
        }
        return nullptr;
    }
    auto state = Launch(program, command.CommandLine);
    return std::make_unique<TSubstituteProcess>(*this, state, trackTree && !elevated);
}

std::string TSubstituteProcesses::ErrorText(std::uint32_t code) {
    switch (code) {
    case kStartFileNotFound:
        return "The system cannot find the file specified.";
    case 3:
        return "The system cannot find the path specified.";
    case 5:
        return "Access is denied.";
    case kStartBadExeFormat:
        return "%1 is not a valid Win32 application.";
    case kStartElevationRequired:
        return "The requested operation requires elevation.";
    case 1223:
        return "The operation was canceled by the user.";
    default:
        return "Error " + std::to_string(code);
    }
}

void TSubstituteProcesses::SetStartFailure(const std::string& path, std::uint32_t code) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    FStartFailures[UpperText(FFiles.FullPathName(path))] = code;
}

void TSubstituteProcesses::SetNeedsElevation(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    FNeedsElevation[UpperText(FFiles.FullPathName(path))] = true;
}

std::vector<std::string> TSubstituteProcesses::StartedPrograms() {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FStartedPrograms;
}

std::vector<std::string> TSubstituteProcesses::Elevated() {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FElevated;
}

void TSubstituteProcesses::SetProgram(const std::string& path, TBehaviour behaviour) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    FPrograms[UpperText(FFiles.FullPathName(path))] = std::move(behaviour);
}

std::vector<std::string> TSubstituteProcesses::Started() {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FStarted;
}

} // namespace cv
