// threads.cpp - teams of threads: Win32 threads and events on Windows (whose
// MinGW-w64 build has no std::thread), std::thread and a condition variable
// elsewhere.
#include "tools/shared/threads.h"

#include <vector>

#include <immintrin.h>

#include <chrono>

#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif

// A member that has done its share watches for the next run for a while
// before it sleeps: a run that follows at once (an untimed run that wakes
// the team, then the timed one) then finds it awake, rather than waiting
// tens of microseconds, or on a virtual machine's idle processor up to a
// few milliseconds, for the system to wake it.
constexpr auto watch_before_sleeping = std::chrono::microseconds(200);

#ifdef _WIN32

struct thread_team {
    int count;
    void (*share)(void *, int) = nullptr;
    void *context = nullptr;
    bool stopping = false;
    volatile LONG pending = 0;
    volatile LONG run = 0;   // runs begun
    HANDLE all_done;
    std::vector<HANDLE> threads, go;   // per member 1 .. count - 1; null where none started
};

namespace {

void watch_for_run(thread_team *team, LONG seen)
{
    const auto until = std::chrono::steady_clock::now() + watch_before_sleeping;
    while (InterlockedCompareExchange(&team->run, 0, 0) == seen && std::chrono::steady_clock::now() < until)
        _mm_pause();
}

struct member_start {
    thread_team *team;
    int k;
};

DWORD WINAPI member_loop(void *argument)
{
    const member_start start = *static_cast<member_start *>(argument);
    delete static_cast<member_start *>(argument);
    thread_team *team = start.team;
    for (;;) {
        WaitForSingleObject(team->go[start.k], INFINITE);
        if (team->stopping)
            return 0;
        const LONG seen = InterlockedCompareExchange(&team->run, 0, 0);
        team->share(team->context, start.k);
        if (InterlockedDecrement(&team->pending) == 0)
            SetEvent(team->all_done);
        watch_for_run(team, seen);
    }
}

}  // namespace

int processor_count()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? int(info.dwNumberOfProcessors) : 1;
}

thread_team *start_team(int count)
{
    thread_team *team = new thread_team;
    team->count = count;
    team->all_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    team->threads.assign(size_t(count), nullptr);
    team->go.assign(size_t(count), nullptr);
    for (int k = 1; k < count; ++k) {
        team->go[k] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        team->threads[k] = team->go[k] ? CreateThread(nullptr, 0, member_loop, new member_start{team, k}, 0, nullptr)
                                       : nullptr;
    }
    return team;
}

void run_team(thread_team *team, void (*share)(void *, int), void *context)
{
    team->share = share;
    team->context = context;
    LONG started = 0;
    for (int k = 1; k < team->count; ++k)
        started += team->threads[k] ? 1 : 0;
    team->pending = started;
    InterlockedIncrement(&team->run);
    for (int k = 1; k < team->count; ++k)
        if (team->threads[k])
            SetEvent(team->go[k]);
    share(context, 0);
    for (int k = 1; k < team->count; ++k)
        if (!team->threads[k])
            share(context, k);
    if (started > 0)
        WaitForSingleObject(team->all_done, INFINITE);
}

void stop_team(thread_team *team)
{
    team->stopping = true;
    for (int k = 1; k < team->count; ++k) {
        if (team->threads[k]) {
            SetEvent(team->go[k]);
            WaitForSingleObject(team->threads[k], INFINITE);
            CloseHandle(team->threads[k]);
        }
        if (team->go[k])
            CloseHandle(team->go[k]);
    }
    CloseHandle(team->all_done);
    delete team;
}

#else

struct thread_team {
    int count;
    std::mutex lock;
    std::condition_variable wake, done;
    std::atomic<long> run{0};   // runs begun
    int pending = 0;       // shares of this run still going on other threads
    bool stopping = false;
    void (*share)(void *, int) = nullptr;
    void *context = nullptr;
    std::vector<std::thread> threads;
    std::vector<int> not_started;   // members run by the calling thread
};

namespace {

void watch_for_run(const thread_team *team, long seen)
{
    const auto until = std::chrono::steady_clock::now() + watch_before_sleeping;
    while (team->run.load(std::memory_order_acquire) == seen && std::chrono::steady_clock::now() < until)
        _mm_pause();
}

void member_loop(thread_team *team, int k)
{
    long seen = 0;
    std::unique_lock<std::mutex> hold(team->lock);
    for (;;) {
        hold.unlock();
        watch_for_run(team, seen);
        hold.lock();
        team->wake.wait(hold, [&] { return team->stopping || team->run != seen; });
        if (team->stopping)
            return;
        seen = team->run;
        hold.unlock();
        team->share(team->context, k);
        hold.lock();
        if (--team->pending == 0)
            team->done.notify_one();
    }
}

}  // namespace

int processor_count()
{
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0)
        return CPU_COUNT(&allowed);
    const unsigned known = std::thread::hardware_concurrency();
    return known > 0 ? int(known) : 1;
}

thread_team *start_team(int count)
{
    thread_team *team = new thread_team;
    team->count = count;
    for (int k = 1; k < count; ++k) {
        try {
            team->threads.emplace_back(member_loop, team, k);
        } catch (const std::system_error &) {
            team->not_started.push_back(k);
        }
    }
    return team;
}

void run_team(thread_team *team, void (*share)(void *, int), void *context)
{
    {
        std::lock_guard<std::mutex> hold(team->lock);
        team->share = share;
        team->context = context;
        team->pending = int(team->threads.size());
        ++team->run;
    }
    team->wake.notify_all();
    share(context, 0);
    for (int k : team->not_started)
        share(context, k);
    std::unique_lock<std::mutex> hold(team->lock);
    team->done.wait(hold, [&] { return team->pending == 0; });
}

void stop_team(thread_team *team)
{
    {
        std::lock_guard<std::mutex> hold(team->lock);
        team->stopping = true;
    }
    team->wake.notify_all();
    for (std::thread &thread : team->threads)
        thread.join();
    delete team;
}

#endif
