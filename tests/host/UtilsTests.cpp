#include "platform/Utils.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

// Counts the shell's look-ups, to see that a line is not searched at all.
class TCountingShell : public TSubstituteShell {
public:
    using TSubstituteShell::TSubstituteShell;
    std::string AssociatedProgram(const std::string& file) override {
        Asked.push_back(file);
        return TSubstituteShell::AssociatedProgram(file);
    }
    std::vector<std::string> Asked;
};

class ExtractExecutableTest : public ::testing::Test {
protected:
    ExtractExecutableTest() {
        Files.AddFile("C:\\Program Files\\My App\\uninst.exe", "MZ");
        Files.AddFile("C:\\Tools\\setup.exe", "MZ");
        Files.AddFile("C:\\Windows\\System32\\msiexec.exe", "MZ");
        Files.AddFile("C:\\Docs\\read me.txt", "text");
        Files.AddFile("C:\\Windows\\notepad.exe", "MZ");
        Files.AddFile("C:\\a b c d e f g h i\\prog.exe", "MZ");   // eight blanks
        Files.AddFile("C:\\a b c d e f g h i j\\prog.exe", "MZ"); // nine blanks
        Shell.SetAssociation(".txt", "C:\\Windows\\notepad.exe");
    }

    std::string Extract(const std::string& line) { return ExtractExecutable(Platform, line); }

    TSubstituteRegistry Registry;
    TSubstituteFileSystem Files;
    TCountingShell Shell{Registry, Files};
    TSubstituteProcesses Processes{Files, Shell};
    TSubstituteLocale Locale;
    TPlatform Platform{Registry, Files, Shell, Processes, Locale, {}};
};

TEST_F(ExtractExecutableTest, FindsTheProgramAtTheStartOfACommandLine) {
    struct TCase {
        const char* Line;
        const char* Expected;
    };
    const TCase cases[] = {
        {"\"C:\\Program Files\\My App\\uninst.exe\" /S", "C:\\Program Files\\My App\\uninst.exe"},
        {"C:\\Program Files\\My App\\uninst.exe /S /quiet", "C:\\Program Files\\My App\\uninst.exe"},
        {"C:\\Tools\\setup.exe --uninstall", "C:\\Tools\\setup.exe"},
        {"C:\\Tools\\setup.exe", "C:\\Tools\\setup.exe"},
        {"C:\\\\Tools\\\\setup.exe -x", "C:\\Tools\\setup.exe"},
        {"\"C:\\\\Program Files\\\\My App\\\\uninst.exe\"", "C:\\Program Files\\My App\\uninst.exe"},
        {"C:\\Tools\\setup.exe  /uninstall ", "C:\\Tools\\setup.exe"},
        // A bare program name is found where Windows searches for it.
        {"MsiExec.exe /X{12345678-1234-1234-1234-123456789012}", "C:\\Windows\\System32\\MsiExec.exe"},
        // An existing file is the answer itself; a missing one is looked up.
        {"C:\\Docs\\read me.txt", "C:\\Docs\\read me.txt"},
        {"C:\\a b c d e f g h i\\prog.exe /x", "C:\\a b c d e f g h i\\prog.exe"},
        // Ten tries: a path with nine blanks is out of reach.
        {"C:\\a b c d e f g h i j\\prog.exe", ""},
        {"C:\\Nowhere\\gone.exe /S", ""},
        {"", ""},
        {" ", ""},
        {"\"\"", ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Extract(c.Line), c.Expected) << c.Line;
    }
}

TEST_F(ExtractExecutableTest, AnEmptyLineIsNotLookedUpAndTriesStopAtTen) {
    Extract("");
    EXPECT_TRUE(Shell.Asked.empty());
    Shell.Asked.clear();
    Extract("x a b c d e f g h i j k l m");
    // The first cut is tried twice, so ten tries cover nine different cuts.
    ASSERT_EQ(Shell.Asked.size(), 10u);
    EXPECT_EQ(Shell.Asked[0], "x");
    EXPECT_EQ(Shell.Asked[1], "x");
    EXPECT_EQ(Shell.Asked[9], "x a b c d e f g h");
    Shell.Asked.clear();
    Extract("C:\\Gone\\prog.exe /S");
    EXPECT_EQ(Shell.Asked.back(), "C:\\Gone\\prog.exe /S"); // the whole line is the last try
}

TEST_F(ExtractExecutableTest, LocateExecutablePrefersTheFileItself) {
    EXPECT_EQ(LocateExecutable(Platform, "C:\\Docs\\read me.txt"), "C:\\Docs\\read me.txt");
    EXPECT_EQ(LocateExecutable(Platform, "notepad.exe"), "C:\\Windows\\notepad.exe");
    EXPECT_EQ(LocateExecutable(Platform, "C:\\Docs"), ""); // a folder is no file
}

} // namespace

} // namespace cv::test
