// fir-bench run as a program: its figure lines, the choice of kernels, its
// dump file byte for byte, and its answers to bad arguments and to a dump it
// cannot write.
#include "fir_test_data.h"
#include "tools/fir_bench/wide.h"
#include "tools/shared/threads.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct tool_run {
    int status = -1;
    std::string out, err;
};

std::string read_file(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A file of the running test's own, so that tests running side by side do
// not share one.
std::string scratch_path(const std::string &name)
{
    const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "fir_bench_test_" + test->name() + "_" + name;
}

// The value after "<key>=" up to the end or a blank, if it is a decimal
// number with exactly `decimals` digits after the point.
bool figure(const std::string &line, const std::string &key, int decimals, double *value)
{
    std::size_t at = line.find(key + "=");
    if (at == std::string::npos || (at > 0 && line[at - 1] != ' '))
        return false;
    std::string text = line.substr(at + key.size() + 1);
    text = text.substr(0, text.find(' '));
    std::size_t point = text.find('.');
    if (point == std::string::npos || point == 0 || text.size() - point - 1 != static_cast<std::size_t>(decimals))
        return false;
    for (std::size_t k = 0; k < text.size(); k++)
        if (k != point && (text[k] < '0' || text[k] > '9'))
            return false;
    *value = std::stod(text);
    return true;
}

// Runs fir-bench (or another build of it) with the arguments (each quoted)
// and collects its streams.
tool_run run_tool(const std::vector<std::string> &arguments, const char *program = FIR_BENCH_PATH)
{
    std::string command = program;
    for (const std::string &argument : arguments)
        command += " '" + argument + "'";
    std::string out = scratch_path("stdout"), err = scratch_path("stderr");
    command += " >" + out + " 2>" + err + " </dev/null";
    tool_run run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = read_file(out);
    run.err = read_file(err);
    return run;
}

// Little-endian float32 bytes of a run of floats.
std::string le_bytes(const float *values, int count)
{
    std::string bytes;
    for (int k = 0; k < count; k++) {
        uint32_t word = float_bits(values[k]);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>(word >> shift));
    }
    return bytes;
}

// The largest distance of the four-lane kernel's outputs from the scalar
// kernel's, in floats between them (all outputs of the block are positive).
long long four_lane_ulps()
{
    generated_block block;
    std::vector<float> scalar(fir::sample_count);
    fir_scalar(block.input.data(), fir::sample_count, block.taps.data(), fir::tap_count, scalar.data());
    vector_buffers buffers(block.input.data(), block.taps.data());
    fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);
    long long largest = 0;
    for (int i = 0; i < fir::sample_count; i++) {
        long long distance = static_cast<long long>(float_bits(buffers.output[i])) - float_bits(scalar[i]);
        largest = std::max(largest, distance < 0 ? -distance : distance);
    }
    return largest;
}

// A wide kernel's line: "name_ns=X vs_vector=S speedup=Z [variant=V]"
// with S the four-lane kernel's time over X and Z the scalar kernel's (of
// one repeat: the ratios are the medians of the repeats' own), or "name:
// not supported here (reason)" where it cannot run.
void expect_wide_line(const std::string &line, const fir_wide_kernel &kernel, double vector_ns, double scalar_ns)
{
    if (!fir_wide_supported(kernel)) {
        EXPECT_EQ(line, std::string(kernel.name) + ": not supported here (" + fir_wide_missing(kernel) + ")");
        return;
    }
    double ns = 0, ratio = 0, speedup = 0;
    ASSERT_TRUE(figure(line, std::string(kernel.name) + "_ns", 1, &ns) && figure(line, "vs_vector", 2, &ratio))
        << line;
    EXPECT_EQ(line.rfind(std::string(kernel.name) + "_ns=", 0), 0u) << line;
    EXPECT_GT(ns, 0.0);
    EXPECT_NEAR(ratio, vector_ns / ns, 0.01 + 0.05 * vector_ns / (ns * ns)) << line;
    if (scalar_ns > 0) {
        ASSERT_TRUE(figure(line, "speedup", 2, &speedup)) << line;
        EXPECT_NEAR(speedup, scalar_ns / ns, 0.01 + 0.05 * scalar_ns / (ns * ns)) << line;
    }
    // a kernel built in variants names the one its trial chose
    std::string variants;
    for (int v = 0; v < kernel.variant_count; v++)
        if (line.size() > line.rfind(' ') && line.substr(line.rfind(' ')) == std::string(" variant=") + kernel.variants[v].name)
            variants = kernel.variants[v].name;
    EXPECT_EQ(variants.empty(), kernel.variant_count == 0) << line;
}

// The summary at the end of a line without its figures: "(8.6x from 4
// lanes, 17.1x on 3 cores)" gives "(from 4 lanes, on 3 cores)".
std::string summary_words(const std::string &line)
{
    std::istringstream parts(line.substr(line.find('(') + 1));
    std::string words;
    for (std::string word; parts >> word;)
        if (word.back() != 'x' || word.find_first_not_of("0123456789.", 0) != word.size() - 1)
            words += (words.empty() ? "" : " ") + word;
    return "(" + words;
}

// The fastest line: "fastest_ns=X kernel=K threads=T speedup=Z [gain=G
// plain_gain=P] (Ax from 4 lanes, ... Bx on T cores)", the summary naming
// the exact kernels that run here and, on more than one thread, the
// threads.
void expect_fastest_line(const std::string &line, double scalar_ns, int threads)
{
    double ns = 0, speedup = 0;
    ASSERT_TRUE(line.rfind("fastest_ns=", 0) == 0 && figure(line, "fastest_ns", 1, &ns) &&
                figure(line, "speedup", 2, &speedup))
        << line;
    // on one thread and one repeat the ratio of the figures; on several the
    // kernel's own speed-up times the threads' gain over it
    if (threads == 1) {
        EXPECT_NEAR(speedup, scalar_ns / ns, 0.01 + 0.05 * scalar_ns / (ns * ns)) << line;
    }
    // and then "gain=G plain_gain=P" before the summary
    double gain = 0, plain_gain = 0;
    if (threads > 1) {
        EXPECT_TRUE(speedup > 0.0 && figure(line, "gain", 2, &gain) && figure(line, "plain_gain", 2, &plain_gain) &&
                    line.find(" gain=") < line.find(" plain_gain=") && line.find(" plain_gain=") < line.find(" ("))
            << line;
    } else {
        EXPECT_EQ(line.find("gain="), std::string::npos) << line;
    }
    EXPECT_NE(line.find(" threads=" + std::to_string(threads) + " "), std::string::npos) << line;
    std::string summary = "(from 4 lanes";
    if (fir_wide_supported(*fir_wide_find("avx")))
        summary += ", from 8 lanes";
    if (fir_wide_supported(*fir_wide_find("avx512")))
        summary += ", from 16 lanes";
    if (threads > 1)
        summary += ", on " + std::to_string(threads) + (threads <= processor_count() ? " cores" : " threads");
    EXPECT_EQ(summary_words(line), summary + ")") << line;
}

// "ulps_from_scalar:" and " name=U" for the vector kernel and each wide one
// that runs here: avx and avx512 as far as the four-lane kernel, the fused
// ones a few units at most.
std::string expect_ulps_line(const std::string &line, const std::vector<std::string> &wide_names)
{
    std::string four_lane = std::to_string(four_lane_ulps());
    std::string expected = "ulps_from_scalar: vector=" + four_lane;
    for (const std::string &name : wide_names) {
        if (!fir_wide_supported(*fir_wide_find(name.c_str())))
            continue;
        std::string value = four_lane;
        if (name.find("fma") != std::string::npos) {
            std::size_t at = line.find(" " + name + "=");
            value = at == std::string::npos ? "?" : line.substr(at + name.size() + 2, 1);
            EXPECT_TRUE(value >= "0" && value <= "3") << name << " in " << line;
        }
        expected += " " + name + "=" + value;
    }
    return expected;
}

// Whether this system has the shared library, as fir-bench looks for it.
bool installed(const char *library)
{
    void *handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

// A peer's line: "name_ns=X" where its library is installed, else
// "name: not found (library)".
void expect_peer_line(const std::string &line, const std::string &name, const char *library)
{
    if (!installed(library)) {
        EXPECT_EQ(line, name + ": not found (" + library + ")");
        return;
    }
    double ns = 0;
    EXPECT_TRUE(line.rfind(name + "_ns=", 0) == 0 && figure(line, name + "_ns", 1, &ns)) << line;
}

TEST(fir_bench_tool, prints_every_kernel_then_each_peer_then_the_distances_from_scalar)
{
    tool_run run = run_tool({"--iterations", "3", "--repeat", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::istringstream lines(run.out);
    std::string first;
    std::getline(lines, first);
    double scalar = 0, vector = 0, speedup = 0;
    ASSERT_TRUE(figure(first, "scalar_ns", 1, &scalar) && figure(first, "vector_ns", 1, &vector) &&
                figure(first, "speedup", 2, &speedup))
        << first;
    EXPECT_EQ(first.rfind("scalar_ns=", 0), 0u) << first;
    EXPECT_EQ(std::count(first.begin(), first.end(), ' '), 2) << first;
    EXPECT_GT(vector, 0.0);
    EXPECT_NEAR(speedup, scalar / vector, 0.01 + 0.05 * scalar / (vector * vector));

    std::vector<std::string> wide_names;
    for (const fir_wide_kernel &kernel : fir_wide_kernels) {
        std::string line;
        std::getline(lines, line);
        expect_wide_line(line, kernel, vector, scalar);
        wide_names.push_back(kernel.name);
    }
    std::string line;
    std::getline(lines, line);
    expect_fastest_line(line, scalar, 1);
    std::getline(lines, line);
    expect_peer_line(line, "liquid", "libliquid.so.1");
    std::getline(lines, line);
    expect_peer_line(line, "volk", "libvolk.so.2.5");
    std::getline(lines, line);
    EXPECT_EQ(line, expect_ulps_line(line, wide_names));
    EXPECT_FALSE(std::getline(lines, line)) << "after the distances: " << line;
}

// --kernels: only the named ones, in the usual order; vector alone on its line.
TEST(fir_bench_tool, kernels_option_times_only_the_named_kernels)
{
    tool_run run = run_tool({"--iterations", "3", "--repeat", "1", "--kernels", "avx512,vector"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    double vector = 0;
    std::getline(lines, line);
    ASSERT_TRUE(figure(line, "vector_ns", 1, &vector) && line.rfind("vector_ns=", 0) == 0 &&
                line.find(' ') == std::string::npos)
        << line;
    std::getline(lines, line);
    expect_wide_line(line, *fir_wide_find("avx512"), vector, 0.0);
    std::getline(lines, line);
    EXPECT_EQ(line, expect_ulps_line(line, {"avx512"}));
    EXPECT_FALSE(std::getline(lines, line)) << "unexpected line: " << line;
}

// Without the peer libraries fir-bench still runs, and names each one it
// did not find in place of its figure.
TEST(fir_bench_tool, names_the_peers_whose_libraries_are_missing)
{
    tool_run run = run_tool({"--iterations", "3", "--repeat", "1", "--kernels", "volk,vector,liquid"},
                            FIR_BENCH_NO_PEERS_PATH);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::istringstream lines(run.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("vector_ns=", 0), 0u) << line;
    std::getline(lines, line);
    EXPECT_EQ(line, "liquid: not found (/nonexistent/libliquid.so.1)");
    std::getline(lines, line);
    EXPECT_EQ(line, "volk: not found (/nonexistent/libvolk.so.2.5)");
    std::getline(lines, line);
    EXPECT_EQ(line, expect_ulps_line(line, {}));
    EXPECT_FALSE(std::getline(lines, line)) << "unexpected line: " << line;
}

// On several threads the fastest exact kernel's runs are shared out, every
// thread's outputs must be the four-lane kernel's, and the summary ends with
// the threads; fewer calls a run than threads leave some threads idle.
TEST(fir_bench_tool, threads_run_the_fastest_exact_kernel_on_every_core)
{
    for (const char *iterations : {"40", "2"}) {
        tool_run run = run_tool({"--iterations", iterations, "--repeat", "2", "--threads", "3", "--kernels",
                                 "scalar,vector,avx,avx512"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        std::istringstream lines(run.out);
        std::string line;
        std::getline(lines, line);
        double scalar = 0;
        ASSERT_TRUE(figure(line, "scalar_ns", 1, &scalar)) << line;
        std::getline(lines, line);
        std::getline(lines, line);
        std::getline(lines, line);
        expect_fastest_line(line, scalar, 3);
    }
}

TEST(fir_bench_tool, dump_holds_input_taps_and_both_outputs_as_little_endian_float32)
{
    std::string path = scratch_path("dump.f32");
    std::remove(path.c_str());
    tool_run run = run_tool({"--iterations", "1", "--repeat", "1", "--dump", path});
    ASSERT_EQ(run.status, 0) << run.err;

    generated_block block;
    std::vector<float> scalar(fir::sample_count);
    fir_scalar(block.input.data(), fir::sample_count, block.taps.data(), fir::tap_count, scalar.data());
    vector_buffers buffers(block.input.data(), block.taps.data());
    fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);

    std::string expected = le_bytes(block.input.data(), fir::sample_count) +
                           le_bytes(block.taps.data(), fir::tap_count) +
                           le_bytes(scalar.data(), fir::sample_count) + le_bytes(buffers.output, fir::sample_count);
    std::string dump = read_file(path);
    EXPECT_EQ(dump.size(), 4u * (1024 + 16 + 1024 + 1024));
    EXPECT_TRUE(dump == expected) << "dump differs from the kernels' data";
    std::remove(path.c_str());
}

TEST(fir_bench_tool, bad_arguments_give_one_line_on_stderr_and_status_2)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},          {"--iterations"},         {"--iterations", "0"},  {"--iterations", "12x"},
        {"--iterations", ""}, {"--repeat", "-1"},       {"--repeat", "99999999999999999999"},
        {"--dump"},           {"--dump", ""},           {"extra"},
        {"--kernels", "avx1024"}, {"--kernels", ""},    {"--kernels", "avx,"},  {"--kernels"},
        {"--threads", "0"},   {"--threads", "1025"},    {"--threads", "al"},    {"--threads"},
    };
    for (const auto &arguments : cases) {
        tool_run run = run_tool(arguments);
        std::string shown = arguments[0] + (arguments.size() > 1 ? " " + arguments[1] : "");
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_EQ(run.err.rfind("fir-bench: ", 0), 0u) << shown << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << ": " << run.err;
        EXPECT_EQ(run.err.back(), '\n') << shown;
    }
}

TEST(fir_bench_tool, help_and_version_answer_on_stdout_with_status_0)
{
    tool_run run = run_tool({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: fir-bench [--iterations N] [--repeat R] [--kernels LIST] [--threads N|all] "
                            "[--dump FILE]",
                            0),
              0u)
        << run.out;
    EXPECT_EQ(run.err, "");
    run = run_tool({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "fir-bench " DEMOS_VERSION "\n");
}

TEST(fir_bench_tool, dump_that_cannot_be_written_gives_status_1)
{
    tool_run run = run_tool({"--iterations", "1", "--repeat", "1", "--dump", "/nonexistent-dir/dump.f32"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "fir-bench: cannot write /nonexistent-dir/dump.f32: No such file or directory\n");
}

}  // namespace
