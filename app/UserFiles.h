// Where the program keeps the files it writes: the settings file and the
// record of the names seen at the last run. Beside the program when its
// folder can be written (a portable copy), else in the user's application
// data folder: an installed copy run without administrator rights may not
// write into its own folder.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace cv {

// The program's folder inside the application data folder.
inline constexpr const char* kUserFilesFolderName = "Clearvane";

// Whether a file can be made and deleted in the folder, found by doing so:
// neither attributes nor rights entries tell it for sure.
bool CanWriteFolder(const TPlatform& platform, const std::string& folder);

// The folder the program's files live in, ending in a backslash. The
// application data folder's is made when missing; a user without one keeps
// the files beside the program.
std::string UserFilesFolder(const TPlatform& platform);

struct TUserFiles {
    std::string SettingsFile;
    std::string NamesFile;
};

// Where both files live, once the files found in their old places (the
// settings beside the program, the names record in the current directory or
// beside the program) are copied to a new place that has none of its own.
// The old files stay as they were.
TUserFiles PrepareUserFiles(const TPlatform& platform);

} // namespace cv
