// Threads and events. Long work runs on a worker thread and talks to the
// windows only through Backend::post; an Event lets one thread wait for another.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class Event {
public:
    explicit Event(bool manual_reset = true, bool initially_set = false)
        : manual_(manual_reset), set_(initially_set) {}
    void set();
    void reset();
    // Waits until set or the time runs out (milliseconds, negative: forever); true when set.
    bool wait(int milliseconds = -1);
    bool is_set() const;

private:
    mutable std::mutex m_;
    std::condition_variable cv_;
    bool manual_;
    bool set_;
};

// A worker thread that runs one job; join() waits for it. The destructor joins.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // False when a job is still running.
    bool start(std::function<void()> job);
    void join();
    bool running() const { return running_.load(); }

private:
    std::thread thread_;
    std::atomic<bool> running_{false};
};

// Runs job(0) .. job(count - 1) on the calling thread and a few threads kept
// for such work, and returns when every one has run; the jobs are taken in
// any order. A job must not throw. Only one call at a time uses the kept
// threads: a call made meanwhile (from another thread) runs its jobs on its
// own thread. The kept threads sleep while no call has work for them, and
// a call whose last jobs run on them sleeps until they are done.
void run_jobs(int count, const std::function<void(int)>& job);
// The threads run_jobs spreads jobs over, the calling one included.
int job_threads();
// Runs task(0) .. task(count - 1), long pieces of work apart from each other,
// on the calling thread and threads started for the call, as many at once as
// the processors this process can have (at most `most`), each taking the next
// task left when it is done; returns when every one has run. A task must not
// throw. Meanwhile every run_jobs call runs its jobs on its own thread: the
// tasks have the processors.
void run_tasks(int count, int most, const std::function<void(int)>& task);

// Posts a call to the main thread through the installed backend.
void post_to_main(std::function<void()> call);
bool on_main_thread();
void mark_main_thread();   // called once by start-up on the main thread
// The number of WorkerThread jobs running now (a headless event loop waits for
// them before it decides that nothing is left to do).
int running_worker_threads();
