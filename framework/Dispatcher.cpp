#include "framework/Dispatcher.h"

#include <algorithm>
#include <chrono>

namespace cv {

std::string ErrorMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "An unknown error occurred.";
    }
}

TCallQueue::~TCallQueue() {
    std::unique_lock<std::mutex> lock(FLock);
    FShutDown = true;
    FQueue.clear();
    FChanged.notify_all();
    FChanged.wait(lock, [this] { return FCallers == 0; });
}

bool TCallQueue::Call(const std::function<void()>& call, const std::function<bool()>& abandon,
                      const std::function<void()>& wake) {
    if (OnOwnerThread()) {
        if (IsShutDown()) {
            return false;
        }
        call();
        return true;
    }
    TRequest request{&call};
    std::unique_lock<std::mutex> lock(FLock);
    if (FShutDown) {
        return false;
    }
    FQueue.push_back(&request);
    ++FCallers;
    // Leaving, the caller tells a queue that is being destroyed.
    struct TLeave {
        TCallQueue& Queue;
        ~TLeave() {
            --Queue.FCallers;
            Queue.FChanged.notify_all();
        }
    } leave{*this};
    if (wake) {
        lock.unlock();
        wake();
        lock.lock();
    }
    for (;;) {
        if (FChanged.wait_for(lock, std::chrono::milliseconds(kPollMs),
                              [&] { return request.State == TState::Done; })) {
            return true;
        }
        if (request.State == TState::Waiting && (FShutDown || (abandon && abandon()))) {
            // Not started: take it back, so the owner never reaches our stack.
            if (const auto at = std::find(FQueue.begin(), FQueue.end(), &request); at != FQueue.end()) {
                FQueue.erase(at);
            }
            return false;
        }
    }
}

void TCallQueue::Drain(const std::function<void(std::exception_ptr)>& failed) {
    std::unique_lock<std::mutex> lock(FLock);
    while (!FQueue.empty()) {
        TRequest* request = FQueue.front();
        FQueue.pop_front();
        request->State = TState::Running;
        lock.unlock();
        try {
            (*request->Call)();
        } catch (...) {
            if (failed) {
                failed(std::current_exception());
            }
        }
        lock.lock();
        request->State = TState::Done;
        FChanged.notify_all();
    }
}

void TCallQueue::Shutdown() {
    const std::lock_guard<std::mutex> guard(FLock);
    FShutDown = true;
    FQueue.clear();        // nothing waiting runs any more
    FChanged.notify_all(); // the waiting callers take their calls back
}

bool TCallQueue::IsShutDown() const {
    const std::lock_guard<std::mutex> guard(FLock);
    return FShutDown;
}

bool TQueueDispatcher::Synchronize(const std::function<void()>& call, const std::function<bool()>& abandon) {
    return FQueue.Call(call, abandon, {});
}

void TQueueDispatcher::ProcessPending() {
    // The caller hears nothing of an error, as with a window message.
    FQueue.Drain({});
}

void TQueueDispatcher::ShowError(const std::string& message) {
    if (OnError) {
        OnError(message);
    }
}

} // namespace cv
