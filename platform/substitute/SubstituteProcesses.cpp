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

std::shared_ptr<TSubstituteProcesses::TState> TSubstituteProcesses::Launch(const std::string& commandLine) {
    const std::string program = ProgramOf(commandLine);
    if (program.empty()) {
        return nullptr;
    }
    auto state = std::make_shared<TState>();
    TBehaviour behaviour;
    {
        std::lock_guard<std::recursive_mutex> guard(FLock);
        FStarted.push_back(commandLine);
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
        if (auto started = Launch(child)) {
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

std::unique_ptr<IProcess> TSubstituteProcesses::Start(const std::string& commandLine, bool trackTree) {
    auto state = Launch(commandLine);
    if (!state) {
        return nullptr;
    }
    return std::make_unique<TSubstituteProcess>(*this, state, trackTree);
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
