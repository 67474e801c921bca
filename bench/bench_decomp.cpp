// SPDX-License-Identifier: GPL-3.0-or-later
// Factorization and the whole value of one N (divisors, class, count) across
// the signed 64-bit range.
#include <benchmark/benchmark.h>

#include "calcul.hpp"
#include "decomp.hpp"
#include "premiers.hpp"

namespace {

// A work object whose prime table already holds every prime below 2^20.
Travail& pret() {
    static Travail w = [] {
        Travail t;
        amorce(t);
        t.S = 9223372036854775783;
        decomp(t);
        remise(t);
        return t;
    }();
    return w;
}

void factorisation(benchmark::State& etat) {
    Travail& w = pret();
    const auto n = static_cast<std::int64_t>(etat.range(0));
    for (auto _ : etat) {
        w.S = n;
        decomp(w);
        benchmark::DoNotOptimize(w.nf);
        remise(w);
    }
}

void bloc(benchmark::State& etat) {
    Travail& w = pret();
    const auto n = static_cast<std::int64_t>(etat.range(0));
    Budget budget;
    Contexte ctx(budget);
    Moteur moteur(ctx);
    for (auto _ : etat) benchmark::DoNotOptimize(evalue(w, moteur, n));
}

// The first factorization of a large prime in a fresh process: it builds
// the prime table up to 2^20.
void premiere_factorisation(benchmark::State& etat) {
    for (auto _ : etat) {
        Travail w;
        amorce(w);
        w.S = 9223372036854775783;
        decomp(w);
        benchmark::DoNotOptimize(w.np);
    }
}

}  // namespace

BENCHMARK(factorisation)
    ->Arg(9223372036854775783)  // largest prime below 2^63
    ->Arg(9223372036854775807)  // 7^2 73 127 337 92737 649657
    ->Arg(9223371873002223329)  // 3037000453 * 3037000493
    ->Arg(9223372030926249001)  // 3037000499^2
    ->Arg(2305843009213693951)  // 2^61 - 1
    ->Arg(4611686018427387904)  // 2^62
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(bloc)
    ->Arg(9223372036854775783)
    ->Arg(9223372036854775807)
    ->Arg(2305843008139952128)  // perfect
    ->Arg(4611686018427387904)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(premiere_factorisation)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
