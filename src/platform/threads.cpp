#include "platform/threads.h"

#include "platform/backend.h"

#include <chrono>
#include <system_error>

void Event::set() {
    {
        std::lock_guard<std::mutex> lock(m_);
        set_ = true;
    }
    cv_.notify_all();
}

void Event::reset() {
    std::lock_guard<std::mutex> lock(m_);
    set_ = false;
}

// An auto-reset event lets exactly one waiter through per set().
bool Event::wait(int milliseconds) {
    std::unique_lock<std::mutex> lock(m_);
    auto is_set = [this] { return set_; };
    if (milliseconds < 0)
        cv_.wait(lock, is_set);
    else if (!cv_.wait_for(lock, std::chrono::milliseconds(milliseconds), is_set))
        return false;
    if (!manual_) set_ = false;
    return true;
}

bool Event::is_set() const {
    std::lock_guard<std::mutex> lock(m_);
    return set_;
}

WorkerThread::~WorkerThread() { join(); }

namespace {
std::atomic<int> worker_count{0};
}  // namespace

int running_worker_threads() { return worker_count.load(); }

bool WorkerThread::start(std::function<void()> job) {
    if (running_.load()) return false;
    join();  // the previous job has ended; release its thread
    running_.store(true);
    worker_count.fetch_add(1);
    try {
        thread_ = std::thread([this, job = std::move(job)] {
            // A job reports its own failures (through posted messages); whatever
            // escapes it is dropped here so that it cannot end the program.
            try {
                job();
            } catch (...) {
            }
            running_.store(false);
            worker_count.fetch_sub(1);  // after the job's last post, so a waiting loop sees it
        });
    } catch (const std::system_error&) {  // no thread could be made
        running_.store(false);
        worker_count.fetch_sub(1);
        return false;
    }
    return true;
}

void WorkerThread::join() {
    if (thread_.joinable()) thread_.join();
}

namespace {
// The thread that runs the static initialisers is the main thread until
// start-up says otherwise.
std::atomic<std::thread::id> main_thread_id{std::this_thread::get_id()};
}  // namespace

void post_to_main(std::function<void()> call) { backend().post(std::move(call)); }

bool on_main_thread() { return std::this_thread::get_id() == main_thread_id.load(); }

void mark_main_thread() { main_thread_id.store(std::this_thread::get_id()); }
