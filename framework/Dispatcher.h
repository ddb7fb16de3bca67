// How a worker thread reaches the user-interface thread: a call run there
// while the worker waits, the pending calls served while the user-interface
// thread itself waits, and an error shown to the user. The Windows build
// serves calls from the message loop; tests serve them from a queue.
//
// A waiting worker is never stranded: when the dispatcher shuts down, or the
// worker's own abandon test says so, a call that has not started is taken
// back and the worker goes on without it. A call already running is always
// waited for, so nothing on the worker's stack goes away under it.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace cv {

// The message of whatever was thrown: what() of a std::exception, a
// general sentence for anything else.
std::string ErrorMessage(std::exception_ptr error);

class IDispatcher {
public:
    virtual ~IDispatcher() = default;
    // Runs the call on the user-interface thread and returns when it has
    // run: true, or false when it was taken back unrun (the dispatcher shut
    // down, or abandon() turned true while the call still waited).
    virtual bool Synchronize(const std::function<void()>& call, const std::function<bool()>& abandon) = 0;
    bool Synchronize(const std::function<void()>& call) { return Synchronize(call, {}); }
    // On the user-interface thread, while it waits for a worker: serves the
    // workers' waiting calls and nothing else (no user input, no other
    // window's messages).
    virtual void ProcessPending() = 0;
    // On the user-interface thread: tells the user about an error.
    virtual void ShowError(const std::string& message) = 0;
};

// The calls waiting for the owning thread (the one that made the queue).
class TCallQueue {
public:
    TCallQueue() = default;
    // Takes back what still waits and lets the waiting callers leave first.
    ~TCallQueue();
    TCallQueue(const TCallQueue&) = delete;
    TCallQueue& operator=(const TCallQueue&) = delete;
    // Any thread: runs the call at once on the owning thread; elsewhere
    // queues it, calls wake() so the owner hears of it, and waits.
    bool Call(const std::function<void()>& call, const std::function<bool()>& abandon,
              const std::function<void()>& wake);
    // Owning thread: runs every waiting call; an error of one goes to failed().
    void Drain(const std::function<void(std::exception_ptr)>& failed);
    // Owning thread: takes back every waiting call and refuses later ones.
    void Shutdown();
    bool IsShutDown() const;
    bool OnOwnerThread() const { return std::this_thread::get_id() == FOwner; }

    // How often a waiting caller looks at its abandon test.
    static constexpr int kPollMs = 20;

private:
    enum class TState { Waiting, Running, Done };
    struct TRequest {
        const std::function<void()>* Call;
        TState State = TState::Waiting;
    };
    const std::thread::id FOwner = std::this_thread::get_id();
    mutable std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<TRequest*> FQueue;
    int FCallers = 0; // threads inside Call, waiting
    bool FShutDown = false;
};

// Calls wait in a queue until the owning thread (the one that made the
// dispatcher) serves them; a call made on the owning thread runs at once.
class TQueueDispatcher : public IDispatcher {
public:
    using IDispatcher::Synchronize;
    bool Synchronize(const std::function<void()>& call, const std::function<bool()>& abandon) override;
    void ProcessPending() override;
    void ShowError(const std::string& message) override;
    // The owner stops serving: waiting workers go on without their calls.
    void Shutdown() { FQueue.Shutdown(); }
    std::function<void(const std::string&)> OnError;

private:
    TCallQueue FQueue;
};

} // namespace cv
