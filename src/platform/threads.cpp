#include "platform/threads.h"

#include "platform/backend.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>
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

namespace {

// At most this many threads share a call of run_jobs: the work it serves
// (a sparse factorisation) stops gaining beyond it.
constexpr unsigned MOST_JOB_THREADS = 4;
// A kept thread that has done its jobs watches for the next call this long
// before it sleeps: the calls of an analysis come a few milliseconds apart,
// and waking a sleeping thread takes a good part of a call's work.
constexpr auto WATCH = std::chrono::milliseconds(5);

// One pause in a loop that waits for another thread.
inline void pause_a_little() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

class JobPool {
public:
    JobPool() {
        const unsigned threads = std::min(MOST_JOB_THREADS, std::max(1U, std::thread::hardware_concurrency()));
        for (unsigned i = 1; i < threads; ++i) {
            try {
                helpers_.emplace_back([this] { help(); });
            } catch (const std::system_error&) {  // fewer threads, or none but the caller's
                break;
            }
        }
    }
    ~JobPool() {
        {
            std::lock_guard<std::mutex> lock(m_);
            stop_.store(true);
        }
        wake_.notify_all();
        for (std::thread& t : helpers_) t.join();
    }
    JobPool(const JobPool&) = delete;
    JobPool& operator=(const JobPool&) = delete;

    int threads() const { return static_cast<int>(helpers_.size()) + 1; }

    void run(int count, const std::function<void(int)>& job) {
        std::unique_lock<std::mutex> busy(busy_, std::try_to_lock);
        if (!busy.owns_lock() || helpers_.empty() || count <= 1) {
            for (int i = 0; i < count; ++i) job(i);
            return;
        }
        job_ = &job;
        count_ = count;
        next_.store(0);
        working_.store(static_cast<int>(helpers_.size()));
        {
            std::lock_guard<std::mutex> lock(m_);
            round_.fetch_add(1);
        }
        wake_.notify_all();
        take_jobs(job, count);
        // The helpers' jobs are as short as the caller's.
        for (int spin = 0; working_.load() != 0; ++spin) {
            if (spin < 4096)
                pause_a_little();
            else
                std::this_thread::yield();
        }
        job_ = nullptr;
    }

private:
    void take_jobs(const std::function<void(int)>& job, int count) {
        for (int i = next_.fetch_add(1); i < count; i = next_.fetch_add(1)) job(i);
    }
    void help() {
        std::uint64_t seen = 0;
        for (;;) {
            std::uint64_t round = round_.load();
            const auto watched = std::chrono::steady_clock::now();
            for (int spin = 0; round == seen && !stop_.load(); ++spin, round = round_.load()) {
                pause_a_little();
                if (spin % 64 == 63 && std::chrono::steady_clock::now() - watched > WATCH) break;
            }
            if (round == seen) {
                std::unique_lock<std::mutex> lock(m_);
                wake_.wait(lock, [&] { return stop_.load() || round_.load() != seen; });
                round = round_.load();
            }
            if (stop_.load()) return;
            seen = round;
            take_jobs(*job_, count_);
            working_.fetch_sub(1);
        }
    }

    std::vector<std::thread> helpers_;
    std::mutex busy_;  // held by the call that uses the helpers
    std::mutex m_;     // for the sleeping helpers' wake-up
    std::condition_variable wake_;
    const std::function<void(int)>* job_ = nullptr;
    int count_ = 0;
    std::atomic<int> next_{0};
    std::atomic<int> working_{0};
    std::atomic<std::uint64_t> round_{0};
    std::atomic<bool> stop_{false};
};

JobPool& job_pool() {
    static JobPool pool;
    return pool;
}

}  // namespace

void run_jobs(int count, const std::function<void(int)>& job) { job_pool().run(count, job); }

int job_threads() { return job_pool().threads(); }
