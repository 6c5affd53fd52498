#include "midi/midiworker.h"

#include <future>

MidiWorker::MidiWorker() : thread([this] { run(); }) {}

MidiWorker::~MidiWorker()
{
    stop();
}

void MidiWorker::stop()
{
    std::deque<Entry> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
        dropped.swap(tasks);
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
    // `dropped` frees whatever the unstarted tasks captured, after the thread is gone.
}

void MidiWorker::post(Task task, Clock::time_point due)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (quit)
            return;
        tasks.push_back(Entry{std::move(task), due});
    }
    wake.notify_all();
}

int MidiWorker::clear()
{
    std::deque<Entry> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex);
        dropped.swap(tasks);
    }
    wake.notify_all();
    return int(dropped.size());
}

void MidiWorker::flush()
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    post([done] { done->set_value(); });
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (quit)
            return;
    }
    finished.wait();
}

void MidiWorker::run()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        if (quit)
            return;
        if (tasks.empty()) {
            wake.wait(lock);
            continue;
        }
        const Clock::time_point due = tasks.front().due;
        if (due > Clock::now()) {
            wake.wait_until(lock, due);
            continue;
        }
        Task task = std::move(tasks.front().task);
        tasks.pop_front();
        lock.unlock();
        task();
        task = nullptr; // free captures outside the lock too
        lock.lock();
    }
}
