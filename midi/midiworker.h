#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// A backend's own notification thread: runs tasks one at a time in the order they were
// posted, each not before its due time (used to pace a simulated wire).
class MidiWorker
{
public:
    using Clock = std::chrono::steady_clock;
    using Task = std::function<void()>;

    MidiWorker();
    ~MidiWorker();
    MidiWorker(const MidiWorker &) = delete;
    MidiWorker &operator=(const MidiWorker &) = delete;

    void post(Task task, Clock::time_point due = Clock::time_point());
    // Drops the tasks that have not started; returns how many.
    int clear();
    // Blocks until every task posted before the call has run. Not from the worker itself.
    void flush();
    // Ends the thread after the task that is running; later posts are dropped. The owner calls
    // it while its pointer to the worker is still good, since that task may post again.
    // Not from the worker itself.
    void stop();
    bool onWorkerThread() const { return std::this_thread::get_id() == thread.get_id(); }

private:
    void run();

    struct Entry
    {
        Task task;
        Clock::time_point due;
    };
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Entry> tasks;
    bool quit = false;
    std::thread thread;
};
