#include "app/StartOptions.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(StartOptions, SwitchesAndTheFileAreToldApart) {
    struct TCase {
        std::vector<std::string> Arguments;
        std::string File;
        int Page;
        std::uint32_t After;
    };
    const TCase cases[] = {
        {{}, "", 0, 0},
        {{"C:\\Tools\\editor.exe"}, "C:\\Tools\\editor.exe", 0, 0},
        {{"/page=1", "/after=4242"}, "", 1, 4242},
        {{"/after=7", "C:\\a b\\c.lnk", "/page=0", "second.txt"}, "C:\\a b\\c.lnk", 0, 7},
        // Out of range or not a number: passed over, never taken for a file.
        {{"/page=2", "/page=-1", "/page=", "/page=1x", "/after=99999999999", "/after=x"}, "", 0, 0},
        // Not one of the switches: a file (a path may begin with a slash on a share).
        {{"/pages=1"}, "/pages=1", 0, 0},
        {{"/page"}, "/page", 0, 0},
    };
    for (const TCase& c : cases) {
        const TStartOptions options = ParseStartOptions(c.Arguments);
        EXPECT_EQ(options.File, c.File);
        EXPECT_EQ(options.Page, c.Page) << c.File;
        EXPECT_EQ(options.WaitForProcess, c.After) << c.File;
    }
}

TEST(StartOptions, ARestartAsAdministratorComesBackOnItsPageAfterThisRun) {
    TSubstitutePlatform sub;
    sub.Files.AddFile(sub.Shell.ProgramPath(), "MZ");
    ASSERT_TRUE(RestartAsAdministrator(sub.Platform, 1, 4242));
    ASSERT_EQ(sub.Shell.RunsAsAdministrator().size(), 1u);
    const std::string run = sub.Shell.RunsAsAdministrator()[0];
    EXPECT_EQ(run, sub.Shell.ProgramPath() + " /page=1 /after=4242");
    // What the new run reads back is what this one asked for.
    const std::string parameters = run.substr(sub.Shell.ProgramPath().size() + 1);
    const TStartOptions options = ParseStartOptions(
        {parameters.substr(0, parameters.find(' ')), parameters.substr(parameters.find(' ') + 1)});
    EXPECT_EQ(options.Page, 1);
    EXPECT_EQ(options.WaitForProcess, 4242u);
    EXPECT_TRUE(options.File.empty());

    sub.Shell.SetElevationAllowed(false); // the user said no at the prompt
    EXPECT_FALSE(RestartAsAdministrator(sub.Platform, 0, 1));
    EXPECT_EQ(sub.Shell.RunsAsAdministrator().size(), 1u);
}

} // namespace

} // namespace cv::test
