// present_thread.cpp - one thread, the newest job per window and two
// conditions: the program's thread waits on `idle` (nothing left to show),
// the presenter on `posted`. The presenter holds `working` while it runs a
// job, which is what present_thread_pause takes.
//
// The desktop's writes are counted in `writes`: odd while one is under
// way. A job carries the (even) count of its frame, and a reader compares
// it before and after it reads: the same count means the same frame whole.
#include "platform/sdl/present_thread.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace plat {
namespace {

constexpr auto drain_patience = std::chrono::milliseconds(200);

struct presenter_record {
    std::mutex lock;                  // guards the jobs and `busy`
    std::condition_variable posted;   // a job is queued
    std::condition_variable idle;     // nothing queued or under way
    std::vector<present_job> jobs;    // the newest of each window
    bool busy = false;                // a job is under way
    bool draining = false;            // the program waits for every job
    std::mutex working;               // held while a job runs, or by a pause
    int pauses = 0;                   // nested pauses (the program's thread's)
    bool (*show)(const present_job &) = nullptr;
    std::chrono::nanoseconds period{0};   // between pictures: the screen's refresh
    bool running = false;

    std::atomic<uint64_t> writes{0};  // the desktop's writes; odd during one
};

// never destroyed: the thread may still wait on its conditions while the
// process ends, and destroying a condition with a waiter blocks for ever
presenter_record &presenter = *new presenter_record;

// Shows the jobs as they come, at most one picture a refresh of the screen:
// frames posted meanwhile replace the one waiting, so each picture is the
// newest frame when the screen can next show it.
void present_loop() {
    std::unique_lock<std::mutex> queue(presenter.lock);
    auto due = std::chrono::steady_clock::now();
    for (;;) {
        presenter.posted.wait(queue, [] { return !presenter.jobs.empty(); });
        // until the next refresh; a drain (a box about to open) does not wait
        presenter.posted.wait_until(queue, due, [] { return presenter.draining; });
        const present_job job = presenter.jobs.front();
        const auto started = std::chrono::steady_clock::now();
        presenter.jobs.erase(presenter.jobs.begin());
        presenter.busy = true;
        queue.unlock();
        {
            std::lock_guard<std::mutex> held(presenter.working);
            // a frame written over while it was read is not a picture: the
            // next frame posted is tried at once
            if (presenter.show(job)) due = started + presenter.period;
        }
        queue.lock();
        presenter.busy = false;
        if (presenter.jobs.empty()) presenter.idle.notify_all();
    }
}

void wait_until_idle() {
    std::unique_lock<std::mutex> queue(presenter.lock);
    presenter.draining = true;
    presenter.posted.notify_one();
    presenter.idle.wait_for(queue, drain_patience, [] { return presenter.jobs.empty() && !presenter.busy; });
    presenter.draining = false;
}

}  // namespace

bool present_thread_start(bool (*show)(const present_job &job), int refresh_hz) {
    if (presenter.running) return true;
    presenter.show = show;
    presenter.period = std::chrono::nanoseconds(refresh_hz > 0 ? 1000000000 / refresh_hz : 0);
    // the thread inherits a mask that blocks every signal: an interrupt is
    // always the program's thread's to handle
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        std::thread(present_loop).detach();
        presenter.running = true;
        // the process ends with the thread held between jobs, out of Xlib
        std::atexit(present_thread_pause);
    } catch (const std::system_error &) {
        presenter.running = false;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return presenter.running;
}

bool present_thread_running() { return presenter.running; }

void present_thread_post(const present_job &posted) {
    present_job job = posted;
    job.writes = presenter.writes.load(std::memory_order_relaxed);
    std::lock_guard<std::mutex> queue(presenter.lock);
    auto same = std::find_if(presenter.jobs.begin(), presenter.jobs.end(),
                             [&](const present_job &j) { return j.window == job.window; });
    if (same != presenter.jobs.end())
        *same = job;
    else
        presenter.jobs.push_back(job);
    presenter.posted.notify_one();
}

void present_thread_drain() {
    if (presenter.running) wait_until_idle();
}

void present_thread_pause() {
    if (!presenter.running || presenter.pauses++ > 0) return;
    wait_until_idle();
    presenter.working.lock();
}

void present_thread_resume() {
    if (presenter.running && presenter.pauses > 0 && --presenter.pauses == 0) presenter.working.unlock();
}

// Only the program's thread writes the count. The odd count must be seen
// before any byte of the write: a store, then a full fence.
void present_desktop_writing() {
    const uint64_t n = presenter.writes.load(std::memory_order_relaxed);
    if (n % 2 == 1) return;
    presenter.writes.store(n + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_seq_cst);
}

void present_desktop_written() {
    const uint64_t n = presenter.writes.load(std::memory_order_relaxed);
    if (n % 2 == 1) presenter.writes.store(n + 1, std::memory_order_release);
}

bool present_desktop_still(const present_job &job) {
    std::atomic_thread_fence(std::memory_order_acquire);
    const uint64_t n = presenter.writes.load(std::memory_order_acquire);
    return n == job.writes && n % 2 == 0;
}

}  // namespace plat
