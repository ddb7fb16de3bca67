// A user without administrator rights on the real uninstaller page: the
// machine-wide keys refuse every change (Wine runs everybody as
// administrator, so a thin layer over the real registry refuses them), and
// the shell's elevation prompt is answered by the test.
#include "UninstallFlowFixture.h"

#include "forms/Elevation.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

constexpr std::uint32_t kWriteBits =
    kKeySetValue | kKeyCreateSubKey | kKeyDelete | 0x0020 | 0x40000 | 0x80000;

// HKEY_LOCAL_MACHINE as a standard user has it: read, never changed.
class TLockedMachineRegistry : public TWin32Registry {
public:
    long OpenKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) override {
        if (parent == kHKeyLocalMachine && (access & kWriteBits) != 0) {
            return kErrorAccessDenied;
        }
        return TWin32Registry::OpenKey(parent, subKey, access, result);
    }
    long CreateKey(HKey parent, std::string_view subKey, std::uint32_t access, HKey* result) override {
        if (parent == kHKeyLocalMachine) {
            return kErrorAccessDenied;
        }
        return TWin32Registry::CreateKey(parent, subKey, access, result);
    }
    long DeleteKey(HKey parent, std::string_view subKey, TRegView view) override {
        if (parent == kHKeyLocalMachine) {
            return kErrorAccessDenied;
        }
        return TWin32Registry::DeleteKey(parent, subKey, view);
    }
};

// The shell of a run without rights; the elevation prompt is the test's.
class TStandardUserShell : public TWin32Shell {
public:
    bool IsAdministrator() override { return false; }
    bool RunAsAdministrator(const std::string& program, const std::string& parameters) override {
        Runs.push_back(program + " " + parameters);
        return Allowed;
    }
    std::vector<std::string> Runs;
    bool Allowed = true;
};

class ElevationTest : public UninstallFlowTest {
protected:
    void SetUp() override {
        UninstallFlowTest::SetUp();
        OfferAdministratorRestartOnRefusals(Limited);
    }
    void TearDown() override {
        UninstallFlowTest::TearDown();
        TApplication::Instance().ExceptionFilter = nullptr;
    }
    const TPlatform& PagePlatform() override { return Limited; }

    static bool Says(const TModalInfo& info, const std::string& part) {
        for (const std::string& text : info.Texts) {
            if (text.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    std::string Restart(int page) {
        return Shell.ProgramPath() + " /page=" + std::to_string(page) +
               " /after=" + std::to_string(GetCurrentProcessId());
    }

    TLockedMachineRegistry Locked;
    TStandardUserShell Shell;
    TPlatform Limited{Locked, Win32.Files, Shell, Win32.Processes, Win32.Locale, PumpWin32Messages};
};

} // namespace

TEST_F(ElevationTest, ClearItOnAMachineEntryNamesTheKeyAndRestartsAsAdministratorOnYes) {
    MakeApp(kHKeyLocalMachine, "Machine Gone", Gone());
    MakeApp(kHKeyCurrentUser, "User Demo", Intact());
    Open();
    // Listed in full, with read rights alone.
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Machine Gone", "User Demo"}));

    SelectAndFocus("Machine Gone");
    const std::string key = "HKEY_LOCAL_MACHINE\\" + std::string(kUninstallKey) + "\\Machine Gone";
    Script({{"TConfirmForm", mrNo, {}}});
    Page().DeleteEntryAction.Execute(); // the user thinks better of it: nothing asked after
    Script({{"TConfirmForm", mrYes, {}}, {"TWarnDialogForm", mrNo, [&](TModalInfo& info) {
                                              EXPECT_TRUE(Says(info, "Cannot delete \"" + key +
                                                                         "\": administrator rights are "
                                                                         "needed to change this key."));
                                              EXPECT_TRUE(Says(info,
                                                               "Start Clearvane again as administrator, "
                                                               "on this page?"));
                                          }}});
    Page().DeleteEntryAction.Execute();
    EXPECT_TRUE(Unexpected.empty());
    EXPECT_TRUE(Answers.empty());
    // No: the entry stays, listed and in the registry, and nothing starts.
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Machine Gone", "User Demo"}));
    EXPECT_TRUE(KeyThere(kHKeyLocalMachine, "Machine Gone"));
    EXPECT_TRUE(Shell.Runs.empty());
    ExpectInStep();

    // Yes: started again on this page, after this run, which then closes.
    Script({{"TConfirmForm", mrYes, {}}, {"TWarnDialogForm", mrYes, {}}});
    Page().DeleteEntryAction.Execute();
    EXPECT_EQ(Shell.Runs, std::vector<std::string>{Restart(0)});
    EXPECT_TRUE(KeyThere(kHKeyLocalMachine, "Machine Gone"));
    EXPECT_TRUE(Until([&] { return !IsWindowVisible(Main->Handle()); }));
}

TEST_F(ElevationTest, AutofixDeletesWhatItMayAndNamesWhatItMayNot) {
    MakeApp(kHKeyLocalMachine, "Machine Gone", Gone());
    MakeApp(kHKeyCurrentUser, "User Gone", Gone());
    MakeApp(kHKeyCurrentUser, "User Demo", Intact());
    Open();
    ASSERT_EQ(StatusText(), "Total 3 applications,2 bad entries");
    Shell.Allowed = false; // the user says no at the system's prompt
    Script({{"TBadEntriesForm", mrYes, {}},
            {"TWarnDialogForm", mrYes,
             [&](TModalInfo& info) { EXPECT_TRUE(Says(info, "\\Machine Gone\": administrator rights")); }},
            {"TWaitDialogForm", mrOk, [&](TModalInfo& info) {
                 EXPECT_TRUE(Says(info, "Clearvane was not started as administrator. Nothing was changed."));
             }}});
    Page().FindBadEntryAction.Execute();
    EXPECT_TRUE(Answers.empty());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Machine Gone", "User Demo"}));
    EXPECT_FALSE(KeyThere(kHKeyCurrentUser, "User Gone"));
    EXPECT_TRUE(KeyThere(kHKeyLocalMachine, "Machine Gone"));
    EXPECT_EQ(Shell.Runs, std::vector<std::string>{Restart(0)});
    EXPECT_TRUE(IsWindowVisible(Main->Handle())); // the prompt said no: this run goes on
    ExpectInStep();
}

} // namespace cv::test
