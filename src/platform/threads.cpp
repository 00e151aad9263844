#include "platform/threads.h"

#include "platform/backend.h"

#if defined(__linux__)
#include <sched.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
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
// before it sleeps, and a call waiting for the jobs others took watches for
// their end as long: the pieces of one factorisation or solve follow each
// other closely, and a thread woken from sleep starts some tens of
// microseconds late. Between the calls of an analysis (milliseconds apart)
// the threads sleep and take no processor time.
constexpr auto WATCH = std::chrono::microseconds(50);

// One pause in a loop that waits for another thread.
inline void pause_a_little() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

// Watches until done() or the watch is over; true when done.
template <typename Done>
bool watch_for(Done done) {
    const auto watched = std::chrono::steady_clock::now();
    for (int spin = 1;; ++spin) {
        if (done()) return true;
        pause_a_little();
        if (spin % 64 == 0 && std::chrono::steady_clock::now() - watched > WATCH) return done();
    }
}

// The processors this process can have: those of its affinity mask, and no
// more than its control group's quota of processor time allows (a kept
// thread watching for work on a processor it does not have would only take
// time from the others).
unsigned usable_processors() {
    unsigned count = std::max(1U, std::thread::hardware_concurrency());
#if defined(__linux__)
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        count = std::min(count, static_cast<unsigned>(CPU_COUNT(&set)));
    std::ifstream limit("/sys/fs/cgroup/cpu.max");  // "quota period" or "max period"
    std::string quota;
    long long period = 0;
    if (limit >> quota >> period && quota != "max" && period > 0) {
        char* end = nullptr;
        const long long q = std::strtoll(quota.c_str(), &end, 10);
        if (end && *end == '\0' && q > 0)
            count = std::min(count, static_cast<unsigned>(std::max(1LL, std::min(q / period, 1024LL))));
    }
#endif
    return count;
}

class JobPool {
public:
    JobPool() {
        const unsigned threads = std::min(MOST_JOB_THREADS, usable_processors());
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
    // Held by a call of run_jobs while it uses the kept threads; whoever
    // holds it otherwise keeps every call to its own thread.
    std::mutex& busy() { return busy_; }

    void run(int count, const std::function<void(int)>& job) {
        std::unique_lock<std::mutex> busy(busy_, std::try_to_lock);
        if (!busy.owns_lock() || helpers_.empty() || count <= 1 || count > MOST_JOBS) {
            for (int i = 0; i < count; ++i) job(i);
            return;
        }
        job_ = &job;
        done_.store(0);
        round_ = round_ % ROUND_MASK + 1;   // never 0, the round of no call
        {
            std::lock_guard<std::mutex> lock(m_);
            work_.store(round_ << (COUNT_BITS + INDEX_BITS) | static_cast<std::uint64_t>(count) << INDEX_BITS);
        }
        // As many kept threads as there are jobs besides the caller's first.
        if (count > static_cast<int>(helpers_.size()))
            wake_.notify_all();
        else
            for (int i = 1; i < count; ++i) wake_.notify_one();
        take_jobs();
        // Only the jobs taken and not yet done are waited for: a kept thread
        // that comes late finds none left and takes none.
        auto all_done = [&] { return done_.load() >= count; };
        if (!watch_for(all_done)) {
            std::unique_lock<std::mutex> lock(m_);
            finished_.wait(lock, all_done);
        }
    }

private:
    // A call's work in one word: its round, its count of jobs and the next
    // job to take. Whoever takes a job takes it with the call it belongs
    // to, and a call's job function stays until its jobs are done.
    static constexpr int INDEX_BITS = 20;
    static constexpr int COUNT_BITS = 20;
    static constexpr std::uint64_t INDEX_MASK = (std::uint64_t{1} << INDEX_BITS) - 1;
    static constexpr std::uint64_t ROUND_MASK = (std::uint64_t{1} << (64 - COUNT_BITS - INDEX_BITS)) - 1;
    // Room for an index past the count for each thread that finds none left.
    static constexpr int MOST_JOBS = (1 << INDEX_BITS) - 256;

    static std::uint64_t round_of(std::uint64_t work) { return work >> (COUNT_BITS + INDEX_BITS); }

    // Takes and runs jobs while any are left; the round in which none was.
    // Whoever does a call's last job wakes the call if it sleeps.
    std::uint64_t take_jobs() {
        for (;;) {
            const std::uint64_t work = work_.fetch_add(1);
            const std::uint64_t index = work & INDEX_MASK;
            const std::uint64_t count = (work >> INDEX_BITS) & INDEX_MASK;
            if (index >= count) return round_of(work);
            (*job_)(static_cast<int>(index));
            if (static_cast<std::uint64_t>(done_.fetch_add(1)) + 1 == count) {
                // The call checks its jobs under the lock before it sleeps:
                // taken here, the lock waits until it sleeps or has seen them.
                { std::lock_guard<std::mutex> lock(m_); }
                finished_.notify_one();
            }
        }
    }
    void help() {
        std::uint64_t seen = 0;  // the round in which this thread found no job left
        auto fresh = [&] { return stop_.load() || round_of(work_.load()) != seen; };
        for (;;) {
            if (!watch_for(fresh)) {
                std::unique_lock<std::mutex> lock(m_);
                wake_.wait(lock, fresh);
            }
            if (stop_.load()) return;
            seen = take_jobs();
        }
    }

    std::vector<std::thread> helpers_;
    std::mutex busy_;  // held by the call that uses the helpers
    std::uint64_t round_ = 0;  // the last call's, under busy_
    std::mutex m_;     // for the sleeping helpers' wake-up and the waiting call's
    std::condition_variable wake_;      // a new call, or the end
    std::condition_variable finished_;  // the last job of a call done
    const std::function<void(int)>* job_ = nullptr;
    std::atomic<std::uint64_t> work_{0};
    std::atomic<int> done_{0};
    std::atomic<bool> stop_{false};
};

JobPool& job_pool() {
    static JobPool pool;
    return pool;
}

}  // namespace

void run_jobs(int count, const std::function<void(int)>& job) { job_pool().run(count, job); }

int job_threads() { return job_pool().threads(); }

void run_tasks(int count, int most, const std::function<void(int)>& task) {
    // The tasks take the processors; their run_jobs calls run on their own
    // threads rather than wake the kept ones to compete with them.
    std::unique_lock<std::mutex> hold(job_pool().busy(), std::try_to_lock);
    std::atomic<int> next{0};
    auto take = [&] {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
            task(i);
    };
    const int threads = std::min({count, std::max(most, 1), static_cast<int>(usable_processors())});
    std::vector<std::thread> started;
    for (int i = 1; i < threads; ++i) {
        try {
            started.emplace_back(take);
        } catch (const std::system_error&) {  // fewer threads, or none but the caller's
            break;
        }
    }
    take();
    for (std::thread& t : started)
        t.join();
}
