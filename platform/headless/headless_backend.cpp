// headless_backend.cpp - no window system: message boxes and window captions
// go to standard error, surfaces live in memory, time is the real clock.
//
// A box is written as "[<icon>] <caption>", then each line of its text
// indented by two spaces, then a blank line; when standard input is a
// terminal it then asks for Enter on that terminal and waits for it,
// otherwise it counts as acknowledged at once. Captions are echoed as
// "[caption] <text>" at most twice a second (on a terminal as one status line
// redrawn in place), and the last one once more when its window is destroyed.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/backend.h"
#include "platform/settings.h"

namespace plat {
namespace {

constexpr uint32_t caption_interval_ms = 500;

struct headless_record {
    bool status_line_open = false;  // a caption line on the terminal not yet ended
    bool echoed_once = false;
    uint32_t last_echo = 0;
    std::string last_caption;       // UTF-8
} headless;

bool stderr_is_terminal() { return isatty(STDERR_FILENO) == 1; }

void end_status_line() {
    if (!headless.status_line_open) return;
    fputc('\n', stderr);
    headless.status_line_open = false;
}

void end_status_line_at_exit() {
    end_status_line();
    fflush(stderr);
}

const char *icon_name(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return "error";
    case MB_ICONWARNING: return "warning";
    default: return "information";  // also a box without an icon
    }
}

// On a terminal the user acknowledges a box with Enter, asked for on that
// terminal itself, so that a redirected standard error stays as it was.
void wait_for_enter() {
    if (isatty(STDIN_FILENO) != 1) return;
    const char *terminal = ttyname(STDIN_FILENO);
    if (FILE *prompt = terminal ? fopen(terminal, "w") : nullptr) {
        fputs("Press Enter to continue.", prompt);
        fclose(prompt);
    }
    int c;
    while ((c = getchar()) != EOF && c != '\n') {
    }
}

void headless_message_box(const box_request &box) {
    end_status_line();
    std::string out = "[" + std::string(icon_name(box.type)) + "] " + box.caption_utf8 + "\n";
    size_t start = 0;
    const std::string &text = box.text_utf8;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out += "  " + text.substr(start, end - start) + "\n";
        start = end + 1;
    }
    out += "\n";
    fputs(out.c_str(), stderr);
    fflush(stderr);
    wait_for_enter();
}

void echo_caption(const std::string &text, bool final) {
    if (stderr_is_terminal()) {
        fprintf(stderr, "\r\033[K[caption] %s", text.c_str());
        headless.status_line_open = true;
        if (final) end_status_line();
    } else {
        fprintf(stderr, "[caption] %s\n", text.c_str());
    }
    fflush(stderr);
}

void headless_caption_changed(HWND, window &w) {
    headless.last_caption = code_page_to_utf8(w.caption.c_str(),
                                              code_page_of_locale(state.machine.locale_id));
    uint32_t now = real_milliseconds();
    if (headless.echoed_once && now - headless.last_echo < caption_interval_ms) return;
    headless.echoed_once = true;
    headless.last_echo = now;
    echo_caption(headless.last_caption, false);
}

void headless_window_destroyed(HWND, window &) {
    if (headless.echoed_once) echo_caption(headless.last_caption, true);
}

void headless_window_created(HWND, window &) {
    static bool registered = false;
    if (!registered) atexit(end_status_line_at_exit);
    registered = true;
}

void no_window_change(HWND, window &) {}
void nothing_outside() {}
// No input ever arrives: waiting is a short sleep, and the caller looks again.
bool nothing_shown(HWND, window &) { return false; }

void headless_wait() { real_sleep(10); }
uint32_t headless_milliseconds(bool) { return real_milliseconds(); }
void headless_exit(int status) {
    end_status_line_at_exit();
    exit(status);
}

}  // namespace

const platform_backend headless_backend = {
    "headless",
    nothing_outside,
    headless_wait,
    nullptr,
    headless_message_box,
    headless_window_created,
    no_window_change,
    headless_caption_changed,
    headless_window_destroyed,
    nothing_shown,
    headless_milliseconds,
    real_nanoseconds,
    real_nanoseconds_per_second,
    real_sleep,
    headless_exit,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace plat
