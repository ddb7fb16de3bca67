// Command-line resolution against a file system that holds some of the
// candidates: never more than ten look-ups, and an answer is always a file
// that exists or a program the shell named.
#include "fuzz/FuzzInput.h"
#include "platform/Utils.h"
#include "platform/substitute/SubstitutePlatform.h"

using namespace cv;

namespace {

class TCountingShell : public TSubstituteShell {
public:
    using TSubstituteShell::TSubstituteShell;
    std::string AssociatedProgram(const std::string& file) override {
        ++Asked;
        return TSubstituteShell::AssociatedProgram(file);
    }
    int Asked = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzz::Parts(data, size);
    TSubstituteRegistry registry;
    TSubstituteFileSystem files;
    TCountingShell shell(registry, files);
    TSubstituteProcesses processes(files, shell);
    TSubstituteLocale locale;
    TPlatform platform{registry, files, shell, processes, locale, {}};
    shell.SetAssociation(".txt", "C:\\Windows\\notepad.exe");
    for (std::size_t i = 1; i < parts.size() && i < 6; ++i) {
        files.AddFile(parts[i], "x"); // a path the line may or may not name
    }
    const std::string result = ExtractExecutable(platform, parts[0]);
    fuzz::Check(shell.Asked <= 10);
    fuzz::Check(result.empty() || files.FileExists(result) || result == "C:\\Windows\\notepad.exe");
    fuzz::Check(!parts[0].empty() || shell.Asked == 0);
    return 0;
}
