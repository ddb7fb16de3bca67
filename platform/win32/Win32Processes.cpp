#include "platform/win32/Win32Processes.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>
// windows.h first
#include <shellapi.h>

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
        if (!FProcess) {
            return true; // the shell started it without handing over a process to wait for
        }
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

namespace {

std::string SystemErrorText(DWORD code) {
    LPWSTR buffer = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? "Error " + std::to_string(code) : toUtf8(text);
}

void Report(TStartError* error, DWORD code) {
    if (error != nullptr) {
        error->Code = code;
        error->Message = SystemErrorText(code);
    }
}

} // namespace

std::unique_ptr<IProcess> TWin32Processes::Start(const TCommand& command, bool trackTree,
                                                 TStartError* error) {
    std::wstring line = toWide(command.CommandLine);
    line.push_back(L'\0'); // CreateProcessW may write into the command line
    const std::wstring program = toWide(command.Program);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(program.empty() ? nullptr : program.c_str(), line.data(), nullptr, nullptr, FALSE,
                          trackTree ? CREATE_SUSPENDED : 0, nullptr, nullptr, &startup, &info)) {
        const DWORD code = ::GetLastError();
        // Only the shell shows the elevation prompt; without a program of
        // our own finding there is nothing safe to hand it.
        if (code == kStartElevationRequired && !program.empty()) {
            return StartThroughShell(command, error);
        }
        Report(error, code);
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

std::string TWin32Processes::ErrorText(std::uint32_t code) {
    return SystemErrorText(code);
}

std::unique_ptr<IProcess> StartThroughShell(const TCommand& command, TStartError* error) {
    const TComScope com; // the shell may hand the start to a handler of its own
    const std::wstring file = toWide(command.Program);
    const std::wstring parameters = toWide(command.Parameters);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // No message box of the shell's: a failure is reported by the caller.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info)) {
        Report(error, ::GetLastError());
        return nullptr;
    }
    return std::make_unique<TWin32Process>(TKernelHandle(info.hProcess), TKernelHandle(), TKernelHandle());
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
