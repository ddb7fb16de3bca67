// Random input, as a new user gives it: clicks at random points of the
// program's windows, keys, tab changes and closes of whatever window of the
// program is on top, against the real program in its own process. After
// every action the process still runs (or ended with 0 because it was
// asked to) and its main window answers within five seconds.
//
// Runs only when CLEARVANE_RANDOM_SECONDS is set (scripts/random_input.sh);
// CLEARVANE_RANDOM_SEED picks the seed (the time otherwise), and
// CLEARVANE_RANDOM_EXE another build of the program to try. The seed is
// printed first; a failure names the seed and the action count.
#include "UiHarness.h"
#include "inventory/UninstallManager.h"
#include "platform/Registry.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <sstream>

namespace cv::test {

namespace {

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr DWORD kAnswerWait = 5000;
// How long a program whose window went may take to end: its close waits for
// its worker (2 s at most) and joins what is left (twice 3 s at most), on a
// machine that may be busy.
constexpr ULONGLONG kEndWait = 30000;

unsigned EnvNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::strtoul(text, nullptr, 10))
                                            : fallback;
}

struct TWindowsOf {
    DWORD Process;
    std::vector<HWND> Found; // visible top-level windows, topmost first
    bool All = false;        // the hidden ones too
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    auto* of = reinterpret_cast<TWindowsOf*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == of->Process && (of->All || IsWindowVisible(window))) {
        of->Found.push_back(window);
    }
    return TRUE;
}

// Waits while handling this process's window messages: a program that
// broadcasts a message at its end (the shell does, for one) waits for every
// top-level window to answer, this test's own among them, and a test asleep
// in Sleep would hold it up for as long as it sleeps.
void WaitHandlingMessages(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// How many threads the process still has, as the system lists them.
int ThreadsOf(DWORD process) {
    const TKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return -1;
    }
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry)) {
        count += entry.th32OwnerProcessID == process ? 1 : 0;
    }
    return count;
}

// The program under test, in its own process.
class TProgramUnderTest {
public:
    explicit TProgramUnderTest(std::string exe) : FExe(std::move(exe)) {}
    ~TProgramUnderTest() { Stop(); }

    bool Start() {
        Stop();
        std::wstring line = L"\"" + toWide(FExe) + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        const std::wstring folder = toWide(FExe.substr(0, FExe.find_last_of('\\')));
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                            &startup, &info)) {
            return false;
        }
        FProcess.Reset(info.hProcess);
        TKernelHandle thread(info.hThread);
        FProcessId = info.dwProcessId;
        FThreadId = info.dwThreadId;
        // Up when its main window is there and answers.
        const ULONGLONG start = GetTickCount64();
        while (GetTickCount64() - start < 30000) {
            if (HWND main = MainWindow(); main != nullptr && Answers(main)) {
                return true;
            }
            if (Exited()) {
                return false;
            }
            WaitHandlingMessages(50);
        }
        return false;
    }

    void Stop() {
        if (FProcess && !Exited()) {
            TerminateProcess(FProcess.Get(), 0);
            WaitForSingleObject(FProcess.Get(), 5000);
        }
        FProcess.Reset();
    }

    DWORD ProcessId() const { return FProcessId; }
    // What the system says of the process handle, for a failure's message.
    std::string HandleState() const {
        const DWORD wait = WaitForSingleObject(FProcess.Get(), 0);
        const DWORD waitError = GetLastError();
        DWORD code = 0;
        const BOOL gotCode = GetExitCodeProcess(FProcess.Get(), &code);
        const TKernelHandle again(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, FProcessId));
        std::ostringstream text;
        text << "wait " << wait << " (error " << waitError << "), process id of the handle "
             << GetProcessId(FProcess.Get()) << ", exit code " << (gotCode ? std::to_string(code) : "unknown")
             << ", opened again by id: "
             << (again ? (WaitForSingleObject(again.Get(), 0) == WAIT_OBJECT_0 ? "ended" : "running")
                       : "no (error " + std::to_string(GetLastError()) + ")");
        return text.str();
    }
    bool Exited() const { return WaitForSingleObject(FProcess.Get(), 0) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(FProcess.Get(), &code);
        return code;
    }

    std::vector<HWND> Windows(bool all = false) const {
        TWindowsOf of{FProcessId, {}, all};
        EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&of));
        return of.Found;
    }
    HWND MainWindow() const {
        for (HWND window : Windows()) {
            wchar_t title[64] = {};
            GetWindowTextW(window, title, 64);
            if (std::wstring(title) == L"Clearvane" && GetWindow(window, GW_OWNER) == nullptr) {
                return window;
            }
        }
        return nullptr;
    }
    // The window of the program on top: a dialog over the main window when one is open.
    HWND TopWindow() const {
        for (HWND window : Windows()) {
            if (IsWindowEnabled(window)) {
                return window;
            }
        }
        const std::vector<HWND> all = Windows();
        return all.empty() ? nullptr : all.front();
    }
    HWND FocusWindow() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(FThreadId, &info) && info.hwndFocus != nullptr) {
            return info.hwndFocus;
        }
        return TopWindow();
    }
    static bool Answers(HWND window) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerWait, &result) != 0;
    }

private:
    std::string FExe;
    TKernelHandle FProcess;
    DWORD FProcessId = 0;
    DWORD FThreadId = 0;
};

void SendKeys(const std::vector<WORD>& held, WORD key) {
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD vk : held) {
        add(vk, false);
    }
    add(key, false);
    add(key, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) {
        add(*it, true);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The deepest visible child of the window under a point of the screen.
HWND DeepestAt(HWND window, POINT screen) {
    for (;;) {
        POINT client = screen;
        ScreenToClient(window, &client);
        HWND child = ChildWindowFromPointEx(window, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == window) {
            return window;
        }
        window = child;
    }
}

void PostClick(HWND top, POINT screen, bool right, bool twice) {
    HWND target = DeepestAt(top, screen);
    POINT client = screen;
    ScreenToClient(target, &client);
    const LPARAM at = MAKELPARAM(client.x, client.y);
    const UINT down = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    const UINT up = right ? WM_RBUTTONUP : WM_LBUTTONUP;
    const WPARAM button = right ? MK_RBUTTON : MK_LBUTTON;
    PostMessageW(target, WM_MOUSEMOVE, 0, at);
    PostMessageW(target, down, button, at);
    PostMessageW(target, up, 0, at);
    if (twice) {
        PostMessageW(target, right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK, button, at);
        PostMessageW(target, up, 0, at);
    }
}

class RandomInput : public ::testing::Test {
protected:
    void SetUp() override {
        Seconds = EnvNumber("CLEARVANE_RANDOM_SECONDS", 0);
        if (Seconds == 0) {
            GTEST_SKIP() << "set CLEARVANE_RANDOM_SECONDS (scripts/random_input.sh) to run";
        }
        Seed = EnvNumber("CLEARVANE_RANDOM_SEED", static_cast<unsigned>(GetTickCount64()));
        std::printf("random input: seed %u, %u seconds\n", Seed, Seconds);
        std::fflush(stdout);

        std::wstring temp(MAX_PATH + 1, L'\0');
        temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
        Scratch = toUtf8(temp) + "cvrandom-" + std::to_string(GetCurrentProcessId());
        Win32.Files.MakeDirectory(Scratch);
        const std::string tests = TestFolder();
        Exe = Scratch + "\\clearvane.exe";
        // Another build of the program may be tried with the same input.
        const char* other = std::getenv("CLEARVANE_RANDOM_EXE");
        const std::string program = other != nullptr && *other != '\0'
                                        ? std::string(other)
                                        : tests.substr(0, tests.find_last_of('\\')) + "\\clearvane.exe";
        ASSERT_TRUE(CopyFileW(toWide(program).c_str(), toWide(Exe).c_str(), FALSE)) << program;
        SeedMachine();
    }

    void TearDown() override {
        if (Seconds == 0) {
            return;
        }
        Program.reset();
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        for (const std::string& key : Keys) {
            reg.DeleteKey(key);
        }
        if (reg.OpenKey(kRunKey, false)) {
            for (const std::string& value : RunValues) {
                reg.DeleteValue(value);
            }
            reg.CloseKey();
        }
        for (const char* file : {"\\clearvane.exe", "\\lastuninstall.dat", "\\qxuninstaller.ini"}) {
            Win32.Files.RemoveFile(Scratch + file);
        }
        Win32.Files.RemoveEmptyDirectory(Scratch);
    }

    // A few hundred applications with uninstallers that end at once, some
    // whose files are gone, and startup entries.
    void SeedMachine() {
        const std::string helper = TestFolder() + "\\cv_testhelper.exe";
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        for (int i = 0; i < 300; ++i) {
            const std::string name = "Random App " + std::to_string(1000 + i);
            const std::string key = std::string(kUninstallKey) + "\\" + name;
            ASSERT_TRUE(reg.OpenKey(key, true));
            const bool gone = i % 7 == 3;
            reg.WriteString("DisplayName", name);
            reg.WriteString("UninstallString",
                            gone ? "C:\\cv-random-gone\\" + std::to_string(i) + "\\uninst.exe"
                                 : "\"" + helper + "\" exit 0");
            if (!gone) {
                reg.WriteString("DisplayIcon", helper + ",0");
            }
            reg.CloseKey();
            Keys.push_back(key);
        }
        ASSERT_TRUE(reg.OpenKey(kRunKey, true));
        for (int i = 0; i < 5; ++i) {
            const std::string value = "Random Startup " + std::to_string(i);
            reg.WriteString(value, "\"" + helper + "\" exit 0");
            RunValues.push_back(value);
        }
        reg.CloseKey();
    }

    std::string Describe(unsigned actions) const {
        std::ostringstream text;
        text << "seed " << Seed << ", after action " << actions << "; the last actions:";
        for (const std::string& action : Recent) {
            text << "\n  " << action;
        }
        text << "\nthe program's threads now: " << ThreadsOf(Program->ProcessId());
        text << "\nits handle: " << Program->HandleState();
        text << "\nthe program's windows now:";
        for (HWND window : Program->Windows(true)) {
            wchar_t title[128] = {};
            wchar_t kind[64] = {};
            GetWindowTextW(window, title, 128);
            GetClassNameW(window, kind, 64);
            text << "\n  \"" << toUtf8(title) << "\" (" << toUtf8(kind) << ")"
                 << (IsWindowEnabled(window) ? "" : " disabled") << (IsWindowVisible(window) ? "" : " hidden")
                 << (IsIconic(window) ? " minimised" : "") << (GetWindow(window, GW_OWNER) ? " owned" : "");
        }
        return text.str();
    }
    // With CLEARVANE_RANDOM_HOLD set, a failing program is kept as it is for
    // two minutes, so a debugger can be attached to it (the process id is printed).
    void Hold() const {
        if (std::getenv("CLEARVANE_RANDOM_HOLD") != nullptr ||
            std::getenv("CLEARVANE_RANDOM_HOLD_SLOW") != nullptr) {
            std::printf("holding: process %lu (0x%lx), %d threads\n", Program->ProcessId(),
                        Program->ProcessId(), ThreadsOf(Program->ProcessId()));
            std::fflush(stdout);
            WaitHandlingMessages(120000);
        }
    }
    void Note(std::string action) {
        Recent.push_back(std::move(action));
        if (Recent.size() > 25) {
            Recent.pop_front();
        }
    }

    // One random action on the program; what it did, in words.
    void Act(std::mt19937& random) {
        HWND top = Program->TopWindow();
        if (top == nullptr) {
            Note("no window to act on");
            return;
        }
        RECT r;
        GetWindowRect(top, &r);
        const auto pick = [&](int from, int to) {
            return std::uniform_int_distribution<int>(from, std::max(from, to))(random);
        };
        const int kind = pick(0, 99);
        if (kind < 45) {
            const POINT at = {pick(r.left, r.right - 1), pick(r.top, r.bottom - 1)};
            const bool right = pick(0, 9) == 0;
            const bool twice = pick(0, 9) == 0;
            PostClick(top, at, right, twice);
            Note(std::string(right ? "right " : "") + (twice ? "double " : "") + "click at " +
                 std::to_string(at.x - r.left) + "," + std::to_string(at.y - r.top));
        } else if (kind < 85) {
            static const struct {
                const char* Name;
                std::vector<WORD> Held;
                WORD Key;
            } keys[] = {
                {"F5", {}, VK_F5},
                {"Del", {}, VK_DELETE},
                {"Ctrl+Del", {VK_CONTROL}, VK_DELETE},
                {"Esc", {}, VK_ESCAPE},
                {"Enter", {}, VK_RETURN},
                {"Y", {}, 'Y'},
                {"N", {}, 'N'},
                {"Tab", {}, VK_TAB},
                {"Up", {}, VK_UP},
                {"Down", {}, VK_DOWN},
                {"Left", {}, VK_LEFT},
                {"Right", {}, VK_RIGHT},
                {"Ctrl+F", {VK_CONTROL}, 'F'},
                {"Alt+Y", {VK_MENU}, 'Y'},
                {"Alt+N", {VK_MENU}, 'N'},
                {"Alt+O", {VK_MENU}, 'O'},
                {"Alt+C", {VK_MENU}, 'C'},
                {"Alt+F", {VK_MENU}, 'F'},
                {"Alt+A", {VK_MENU}, 'A'},
                {"Alt+V", {VK_MENU}, 'V'},
            };
            const auto& key = keys[static_cast<std::size_t>(pick(0, static_cast<int>(std::size(keys)) - 1))];
            SetForegroundWindow(top);
            SendKeys(key.Held, key.Key);
            Note(std::string("key ") + key.Name);
        } else if (kind < 95) {
            HWND main = Program->MainWindow();
            if (main == nullptr) {
                return;
            }
            // The tabs lie along the foot of the page control, above the status bar.
            RECT client;
            GetWindowRect(main, &client);
            const int tab = pick(0, 1);
            const POINT at = {client.left + 40 + tab * 90, client.bottom - 50};
            PostClick(main, at, false, false);
            Note("tab " + std::to_string(tab));
        } else {
            const bool mainToo = pick(0, 3) == 0;
            HWND target = mainToo ? Program->MainWindow() : top;
            if (target == nullptr) {
                return;
            }
            PostMessageW(target, WM_CLOSE, 0, 0);
            Note(target == Program->MainWindow() ? "close the main window" : "close the window on top");
        }
    }

    TWin32Platform Win32;
    unsigned Seconds = 0;
    unsigned Seed = 0;
    std::string Scratch;
    std::string Exe;
    std::vector<std::string> Keys;
    std::vector<std::string> RunValues;
    std::unique_ptr<TProgramUnderTest> Program;
    std::deque<std::string> Recent;
};

} // namespace

TEST_F(RandomInput, NoCrashAndNoHang) {
    std::mt19937 random(Seed);
    Program = std::make_unique<TProgramUnderTest>(Exe);
    ASSERT_TRUE(Program->Start()) << "the program did not come up";
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(Seconds) * 1000;
    unsigned actions = 0;
    unsigned starts = 1;
    ULONGLONG longestEnd = 0; // from the window's going to the process's end
    while (GetTickCount64() < end) {
        Act(random);
        ++actions;
        WaitHandlingMessages(static_cast<DWORD>(std::uniform_int_distribution<int>(5, 60)(random)));
        // The program may be ending: normally (exit code 0: it was told to,
        // by Exit or a close), or not. Its window can go at any moment after
        // the action, so the window and the process are looked at together,
        // and a window gone means waiting for the end.
        const ULONGLONG going = GetTickCount64();
        bool held = false;
        HWND main = nullptr;
        while (!Program->Exited() && (main = Program->MainWindow()) == nullptr &&
               GetTickCount64() - going < kEndWait) {
            WaitHandlingMessages(100);
            if (!held && GetTickCount64() - going > 5000 &&
                std::getenv("CLEARVANE_RANDOM_HOLD_SLOW") != nullptr) {
                held = true;
                Hold(); // a slow end, while it lasts
            }
        }
        if (Program->Exited()) {
            longestEnd = std::max(longestEnd, GetTickCount64() - going);
            ASSERT_EQ(Program->ExitCode(), 0u) << "crash: " << Describe(actions);
            ASSERT_TRUE(Program->Start()) << "no new start: " << Describe(actions);
            ++starts;
            Note("(started again)");
            continue;
        }
        if (main == nullptr) {
            Hold();
        }
        ASSERT_NE(main, nullptr) << "the main window is gone and the process runs on: " << Describe(actions);
        if (!TProgramUnderTest::Answers(main)) {
            if (IsWindow(main) && IsWindowVisible(main) && !Program->Exited()) {
                Hold();
            }
            // A window hidden or destroyed meanwhile answers nothing: the
            // program is ending, and the next round waits for its end.
            ASSERT_TRUE(!IsWindow(main) || !IsWindowVisible(main) || Program->Exited())
                << "hang: " << Describe(actions);
        }
    }
    std::printf("random input: seed %u, %u actions, %u starts, 0 crashes, 0 hangs, longest end %llu ms\n",
                Seed, actions, starts, longestEnd);
}

} // namespace cv::test
