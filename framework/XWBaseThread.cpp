#include "framework/XWBaseThread.h"

#include <chrono>

namespace cv {

namespace {

using TClock = std::chrono::steady_clock;

unsigned ElapsedMs(TClock::time_point since) {
    return static_cast<unsigned>(
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - since).count());
}

} // namespace

void TManualResetEvent::Set() {
    const std::lock_guard<std::mutex> guard(FLock);
    FSignalled = true;
    FChanged.notify_all();
}

void TManualResetEvent::Reset() {
    const std::lock_guard<std::mutex> guard(FLock);
    FSignalled = false;
}

bool TManualResetEvent::Wait(unsigned milliseconds) {
    std::unique_lock<std::mutex> lock(FLock);
    if (milliseconds == 0) {
        FChanged.wait(lock, [this] { return FSignalled; });
        return true;
    }
    return FChanged.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return FSignalled; });
}

TXWBaseThread::TXWBaseThread(IDispatcher& dispatcher) : FDispatcher(dispatcher) {}

TXWBaseThread::~TXWBaseThread() {
    // Only FreeWorker destroys a started worker, after its body ended or
    // from the worker's own thread (then the thread is detached).
    if (FThread.joinable()) {
        FThread.join();
    }
}

void TXWBaseThread::Start() {
    FThread = std::thread([this] { Execute(); });
}

void TXWBaseThread::Execute() {
    ThreadStarted();
    while (!FTerminated) {
        try {
            FIdle = true;
            FEvent.Wait(0);
            FIdle = false;
            if (FTerminated) {
                break;
            }
            BeginWork();
            while (FWorkState == TWorkState::wkRunning) {
                DoWork();
            }
            EndWork();
        } catch (const EAbort&) {
            StopWork(); // a silent end of the run
        } catch (const std::exception& error) {
            HandleException(error.what());
        } catch (...) {
            HandleException("An unknown error occurred.");
        }
    }
    ThreadFinished();
    bool freeSelf = false;
    {
        const std::lock_guard<std::mutex> guard(FLifeLock);
        FFinished = true;
        freeSelf = FFreeOnFinish;
        FFinishedSignal.notify_all();
    }
    if (freeSelf) {
        delete this; // the owner gave up waiting and handed the object over
    }
}

void TXWBaseThread::HandleException(const std::string& message) {
    // The failed run ends the job: running it again would only fail again.
    StopWork();
    if (FTerminated) {
        return; // the worker is being ended; nobody is left to tell
    }
    FDispatcher.Synchronize([this, &message] { DoHandleException(message); });
}

void TXWBaseThread::DoHandleException(const std::string& message) {
    FDispatcher.ShowError(message);
}

void TXWBaseThread::SafeSynchronize(const std::function<void()>& call) {
    if (FTerminated || !call) {
        return;
    }
    FDispatcher.Synchronize([this, &call] {
        if (!FTerminated) { // checked again where it runs: the owner may have ended us meanwhile
            call();
        }
    });
}

void TXWBaseThread::StartWork() {
    FWorkState = TWorkState::wkRunning;
    FIdle = false;
    FEvent.Set();
}

void TXWBaseThread::StopWork() {
    FEvent.Reset();
    FWorkState = TWorkState::wkStopped;
}

void TXWBaseThread::PauseWork() {
    FEvent.Reset();
    FWorkState = TWorkState::wkPaused;
}

bool TXWBaseThread::StopWorkAndWait(unsigned timeout) {
    StopWork();
    return WaitForIdle(timeout);
}

bool TXWBaseThread::PauseWorkAndWait(unsigned timeout) {
    PauseWork();
    return WaitForIdle(timeout);
}

bool TXWBaseThread::WaitForIdle(unsigned timeout) {
    const auto start = TClock::now();
    while (!FIdle) {
        if (FEvent.Wait(10)) {
            break; // a job is wanted: the worker will not park
        }
        if (timeout != 0 && ElapsedMs(start) > timeout) {
            break;
        }
        FDispatcher.ProcessPending();
    }
    return FIdle;
}

bool TXWBaseThread::TerminateAndWait(unsigned timeout) {
    FTerminated = true;
    FWorkState = TWorkState::wkTerminating;
    FEvent.Set();
    const auto start = TClock::now();
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(FLifeLock);
            if (FFinishedSignal.wait_for(lock, std::chrono::milliseconds(10),
                                         [this] { return FFinished.load(); })) {
                return true;
            }
        }
        if (ElapsedMs(start) > timeout) {
            return false; // never killed: see FreeWorker
        }
        FDispatcher.ProcessPending();
    }
}

void FreeWorker(TXWBaseThread* worker, unsigned timeout) {
    if (worker == nullptr) {
        return;
    }
    if (!worker->FThread.joinable()) {
        delete worker; // never started
        return;
    }
    worker->TerminateAndWait(timeout);
    {
        std::unique_lock<std::mutex> lock(worker->FLifeLock);
        if (!worker->FFinished) {
            // A step is still running: the worker frees itself when it returns.
            worker->FThread.detach();
            worker->FFreeOnFinish = true;
            return;
        }
    }
    delete worker;
}

} // namespace cv
