// Timing of the equal-sum count of single large N through sommes_egales
// (the engine or the walk over the digits of N, whichever is estimated
// cheaper), beside the engine alone on the same N where it ends. The
// counts of 735134400 (about a minute) run only with SD_BENCH_LONG set.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "comptage.hpp"
#include "sommes.hpp"
#include "verites.hpp"

namespace {

void sommes(benchmark::State& state, std::int64_t n) {
    const std::vector<std::int64_t> d = verite::diviseurs_par_paires(n);
    for (auto _ : state) {
        mpz_class r = sommes_egales(d.data(), d.size(), n);
        benchmark::DoNotOptimize(r.get_mpz_t());
    }
    state.counters["diviseurs"] = static_cast<double>(d.size());
}

void moteur(benchmark::State& state, std::int64_t n) {
    const std::vector<std::int64_t> d = verite::diviseurs_par_paires(n);
    for (auto _ : state) {
        mpz_class r = compte_sommes(d.data(), d.size(), n);
        benchmark::DoNotOptimize(r.get_mpz_t());
    }
}

}  // namespace

// Small N stay with the engine: no slower through sommes_egales.
BENCHMARK_CAPTURE(sommes, 840, 840)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(moteur, 840, 840)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sommes, 720720, 720720)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moteur, 720720, 720720)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sommes, 8648640, 8648640)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moteur, 8648640, 8648640)->Unit(benchmark::kMillisecond);
// 3 * 2^61, 10^18 = 2^18 5^18 (the engine alone: a few seconds).
BENCHMARK_CAPTURE(sommes, 6917529027641081856, 6917529027641081856)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sommes, 1000000000000000000, 1000000000000000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(moteur, 1000000000000000000, 1000000000000000000)->Unit(benchmark::kMillisecond)->Iterations(1);
// 2^4 3^3 13 41 43 101 and 2^5 3^3 5 7 11 13 17: the engine alone does not
// end in minutes.
BENCHMARK_CAPTURE(sommes, 1000001808, 1000001808)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sommes, 73513440, 73513440)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    if (std::getenv("SD_BENCH_LONG"))
        benchmark::RegisterBenchmark("sommes/735134400", sommes, std::int64_t{735134400})
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
