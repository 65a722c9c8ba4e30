// options.h - fir-bench's command line.
//
//   fir-bench [--iterations N] [--repeat R] [--kernels LIST] [--threads N|all] [--dump FILE]
//   fir-bench --help | -h | --version
//
// LIST is a comma-separated choice among the names `known` offers (the
// kernels and the peers fir-bench knows); without --kernels all of them run. Bad
// arguments end the process: one line on standard error and status 2;
// --help and --version answer on standard output and end it with status 0.
#pragma once
#include <string>
#include <vector>

struct bench_options {
    long iterations = 4096;
    long repeat = 15;
    int threads = 1;   // for the fastest exact kernel
    const char *dump = nullptr;
    std::vector<std::string> chosen;   // the LIST's names; empty: every name
};

bench_options parse_bench_options(int argc, char **argv, const std::vector<std::string> &known);

// Whether the options let the subject of that name run.
bool bench_chosen(const bench_options &options, const std::string &name);
