// options.cpp - fir-bench's arguments, checked one by one.
#include "tools/fir_bench/options.h"

#include "tools/shared/speedups.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char usage[] = "usage: fir-bench [--iterations N] [--repeat R] [--kernels LIST] [--threads N|all] [--dump FILE]";

const char help[] =
    "usage: fir-bench [--iterations N] [--repeat R] [--kernels LIST] [--threads N|all] [--dump FILE]\n"
    "                 [--help] [--version]\n"
    "Times the FIR benchmark's scalar and vector kernels, the wider kernels this\n"
    "processor runs (avx, avx512, avx2-fma, avx512-fma) and the peer libraries\n"
    "liquid-dsp (liquid) and VOLK (volk) where they are installed: nanoseconds per\n"
    "call of 1024 outputs, the median of R runs of N calls each (defaults 4096 and\n"
    "15), and each kernel's speed-up over the scalar one; then the fastest kernel\n"
    "whose outputs are the four-lane kernel's bit for bit on N threads, with the\n"
    "summary of the speed-ups; last, each kernel's largest distance from the scalar\n"
    "kernel's outputs in units in the last place. A kernel this processor cannot run\n"
    "is named with the reason; a peer that is not installed is named as not found.\n"
    "  --kernels LIST   time only these (comma-separated names)\n"
    "  --threads N|all  run the fastest exact kernel on N threads, or on every\n"
    "                   processor, sharing out each run's calls (default 1)\n"
    "  --dump FILE      write x, h, the scalar y and the vector y as little-endian float32\n"
    "Exit status: 0 done, 1 the dump could not be written or threads' outputs were not\n"
    "the four-lane kernel's, 2 a bad argument.\n";

// --help and --version answer on standard output and end the program.
[[noreturn]] void answer_and_exit(const char *argument)
{
    std::fputs(std::strcmp(argument, "--version") == 0 ? "fir-bench " DEMOS_VERSION "\n" : help, stdout);
    std::exit(0);
}

[[noreturn]] void bad_argument(const char *what, const char *value)
{
    std::fprintf(stderr, "fir-bench: %s '%s' (%s)\n", what, value, usage);
    std::exit(2);
}

long whole_number(const char *option, const char *text, long limit)
{
    char *end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 1 || value > limit) {
        std::fprintf(stderr, "fir-bench: %s needs a whole number from 1 to %ld, not '%s'\n", option, limit,
                     text);
        std::exit(2);
    }
    return value;
}

int thread_count(const char *text)
{
    int threads = 1;
    if (!parse_threads(text, &threads)) {
        std::fprintf(stderr, "fir-bench: --threads needs all or a whole number from 1 to %d, not '%s'\n", max_threads,
                     text);
        std::exit(2);
    }
    return threads;
}

// The names of a comma-separated list, each one of `known`.
std::vector<std::string> name_list(const char *text, const std::vector<std::string> &known)
{
    std::vector<std::string> names;
    std::string list = text;
    for (std::size_t start = 0;;) {
        std::size_t comma = list.find(',', start);
        std::string name = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (std::find(known.begin(), known.end(), name) == known.end())
            bad_argument("unknown kernel", name.c_str());
        names.push_back(name);
        if (comma == std::string::npos)
            return names;
        start = comma + 1;
    }
}

}  // namespace

bench_options parse_bench_options(int argc, char **argv, const std::vector<std::string> &known)
{
    bench_options options;
    for (int k = 1; k < argc; k++) {
        const char *argument = argv[k];
        if (!std::strcmp(argument, "--help") || !std::strcmp(argument, "-h") || !std::strcmp(argument, "--version"))
            answer_and_exit(argument);
        bool takes_value = !std::strcmp(argument, "--iterations") || !std::strcmp(argument, "--repeat") ||
                           !std::strcmp(argument, "--kernels") || !std::strcmp(argument, "--threads") ||
                           !std::strcmp(argument, "--dump");
        if (!takes_value)
            bad_argument("unknown argument", argument);
        if (k + 1 >= argc)
            bad_argument("missing value after", argument);
        const char *value = argv[++k];
        if (!std::strcmp(argument, "--iterations"))
            options.iterations = whole_number(argument, value, 100000000);
        else if (!std::strcmp(argument, "--repeat"))
            options.repeat = whole_number(argument, value, 10001);
        else if (!std::strcmp(argument, "--kernels"))
            options.chosen = name_list(value, known);
        else if (!std::strcmp(argument, "--threads"))
            options.threads = thread_count(value);
        else if (*value == '\0')
            bad_argument("empty file name after", argument);
        else
            options.dump = value;
    }
    return options;
}

bool bench_chosen(const bench_options &options, const std::string &name)
{
    return options.chosen.empty() ||
           std::find(options.chosen.begin(), options.chosen.end(), name) != options.chosen.end();
}
