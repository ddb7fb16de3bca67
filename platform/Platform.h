// The services a model object is handed when it is created.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Processes.h"
#include "platform/RegistryApi.h"
#include "platform/Shell.h"

namespace cv {

struct TPlatform {
    IRegistryApi& Registry;
    IFileSystem& Files;
    IShell& Shell;
    IProcessLauncher& Processes;
    const ILocale& Locale;
    // Handles pending window messages during long waits; may be empty.
    TMessagePump ProcessMessages;
};

} // namespace cv
