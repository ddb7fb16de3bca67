#include "framework/XWBaseThread.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace cv {

namespace {

using TClock = std::chrono::steady_clock;

unsigned ElapsedMs(TClock::time_point since) {
    return static_cast<unsigned>(
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - since).count());
}

bool TimedOut(TClock::time_point since, unsigned timeout) {
    return timeout != kWaitForever && ElapsedMs(since) >= timeout;
}

// Workers whose step outlasted the owner's wait, until that step returns.
std::mutex KeptAsideLock;
std::vector<TXWBaseThread*>& KeptAside() {
    static std::vector<TXWBaseThread*> workers;
    return workers;
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
    if (milliseconds == kWaitForever) {
        FChanged.wait(lock, [this] { return FSignalled; });
        return true;
    }
    return FChanged.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return FSignalled; });
}

TXWBaseThread::TXWBaseThread(IDispatcher& dispatcher) : FDispatcher(dispatcher) {}

TXWBaseThread::~TXWBaseThread() {
    // Only FreeWorker and JoinWorkers destroy a started worker, after its body ended.
    if (FThread.joinable()) {
        FThread.join();
    }
}

void TXWBaseThread::Start() {
    FThread = std::thread([this] { Execute(); });
}

void TXWBaseThread::Execute() {
    try {
        ThreadStarted();
    } catch (...) {
        HandleException("The worker could not start its work.");
    }
    while (!FTerminated) {
        try {
            FIdle = true;
            FEvent.Wait(kWaitForever);
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
        } catch (...) {
            HandleException(ErrorMessage(std::current_exception()));
        }
    }
    try {
        ThreadFinished();
    } catch (...) {
        // Nobody is left to tell: the worker is ending.
    }
    const std::lock_guard<std::mutex> guard(FLifeLock);
    FFinished = true;
    FFinishedSignal.notify_all();
}

void TXWBaseThread::HandleException(const std::string& message) {
    // The failed run ends the job: running it again would only fail again.
    StopWork();
    if (FTerminated) {
        return; // the worker is being ended; nobody is left to tell
    }
    FDispatcher.Synchronize(
        [this, &message] {
            if (!FTerminated) { // the owner may have ended us while the call waited
                DoHandleException(message);
            }
        },
        [this] { return FTerminated.load(); });
}

void TXWBaseThread::DoHandleException(const std::string& message) {
    FDispatcher.ShowError(message);
}

bool TXWBaseThread::SafeSynchronize(const std::function<void()>& call) {
    if (FTerminated || !call) {
        return false;
    }
    bool ran = false;
    FDispatcher.Synchronize(
        [this, &call, &ran] {
            if (!FTerminated) { // checked again where it runs: the owner may have ended us meanwhile
                call();
                ran = true;
            }
        },
        [this] { return FTerminated.load(); });
    return ran;
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
        FDispatcher.ProcessPending();
        if (FEvent.Wait(timeout == 0 ? 0 : 10)) {
            break; // a job is wanted: the worker will not park
        }
        if (TimedOut(start, timeout)) {
            break;
        }
    }
    return FIdle;
}

bool TXWBaseThread::TerminateAndWait(unsigned timeout) {
    FTerminated = true;
    FWorkState = TWorkState::wkTerminating;
    FEvent.Set();
    const auto start = TClock::now();
    for (;;) {
        FDispatcher.ProcessPending();
        {
            std::unique_lock<std::mutex> lock(FLifeLock);
            if (FFinishedSignal.wait_for(lock, std::chrono::milliseconds(timeout == 0 ? 0 : 10),
                                         [this] { return FFinished.load(); })) {
                return true;
            }
        }
        if (TimedOut(start, timeout)) {
            return false; // never killed: see FreeWorker
        }
    }
}

namespace {

// Joins and frees the kept-aside workers that finished; the caller holds the lock.
void ReapFinished() {
    auto& workers = KeptAside();
    workers.erase(std::remove_if(workers.begin(), workers.end(),
                                 [](TXWBaseThread* worker) {
                                     if (!worker->Finished()) {
                                         return false;
                                     }
                                     delete worker; // joins a thread that has ended
                                     return true;
                                 }),
                  workers.end());
}

} // namespace

void FreeWorker(TXWBaseThread* worker, unsigned timeout) {
    if (worker == nullptr) {
        return;
    }
    if (!worker->FThread.joinable()) {
        delete worker; // never started
        return;
    }
    // The wait serves the worker's calls, which may free other workers: no lock held here.
    const bool finished = worker->TerminateAndWait(timeout);
    const std::lock_guard<std::mutex> guard(KeptAsideLock);
    ReapFinished();
    if (!finished) {
        // A step is still running: the worker waits aside until it returns.
        KeptAside().push_back(worker);
        return;
    }
    delete worker;
}

bool JoinWorkers(unsigned timeout) {
    const auto start = TClock::now();
    const std::lock_guard<std::mutex> guard(KeptAsideLock);
    for (;;) {
        ReapFinished();
        if (KeptAside().empty()) {
            return true;
        }
        if (TimedOut(start, timeout)) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::size_t WorkersKeptAside() {
    const std::lock_guard<std::mutex> guard(KeptAsideLock);
    return KeptAside().size();
}

} // namespace cv
