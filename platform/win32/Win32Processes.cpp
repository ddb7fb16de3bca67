#include "platform/win32/Win32Processes.h"

#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <thread>

namespace cv {

namespace {

class TWin32Process : public IProcess {
public:
    TWin32Process(HANDLE process, HANDLE job, HANDLE port) : FProcess(process), FJob(job), FPort(port) {
        if (FJob != nullptr) {
            FTreeEnded = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
            FWatcher = std::thread([this] { WatchJob(); });
        }
    }

    ~TWin32Process() override {
        if (FWatcher.joinable()) {
            ::PostQueuedCompletionStatus(FPort, 0, 0, nullptr); // tells the watcher to stop
            FWatcher.join();
        }
        for (HANDLE h : {FProcess, FJob, FPort, FTreeEnded}) {
            if (h != nullptr) {
                ::CloseHandle(h);
            }
        }
    }

    TWin32Process(const TWin32Process&) = delete;
    TWin32Process& operator=(const TWin32Process&) = delete;

    bool GetExitCode(std::uint32_t* code) override {
        DWORD exitCode = 0;
        if (!::GetExitCodeProcess(FProcess, &exitCode)) {
            return false;
        }
        *code = exitCode;
        return true;
    }

    bool Wait(const TMessagePump& pump, std::uint32_t timeoutMs) override {
        const ULONGLONG deadline = timeoutMs == 0 ? 0 : ::GetTickCount64() + timeoutMs;
        return WaitFor(FProcess, pump, deadline) &&
               (FTreeEnded == nullptr || WaitFor(FTreeEnded, pump, deadline));
    }

private:
    // Sleeps until the handle is signalled, waking only to hand arriving
    // window messages to the pump.
    static bool WaitFor(HANDLE handle, const TMessagePump& pump, ULONGLONG deadline) {
        for (;;) {
            DWORD timeout = INFINITE;
            if (deadline != 0) {
                const ULONGLONG now = ::GetTickCount64();
                timeout = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
            }
            const DWORD rc = pump ? ::MsgWaitForMultipleObjects(1, &handle, FALSE, timeout, QS_ALLINPUT)
                                  : ::WaitForSingleObject(handle, timeout);
            if (rc == WAIT_OBJECT_0) {
                return true;
            }
            if (rc == WAIT_OBJECT_0 + 1) {
                pump();
                continue;
            }
            return false; // timed out or failed
        }
    }

    void WatchJob() {
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED overlapped = nullptr;
        while (::GetQueuedCompletionStatus(FPort, &message, &key, &overlapped, INFINITE)) {
            if (key == 0) {
                return;
            }
            if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
                ::SetEvent(FTreeEnded);
                return;
            }
        }
    }

    HANDLE FProcess;
    HANDLE FJob;
    HANDLE FPort;
    HANDLE FTreeEnded = nullptr;
    std::thread FWatcher;
};

} // namespace

std::unique_ptr<IProcess> TWin32Processes::Start(const std::string& commandLine, bool trackTree) {
    std::wstring line = toWide(commandLine);
    line.push_back(L'\0'); // CreateProcessW may write into the command line
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, trackTree ? CREATE_SUSPENDED : 0,
                          nullptr, nullptr, &startup, &info)) {
        return nullptr;
    }
    HANDLE job = nullptr;
    HANDLE port = nullptr;
    if (trackTree) {
        job = ::CreateJobObjectW(nullptr, nullptr);
        port = ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT link = {};
        link.CompletionKey = job;
        link.CompletionPort = port;
        const bool tracked =
            job != nullptr && port != nullptr &&
            ::SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &link, sizeof link) &&
            ::AssignProcessToJobObject(job, info.hProcess);
        if (!tracked) {
            // Without a job (the process may sit in one that forbids it) the
            // wait covers the process alone.
            for (HANDLE h : {job, port}) {
                if (h != nullptr) {
                    ::CloseHandle(h);
                }
            }
            job = port = nullptr;
        }
        ::ResumeThread(info.hThread);
    }
    ::CloseHandle(info.hThread);
    return std::make_unique<TWin32Process>(info.hProcess, job, port);
}

void PumpWin32Messages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam)); // leave it for the main loop
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

} // namespace cv
