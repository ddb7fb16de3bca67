// The real platform: every service over the Win32 API, wired together once.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"

namespace cv {

struct TWin32Platform {
    TWin32Registry Registry;
    TWin32FileSystem Files;
    TWin32Shell Shell;
    TWin32Processes Processes;
    TWin32Locale Locale;
    TPlatform Platform{Registry, Files, Shell, Processes, Locale, PumpWin32Messages};
};

} // namespace cv
