// fir-bench run as a program: its figure lines, its dump file byte for byte,
// and its answers to bad arguments and to a dump it cannot write.
#include "fir_test_data.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <regex>
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

std::string scratch_path(const std::string &name)
{
    return ::testing::TempDir() + "fir_bench_test_" + name;
}

// Runs fir-bench with the arguments (each quoted) and collects its streams.
tool_run run_tool(const std::vector<std::string> &arguments)
{
    std::string command = FIR_BENCH_PATH;
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

TEST(fir_bench_tool, prints_scalar_vector_and_speedup_then_one_line_per_peer)
{
    tool_run run = run_tool({"--iterations", "3", "--repeat", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::istringstream lines(run.out);
    std::string first;
    std::getline(lines, first);
    std::smatch figures;
    ASSERT_TRUE(std::regex_match(first, figures,
                                 std::regex("scalar_ns=([0-9]+\\.[0-9]) vector_ns=([0-9]+\\.[0-9]) "
                                            "speedup=([0-9]+\\.[0-9]{2})")))
        << first;
    double scalar = std::stod(figures[1]), vector = std::stod(figures[2]), speedup = std::stod(figures[3]);
    EXPECT_GT(vector, 0.0);
    EXPECT_NEAR(speedup, scalar / vector, 0.01 + 0.05 * scalar / (vector * vector));
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(std::regex_match(line, std::regex("(liquid|volk)_ns=[0-9]+\\.[0-9]"))) << line;
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
    };
    for (const auto &arguments : cases) {
        tool_run run = run_tool(arguments);
        std::string shown = arguments[0] + (arguments.size() > 1 ? " " + arguments[1] : "");
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_TRUE(std::regex_match(run.err, std::regex("fir-bench: [^\n]+\n"))) << shown << ": " << run.err;
    }
}

TEST(fir_bench_tool, dump_that_cannot_be_written_gives_status_1)
{
    tool_run run = run_tool({"--iterations", "1", "--repeat", "1", "--dump", "/nonexistent-dir/dump.f32"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "fir-bench: cannot write /nonexistent-dir/dump.f32: No such file or directory\n");
}

}  // namespace
