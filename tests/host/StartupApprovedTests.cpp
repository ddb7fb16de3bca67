#include "platform/Errors.h"
#include "platform/substitute/SubstitutePlatform.h"
#include "startup/StartupManager.h"
#include "startup/StartupText.h"

#include <gtest/gtest.h>

#include <memory>

namespace cv::test {

namespace {

const char* const kUserStartup = "C:\\Users\\Me\\Start Menu\\Programs\\Startup";
const char* const kCommonStartup = "C:\\ProgramData\\Start Menu\\Programs\\StartUp";
constexpr std::uint64_t kSwitchedOff = 0x01DA6F2B12345678; // 2024, in FILETIME ticks

// Where a record can lie: its root, view and subkey of StartupApproved.
struct TPlace {
    HKey Root;
    TRegView View;
    const char* Sub;
};

const TPlace kPlaces[] = {
    {kHKeyCurrentUser, kRegViewNative, "Run"},
    {kHKeyCurrentUser, kRegViewNative, "Run32"},
    {kHKeyCurrentUser, kRegViewNative, "StartupFolder"},
    {kHKeyLocalMachine, kRegView64, "Run"},
    {kHKeyLocalMachine, kRegView64, "Run32"},
    {kHKeyLocalMachine, kRegView64, "StartupFolder"},
    {kHKeyLocalMachine, kRegView32, "Run"},
    {kHKeyLocalMachine, kRegView32, "Run32"},
};

bool SamePlace(const TPlace& a, const TPlace& b) {
    return a.Root == b.Root && a.View == b.View && std::string_view(a.Sub) == b.Sub;
}

TRegRawValue Record(std::uint8_t first, std::size_t size = kApprovedRecordSize,
                    std::uint32_t type = kRegBinary) {
    TRegRawValue value{type, std::vector<std::uint8_t>(size, 0)};
    value.Data[0] = first;
    for (std::size_t i = 4; i < 12 && i < size; ++i) {
        value.Data[i] = static_cast<std::uint8_t>(kSwitchedOff >> (8 * (i - 4)));
    }
    return value;
}

// One machine with one entry named Tool (Tool.lnk for a shortcut).
struct TMachine {
    TMachine() {
        Sub.Shell.SetSpecialFolder(kCsidlStartup, kUserStartup);
        Sub.Shell.SetSpecialFolder(kCsidlCommonStartup, kCommonStartup);
        Sub.Files.AddFolder(kUserStartup);
        Sub.Files.AddFolder(kCommonStartup);
    }

    TRegistry Key(HKey root, TRegView view, const std::string& path, bool create) {
        TRegistry reg(Sub.Registry, create ? kKeyAllAccess : kKeyRead);
        reg.SetRootKey(root);
        reg.SetView(view);
        reg.OpenKey(path, create);
        return reg;
    }
    static std::string ApprovedKey(const TPlace& place) {
        return std::string(kStartupApprovedKey) + "\\" + place.Sub;
    }
    void PutRecord(const TPlace& place, const std::string& name, const TRegRawValue& value) {
        Key(place.Root, place.View, ApprovedKey(place), true).WriteRaw(name, value);
    }
    // The record, or nothing; "no key" when even its key is missing.
    std::optional<TRegRawValue> GetRecord(const TPlace& place, const std::string& name, bool* keyExists) {
        TRegistry reg = Key(place.Root, place.View, ApprovedKey(place), false);
        *keyExists = reg.HasCurrentKey();
        TRegRawValue value;
        return reg.HasCurrentKey() && reg.ReadRaw(name, &value) ? std::optional(value) : std::nullopt;
    }
    TStartupItem& Only() {
        TStartupItems& items = Manager.GetItems(true);
        EXPECT_EQ(items.size(), 1u);
        if (items.size() != 1) {
            throw std::runtime_error("not one entry");
        }
        return *items.front();
    }

    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    TStartupManager Manager{Sub.Platform, Info};
};

// An entry of each kind: where it stands and where its record lies.
struct TKind {
    const char* What;
    HKey Root;
    TRegView View;      // of its Run key
    const char* Folder; // a shortcut in this Startup folder, else a Run value
    TPlace Own;
};

const TKind kKinds[] = {
    {"user's Run", kHKeyCurrentUser, kRegViewNative, nullptr, {kHKeyCurrentUser, kRegViewNative, "Run"}},
    {"machine's Run", kHKeyLocalMachine, kRegView64, nullptr, {kHKeyLocalMachine, kRegView64, "Run"}},
    {"machine's 32-bit Run",
     kHKeyLocalMachine,
     kRegView32,
     nullptr,
     {kHKeyLocalMachine, kRegView64, "Run32"}},
    {"user's Startup folder",
     kHKeyCurrentUser,
     0,
     kUserStartup,
     {kHKeyCurrentUser, kRegViewNative, "StartupFolder"}},
    {"all users' Startup folder",
     kHKeyLocalMachine,
     0,
     kCommonStartup,
     {kHKeyLocalMachine, kRegView64, "StartupFolder"}},
};

struct TRecordCase {
    const char* What;
    std::optional<TRegRawValue> Value;
    bool Off; // as Windows reads it, and so the program
};

const TRecordCase kRecords[] = {
    {"on (2)", Record(2), false},
    {"off (3)", Record(3), true},
    {"on (6)", Record(6), false},
    {"off (7)", Record(7), true},
    {"off but short", Record(3, 8), false},
    {"off but long", Record(3, 16), false},
    {"off but not binary", Record(3, 12, kRegNone), false},
    {"a number", TRegRawValue{kRegDword, {3, 0, 0, 0}}, false},
    {"none", std::nullopt, false},
};

enum class TAct { Show, ApplyCleared, ApplyTicked, Delete };

// Sets up the entry (parked in its disabled store or not), its record, and a
// switched-off record of its name in every other place, which must count for
// nothing and stay as it is.
void Seed(TMachine& m, const TKind& kind, const TRecordCase& record, bool parked) {
    const std::string name = kind.Folder != nullptr ? "Tool.lnk" : "Tool";
    if (kind.Folder != nullptr) {
        m.Sub.Files.AddFile(
            (parked ? DisabledFolderOf(kind.Folder) : std::string(kind.Folder)) + "\\Tool.lnk", "link");
    } else {
        m.Key(kind.Root, kind.View, parked ? kRunHiddenKey : kRunKey, true)
            .WriteString("Tool", "C:\\tool.exe");
    }
    if (record.Value) {
        m.PutRecord(kind.Own, name, *record.Value);
    }
    for (const TPlace& place : kPlaces) {
        if (!SamePlace(place, kind.Own)) {
            m.PutRecord(place, name, Record(3));
        }
    }
}

// Whether the entry stands in its enabled store, its disabled store, or neither.
std::string WhereItIs(TMachine& m, const TKind& kind) {
    bool on = false;
    bool off = false;
    if (kind.Folder != nullptr) {
        on = m.Sub.Files.FileExists(std::string(kind.Folder) + "\\Tool.lnk");
        off = m.Sub.Files.FileExists(DisabledFolderOf(kind.Folder) + "\\Tool.lnk");
    } else {
        on = m.Key(kind.Root, kind.View, kRunKey, false).ValueExists("Tool");
        off = m.Key(kind.Root, kind.View, kRunHiddenKey, false).ValueExists("Tool");
    }
    return on && off ? "both" : on ? "enabled" : off ? "disabled" : "gone";
}

TEST(StartupApproved, WindowsOwnSwitchIsReadAndWrittenOnlyInItsOwnForm) {
    for (const TKind& kind : kKinds) {
        const std::string name = kind.Folder != nullptr ? "Tool.lnk" : "Tool";
        for (const TRecordCase& record : kRecords) {
            for (const bool parked : {false, true}) {
                for (const TAct act : {TAct::Show, TAct::ApplyCleared, TAct::ApplyTicked, TAct::Delete}) {
                    const std::string where = std::string(kind.What) + ", record " + record.What +
                                              (parked ? ", parked" : "") + ", act " +
                                              std::to_string(static_cast<int>(act));
                    SCOPED_TRACE(where);
                    TMachine m;
                    Seed(m, kind, record, parked);
                    TStartupItem& item = m.Only();
                    // Shown as it runs: off when parked or switched off in Windows.
                    EXPECT_EQ(item.OffInWindows, record.Off);
                    EXPECT_EQ(item.Enabled, !parked && !record.Off);
                    EXPECT_EQ(item.OffInWindowsSince, record.Off ? kSwitchedOff : 0);
                    EXPECT_EQ(SourceText(item).ends_with(" (off in Windows)"), record.Off)
                        << SourceText(item);

                    std::string expectedPlace = "enabled";
                    std::optional<TRegRawValue> expectedRecord = record.Value;
                    switch (act) {
                    case TAct::Show:
                        m.Manager.ShowStartupItem(item);
                        break;
                    case TAct::ApplyCleared:
                        item.Enabled = true;
                        item.ApplyState();
                        break;
                    case TAct::ApplyTicked:
                        item.Enabled = false;
                        item.ApplyState();
                        expectedPlace = "disabled";
                        break;
                    case TAct::Delete:
                        m.Manager.DeleteStartupItem(item);
                        expectedPlace = "gone";
                        break;
                    }
                    const bool known = record.Value && record.Value->Type == kRegBinary &&
                                       record.Value->Data.size() == kApprovedRecordSize;
                    if (expectedPlace == "enabled" && record.Off) {
                        expectedRecord = TRegRawValue{kRegBinary, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
                    } else if (expectedPlace == "gone" && known) {
                        expectedRecord.reset();
                    }
                    EXPECT_EQ(WhereItIs(m, kind), expectedPlace);
                    bool keyExists = false;
                    EXPECT_EQ(m.GetRecord(kind.Own, name, &keyExists), expectedRecord);
                    // No key is made where no record was: none means on already.
                    EXPECT_EQ(keyExists, record.Value.has_value());
                    for (const TPlace& place : kPlaces) {
                        if (!SamePlace(place, kind.Own)) {
                            EXPECT_EQ(m.GetRecord(place, name, &keyExists), Record(3)) << place.Sub;
                        }
                    }
                    // The entry knows what it has now, and a new read agrees.
                    if (expectedPlace != "gone") {
                        EXPECT_EQ(SourceText(item).ends_with(" (off in Windows)"),
                                  record.Off && expectedPlace == "disabled");
                        EXPECT_EQ(m.Only().Enabled, expectedPlace == "enabled");
                    }
                }
            }
        }
    }
}

// A record shared by two entries of one name, one parked beside the other,
// is theirs both: deleting one leaves it for the other.
TEST(StartupApproved, DeleteLeavesTheRecordWhileATwinStillNeedsIt) {
    for (const TKind& kind : kKinds) {
        SCOPED_TRACE(kind.What);
        const std::string name = kind.Folder != nullptr ? "Tool.lnk" : "Tool";
        TMachine m;
        Seed(m, kind, {"off", Record(3), true}, false);
        Seed(m, kind, {"off", Record(3), true}, true);
        TStartupItems& items = m.Manager.GetItems(true);
        ASSERT_EQ(items.size(), 2u);
        m.Manager.DeleteStartupItem(*items[0]);
        bool keyExists = false;
        EXPECT_EQ(m.GetRecord(kind.Own, name, &keyExists), Record(3));
        TStartupItem& last = m.Only();
        EXPECT_TRUE(last.OffInWindows);
        m.Manager.DeleteStartupItem(last);
        EXPECT_EQ(m.GetRecord(kind.Own, name, &keyExists), std::nullopt);
        EXPECT_EQ(WhereItIs(m, kind), "gone");
    }
}

// Switching on a record the user may not change is refused before anything
// moves, as any change of a key closed to them; the same for a delete.
TEST(StartupApproved, ARecordClosedToTheUserStopsTheChangeBeforeItStarts) {
    for (const TKind& kind : kKinds) {
        for (const bool parked : {false, true}) {
            SCOPED_TRACE(std::string(kind.What) + (parked ? ", parked" : ""));
            TMachine m;
            Seed(m, kind, {"off", Record(3), true}, parked);
            m.Sub.Registry.SetRefusesWrite(kind.Own.Root, TMachine::ApprovedKey(kind.Own), true);
            TStartupItem& item = m.Only();
            EXPECT_THROW(item.Show(), ERightsError);
            EXPECT_EQ(WhereItIs(m, kind), parked ? "disabled" : "enabled");
            EXPECT_TRUE(item.OffInWindows);
            EXPECT_THROW(item.Delete(), ERightsError);
            EXPECT_EQ(WhereItIs(m, kind), parked ? "disabled" : "enabled");
            bool keyExists = false;
            EXPECT_EQ(m.GetRecord(kind.Own, kind.Folder != nullptr ? "Tool.lnk" : "Tool", &keyExists),
                      Record(3));
            // Hiding leaves the record alone, so it needs no rights to it.
            if (!parked) {
                EXPECT_NO_THROW(item.Hide());
                EXPECT_EQ(WhereItIs(m, kind), "disabled");
            }
        }
    }
}

// The foot tells the time in the user's zone and date format.
TEST(StartupApproved, TheTimeItWasSwitchedOffReadsInLocalTime) {
    const struct {
        std::uint64_t FileTime;
        int UtcOffset;
        TLocaleFormat Format;
        const char* Text;
    } cases[] = {
        {1, 0, {}, " on 01/01/1601 00:00 "},
        {1, -120, {}, " on 01/01/1601 00:00 "}, // nothing before the calendar's start
        {116444736000000000, -60, {'.', ':', '.', ',', TDateOrder::DMY}, " on 31.12.1969 23:00 "},
        {125963423990000000, 0, {}, " on 02/29/2000 23:59 "},
        {157520160000000000, 0, {'-', '.', ',', '.', TDateOrder::YMD}, " on 2100-03-01 00.00 "},
        {133537230000000000, 60, {'-', '.', ',', '.', TDateOrder::YMD}, " on 2024-03-01 00.30 "},
    };
    TSubstitutePlatform sub;
    TRegistryStartupItem item(sub.Platform);
    item.DisplayName = "Tool";
    EXPECT_EQ(OffInWindowsText(item, sub.Locale), "");
    item.OffInWindows = true;
    EXPECT_EQ(
        OffInWindowsText(item, sub.Locale),
        "\"Tool\" was switched off in Windows (Task Manager's Startup tab) and does not run at startup. "
        "Show switches it on again.");
    for (const auto& c : cases) {
        sub.Locale.SetFormat(c.Format);
        sub.Locale.SetUtcOffset(c.UtcOffset);
        item.OffInWindowsSince = c.FileTime;
        const std::string text = OffInWindowsText(item, sub.Locale);
        EXPECT_NE(text.find(c.Text), std::string::npos) << text;
    }
}

} // namespace

} // namespace cv::test
