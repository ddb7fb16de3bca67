// The whole substitute platform in one object, for host tests and benchmarks.
#pragma once

#include "platform/Platform.h"
#include "platform/substitute/SubstituteFileSystem.h"
#include "platform/substitute/SubstituteLocale.h"
#include "platform/substitute/SubstituteProcesses.h"
#include "platform/substitute/SubstituteRegistry.h"
#include "platform/substitute/SubstituteShell.h"

namespace cv {

struct TSubstitutePlatform {
    TSubstitutePlatform() {
        // The program's own icon resources.
        Shell.AddIconResource("Z_INSTALL");
        Shell.AddIconResource("Z_RUBBISH");
        // A user's profile has an application data folder.
        Shell.SetSpecialFolder(kCsidlAppData, kAppData);
        Files.AddFolder(kAppData);
    }

    static constexpr const char* kAppData = "C:\\Users\\User\\AppData\\Roaming";

    TSubstituteRegistry Registry;
    TSubstituteFileSystem Files;
    TSubstituteShell Shell{Registry, Files};
    TSubstituteProcesses Processes{Files, Shell};
    TSubstituteLocale Locale;
    int PumpCount = 0;
    TPlatform Platform{Registry, Files, Shell, Processes, Locale, [this] { ++PumpCount; }};
};

} // namespace cv
