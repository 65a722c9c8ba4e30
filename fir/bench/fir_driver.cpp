// fir_driver.cpp - the run of `fir`: language and checks, calibration, the
// timed scalar and vector runs on counters 1 and 2, the result box with both
// times in seconds to the millisecond.
#include "fir/bench/fir_driver.h"

#include "common/checks.h"
#include "fir/bench/fir_kernels.h"
#include "fir/timing/rdtsc.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

int32_t fir_iterations = 32768;

uint64_t fir_milliseconds(double seconds)
{
    if (!(seconds > 0.0))
        return 0;
    if (seconds >= 4294967296.0)
        return 4294967295999u;
    // one rounding in the product, so that a time of exactly 0.712 s (not
    // representable) still gives 712 and not 711
    return static_cast<uint64_t>(seconds * 1000.0);
}

void fir_format_seconds(char *text, size_t capacity, double seconds, char separator)
{
    const uint64_t ms = fir_milliseconds(seconds);
    std::snprintf(text, capacity, "%lu%c%03u", static_cast<unsigned long>(ms / 1000), separator,
                  static_cast<unsigned>(ms % 1000));
}

// Select the language afresh and point current_messages at its record;
// answers the record's index.
static unsigned select_messages()
{
    const unsigned language = select_language();
    current_messages = fir_messages[language];
    return language;
}

// A box with the text slot and the next slot as caption; no owner, OK only.
static void show_slot(int slot, UINT icon)
{
    MessageBoxA(nullptr, current_messages[slot], current_messages[slot + 1], MB_OK | icon);
}

int fir_main()
{
    int32_t scalar_timer = 1;
    int32_t vector_timer = 2;
    float *padded_input = nullptr, *vector_output = nullptr, *coef_block = nullptr;
    void *mem_ptr[3] = {nullptr, nullptr, nullptr};
    static float input[fir::sample_count], taps[fir::tap_count], scalar_output[fir::sample_count];

    // Language, then the operating system, then the vector unit.
    select_messages();
    if (check_operating_system() == 0) {
        show_slot(8, MB_ICONINFORMATION);
        return 1;
    }
    if (check_vector_unit() != 1) {
        show_slot(4, MB_ICONERROR);
        return 1;
    }
    show_slot(6, MB_ICONINFORMATION);

    // The first init measures the counter rate; the second leaves counters 0..2.
    rdtsc_init(&scalar_timer);
    rdtsc_init(&vector_timer);
    rdtsc_clear(&scalar_timer);
    rdtsc_clear(&vector_timer);

    fir_make_data(input, taps);

    // Scalar run on counter 1.
    rdtsc_start(&scalar_timer);
    for (int32_t k = 0; k < fir_iterations; k++)
        fir_scalar(input, fir::sample_count, taps, fir::tap_count, scalar_output);
    rdtsc_stop(&scalar_timer);
    double scalar_seconds = rdtsc_seconds(&scalar_timer);

    fir_prepare_vector(input, &padded_input, taps, &coef_block, &vector_output, mem_ptr);
    fir_clear(reinterpret_cast<uint32_t *>(vector_output), fir::sample_count);

    // Vector run on counter 2.
    rdtsc_start(&vector_timer);
    for (int32_t k = 0; k < fir_iterations; k++)
        fir_vector(padded_input, fir::sample_count, coef_block, vector_output);
    rdtsc_stop(&vector_timer);
    double vector_seconds = rdtsc_seconds(&vector_timer);

    std::free(mem_ptr[0]);
    std::free(mem_ptr[1]);
    std::free(mem_ptr[2]);

    // The result in seconds to the millisecond, in the language of this moment.
    const char separator = decimal_separators[select_messages()];
    char scalar_text[32], vector_text[32];
    fir_format_seconds(scalar_text, sizeof scalar_text, scalar_seconds, separator);
    fir_format_seconds(vector_text, sizeof vector_text, vector_seconds, separator);
    char message_text[1000];
    std::snprintf(message_text, sizeof message_text, "%s: %s %s\n%s: %s %s", current_messages[0],
                  scalar_text, current_messages[2], current_messages[1], vector_text, current_messages[2]);
    MessageBoxA(nullptr, message_text, current_messages[3], MB_OK | MB_ICONINFORMATION);
    return 0;
}
