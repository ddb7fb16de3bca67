#include "inventory/UninstallManager.h"
#include "platform/CommandStart.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class CommandStartTest : public ::testing::Test {
protected:
    CommandStartTest() {
        for (const char* program :
             {"C:\\Tools\\My.exe", "C:\\Tools\\My App\\uninst.exe",
              "C:\\Program Files\\Quoted App\\uninst.exe", "C:\\Windows\\System32\\msiexec.exe",
              "C:\\Program Files\\Clearvane\\msiexec.exe", "C:\\Work\\msiexec.exe", "C:\\Work\\sub\\tool.exe",
              "C:\\Windows\\regedit.exe"}) {
            Sub.Files.AddFile(program, "MZ");
        }
        Sub.Files.ChangeDirectory("C:\\Work");
    }

    TSubstitutePlatform Sub;
};

TEST_F(CommandStartTest, TheLinesOwnProgramStartsWithTheWholeLine) {
    const std::string huge = "C:\\Tools\\My App\\uninst.exe /log " + std::string(100000, 'a');
    struct TCase {
        std::string Line;
        std::string Program; // empty: nothing starts, the file is not found
        std::string Parameters;
    };
    const TCase cases[] = {
        {"\"C:\\Program Files\\Quoted App\\uninst.exe\" /S", "C:\\Program Files\\Quoted App\\uninst.exe",
         "/S"},
        // A shorter reading of the line names a program too: the entry's own one still runs.
        {"C:\\Tools\\My App\\uninst.exe /S", "C:\\Tools\\My App\\uninst.exe", "/S"},
        {"C:\\Tools\\My App\\uninst.exe", "C:\\Tools\\My App\\uninst.exe", ""},
        {"C:\\Tools\\My.exe App\\uninst.exe", "C:\\Tools\\My.exe", "App\\uninst.exe"},
        {"C:\\Tools\\My /x", "C:\\Tools\\My.exe", "/x"},
        // A bare name is the system's program, not the one beside us or here.
        {"MsiExec.exe /X{1234}", "C:\\Windows\\System32\\MsiExec.exe", "/X{1234}"},
        {"msiexec /x {1234}", "C:\\Windows\\System32\\msiexec.exe", "/x {1234}"},
        {"regedit /s x.reg", "C:\\Windows\\regedit.exe", "/s x.reg"},
        {"sub\\tool.exe -u", "C:\\Work\\sub\\tool.exe", "-u"},
        // A quoted program that is gone is not guessed from a part of it.
        {"\"C:\\Tools\\My App\\gone.exe\" /S", "", ""},
        {"C:\\Gone\\uninst.exe /S", "", ""},
        {"", "", ""},
        {"   ", "", ""},
        {"\"\"", "", ""},
        {"\"", "", ""},
        {huge, "C:\\Tools\\My App\\uninst.exe", huge.substr(huge.find("/log"))},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Line.substr(0, 60));
        const TCommand command = ResolveCommand(Sub.Platform, c.Line);
        EXPECT_EQ(command.Program, c.Program);
        EXPECT_EQ(command.CommandLine, c.Line);
        EXPECT_EQ(command.Parameters, c.Parameters);

        const std::size_t before = Sub.Processes.StartedPrograms().size();
        TStartError error;
        const auto process = StartCommand(Sub.Platform, c.Line, false, &error);
        EXPECT_EQ(process != nullptr, !c.Program.empty());
        if (c.Program.empty()) {
            EXPECT_EQ(error.Code, kStartFileNotFound);
            EXPECT_EQ(error.Message, "The system cannot find the file specified.");
            EXPECT_EQ(Sub.Processes.StartedPrograms().size(), before);
        } else {
            EXPECT_EQ(error.Code, 0u);
            ASSERT_EQ(Sub.Processes.StartedPrograms().size(), before + 1);
            EXPECT_EQ(Sub.Processes.StartedPrograms().back(), c.Program);
            EXPECT_EQ(Sub.Processes.Started().back(), c.Line);
        }
    }
}

TEST_F(CommandStartTest, UninstallersReportWhyTheyDidNotStart) {
    const TFileInfoManager info(Sub.Platform);
    TUninstallManager manager(Sub.Platform, info);
    Sub.Processes.SetStartFailure("C:\\Tools\\My.exe", 5);
    struct TCase {
        const char* Command;
        bool Started;
        std::uint32_t Code;
        const char* Message;
    };
    const TCase cases[] = {
        {"C:\\Tools\\My App\\uninst.exe /S", true, 0, ""},
        {"C:\\Tools\\My.exe /S", false, 5, "Access is denied."},
        {"C:\\Gone\\uninst.exe /S", false, kStartFileNotFound, "The system cannot find the file specified."},
        {"C:\\Windows\\System32\\notes.txt", false, kStartBadExeFormat,
         "%1 is not a valid Win32 application."},
    };
    Sub.Files.AddFile("C:\\Windows\\System32\\notes.txt", "text");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Command);
        TUninstallItem item(Sub.Platform);
        item.UninstallString = c.Command;
        for (bool wait : {false, true}) {
            TStartError error;
            EXPECT_EQ(wait ? manager.RunUninstallerAndWait(item, &error)
                           : manager.RunUninstaller(item, &error),
                      c.Started);
            EXPECT_EQ(error.Code, c.Code);
            EXPECT_EQ(error.Message, c.Message);
        }
    }
}

TEST_F(CommandStartTest, AProgramThatNeedsElevationStartsThroughTheShellAndIsWaitedForAlone) {
    const std::string marker = "C:\\Work\\child.done";
    Sub.Processes.SetNeedsElevation("C:\\Tools\\My App\\uninst.exe");
    Sub.Processes.SetProgram("C:\\Tools\\My App\\uninst.exe", [](const std::string&) {
        TProgramRun run;
        run.Steps = 2;
        run.Children = {"C:\\Work\\sub\\tool.exe"};
        return run;
    });
    Sub.Processes.SetProgram("C:\\Work\\sub\\tool.exe", [&](const std::string&) {
        TProgramRun run;
        run.Steps = 50;
        run.AtExit = [&] { Sub.Files.WriteFile(marker, ""); };
        return run;
    });
    TStartError error;
    auto process = StartCommand(Sub.Platform, "C:\\Tools\\My App\\uninst.exe /S", true, &error);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(Sub.Processes.Elevated(), std::vector<std::string>{"C:\\Tools\\My App\\uninst.exe"});
    EXPECT_TRUE(process->Wait(Sub.Platform.ProcessMessages));
    EXPECT_FALSE(Sub.Files.FileExists(marker)) << "the copy it started runs on unwatched";
    // The plain line alone gives the shell nothing it could start.
    EXPECT_EQ(Sub.Processes.Start("\"C:\\Tools\\My App\\uninst.exe\" /S", true), nullptr);
}

} // namespace

} // namespace cv::test
