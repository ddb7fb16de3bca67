#include "platform/CommandStart.h"

#include "platform/Utils.h"

namespace cv {

TCommand ResolveCommand(const TPlatform& platform, const std::string& commandLine) {
    TCommand command;
    command.CommandLine = commandLine;
    const TProgramInLine found = FindProgramInLine(platform, commandLine);
    if (found.Program.empty()) {
        return command;
    }
    command.Program = platform.Files.FullPathName(found.Program);
    const std::size_t parameters = commandLine.find_first_not_of(' ', found.End);
    if (parameters != std::string::npos) {
        command.Parameters = commandLine.substr(parameters);
    }
    return command;
}

std::unique_ptr<IProcess> StartCommand(const TPlatform& platform, const std::string& commandLine,
                                       bool trackTree, TStartError* error) {
    const TCommand command = ResolveCommand(platform, commandLine);
    if (command.Program.empty()) {
        if (error != nullptr) {
            *error = {kStartFileNotFound, platform.Processes.ErrorText(kStartFileNotFound)};
        }
        return nullptr;
    }
    return platform.Processes.Start(command, trackTree, error);
}

} // namespace cv
