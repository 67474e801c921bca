// SPDX-License-Identifier: GPL-3.0-or-later
// Timing of the equal-sum count of single large N as the program runs it
// (every method, the walk over the digits of N included), beside the
// methods on the divisor list alone on the same N where they end. The
// counts of 735134400 (about a minute) run only with SD_BENCH_LONG set.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "decomp.hpp"
#include "outils/banc.hpp"
#include "premiers.hpp"
#include "verites.hpp"

namespace {

// The factorization of n, as the program finds it.
ListeFacteurs factorisation(std::int64_t n) {
    Travail w;
    amorce(w);
    w.S = n;
    decomp(w);
    ListeFacteurs f;
    for (std::int32_t j = 1; j <= w.nf; ++j) f.emplace_back(w.Nfact[j], static_cast<int>(w.Nexpo[j]));
    return f;
}

void sommes(benchmark::State& state, std::int64_t n) {
    const std::vector<std::int64_t> d = verite::diviseurs_par_paires(n);
    const ListeFacteurs f = factorisation(n);
    Banc banc;
    for (auto _ : state) {
        mpz_class r = banc.compte(d, n, f);
        benchmark::DoNotOptimize(r.get_mpz_t());
    }
    state.counters["diviseurs"] = static_cast<double>(d.size());
}

void moteur(benchmark::State& state, std::int64_t n) {
    const std::vector<std::int64_t> d = verite::diviseurs_par_paires(n);
    Banc banc;
    for (auto _ : state) {
        mpz_class r = banc.compte(d, n);
        benchmark::DoNotOptimize(r.get_mpz_t());
    }
}

}  // namespace

// Small N stay with the engine: no slower with the walk over the digits priced.
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
