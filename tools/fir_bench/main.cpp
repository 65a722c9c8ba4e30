// fir-bench - the exact per-call times of the FIR benchmark's kernels (and of
// the peer libraries installed on the system) whose whole runs the demo's
// result box shows to the millisecond.
//
//   fir-bench [--iterations N] [--repeat R] [--kernels LIST] [--threads N|all] [--dump FILE]
//             [--help] [--version]
//
// Prints "scalar_ns=X vector_ns=Y speedup=Z": nanoseconds per call of each
// kernel (1024 outputs), the median over R timed runs of N calls; then one
// "<kernel>_ns=X vs_vector=S speedup=Z" line per wide kernel (S: how many
// times as fast as the four-lane kernel, Z as the scalar one), or
// "<kernel>: not supported here (<reason>)" for one this processor or
// system cannot run; then "fastest_ns=X kernel=K threads=T speedup=Z
// (...)", the fastest kernel whose outputs are the four-lane kernel's bit for
// bit on T threads (--threads, default 1; the calls of each timed run shared
// out among them), with the summary of the speed-ups over the scalar kernel
// from 4, 8 and 16 lanes and on T cores (on several threads, before the
// summary, "gain=G plain_gain=P": how much faster the threads ran than the
// kernel on one, and a plain compute loop's gain on as many threads, its
// yardstick); then one "<peer>_ns=X" line per
// peer, timed the same way, or "<peer>: not found (<library>)" for one whose
// shared library this system lacks; last "ulps_from_scalar: vector=U avx=U
// ...", each kernel's largest distance from the scalar kernel's outputs in
// units in the last place. --kernels LIST (comma-separated: scalar, vector,
// avx, avx512, avx2-fma, avx512-fma, liquid, volk) times only those; of
// scalar and vector alone, each gets a line "scalar_ns=X" or "vector_ns=X";
// the fastest line needs the scalar kernel and an exact one. Within each
// repeat the subjects take turns, and every ratio is the median of the
// repeats' own ratios. On one thread a call's time is the processor time
// the thread used. --dump FILE writes, as little-endian
// float32 and nothing else, x[0..1023], h[0..15], the scalar kernel's
// y[0..1023] and the vector kernel's y[0..1023] after one call each. Bad
// arguments: one line on standard error and status 2; a dump that cannot be
// written, or threads whose outputs are not the four-lane kernel's: status 1.
// --help (usage) and --version answer on standard output with status 0.
#include "fir/bench/fir_kernels.h"
#include "tools/fir_bench/all_cores.h"
#include "tools/fir_bench/options.h"
#include "tools/fir_bench/peers.h"
#include "tools/fir_bench/wide.h"
#include "tools/shared/plain_loop.h"
#include "tools/shared/rounds.h"
#include "tools/shared/speedups.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The benchmark block, the four-lane kernel's buffers and the wide kernels'
// own copies of its padded input and coefficients, aligned for their widest
// loads.
struct bench_state {
    float input[fir::sample_count];
    float taps[fir::tap_count];
    float scalar_output[fir::sample_count];
    float *padded_input, *coef_block, *vector_output;
    void *mem_ptr[3];
    alignas(64) float wide_input[fir::padded_floats];
    alignas(64) float wide_coef[fir::coef_floats];
    alignas(64) float wide_output[fir::sample_count];
} bench;

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
    std::string name;
    void (*call)();                            // a kernel or peer, or
    const fir_wide_kernel *wide = nullptr;     // a wide kernel on the wide buffers, or
    spread_kernel *spread = nullptr;           // a kernel on several threads
    // Nanoseconds a call in each repeat: by the clock of the thread's own
    // processor time (on one thread: another process holding the processor
    // does not lengthen it) or, on several threads, the steady clock; and by
    // the steady clock alone, for the figure of every core against one.
    std::vector<double> per_call = {}, per_call_wall = {};

    void operator()() const
    {
        if (wide)
            wide->run(bench.wide_input, fir::sample_count, bench.wide_coef, bench.wide_output);
        else
            call();
    }
};

const timed_call *find_subject(const std::vector<timed_call> &subjects, const char *name)
{
    for (const timed_call &subject : subjects)
        if (subject.name == name)
            return &subject;
    return nullptr;
}

// `calls` calls of the subject; a kernel on several threads shares them out.
void run_calls(const timed_call &subject, long calls)
{
    if (subject.spread) {
        spread_calls(*subject.spread, calls);
        return;
    }
    for (long k = 0; k < calls; k++)
        subject();
}

// Times `iterations` calls of every subject per repeat, the subjects taking
// turns within each repeat (short rounds: A B C A B C ...), so that what
// else the machine does at a moment falls on neighbouring rounds of every
// subject; each ratio is then the median of the repeats' own ratios. Where
// a plain loop is given, it takes a turn after the kernel on several
// threads, as long as the round of `alone` (that kernel on one thread).
void time_in_turns(std::vector<timed_call> &subjects, const bench_options &options, plain_loop *loop = nullptr,
                   const std::string &alone = "")
{
    for (const timed_call &subject : subjects)
        run_calls(subject, 1);   // warm the caches and the branch predictors
    for (long r = 0; r < options.repeat; r++) {
        for (timed_call &subject : subjects) {
            // a kernel on several threads first runs once untimed: a
            // processor left idle through the other subjects' turns takes
            // time to wake and to come up to speed, which is no part of the
            // rate of every core at work
            if (subject.spread)
                run_calls(subject, options.iterations);
            double (*const own_clock)() = subject.spread ? wall_clock_ms : thread_clock_ms;
            const double start = own_clock(), start_wall = wall_clock_ms();
            run_calls(subject, options.iterations);
            const double end = own_clock(), end_wall = wall_clock_ms();
            const double calls = static_cast<double>(options.iterations);
            subject.per_call.push_back((end - start) * 1e6 / calls);
            subject.per_call_wall.push_back((end_wall - start_wall) * 1e6 / calls);
            if (loop && subject.spread)
                plain_loop_round(loop, find_subject(subjects, alone.c_str())->per_call_wall.back() * calls / 1e6);
        }
    }
}

double median(const std::vector<double> &values)
{
    return median_of(values);
}

// How many times as fast as `than` the subject ran, the median of the
// repeats' ratios.
double times_as_fast(const timed_call &subject, const timed_call &than)
{
    return median_of(per_round_ratios(than.per_call, subject.per_call));
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

// A float's place in the ordered sequence of all floats, so that the
// distance of two places counts the floats between them.
long long float_place(float value)
{
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits < 0 ? -static_cast<long long>(bits & 0x7fffffff) : bits;
}

// The largest distance in units in the last place from the scalar outputs.
long long max_ulps(const float *output)
{
    long long largest = 0;
    for (int i = 0; i < fir::sample_count; i++)
        largest = std::max(largest, std::llabs(float_place(output[i]) - float_place(bench.scalar_output[i])));
    return largest;
}

// The names --kernels accepts: the kernels, then the peers fir-bench knows.
std::vector<std::string> known_names(const fir_peer *peers, int peer_count)
{
    std::vector<std::string> names = {"scalar", "vector"};
    for (const fir_wide_kernel &kernel : fir_wide_kernels)
        names.push_back(kernel.name);
    for (int k = 0; k < peer_count; k++)
        names.push_back(peers[k].name);
    return names;
}

// The wide kernels' copies of the padded input and the coefficient block.
void prepare_wide()
{
    std::memcpy(bench.wide_input, bench.padded_input, sizeof bench.wide_input);
    std::memcpy(bench.wide_coef, bench.coef_block, sizeof bench.wide_coef);
}

// The exact kernels (whose outputs are the four-lane kernel's bit for bit)
// by their lanes, for the summary.
constexpr struct {
    const char *name;
    int lanes;
} exact_kernels[] = {{"vector", 4}, {"avx", 8}, {"avx512", 16}};

// "fastest_ns=X kernel=K threads=N speedup=Z (...)": the fastest exact
// kernel on every thread asked for, and the summary of the speed-ups over
// the scalar kernel.
void print_fastest(const std::vector<timed_call> &subjects, const timed_call &scalar, const std::string &fastest,
                   const bench_options &options, const plain_loop *loop)
{
    std::vector<speedup> summary;
    for (const auto &exact : exact_kernels)
        if (const timed_call *subject = find_subject(subjects, exact.name))
            summary.push_back({times_as_fast(*subject, scalar), "from " + std::to_string(exact.lanes) + " lanes"});
    const timed_call *all = find_subject(subjects, options.threads > 1 ? "all-cores" : fastest.c_str());
    const double ns = median(all->per_call);
    // On several threads: the kernel's own speed-up on one thread, times how
    // much faster the threads ran than it did in neighbouring rounds of like
    // length (both by the steady clock: the threads' rate is the time they
    // take on a machine that others may share).
    const timed_call *alone = find_subject(subjects, fastest.c_str());
    const double gain = options.threads > 1 ? median_of(per_round_ratios(alone->per_call_wall, all->per_call_wall)) : 1.0;
    const double times = times_as_fast(*alone, scalar) * gain;
    if (options.threads > 1)
        summary.push_back({times, on_threads(options.threads)});
    std::printf("fastest_ns=%.1f kernel=%s threads=%d speedup=%.2f", ns, fastest.c_str(), options.threads, times);
    if (options.threads > 1)
        std::printf(" gain=%.2f plain_gain=%.2f", gain, plain_loop_gain(loop));
    std::printf(" %s\n", speedup_line(summary).c_str());
}

// The result lines, in the order of the header above.
void print_results(const std::vector<timed_call> &subjects, const bench_options &options, const fir_peer *peers,
                   int peer_count, const std::string &ulps, const std::string &fastest, const plain_loop *loop)
{
    const timed_call *scalar = find_subject(subjects, "scalar");
    const timed_call *vector = find_subject(subjects, "vector");
    double vector_ns = vector ? median(vector->per_call) : 0.0;
    if (scalar && vector) {
        double scalar_ns = median(scalar->per_call);
        std::printf("scalar_ns=%.1f vector_ns=%.1f speedup=%.2f\n", scalar_ns, vector_ns,
                    times_as_fast(*vector, *scalar));
    } else if (scalar || vector) {
        const timed_call *alone = scalar ? scalar : vector;
        std::printf("%s_ns=%.1f\n", alone->name.c_str(), median(alone->per_call));
    }
    for (const fir_wide_kernel &kernel : fir_wide_kernels) {
        if (!bench_chosen(options, kernel.name))
            continue;
        const timed_call *subject = find_subject(subjects, kernel.name);
        if (!subject) {
            std::printf("%s: not supported here (%s)\n", kernel.name, fir_wide_missing(kernel).c_str());
            continue;
        }
        double ns = median(subject->per_call);
        std::printf("%s_ns=%.1f", kernel.name, ns);
        if (vector)
            std::printf(" vs_vector=%.2f", times_as_fast(*subject, *vector));
        if (scalar)
            std::printf(" speedup=%.2f", times_as_fast(*subject, *scalar));
        if (kernel.variant)
            std::printf(" variant=%s", kernel.variant);
        std::printf("\n");
    }
    if (scalar && !fastest.empty())
        print_fastest(subjects, *scalar, fastest, options, loop);
    for (int k = 0; k < peer_count; k++) {
        if (!bench_chosen(options, peers[k].name))
            continue;
        if (const timed_call *subject = find_subject(subjects, peers[k].name))
            std::printf("%s_ns=%.1f\n", peers[k].name, median(subject->per_call));
        else
            std::printf("%s: not found (%s)\n", peers[k].name, peers[k].library);
    }
    if (!ulps.empty())
        std::printf("ulps_from_scalar:%s\n", ulps.c_str());
}

// The exact kernel among the subjects that runs fastest in a short trial
// (the best of three runs of 64 calls); empty when none was chosen.
std::string fastest_exact(const std::vector<timed_call> &subjects)
{
    using clock = std::chrono::steady_clock;
    std::string fastest;
    double best = 0.0;
    for (const auto &exact : exact_kernels) {
        const timed_call *subject = find_subject(subjects, exact.name);
        if (!subject)
            continue;
        for (int trial = 0; trial < 3; trial++) {
            const auto start = clock::now();
            run_calls(*subject, 64);
            const double ns = std::chrono::duration<double, std::nano>(clock::now() - start).count();
            if (fastest.empty() || ns < best) {
                fastest = exact.name;
                best = ns;
            }
        }
    }
    return fastest;
}

// The fastest exact kernel on options.threads threads, on its own buffers.
spread_kernel spread_fastest(const std::string &name, int threads)
{
    if (name == "vector")
        return spread(name, fir_vector, bench.padded_input, bench.coef_block, threads);
    return spread(name, fir_wide_find(name.c_str())->run, bench.wide_input, bench.wide_coef, threads);
}

// Every thread's outputs must be the four-lane kernel's: the figures would
// otherwise not be for the same filter.
void check_spread_outputs(const spread_kernel &k)
{
    int thread = 0;
    const int i = spread_differs(k, bench.vector_output, &thread);
    if (i < 0)
        return;
    std::fprintf(stderr, "fir-bench: %s on %d threads: output %d of thread %d is not the four-lane kernel's\n",
                 k.name.c_str(), k.threads, i, thread);
    std::exit(1);
}

// " name=U" for the ulps line.
std::string ulps_entry(const char *name, const float *output)
{
    return std::string(" ") + name + "=" + std::to_string(max_ulps(output));
}

}  // namespace

int main(int argc, char **argv)
{
    const fir_peer *peers = nullptr;
    int peer_count = fir_bench_peers(&peers);
    bench_options options = parse_bench_options(argc, argv, known_names(peers, peer_count));

    // The demo's block and buffers, then one call of each kernel.
    fir_make_data(bench.input, bench.taps);
    fir_prepare_vector(bench.input, &bench.padded_input, bench.taps, &bench.coef_block, &bench.vector_output,
                       bench.mem_ptr);
    fir_clear(reinterpret_cast<uint32_t *>(bench.vector_output), fir::sample_count);
    run_scalar();
    run_vector();
    if (options.dump)
        write_dump(options.dump);
    prepare_wide();
    fir_wide_choose_variants(bench.wide_input, bench.wide_coef, bench.wide_output);

    // The chosen kernels, each wide one only where it runs and measured
    // against the scalar outputs after its first call; the peers whose
    // libraries are installed set up (and checked against the scalar kernel)
    // beside them; then everything timed in turns.
    std::vector<timed_call> subjects;
    std::string ulps;
    if (bench_chosen(options, "scalar"))
        subjects.push_back({"scalar", run_scalar});
    if (bench_chosen(options, "vector")) {
        subjects.push_back({"vector", run_vector});
        ulps += ulps_entry("vector", bench.vector_output);
    }
    for (const fir_wide_kernel &kernel : fir_wide_kernels) {
        if (!bench_chosen(options, kernel.name) || !fir_wide_supported(kernel))
            continue;
        fir_clear(reinterpret_cast<uint32_t *>(bench.wide_output), fir::sample_count);
        kernel.run(bench.wide_input, fir::sample_count, bench.wide_coef, bench.wide_output);
        ulps += ulps_entry(kernel.name, bench.wide_output);
        subjects.push_back({kernel.name, nullptr, &kernel});
    }
    const std::string fastest = fastest_exact(subjects);
    spread_kernel all_cores = spread_fastest(fastest.empty() ? "vector" : fastest, options.threads);
    if (!fastest.empty() && options.threads > 1)
        subjects.push_back({"all-cores", nullptr, nullptr, &all_cores});
    std::vector<bool> peer_loaded(peer_count, false);
    for (int k = 0; k < peer_count; k++) {
        if (!bench_chosen(options, peers[k].name) || !peers[k].load())
            continue;
        peer_loaded[k] = true;
        peers[k].prepare(bench.input, bench.taps);
        peers[k].run();
        check_peer_output(peers[k]);
        subjects.push_back({peers[k].name, peers[k].run});
    }
    plain_loop *loop = options.threads > 1 && !fastest.empty() ? start_plain_loop(options.threads) : nullptr;
    time_in_turns(subjects, options, loop, fastest);
    check_spread_outputs(all_cores);
    end_spread(all_cores);
    print_results(subjects, options, peers, peer_count, ulps, fastest, loop);
    if (loop)
        stop_plain_loop(loop);

    for (int k = 0; k < peer_count; k++)
        if (peer_loaded[k])
            peers[k].release();
    for (void *block : bench.mem_ptr)
        std::free(block);
    return 0;
}
