// Events, worker threads, jobs shared among kept threads and calls posted to
// the main thread.
#include "platform/threads.h"

#include "platform/headless/headless_backend.h"

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(EventTest, ManualAndAutoReset) {
    Event manual(true, false);
    EXPECT_FALSE(manual.wait(0));
    manual.set();
    EXPECT_TRUE(manual.wait(0));
    EXPECT_TRUE(manual.wait(0));   // stays set
    manual.reset();
    EXPECT_FALSE(manual.is_set());

    Event automatic(false, true);
    EXPECT_TRUE(automatic.wait(0));
    EXPECT_FALSE(automatic.wait(0));   // one waiter per set
    EXPECT_FALSE(automatic.wait(20));
}

TEST(EventTest, WakesWaiterOnAnotherThread) {
    Event go, done;
    WorkerThread w;
    ASSERT_TRUE(w.start([&] {
        if (go.wait(5000)) done.set();
    }));
    go.set();
    EXPECT_TRUE(done.wait(5000));
    w.join();
    EXPECT_FALSE(w.running());
}

TEST(WorkerThreadTest, OneJobAtATimeAndRestartable) {
    Event release;
    WorkerThread w;
    ASSERT_TRUE(w.start([&] { release.wait(5000); }));
    EXPECT_TRUE(w.running());
    EXPECT_GE(running_worker_threads(), 1);
    EXPECT_FALSE(w.start([] {}));   // still busy
    release.set();
    w.join();
    EXPECT_FALSE(w.running());
    int runs = 0;
    ASSERT_TRUE(w.start([&] { ++runs; }));
    w.join();
    EXPECT_EQ(runs, 1);
    // A job that throws ends quietly.
    ASSERT_TRUE(w.start([] { throw 1; }));
    w.join();
    EXPECT_FALSE(w.running());
    EXPECT_EQ(running_worker_threads(), 0);
}

TEST(JobsTest, EveryJobRunsOnceBeforeTheCallReturnsWhoeverCalls) {
    // Calls of every size, back to back and some after a pause long enough
    // for the kept threads to sleep, from two threads at once: each job runs
    // exactly once and has run when its call returns.
    auto calls = [](int salt, std::atomic<int>& wrong) {
        for (int call = 0; call < 300; ++call) {
            const int count = (call * 7 + salt) % 23;
            std::vector<std::atomic<int>> runs(static_cast<std::size_t>(count));
            run_jobs(count, [&](int job) { runs[static_cast<std::size_t>(job)].fetch_add(1); });
            for (const std::atomic<int>& r : runs)
                if (r.load() != 1) wrong.fetch_add(1);
            if (call % 100 == 99) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    };
    std::atomic<int> wrong{0};
    std::thread other([&] { calls(3, wrong); });
    calls(0, wrong);
    other.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GE(job_threads(), 1);
}

TEST(JobsTest, EveryTaskRunsOnceWithItsJobsInside) {
    // Tasks of every count, at most so many at once, each calling run_jobs
    // as an analysis's factorisation does: every task and every job of it
    // runs exactly once before the call returns; afterwards run_jobs has
    // its kept threads again.
    for (int count : {0, 1, 2, 7, 40}) {
        for (int most : {1, 3, 8}) {
            std::vector<std::atomic<int>> tasks(static_cast<std::size_t>(count));
            std::vector<std::atomic<int>> jobs(static_cast<std::size_t>(count) * 5);
            run_tasks(count, most, [&](int task) {
                tasks[static_cast<std::size_t>(task)].fetch_add(1);
                run_jobs(5, [&](int job) { jobs[static_cast<std::size_t>(task * 5 + job)].fetch_add(1); });
            });
            for (const std::atomic<int>& t : tasks)
                EXPECT_EQ(t.load(), 1) << count << " tasks, " << most << " at once";
            for (const std::atomic<int>& j : jobs)
                EXPECT_EQ(j.load(), 1) << count << " tasks, " << most << " at once";
        }
    }
    std::vector<std::atomic<int>> after(9);
    run_jobs(9, [&](int job) { after[static_cast<std::size_t>(job)].fetch_add(1); });
    for (const std::atomic<int>& a : after)
        EXPECT_EQ(a.load(), 1);
}

// The processor time of this process so far, all its threads, in seconds.
double processor_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1.0e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

TEST(JobPoolSleeps, CallsMillisecondsApartCostOnlyTheirJobs) {
    // Calls 10 ms apart, as the factorisations of an analysis come: every
    // job runs once, and in the 200 ms the kept threads take next to no
    // processor time (watching for the next call until it comes would take
    // about as much as the wall time, on each of them).
    const double before = processor_seconds();
    int wrong = 0;
    for (int call = 0; call < 20; ++call) {
        std::vector<std::atomic<int>> runs(8);
        run_jobs(8, [&](int job) { runs[static_cast<std::size_t>(job)].fetch_add(1); });
        for (const std::atomic<int>& r : runs)
            wrong += r.load() != 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_LT(processor_seconds() - before, 0.05);
}

TEST(JobPoolSleeps, WakesForWorkAndTheCallSleepsUntilItsLastJobWhileOthersCallOnTheirOwn) {
    // After the kept threads have slept, a call of two jobs: the first waits
    // until the second has started elsewhere (a kept thread woke for it),
    // and the second sleeps 200 ms there. Meanwhile another thread's call
    // runs all its jobs and returns. The call waits those 200 ms asleep.
    if (job_threads() < 2) GTEST_SKIP() << "no kept threads";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> started{0};
    std::atomic<bool> elsewhere{false};
    std::atomic<int> other_jobs{0};
    std::thread other;
    const double before = processor_seconds();
    run_jobs(2, [&](int) {
        started.fetch_add(1);
        if (std::this_thread::get_id() != caller) {
            elsewhere.store(true);
            other = std::thread([&] { run_jobs(5, [&](int) { other_jobs.fetch_add(1); }); });
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return;
        }
        for (int wait = 0; started.load() < 2 && wait < 5000; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    const double used = processor_seconds() - before;
    ASSERT_TRUE(elsewhere.load());
    other.join();
    EXPECT_EQ(other_jobs.load(), 5);
    EXPECT_LT(used, 0.05);
}

TEST(PostTest, WorkerPostsRunOnMainThreadInOrder) {
    HeadlessBackend& hb = install_headless_backend();
    mark_main_thread();
    std::vector<int> seen;
    bool all_on_main = true;
    WorkerThread w;
    ASSERT_TRUE(w.start([&] {
        EXPECT_FALSE(on_main_thread());
        for (int i = 0; i < 50; ++i) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            post_to_main([&, i] {
                all_on_main = all_on_main && on_main_thread();
                seen.push_back(i);
            });
        }
    }));
    // The loop waits for the worker and ends when nothing is left to do.
    EXPECT_EQ(hb.run_loop(), 0);
    w.join();
    ASSERT_EQ(seen.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i);
    EXPECT_TRUE(all_on_main);
    remove_backend();
}

TEST(PostTest, QuitEndsTheLoopWithItsCode) {
    HeadlessBackend& hb = install_headless_backend();
    int later = 0;
    hb.post([&] {
        hb.post([&] { ++later; });   // runs in a later round
        hb.quit(7);
    });
    EXPECT_EQ(hb.run_loop(), 7);
    EXPECT_EQ(later, 0);
    EXPECT_EQ(hb.posted_count(), 1u);
    hb.process_events();
    EXPECT_EQ(later, 1);
    remove_backend();
}

}  // namespace
