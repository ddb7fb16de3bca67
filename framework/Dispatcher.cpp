#include "framework/Dispatcher.h"

namespace cv {

void TQueueDispatcher::Synchronize(const std::function<void()>& call) {
    if (std::this_thread::get_id() == FOwner) {
        call();
        return;
    }
    TRequest request{&call};
    std::unique_lock<std::mutex> lock(FLock);
    FQueue.push_back(&request);
    FServed.wait(lock, [&] { return request.Done; });
}

void TQueueDispatcher::ProcessPending() {
    std::unique_lock<std::mutex> lock(FLock);
    while (!FQueue.empty()) {
        TRequest* request = FQueue.front();
        FQueue.pop_front();
        lock.unlock();
        try {
            (*request->Call)();
        } catch (...) {
            // The caller hears nothing of it, as with a window message.
        }
        lock.lock();
        request->Done = true;
        FServed.notify_all();
    }
}

void TQueueDispatcher::ShowError(const std::string& message) {
    if (OnError) {
        OnError(message);
    }
}

} // namespace cv
