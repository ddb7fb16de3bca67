#include "platform/win32/Win32Processes.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <thread>

namespace cv {

namespace {

class TWin32Process : public IProcess {
public:
    // The handles are members before the watcher starts, so a thread that
    // cannot start (std::system_error) leaves nothing open behind it.
    TWin32Process(TKernelHandle process, TKernelHandle job, TKernelHandle port)
        : FProcess(std::move(process)), FJob(std::move(job)), FPort(std::move(port)) {
        if (FJob) {
            FTreeEnded.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
            FWatcher = std::thread([this] { WatchJob(); });
        }
    }

    // The watcher waits on the port: it is joined before the handles close.
    ~TWin32Process() override {
        if (FWatcher.joinable()) {
            ::PostQueuedCompletionStatus(FPort.Get(), 0, 0, nullptr); // tells the watcher to stop
            FWatcher.join();
        }
    }

    TWin32Process(const TWin32Process&) = delete;
    TWin32Process& operator=(const TWin32Process&) = delete;

    bool GetExitCode(std::uint32_t* code) override {
        DWORD exitCode = 0;
        if (!::GetExitCodeProcess(FProcess.Get(), &exitCode)) {
            return false;
        }
        *code = exitCode;
        return true;
    }

    bool Wait(const TMessagePump& pump, std::uint32_t timeoutMs) override {
        const ULONGLONG deadline = timeoutMs == kWaitForever ? 0 : ::GetTickCount64() + timeoutMs;
        return WaitFor(FProcess.Get(), pump, deadline) &&
               (!FTreeEnded || WaitFor(FTreeEnded.Get(), pump, deadline));
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
        while (::GetQueuedCompletionStatus(FPort.Get(), &message, &key, &overlapped, INFINITE)) {
            if (key == 0) {
                return;
            }
            if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
                ::SetEvent(FTreeEnded.Get());
                return;
            }
        }
    }

    TKernelHandle FProcess;
    TKernelHandle FJob;
    TKernelHandle FPort;
    TKernelHandle FTreeEnded;
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
    const TKernelHandle thread(info.hThread);
    TKernelHandle process(info.hProcess);
    TKernelHandle job;
    TKernelHandle port;
    if (trackTree) {
        job.Reset(::CreateJobObjectW(nullptr, nullptr));
        port.Reset(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT link = {};
        link.CompletionKey = job.Get();
        link.CompletionPort = port.Get();
        const bool tracked = job && port &&
                             ::SetInformationJobObject(job.Get(), JobObjectAssociateCompletionPortInformation,
                                                       &link, sizeof link) &&
                             ::AssignProcessToJobObject(job.Get(), process.Get());
        if (!tracked) {
            // Without a job (the process may sit in one that forbids it) the
            // wait covers the process alone.
            job.Reset();
            port.Reset();
        }
        ::ResumeThread(thread.Get());
    }
    return std::make_unique<TWin32Process>(std::move(process), std::move(job), std::move(port));
}

void PumpWin32Messages() {
    // Windows repaint and messages other threads send are answered (PeekMessage
    // delivers those itself); input and posted messages wait for the message
    // loop, so no handler runs inside a wait.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
}

} // namespace cv
