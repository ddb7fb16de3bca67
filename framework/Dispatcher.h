// How a worker thread reaches the user-interface thread: a call run there
// while the worker waits, the pending calls served while the user-interface
// thread itself waits, and an error shown to the user. The Windows build
// serves calls from the message loop; tests serve them from a queue.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace cv {

class IDispatcher {
public:
    virtual ~IDispatcher() = default;
    // Runs the call on the user-interface thread; returns when it has run.
    virtual void Synchronize(const std::function<void()>& call) = 0;
    // On the user-interface thread, while it waits: serves what is waiting.
    virtual void ProcessPending() = 0;
    // On the user-interface thread: tells the user about an error.
    virtual void ShowError(const std::string& message) = 0;
};

// Calls wait in a queue until the owning thread (the one that made the
// dispatcher) serves them; a call made on the owning thread runs at once.
class TQueueDispatcher : public IDispatcher {
public:
    void Synchronize(const std::function<void()>& call) override;
    void ProcessPending() override;
    void ShowError(const std::string& message) override;
    std::function<void(const std::string&)> OnError;

private:
    struct TRequest {
        const std::function<void()>* Call;
        bool Done = false;
    };
    const std::thread::id FOwner = std::this_thread::get_id();
    std::mutex FLock;
    std::condition_variable FServed;
    std::deque<TRequest*> FQueue;
};

} // namespace cv
