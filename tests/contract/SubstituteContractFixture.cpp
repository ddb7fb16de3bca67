#include "contract/ContractEnv.h"

#include "platform/substitute/SubstitutePlatform.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

namespace cv::test {

namespace {

const char* const kHelper = "C:\\Tools\\cv_testhelper.exe";

std::vector<std::string> Words(const std::string& commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            if (!word.empty()) {
                words.push_back(word);
            }
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

class TSubstituteEnv : public TContractEnv {
public:
    TSubstituteEnv() {
        FSub.Files.AddFolder("C:\\Scratch");
        const std::string user =
            "C:\\Users\\Test\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
        const std::string common = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp";
        FSub.Files.AddFolder(user);
        FSub.Files.AddFolder(common);
        FSub.Shell.SetSpecialFolder(kCsidlStartup, user);
        FSub.Shell.SetSpecialFolder(kCsidlCommonStartup, common);
        FSub.Files.AddFile("C:\\Windows\\System32\\notepad.exe", "MZ");
        FSub.Shell.SetAssociation(".txt", "C:\\Windows\\System32\\notepad.exe");
        FSub.Files.AddFile(kHelper, "MZ");
        FSub.Processes.SetProgram(kHelper, [this](const std::string& line) { return Behave(line); });
        HKey key = 0;
        FSub.Registry.CreateKey(kHKeyCurrentUser, ScratchKey(), kKeyAllAccess, &key);
        FSub.Registry.CloseKey(key);
    }

    TPlatform& Platform() override { return FSub.Platform; }
    bool IsWine() const override { return false; }
    std::string ScratchFolder() override { return "C:\\Scratch"; }
    std::string ScratchKey() override { return "Software\\ClearvaneTests\\Scratch"; }
    std::string HelperCommand(const std::string& words) override {
        return std::string("\"") + kHelper + "\" " + words;
    }

private:
    TProgramRun Behave(const std::string& line) {
        TProgramRun run;
        const std::vector<std::string> words = Words(line);
        std::vector<std::string> touches;
        for (std::size_t i = 1; i < words.size(); ++i) {
            if (words[i] == "sleep" && i + 1 < words.size()) {
                run.Steps += std::max(1, std::stoi(words[++i]) / 10);
            } else if (words[i] == "exit" && i + 1 < words.size()) {
                run.ExitCode = static_cast<std::uint32_t>(std::stoi(words[++i]));
            } else if (words[i] == "touch" && i + 1 < words.size()) {
                touches.push_back(words[++i]);
            } else if (words[i] == "spawn" && i + 2 < words.size()) {
                run.Children.push_back(
                    HelperCommand("sleep " + words[i + 1] + " touch \"" + words[i + 2] + "\""));
                i += 2;
            }
        }
        run.AtExit = [this, touches] {
            for (const std::string& path : touches) {
                FSub.Files.WriteFile(path, {});
            }
        };
        return run;
    }

    TSubstitutePlatform FSub;
};

} // namespace

std::unique_ptr<TContractEnv> MakeContractEnv() {
    return std::make_unique<TSubstituteEnv>();
}

std::string RealDataFolder() {
    std::error_code error;
    return std::filesystem::is_directory(CLEARVANE_REALDATA, error) ? std::string(CLEARVANE_REALDATA)
                                                                    : std::string();
}

} // namespace cv::test
