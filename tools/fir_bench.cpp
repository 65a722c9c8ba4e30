// fir-bench - the exact per-call times of the FIR benchmark's two kernels
// (and of the peer libraries the build found) that the demo's result box
// rounds to whole seconds.
//
//   fir-bench [--iterations N] [--repeat R] [--dump FILE] [--help] [--version]
//
// Prints "scalar_ns=X vector_ns=Y speedup=Z": nanoseconds per call of each
// kernel (1024 outputs), the median over R timed runs of N calls; then one
// "<peer>_ns=X" line per peer, timed the same way. Within each repeat the
// kernels and peers take turns. --dump FILE writes, as little-endian float32
// and nothing else, x[0..1023], h[0..15], the scalar kernel's y[0..1023] and
// the vector kernel's y[0..1023] after one call each. Bad arguments: one line
// on standard error and status 2; a dump that cannot be written: status 1.
// --help (usage) and --version answer on standard output with status 0.
#include "fir/bench/fir_kernels.h"
#include "tools/fir_bench_peers.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char usage[] = "usage: fir-bench [--iterations N] [--repeat R] [--dump FILE]";

const char help[] =
    "usage: fir-bench [--iterations N] [--repeat R] [--dump FILE] [--help] [--version]\n"
    "Times the FIR benchmark's scalar and vector kernels (and the peer libraries\n"
    "the build found): nanoseconds per call of 1024 outputs, the median of R runs\n"
    "of N calls each (defaults 4096 and 15).\n"
    "  --dump FILE   write x, h, the scalar y and the vector y as little-endian float32\n"
    "Exit status: 0 done, 1 the dump could not be written, 2 a bad argument.\n";

// --help and --version answer on standard output and end the program.
void answer_and_exit(const char *argument)
{
    std::fputs(std::strcmp(argument, "--version") == 0 ? "fir-bench " DEMOS_VERSION "\n" : help, stdout);
    std::exit(0);
}

struct bench_options {
    long iterations = 4096;
    long repeat = 15;
    const char *dump = nullptr;
};

// The benchmark block and both kernels' buffers.
struct bench_state {
    float input[fir::sample_count];
    float taps[fir::tap_count];
    float scalar_output[fir::sample_count];
    float *padded_input, *coef_block, *vector_output;
    void *mem_ptr[3];
} bench;

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

bench_options parse_arguments(int argc, char **argv)
{
    bench_options options;
    for (int k = 1; k < argc; k++) {
        const char *argument = argv[k];
        if (!std::strcmp(argument, "--help") || !std::strcmp(argument, "-h") || !std::strcmp(argument, "--version"))
            answer_and_exit(argument);
        bool takes_value = !std::strcmp(argument, "--iterations") || !std::strcmp(argument, "--repeat") ||
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
        else if (*value == '\0')
            bad_argument("empty file name after", argument);
        else
            options.dump = value;
    }
    return options;
}

void run_scalar()
{
    fir_scalar(bench.input, fir::sample_count, bench.taps, fir::tap_count, bench.scalar_output);
}

void run_vector()
{
    fir_vector(bench.padded_input, fir::sample_count, bench.coef_block, bench.vector_output);
}

// One timed subject: a kernel or a peer, and its nanoseconds per call in
// each repeat.
struct timed_call {
    void (*call)();
    std::vector<double> per_call;
};

// Times `iterations` calls of every subject per repeat, the subjects taking
// turns within each repeat so that a busy machine slows them alike.
void time_in_turns(std::vector<timed_call> &subjects, const bench_options &options)
{
    using clock = std::chrono::steady_clock;
    for (timed_call &subject : subjects)
        subject.call();   // warm the caches and the branch predictors
    for (long r = 0; r < options.repeat; r++) {
        for (timed_call &subject : subjects) {
            auto start = clock::now();
            for (long k = 0; k < options.iterations; k++)
                subject.call();
            std::chrono::duration<double, std::nano> elapsed = clock::now() - start;
            subject.per_call.push_back(elapsed.count() / static_cast<double>(options.iterations));
        }
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Appends floats as little-endian 32-bit words.
void put_floats(std::vector<unsigned char> &bytes, const float *values, int count)
{
    for (int k = 0; k < count; k++) {
        uint32_t word;
        std::memcpy(&word, &values[k], sizeof word);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(word >> shift));
    }
}

void write_dump(const char *path)
{
    std::vector<unsigned char> bytes;
    put_floats(bytes, bench.input, fir::sample_count);
    put_floats(bytes, bench.taps, fir::tap_count);
    put_floats(bytes, bench.scalar_output, fir::sample_count);
    put_floats(bytes, bench.vector_output, fir::sample_count);

    std::FILE *file = std::fopen(path, "wb");
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0)
        written = false;
    if (!written) {
        std::fprintf(stderr, "fir-bench: cannot write %s: %s\n", path, std::strerror(errno));
        std::exit(1);
    }
}

// A peer whose outputs stray from the scalar kernel's is reported, since its
// time would then not be for the same filter.
void check_peer_output(const fir_peer &peer)
{
    const float *output = peer.output();
    for (int i = 0; i < fir::sample_count; i++) {
        double reference = bench.scalar_output[i];
        if (std::fabs(output[i] - reference) > 1e-5 * std::fabs(reference) + 1e-6) {
            std::fprintf(stderr, "fir-bench: %s output %d is %.9g, the scalar kernel's %.9g\n", peer.name, i,
                         output[i], reference);
            return;
        }
    }
}

}  // namespace

int main(int argc, char **argv)
{
    bench_options options = parse_arguments(argc, argv);

    // The demo's block and buffers, then one call of each kernel.
    fir_make_data(bench.input, bench.taps);
    fir_prepare_vector(bench.input, &bench.padded_input, bench.taps, &bench.coef_block, &bench.vector_output,
                       bench.mem_ptr);
    fir_clear(reinterpret_cast<uint32_t *>(bench.vector_output), fir::sample_count);
    run_scalar();
    run_vector();
    if (options.dump)
        write_dump(options.dump);

    // The peers set up (and checked against the scalar kernel) beside the
    // kernels, then everything timed in turns.
    const fir_peer *peers = nullptr;
    int peer_count = fir_bench_peers(&peers);
    std::vector<timed_call> subjects = {{run_scalar, {}}, {run_vector, {}}};
    for (int k = 0; k < peer_count; k++) {
        peers[k].prepare(bench.input, bench.taps);
        peers[k].run();
        check_peer_output(peers[k]);
        subjects.push_back({peers[k].run, {}});
    }
    time_in_turns(subjects, options);

    double scalar_ns = median(subjects[0].per_call);
    double vector_ns = median(subjects[1].per_call);
    std::printf("scalar_ns=%.1f vector_ns=%.1f speedup=%.2f\n", scalar_ns, vector_ns, scalar_ns / vector_ns);
    for (int k = 0; k < peer_count; k++) {
        std::printf("%s_ns=%.1f\n", peers[k].name, median(subjects[2 + k].per_call));
        peers[k].release();
    }

    for (void *block : bench.mem_ptr)
        std::free(block);
    return 0;
}
