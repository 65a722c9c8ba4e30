// rdtsc_counters.cpp - the counter table: init, names, start, stop, clear
// and the accumulated time.
#include "fir/timing/rdtsc_internal.h"

#include <cstdlib>
#include <cstring>

rdtsc_counter *rdtsc_table = nullptr;
int32_t rdtsc_table_size = 0;
rdtsc_hooks_record rdtsc_hooks = {nullptr, std::malloc};

void rdtsc_error(const char *message)
{
    std::fprintf(stderr, "rdtsc library error: %s\n", message);
    std::exit(1);
}

// Releases a table made by an earlier init, with its name copies; nothing
// reads them once the new table is in place.
static void release_table()
{
    for (int32_t k = 0; k < rdtsc_table_size; k++)
        std::free(rdtsc_table[k].event_name);
    std::free(rdtsc_table);
    rdtsc_table = nullptr;
    rdtsc_table_size = 0;
}

void rdtsc_init(const int32_t *n)
{
    // A negative count makes an empty table rather than a size that wraps.
    int64_t records = static_cast<int64_t>(*n) + 1;
    if (records < 0)
        records = 0;

    release_table();
    auto *table = static_cast<rdtsc_counter *>(
        rdtsc_hooks.allocate(static_cast<std::size_t>(records) * sizeof(rdtsc_counter)));
    if (table == nullptr && records > 0)
        rdtsc_error("malloc failed");
    for (int64_t k = 0; k < records; k++)
        table[k] = rdtsc_counter{0, 0, nullptr, 0.0, 0};
    rdtsc_table = table;
    rdtsc_table_size = static_cast<int32_t>(records);

    rdtsc_calibrate();
}

// A null name removes the counter's name.
void rdtsc_set_event_name(const int32_t *counter, const char *name)
{
    rdtsc_counter &record = rdtsc_table[*counter];
    std::free(record.event_name);
    record.event_name = nullptr;
    if (name == nullptr)
        return;
    std::size_t bytes = std::strlen(name) + 1;
    record.event_name = static_cast<char *>(rdtsc_hooks.allocate(bytes));
    if (record.event_name == nullptr)
        rdtsc_error("malloc failed");
    std::memcpy(record.event_name, name, bytes);
}

void rdtsc_start(const int32_t *counter)
{
    rdtsc_counter &record = rdtsc_table[*counter];
    rdtsc_read(&record.start_low, &record.start_high);
}

void rdtsc_stop(const int32_t *counter)
{
    // Read first, so that the arithmetic falls outside the timed region.
    uint32_t low, high;
    rdtsc_read(&low, &high);

    rdtsc_counter &record = rdtsc_table[*counter];
    double elapsed = rdtsc_as_double(low, high) - rdtsc_as_double(record.start_low, record.start_high);
    record.cycles = record.cycles + elapsed;
    record.events = record.events + 1;
}

void rdtsc_clear(const int32_t *counter)
{
    rdtsc_table[*counter].cycles = 0.0;
}

double rdtsc_seconds(const int32_t *counter)
{
    return rdtsc_table[*counter].cycles / rdtsc_cycles_per_second;
}

double rdtsc_cycles(const int32_t *counter)
{
    return rdtsc_table[*counter].cycles;
}
