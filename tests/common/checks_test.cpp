// check_operating_system over version records, and check_vector_unit with
// the invalid-operation exception masked and unmasked.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <xmmintrin.h>

#include "common/checks.h"
#include "platform/script/script.h"

namespace {

int check_with(DWORD platform, DWORD major, DWORD minor, const char *service_pack) {
    script_settings settings;
    settings.version.dwPlatformId = platform;
    settings.version.dwMajorVersion = major;
    settings.version.dwMinorVersion = minor;
    snprintf(settings.version.szCSDVersion, sizeof settings.version.szCSDVersion, "%s", service_pack);
    script_start(settings);
    int answer = check_operating_system();
    script_stop();
    return answer;
}

TEST(check_operating_system, nt_4_0_with_service_pack_4_passes) {
    EXPECT_EQ(check_with(2, 4, 0, "Service Pack 4"), 1);
}

TEST(check_operating_system, minor_version_and_build_are_not_looked_at) {
    EXPECT_EQ(check_with(2, 4, 7, "Service Pack 4"), 1);
}

TEST(check_operating_system, any_other_service_pack_text_fails) {
    EXPECT_EQ(check_with(2, 4, 0, "Service Pack 5"), 0);
    EXPECT_EQ(check_with(2, 4, 0, "Service Pack 6a"), 0);
    EXPECT_EQ(check_with(2, 4, 0, "service pack 4"), 0);
    EXPECT_EQ(check_with(2, 4, 0, ""), 0);
    EXPECT_EQ(check_with(2, 4, 0, "Service Pack 4 "), 0);
    EXPECT_EQ(check_with(2, 4, 0, "Service Pack 3"), 0);
}

TEST(check_operating_system, windows_2000_fails) {
    EXPECT_EQ(check_with(2, 5, 0, "Service Pack 4"), 0);
}

TEST(check_operating_system, windows_98_fails) {
    EXPECT_EQ(check_with(1, 4, 10, "Service Pack 4"), 0);
}

TEST(check_operating_system, failing_version_query_answers_0) {
    script_start();
    script_fail(script_op::get_version, E_FAIL);
    EXPECT_EQ(check_operating_system(), 0);
    EXPECT_EQ(check_operating_system(), 1);
    script_stop();
}

TEST(check_operating_system, the_platform_itself_reports_nt_4_0_sp4) {
    script_start();
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(version.dwPlatformId, 2u);
    EXPECT_EQ(version.dwMajorVersion, 4u);
    EXPECT_EQ(version.dwMinorVersion, 0u);
    EXPECT_EQ(version.dwBuildNumber, 1381u);
    EXPECT_STREQ(version.szCSDVersion, "Service Pack 4");
    EXPECT_EQ(check_operating_system(), 1);
    script_stop();
}

TEST(check_vector_unit, answers_1_with_exceptions_masked) {
    unsigned int before = _mm_getcsr();
    _mm_setcsr(0x1F80);
    EXPECT_EQ(check_vector_unit(), 1);
    EXPECT_EQ(_mm_getcsr(), 0x1F80u);  // the 0 / 0 leaves no flag behind
    _mm_setcsr(before);
}

TEST(check_vector_unit, answers_0_with_invalid_operation_unmasked) {
    unsigned int before = _mm_getcsr();
    unsigned int unmasked = 0x1F80 & ~0x0080u;  // clear the invalid-operation mask
    _mm_setcsr(unmasked);
    int answer = check_vector_unit();
    unsigned int after = _mm_getcsr();
    _mm_setcsr(before);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(after, unmasked);
}

void earlier_handler(int) {}

TEST(check_vector_unit, restores_earlier_signal_handlers) {
    struct sigaction mine = {}, old_ill, old_fpe, now;
    mine.sa_handler = earlier_handler;
    sigaction(SIGILL, &mine, &old_ill);
    sigaction(SIGFPE, &mine, &old_fpe);
    unsigned int before = _mm_getcsr();
    _mm_setcsr(0x1F00);
    check_vector_unit();
    _mm_setcsr(before);
    sigaction(SIGFPE, nullptr, &now);
    EXPECT_EQ(now.sa_handler, earlier_handler);
    sigaction(SIGILL, nullptr, &now);
    EXPECT_EQ(now.sa_handler, earlier_handler);
    sigaction(SIGILL, &old_ill, nullptr);
    sigaction(SIGFPE, &old_fpe, nullptr);
}

TEST(check_vector_unit, can_run_again_after_a_fault) {
    unsigned int before = _mm_getcsr();
    _mm_setcsr(0x1F00);
    EXPECT_EQ(check_vector_unit(), 0);
    _mm_setcsr(0x1F80);
    EXPECT_EQ(check_vector_unit(), 1);
    _mm_setcsr(0x1F00);
    EXPECT_EQ(check_vector_unit(), 0);
    _mm_setcsr(before);
}

}  // namespace
