#include "app/StartOptions.h"

#include <charconv>
#include <string_view>

namespace cv {

namespace {

constexpr int kPageCount = 2;

// The number after "name=" when the argument is that switch.
bool SwitchValue(std::string_view argument, std::string_view name, std::uint32_t* value) {
    if (argument.size() <= name.size() + 2 || argument[0] != '/' || argument.substr(1, name.size()) != name ||
        argument[name.size() + 1] != '=') {
        return false;
    }
    const std::string_view digits = argument.substr(name.size() + 2);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), *value);
    return error == std::errc() && end == digits.data() + digits.size();
}

bool IsSwitch(std::string_view argument, std::string_view name) {
    return argument.size() > name.size() + 1 && argument[0] == '/' &&
           argument.substr(1, name.size()) == name && argument[name.size() + 1] == '=';
}

} // namespace

TStartOptions ParseStartOptions(const std::vector<std::string>& arguments) {
    TStartOptions options;
    for (const std::string& argument : arguments) {
        std::uint32_t value = 0;
        if (IsSwitch(argument, "page")) {
            if (SwitchValue(argument, "page", &value) && value < kPageCount) {
                options.Page = static_cast<int>(value);
            }
        } else if (IsSwitch(argument, "after")) {
            if (SwitchValue(argument, "after", &value)) {
                options.WaitForProcess = value;
            }
        } else if (options.File.empty()) {
            options.File = argument;
        }
    }
    return options;
}

std::string RestartParameters(int page, std::uint32_t processId) {
    return "/page=" + std::to_string(page) + " /after=" + std::to_string(processId);
}

bool RestartAsAdministrator(const TPlatform& platform, int page, std::uint32_t processId) {
    return platform.Shell.RunAsAdministrator(platform.Shell.ProgramPath(),
                                             RestartParameters(page, processId));
}

} // namespace cv
