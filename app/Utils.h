// Finding the program a command line starts.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace cv {

// The file itself when it exists, else the program the shell associates with
// it, else empty.
std::string LocateExecutable(const TPlatform& platform, const std::string& fileName);

// The program at the start of a command line. The path may hold blanks and
// may be quoted, so the line is cut before its first blank, then before its
// second, and so on, each cut tried with quotes removed and doubled
// backslashes made single; the first that names a program wins. Ten tries at
// most; empty when none resolves.
std::string ExtractExecutable(const TPlatform& platform, const std::string& commandLine);

} // namespace cv
