// A reusable background worker. Between jobs it sleeps on a manual-reset
// event; a job is a run of small steps (DoWork) repeated while the work
// state says running, with hooks around the run. The user-interface thread
// starts, pauses and stops jobs and ends the worker, each with a wait in
// 10-millisecond slices that serves the worker's synchronised calls and
// nothing else: no user input and no other window's message runs inside a
// wait, so no handler is re-entered from one.
//
// Timeouts are milliseconds; 0 means "do not wait" (look once) and
// kWaitForever waits as long as it takes, everywhere.
//
// A worker is never killed. Ending it waits at most 2000 milliseconds; when
// a step is still running then, the caller goes on and the worker is kept
// aside until that step returns; JoinWorkers, called before the program
// ends, joins every such worker with a bounded wait. Make workers with
// MakeWorker, which starts the thread only once the object is whole, and let
// the returned pointer end them. Whatever a worker refers to (the platform,
// the dispatcher, the file information) must live until JoinWorkers.
#pragma once

#include "framework/Dispatcher.h"
#include "platform/Timeouts.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace cv {

enum class TWorkState : std::uint8_t { wkRunning, wkPaused, wkStopped, wkTerminating };

// An error that ends a run without telling the user.
struct EAbort : std::exception {
    const char* what() const noexcept override { return "Operation aborted"; }
};

// An event that stays signalled until reset.
class TManualResetEvent {
public:
    void Set();
    void Reset();
    // True when signalled within the time.
    bool Wait(unsigned milliseconds);

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    bool FSignalled = false;
};

class TXWBaseThread {
public:
    explicit TXWBaseThread(IDispatcher& dispatcher);
    virtual ~TXWBaseThread();
    TXWBaseThread(const TXWBaseThread&) = delete;
    TXWBaseThread& operator=(const TXWBaseThread&) = delete;

    // User-interface thread.
    void StartWork();
    bool StopWorkAndWait(unsigned timeout);
    bool PauseWorkAndWait(unsigned timeout);
    // True once the worker is parked, false when the time ran out first or
    // a job was (still) wanted.
    bool WaitForIdle(unsigned timeout);
    // Ends the worker: true when its body finished within the time
    // (milliseconds, 2000 unless told).
    bool TerminateAndWait(unsigned timeout = kTerminateTimeout);

    // Either thread.
    void StopWork();
    void PauseWork();
    TWorkState WorkState() const { return FWorkState.load(); }
    bool Idle() const { return FIdle.load(); }
    bool Terminated() const { return FTerminated.load(); }
    bool Finished() const { return FFinished.load(); }

    static constexpr unsigned kTerminateTimeout = 2000;

protected:
    // Worker thread: one step of the job, and the hooks around runs.
    virtual void DoWork() = 0;
    virtual void BeginWork() {}
    virtual void EndWork() {}
    virtual void ThreadStarted() {}
    virtual void ThreadFinished() {}
    // User-interface thread: tells the user about an error of a job.
    virtual void DoHandleException(const std::string& message);
    // Worker thread: runs the call on the user-interface thread and waits,
    // unless the worker is being ended (then the call is dropped, also while
    // it still waits for the user-interface thread). True when it ran.
    bool SafeSynchronize(const std::function<void()>& call);
    IDispatcher& Dispatcher() const { return FDispatcher; }

private:
    friend void FreeWorker(TXWBaseThread* worker, unsigned timeout);
    friend bool JoinWorkers(unsigned timeout);
    template <class T, class... A> friend std::unique_ptr<T, struct TWorkerDeleter> MakeWorker(A&&... args);
    void Start();
    void Execute();
    void HandleException(const std::string& message);

    IDispatcher& FDispatcher;
    TManualResetEvent FEvent;
    std::atomic<bool> FIdle{false};
    std::atomic<TWorkState> FWorkState{TWorkState::wkStopped};
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::mutex FLifeLock;
    std::condition_variable FFinishedSignal;
    std::thread FThread;
};

// Ends the worker and frees it, or, when a step outlasts the wait, keeps it
// aside until that step returns (it is freed by a later FreeWorker or by
// JoinWorkers).
void FreeWorker(TXWBaseThread* worker, unsigned timeout = TXWBaseThread::kTerminateTimeout);
// Waits up to the timeout for every worker kept aside, joins and frees
// them; true when none is left.
bool JoinWorkers(unsigned timeout);
// How many workers are kept aside, still in a step.
std::size_t WorkersKeptAside();

struct TWorkerDeleter {
    void operator()(TXWBaseThread* worker) const { FreeWorker(worker); }
};

template <class T> using TWorkerPtr = std::unique_ptr<T, TWorkerDeleter>;

// Makes the worker object, then starts its thread.
template <class T, class... A> TWorkerPtr<T> MakeWorker(A&&... args) {
    TWorkerPtr<T> worker(new T(std::forward<A>(args)...));
    worker->Start();
    return worker;
}

} // namespace cv
