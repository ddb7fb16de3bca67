// Starting the program a command line names, as the line's writer meant it:
// the file found by the program's own reading of the line (ExtractExecutable)
// runs, with the whole line as its command line, never another file that a
// search of the system's would have found first.
#pragma once

#include "platform/Platform.h"

#include <memory>
#include <string>

namespace cv {

// The line's program as an absolute path and the text after it; no program
// when the line names none that is there.
TCommand ResolveCommand(const TPlatform& platform, const std::string& commandLine);

// Starts the line's program (see IProcessLauncher::Start). Null when nothing
// started; the reason goes to *error, a program not found being the system's
// "file not found".
std::unique_ptr<IProcess> StartCommand(const TPlatform& platform, const std::string& commandLine,
                                       bool trackTree, TStartError* error);

} // namespace cv
