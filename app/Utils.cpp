#include "app/Utils.h"

#include <algorithm>

namespace cv {

std::string LocateExecutable(const TPlatform& platform, const std::string& fileName) {
    if (platform.Files.FileExists(fileName)) {
        return fileName;
    }
    return platform.Shell.AssociatedProgram(fileName);
}

namespace {

// The line before its n-th blank (the first blank for n 0 and 1); the whole
// line when it has fewer blanks.
std::string CutBeforeBlank(const std::string& line, int n) {
    std::size_t at = std::string::npos;
    for (int k = 0; k < std::max(n, 1); ++k) {
        at = line.find(' ', at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos) {
            return line;
        }
    }
    return line.substr(0, at);
}

std::string CleanCandidate(const std::string& candidate) {
    std::string unquoted;
    for (char c : candidate) {
        if (c != '"') {
            unquoted += c;
        }
    }
    std::string out;
    for (std::size_t i = 0; i < unquoted.size(); ++i) {
        out += unquoted[i];
        if (unquoted[i] == '\\' && i + 1 < unquoted.size() && unquoted[i + 1] == '\\') {
            ++i;
        }
    }
    return out;
}

} // namespace

std::string ExtractExecutable(const TPlatform& platform, const std::string& commandLine) {
    std::string result;
    std::string candidate;
    for (int i = 0; candidate != commandLine && i < 10; ++i) {
        candidate = CutBeforeBlank(commandLine, i);
        result = LocateExecutable(platform, CleanCandidate(candidate));
        if (!result.empty()) {
            break;
        }
    }
    return result;
}

} // namespace cv
