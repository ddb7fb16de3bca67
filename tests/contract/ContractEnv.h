// What the shared platform tests run on: the substitute in the host build,
// the real Win32 services under Wine in the Windows build. Each build links
// its own MakeContractEnv.
#pragma once

#include "platform/Platform.h"

#include <memory>
#include <string>

namespace cv::test {

class TContractEnv {
public:
    virtual ~TContractEnv() = default;
    virtual TPlatform& Platform() = 0;
    // Wine sorts values by name and subkeys by their lower-cased names.
    virtual bool IsWine() const = 0;
    // An empty folder of this test, as an absolute path without a trailing backslash.
    virtual std::string ScratchFolder() = 0;
    // An empty key of this test below HKEY_CURRENT_USER.
    virtual std::string ScratchKey() = 0;
    // A command line that runs the helper program with these words
    // ("sleep MS", "exit CODE", "touch PATH", "spawn MS PATH").
    virtual std::string HelperCommand(const std::string& words) = 0;
};

std::unique_ptr<TContractEnv> MakeContractEnv();

// Where the registry exports of real profiles lie; empty when they are absent.
std::string RealDataFolder();

} // namespace cv::test
