// present_thread_test.cpp - the presenter thread shows the newest frame of
// each window, never one the program wrote over while it was read, and is
// drained before a box: driven here with a show() of the test's own and a
// made-up desktop, without a window system.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>
#include <mutex>
#include <vector>

#include "platform/sdl/present_thread.h"

using namespace plat;

namespace {

// What the thread's show() does in the current test (one thread serves the
// whole program, started once, here for a screen of 20 refreshes a second).
constexpr int refresh_hz = 20;
void (*current_show)(const present_job &) = nullptr;
bool show(const present_job &job) {
    current_show(job);
    return true;
}

SDL_Window *window_number(intptr_t n) { return reinterpret_cast<SDL_Window *>(n); }

present_job job_of(intptr_t window, int tag) {
    present_job job;
    job.window = window_number(window);
    job.width = tag;  // which frame, for the test
    return job;
}

// A gate the shown frame waits at until the test opens it.
struct gate {
    std::mutex lock;
    std::condition_variable changed;
    bool reached = false, open = false;
    void wait_here() {
        std::unique_lock<std::mutex> l(lock);
        reached = true;
        changed.notify_all();
        changed.wait(l, [this] { return open; });
    }
    void wait_reached() {
        std::unique_lock<std::mutex> l(lock);
        changed.wait(l, [this] { return reached; });
    }
    void let_through() {
        std::lock_guard<std::mutex> l(lock);
        open = true;
        changed.notify_all();
    }
};

gate *first_frame_gate;
std::mutex shown_lock;
std::vector<std::pair<intptr_t, int>> shown;

void record(const present_job &job) {
    if (job.width == 1) first_frame_gate->wait_here();
    std::lock_guard<std::mutex> l(shown_lock);
    shown.emplace_back(reinterpret_cast<intptr_t>(job.window), job.width);
}

TEST(PresentThread, FramesPostedWhileOneIsShownLeaveOnlyTheNewestOfEachWindow) {
    gate g;
    first_frame_gate = &g;
    shown.clear();
    current_show = record;
    ASSERT_TRUE(present_thread_start(show, refresh_hz));
    present_thread_post(job_of(1, 1));
    g.wait_reached();
    // while frame 1 is being shown: three more of window 1, one of window 2
    present_thread_post(job_of(1, 2));
    present_thread_post(job_of(2, 10));
    present_thread_post(job_of(1, 3));
    present_thread_post(job_of(1, 4));
    g.let_through();
    present_thread_drain();
    std::lock_guard<std::mutex> l(shown_lock);
    EXPECT_EQ(shown, (std::vector<std::pair<intptr_t, int>>{{1, 1}, {1, 4}, {2, 10}}));
}

// show() that reads the desktop with a write of the program's in between.
gate *read_gate;
std::atomic<int> still_before{-1}, still_after{-1};

void read_across_a_write(const present_job &job) {
    still_before = present_desktop_still(job);
    read_gate->wait_here();
    still_after = present_desktop_still(job);
}

TEST(PresentThread, AFrameWrittenOverWhileItIsReadIsNotWhole) {
    gate g;
    read_gate = &g;
    current_show = read_across_a_write;
    ASSERT_TRUE(present_thread_start(show, refresh_hz));
    present_desktop_writing();
    present_desktop_written();
    present_thread_post(job_of(1, 5));
    g.wait_reached();
    // the program draws its next frame into the desktop meanwhile
    present_desktop_writing();
    present_desktop_written();
    g.let_through();
    present_thread_drain();
    EXPECT_EQ(still_before.load(), 1);
    EXPECT_EQ(still_after.load(), 0);
}

// show() that only looks: a frame not written over is whole.
void read_alone(const present_job &job) {
    still_before = present_desktop_still(job);
    still_after = present_desktop_still(job);
}

TEST(PresentThread, AFrameLeftAloneIsWholeAndAWriteUnderWayIsNot) {
    current_show = read_alone;
    ASSERT_TRUE(present_thread_start(show, refresh_hz));
    present_thread_post(job_of(1, 6));
    present_thread_drain();
    EXPECT_EQ(still_before.load(), 1);
    EXPECT_EQ(still_after.load(), 1);
    // posted in the middle of a write (as no caller does): never whole
    present_desktop_writing();
    present_thread_post(job_of(1, 7));
    present_thread_drain();
    present_desktop_written();
    EXPECT_EQ(still_before.load(), 0);
}

// show() that notes when each frame was shown.
std::vector<std::pair<int, std::chrono::steady_clock::time_point>> shown_at;
void note_time(const present_job &job) {
    std::lock_guard<std::mutex> l(shown_lock);
    shown_at.emplace_back(job.width, std::chrono::steady_clock::now());
}

size_t pictures_so_far() {
    std::lock_guard<std::mutex> l(shown_lock);
    return shown_at.size();
}

TEST(PresentThread, PicturesComeAtMostOnceARefreshTheNewestFrameEach) {
    current_show = note_time;
    ASSERT_TRUE(present_thread_start(show, refresh_hz));
    present_thread_drain();
    shown_at.clear();
    present_thread_post(job_of(1, 20));
    for (int i = 0; i < 1000 && pictures_so_far() < 1; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(pictures_so_far(), 1u);
    // two frames right after: only the newer is shown, a refresh (50 ms)
    // after the first picture
    present_thread_post(job_of(1, 21));
    present_thread_post(job_of(1, 22));
    for (int i = 0; i < 1000 && pictures_so_far() < 2; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    std::lock_guard<std::mutex> l(shown_lock);
    ASSERT_EQ(shown_at.size(), 2u);
    EXPECT_EQ(shown_at[1].first, 22);
    EXPECT_GE(shown_at[1].second - shown_at[0].second, std::chrono::milliseconds(50));
}

}  // namespace
