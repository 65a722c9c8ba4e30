// The headless backend through a real program: message boxes and captions on
// standard error, standard input not a terminal, no video device.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct probe_result {
    int status;
    std::string out, err;
};

std::string read_file(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs the probe with `environment` (assignments) and stdin from /dev/null.
probe_result run_probe(const std::string &scenario, const std::string &environment = "") {
    // names of this process alone: tests run side by side
    static int runs = 0;
    std::string stem = testing::TempDir() + "probe_" + std::to_string(getpid()) + "_" +
                       std::to_string(runs++);
    std::string out = stem + "_out", err = stem + "_err";
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u LC_ALL -u LC_MESSAGES LANG=C "
                          "SDL_VIDEODRIVER=dummy " +
                          environment + " " HEADLESS_PROBE " " + scenario + " </dev/null >" +
                          out + " 2>" + err;
    int raw = std::system(command.c_str());
    probe_result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(out), read_file(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return result;
}

TEST(headless, boxes_are_written_with_icon_caption_and_indented_lines) {
    probe_result r = run_probe("boxes");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "[information] Message \n"
              "  line one\n"
              "  line two\n"
              "\n"
              "[error] Error 251\n"
              "  FAILURE\n"
              "\n"
              "[warning] IDirectDrawSurface_Blt\n"
              "  DDERR_SURFACELOST \n"
              "\n"
              "[information] plain\n"
              "  \n"
              "\n");
}

TEST(headless, captions_are_limited_and_the_last_echoed_at_destruction) {
    probe_result r = run_probe("captions");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "[caption] Standard Voxel Demo FPS: 1\n"
              "[caption] Standard Voxel Demo FPS: 3\n");
}

TEST(headless, texts_are_converted_from_the_locale_code_page) {
    probe_result r = run_probe("russian", "LANG=ru_RU.UTF-8");
    EXPECT_EQ(r.err, "[error] Ошибка 251\n  СБОЙ\n\n");
}

TEST(headless, display_depth_setting_is_reported_as_bits_per_pixel) {
    EXPECT_EQ(run_probe("depth").out, "32\n1\n");
    EXPECT_EQ(run_probe("depth", "PLATFORM_DISPLAY_DEPTH=8").out, "8\n1\n");
    EXPECT_EQ(run_probe("depth", "PLATFORM_DISPLAY_DEPTH=16-555").out, "16\n1\n");
    EXPECT_EQ(run_probe("depth", "PLATFORM_DISPLAY_DEPTH=15").out, "15\n1\n");
}

TEST(headless, settings_that_cannot_be_understood_are_reported_once) {
    probe_result r = run_probe("depth", "PLATFORM_DISPLAY_DEPTH=deep LANG=xx_YY.UTF-8");
    EXPECT_EQ(r.out, "32\n1\n");
    EXPECT_EQ(r.err,
              "platform: locale \"xx_YY.UTF-8\" is not understood; using 0x0409 (en_US)\n"
              "platform: PLATFORM_DISPLAY_DEPTH=deep is not understood; using 32\n");
}

TEST(headless, exit_process_ends_with_the_status) {
    EXPECT_EQ(run_probe("exit").status, 3);
}

TEST(headless, sleep_waits_real_time) {
    EXPECT_EQ(run_probe("sleep").out, "1\n");
}

}  // namespace
