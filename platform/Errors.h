// The few errors the program raises. Their messages are shown to the user as
// they stand.
#pragma once

#include <stdexcept>
#include <string>

namespace cv {

class EClearvaneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A registry value of the wrong type, or a write the registry refused.
class ERegistryError : public EClearvaneError {
public:
    using EClearvaneError::EClearvaneError;
};

// A change the registry refused for want of rights: administrator rights
// would let it through.
class ERightsError : public ERegistryError {
public:
    using ERegistryError::ERegistryError;
};

// A file the program writes could not be created or replaced.
class EFileError : public EClearvaneError {
public:
    using EClearvaneError::EClearvaneError;
};

// The settings file could not be written.
class ESettingsError : public EClearvaneError {
public:
    using EClearvaneError::EClearvaneError;
};

// A copy of something about to be deleted could not be kept, or a kept
// copy could not be put back.
class EBackupError : public EClearvaneError {
public:
    using EClearvaneError::EClearvaneError;
};

// A startup entry that cannot be written where it was asked to go.
class EStartupError : public EClearvaneError {
public:
    using EClearvaneError::EClearvaneError;
};

// Replaces the first "%s" of a message pattern.
inline std::string FormatText(const std::string& pattern, const std::string& arg) {
    const auto at = pattern.find("%s");
    if (at == std::string::npos) {
        return pattern;
    }
    return pattern.substr(0, at) + arg + pattern.substr(at + 2);
}

} // namespace cv
