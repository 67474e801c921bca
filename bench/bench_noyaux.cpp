// The table kernels alone, whose timings calibrate the cost model of every
// counting method (arithmetic/comptage/couts.hpp): nanoseconds per cell of
// a 0/1 step (descending) and of running sums (ascending), modulo 2^64 and
// modulo a prime, on tables from the caches to main memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "noyaux.hpp"

namespace {

constexpr u64 kPremier = 9223372036854775783ull;  // the largest prime below 2^63

void noyau(benchmark::State& state, bool montee, u64 p) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<u64> f(n, 1);
    const Progres pr;
    const std::size_t d = 97;  // an odd stride: no alignment to help
    for (auto _ : state) {
        if (montee)
            ajoute_asc(f.data(), d, n - 1, d, p, pr);
        else
            ajoute_desc(f.data(), d, n - 1, d, p, pr);
        benchmark::DoNotOptimize(f.data());
    }
    // Nanoseconds per cell, as the cost model reads them.
    state.counters["ns_cellule"] = benchmark::Counter(static_cast<double>(n - d) * state.iterations(),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK_CAPTURE(noyau, desc_2_64, false, 0)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, desc_premier, false, kPremier)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, asc_2_64, true, 0)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, asc_premier, true, kPremier)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);

BENCHMARK_MAIN();
