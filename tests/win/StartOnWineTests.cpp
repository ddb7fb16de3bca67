// Starting uninstallers with real processes: copies of the tests' helper
// program under names a command line can be read to mean, each leaving a
// marker named after itself when it runs.
#include "contract/ContractEnv.h"

#include "inventory/UninstallManager.h"
#include "platform/CommandStart.h"
#include "platform/TextCase.h"
#include "platform/Utils.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class StartOnWine : public ::testing::Test {
protected:
    StartOnWine() : Env(MakeContractEnv()), P(Env->Platform()), Folder(Env->ScratchFolder()) {
        const std::string command = Env->HelperCommand("");
        Helper = command.substr(1, command.find('"', 1) - 1);
    }

    void CopyHelper(const std::string& path) {
        ::CreateDirectoryW(toWide(ExtractFolder(path)).c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW(toWide(Helper).c_str(), toWide(path).c_str(), FALSE)) << path;
    }
    static std::string ExtractFolder(const std::string& path) {
        return path.substr(0, path.find_last_of('\\'));
    }
    bool Ran(const std::string& name) { return P.Files.FileExists(Folder + "\\" + name + ".ran"); }
    void ForgetRuns() {
        for (const TFoundFile& file : P.Files.FindFiles(Folder, "*.ran")) {
            P.Files.RemoveFile(Folder + "\\" + file.Name);
        }
    }

    std::unique_ptr<TContractEnv> Env;
    TPlatform& P;
    std::string Folder;
    std::string Helper;
};

TEST_F(StartOnWine, TheEntrysOwnUninstallerRunsWhereAShorterReadingNamesAnotherProgram) {
    CopyHelper(Folder + "\\My.exe");
    CopyHelper(Folder + "\\My App\\uninst.exe");
    ASSERT_EQ(Folder.find(' '), std::string::npos) << "the scratch folder itself has no blank";
    const std::string line = Folder + "\\My App\\uninst.exe self " + Folder;

    // The system's own reading of the unquoted line takes the shorter path:
    // the danger is real on this platform.
    auto plain = P.Processes.Start(line, false);
    ASSERT_NE(plain, nullptr);
    ASSERT_TRUE(plain->Wait(nullptr, 10000));
    EXPECT_TRUE(Ran("My.exe"));
    EXPECT_FALSE(Ran("uninst.exe"));

    struct TCase {
        std::string Command;
        const char* Expected;
    };
    const TCase cases[] = {
        {line, "uninst.exe"},
        {"\"" + Folder + "\\My App\\uninst.exe\" self " + Folder, "uninst.exe"},
        {Folder + "\\My.exe self " + Folder, "My.exe"},
    };
    const TFileInfoManager info(P);
    TUninstallManager manager(P, info);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Command);
        ForgetRuns();
        TUninstallItem item(P);
        item.UninstallString = c.Command;
        TStartError error;
        ASSERT_TRUE(manager.RunUninstallerAndWait(item, &error)) << error.Message;
        EXPECT_TRUE(Ran(c.Expected));
        EXPECT_EQ(Ran("My.exe") + Ran("uninst.exe"), 1) << "one program ran";
    }
}

TEST_F(StartOnWine, ABareNameIsTheSystemFoldersProgramAndAMissingOneIsReported) {
    CopyHelper(Folder + "\\cmd.exe");
    const std::string before = P.Files.CurrentDirectory();
    ASSERT_TRUE(P.Files.ChangeDirectory(Folder));
    TStartError error;
    auto process = StartCommand(P, "cmd.exe /c exit 5", true, &error);
    P.Files.ChangeDirectory(before);
    ASSERT_NE(process, nullptr) << error.Message;
    ASSERT_TRUE(process->Wait(nullptr, 10000));
    std::uint32_t code = 0;
    ASSERT_TRUE(process->GetExitCode(&code));
    EXPECT_EQ(code, 5u) << "the system's cmd.exe ran";
    EXPECT_TRUE(SameText(ResolveCommand(P, "cmd.exe /c exit 5").Program, GetSystemDir(P) + "cmd.exe"));

    for (const std::string& missing : {Folder + "\\Gone App\\uninst.exe /S",
                                       "\"" + Folder + "\\My App\\gone.exe\" /S", std::string("  ")}) {
        SCOPED_TRACE(missing);
        error = {};
        EXPECT_EQ(StartCommand(P, missing, false, &error), nullptr);
        EXPECT_EQ(error.Code, kStartFileNotFound);
        EXPECT_EQ(error.Message, P.Processes.ErrorText(kStartFileNotFound));
    }
    EXPECT_NE(P.Processes.ErrorText(kStartFileNotFound), "Error 2") << "the system has a text for it";
}

TEST_F(StartOnWine, TheShellStartsAProgramWithItsParametersAndItsProcessIsWaitedFor) {
    CopyHelper(Folder + "\\My App\\uninst.exe");
    const TCommand command =
        ResolveCommand(P, Folder + "\\My App\\uninst.exe sleep 300 self " + Folder + " exit 9");
    ASSERT_EQ(command.Parameters, "sleep 300 self " + Folder + " exit 9");
    TStartError error;
    auto process = StartThroughShell(command, &error);
    ASSERT_NE(process, nullptr) << error.Message;
    ASSERT_TRUE(process->Wait(nullptr, 10000));
    EXPECT_TRUE(Ran("uninst.exe"));
    std::uint32_t code = 0;
    ASSERT_TRUE(process->GetExitCode(&code));
    EXPECT_EQ(code, 9u);

    EXPECT_EQ(StartThroughShell({Folder + "\\nothing.exe", Folder + "\\nothing.exe", ""}, &error), nullptr);
    EXPECT_NE(error.Code, 0u);
    EXPECT_FALSE(error.Message.empty());
}

} // namespace

} // namespace cv::test
