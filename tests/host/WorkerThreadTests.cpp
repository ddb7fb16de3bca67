// The worker thread base: jobs started, stopped and ended from the
// "user-interface" thread (the test's), synchronised calls served from a
// queue. Run natively and under ThreadSanitizer.
#include "framework/XWBaseThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace cv::test {

namespace {

// What a probe worker did; it outlives the worker, which may be kept aside.
struct TLog {
    std::atomic<int> Begins{0};
    std::atomic<int> Steps{0};
    std::atomic<int> Ends{0};
    std::atomic<int> Started{0};
    std::atomic<int> Finished{0};
    std::atomic<int> Destroyed{0};
    std::atomic<int> StopAfter{-1}; // the step that calls StopWork itself
    std::atomic<int> ThrowAt{-1};   // the step that throws
    std::atomic<bool> Block{false}; // a step waits while this is set
    std::atomic<bool> InStep{false};
    std::atomic<int> Synchronised{0}; // calls that ran on the owning thread
    std::thread::id Owner = std::this_thread::get_id();
};

class TProbe : public TXWBaseThread {
public:
    TProbe(IDispatcher& dispatcher, std::shared_ptr<TLog> log)
        : TXWBaseThread(dispatcher), FLog(std::move(log)) {}
    ~TProbe() override { ++FLog->Destroyed; }

protected:
    void ThreadStarted() override { ++FLog->Started; }
    void ThreadFinished() override { ++FLog->Finished; }
    void BeginWork() override { ++FLog->Begins; }
    void EndWork() override { ++FLog->Ends; }
    void DoWork() override {
        FLog->InStep = true;
        const int step = ++FLog->Steps;
        while (FLog->Block) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (step == FLog->ThrowAt) {
            FLog->InStep = false;
            throw std::runtime_error("Failed to set data for 'Icon'");
        }
        SafeSynchronize([this] {
            if (std::this_thread::get_id() == FLog->Owner) {
                ++FLog->Synchronised;
            }
        });
        if (step == FLog->StopAfter) {
            StopWork();
        }
        FLog->InStep = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

private:
    std::shared_ptr<TLog> FLog;
};

class WorkerThread : public ::testing::Test {
protected:
    void SetUp() override {
        Dispatcher.OnError = [this](const std::string& message) { Errors.push_back(message); };
    }
    TWorkerPtr<TProbe> Make() { return MakeWorker<TProbe>(Dispatcher, Log); }
    // Serves the queue until the condition holds (or a long time passed).
    template <class F> bool Until(F condition) {
        for (int i = 0; i < 5000 && !condition(); ++i) {
            Dispatcher.ProcessPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }
    TQueueDispatcher Dispatcher;
    std::shared_ptr<TLog> Log = std::make_shared<TLog>();
    std::vector<std::string> Errors;
};

} // namespace

TEST_F(WorkerThread, StopWorkAndWaitDuringAJobEndsItAfterTheStep) {
    auto worker = Make();
    worker->StartWork();
    ASSERT_TRUE(Until([&] { return Log->Steps >= 3; }));
    EXPECT_TRUE(worker->StopWorkAndWait(2000));
    EXPECT_TRUE(worker->Idle());
    EXPECT_EQ(Log->Begins, 1);
    EXPECT_EQ(Log->Ends, 1);
    const int steps = Log->Steps;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Log->Steps, steps); // parked: no more steps
    EXPECT_GT(Log->Synchronised, 0);
    EXPECT_EQ(Log->Synchronised, steps); // every step's call ran on our thread
}

TEST_F(WorkerThread, AParkedWorkerIsIdleAtOnceAndRunsAFurtherJob) {
    auto worker = Make();
    EXPECT_TRUE(worker->WaitForIdle(kWaitForever));
    EXPECT_TRUE(worker->StopWorkAndWait(1));
    EXPECT_EQ(Log->Begins, 0);
    Log->StopAfter = 2;
    worker->StartWork();
    ASSERT_TRUE(worker->WaitForIdle(kWaitForever) || Until([&] { return worker->Idle(); }));
    EXPECT_EQ(Log->Begins, 1);
    EXPECT_EQ(Log->Steps, 2);
}

TEST_F(WorkerThread, StartWorkThenWaitForIdleIsFalseUntilTheJobEnds) {
    auto worker = Make();
    ASSERT_TRUE(worker->WaitForIdle(kWaitForever));
    Log->Block = true; // the first step holds on
    worker->StartWork();
    EXPECT_FALSE(worker->WaitForIdle(50));
    ASSERT_TRUE(Until([&] { return Log->InStep.load(); }));
    EXPECT_FALSE(worker->WaitForIdle(30));
    Log->StopAfter = 1;
    Log->Block = false;
    ASSERT_TRUE(Until([&] { return worker->Idle(); }));
    EXPECT_TRUE(worker->WaitForIdle(0));
    EXPECT_EQ(Log->Steps, 1);
}

TEST_F(WorkerThread, ADoWorkThatStopsTheWorkEndsTheJobAfterThatStep) {
    auto worker = Make();
    Log->StopAfter = 5;
    worker->StartWork();
    ASSERT_TRUE(Until([&] { return Log->Ends == 1 && worker->Idle(); }));
    EXPECT_EQ(Log->Steps, 5);
    EXPECT_EQ(Log->Begins, 1);
    EXPECT_EQ(Log->Ends, 1);
    EXPECT_EQ(worker->WorkState(), TWorkState::wkStopped);
}

TEST_F(WorkerThread, FreeingTheWorkerDuringAJobEndsItAfterItsStep) {
    auto worker = Make();
    worker->StartWork();
    ASSERT_TRUE(Until([&] { return Log->Steps >= 2; }));
    worker.reset();
    EXPECT_EQ(Log->Started, 1);
    EXPECT_EQ(Log->Finished, 1);
    EXPECT_EQ(Log->Destroyed, 1);
    EXPECT_EQ(Log->InStep, false);
}

TEST_F(WorkerThread, AStepThatOutlastsTheWaitIsNeverKilledAndIsJoinedAfterIt) {
    auto worker = Make();
    Log->Block = true;
    worker->StartWork();
    ASSERT_TRUE(Until([&] { return Log->InStep.load(); }));
    worker.reset(); // waits 2000 ms, then keeps the worker aside
    EXPECT_EQ(Log->Destroyed, 0);
    EXPECT_TRUE(Log->InStep); // still inside its step, its object alive
    EXPECT_EQ(WorkersKeptAside(), 1u);
    EXPECT_FALSE(JoinWorkers(30)); // bounded: the step still runs
    Log->Block = false;
    EXPECT_TRUE(JoinWorkers(5000));
    EXPECT_EQ(Log->Destroyed, 1);
    EXPECT_EQ(Log->Finished, 1);
    EXPECT_EQ(WorkersKeptAside(), 0u);
    EXPECT_EQ(Log->Synchronised, 0); // a worker being ended calls nobody
}

// The user-interface thread stops serving (its page closed) while a worker
// waits for a call: the worker takes the call back and ends within the
// bounded wait instead of waiting for ever.
TEST_F(WorkerThread, AWorkerWhoseDispatcherIsGoneEndsWithinItsBoundedWait) {
    const struct {
        const char* Name;
        bool ShutDown; // the dispatcher shuts down, rather than the owner ending the worker
    } cases[] = {{"dispatcher shut down", true},
                 {"owner ends the worker: the waiting call is dropped", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TQueueDispatcher quiet; // nobody serves it
        auto log = std::make_shared<TLog>();
        auto worker = MakeWorker<TProbe>(quiet, log);
        worker->StartWork();
        // The first step's call waits in the queue.
        for (int i = 0; i < 2000 && !log->InStep; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(log->InStep);
        if (c.ShutDown) {
            quiet.Shutdown();
        }
        const auto start = std::chrono::steady_clock::now();
        const bool ended = c.ShutDown ? worker->StopWorkAndWait(1000) : worker->TerminateAndWait(1000);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(ended);
        EXPECT_LT(waited, std::chrono::milliseconds(1000));
        EXPECT_EQ(log->Synchronised, 0); // the call never ran
        worker.reset();
        EXPECT_EQ(log->Destroyed, 1);
    }
}

// A caller's call that nobody serves is taken back once its abandon test
// turns true, and never runs afterwards; one that is served is waited for.
TEST(CallQueue, AnUnservedCallIsTakenBackWhenItsCallerGivesUp) {
    TQueueDispatcher dispatcher; // owned by this thread, which does not serve it yet
    std::atomic<bool> giveUp{false};
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    std::thread caller(
        [&] { result = dispatcher.Synchronize([&] { ran = true; }, [&] { return giveUp.load(); }) ? 1 : 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(result, -1) << "still waiting while nobody serves and it has not given up";
    giveUp = true;
    caller.join();
    EXPECT_EQ(result, 0);
    dispatcher.ProcessPending();
    EXPECT_FALSE(ran) << "a call taken back never runs";

    std::thread served(
        [&] { result = dispatcher.Synchronize([&] { ran = true; }, [] { return false; }) ? 1 : 0; });
    for (int i = 0; i < 2000 && !ran; ++i) {
        dispatcher.ProcessPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    served.join();
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, 1);
}

TEST_F(WorkerThread, ATimeoutOfZeroLooksOnceEverywhere) {
    auto worker = Make();
    Log->Block = true;
    worker->StartWork();
    ASSERT_TRUE(Until([&] { return Log->InStep.load(); }));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker->WaitForIdle(0));
    EXPECT_FALSE(worker->StopWorkAndWait(0));
    EXPECT_FALSE(worker->TerminateAndWait(0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    Log->Block = false;
    EXPECT_TRUE(worker->TerminateAndWait(kWaitForever));
}

TEST_F(WorkerThread, AnErrorInAStepIsReportedOnceAndTheWorkerStaysUsable) {
    auto worker = Make();
    Log->ThrowAt = 3;
    worker->StartWork();
    ASSERT_TRUE(Until([&] { return !Errors.empty() && worker->Idle(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Dispatcher.ProcessPending();
    EXPECT_EQ(Errors, std::vector<std::string>{"Failed to set data for 'Icon'"});
    EXPECT_EQ(Log->Ends, 0); // the failed run skipped its end
    EXPECT_EQ(Log->Steps, 3);

    Log->StopAfter = 5;
    worker->StartWork();
    ASSERT_TRUE(Until([&] { return Log->Ends == 1 && worker->Idle(); }));
    EXPECT_EQ(Log->Steps, 5);
    EXPECT_EQ(Errors.size(), 1u);
}

TEST_F(WorkerThread, AnAbortEndsTheRunWithoutAWord) {
    class TAborting : public TXWBaseThread {
    public:
        using TXWBaseThread::TXWBaseThread;
        std::atomic<int> Steps{0};

    protected:
        void DoWork() override {
            ++Steps;
            throw EAbort();
        }
    };
    auto worker = MakeWorker<TAborting>(Dispatcher);
    worker->StartWork();
    ASSERT_TRUE(Until([&] { return worker->Steps == 1 && worker->Idle(); }));
    EXPECT_TRUE(Errors.empty());
}

} // namespace cv::test
