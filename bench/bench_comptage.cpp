// SPDX-License-Identifier: GPL-3.0-or-later
// Timing of the equal-sum count on fixed N: the engine on the divisor list
// alone (every method but the walk over the digits), one method imposed, and the exhaustive mask search it replaced.
// The mask search on 840 (about a minute) runs only with SD_BENCH_MASQUES_840
// set in the environment.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "outils/banc.hpp"
#include "outils/masques.hpp"
#include "verites.hpp"

namespace {

using Facteurs = std::vector<std::pair<std::int64_t, int>>;

// Proper divisors of the product of p^e, ascending.
std::vector<std::int64_t> propres(const Facteurs& f) { return verite::diviseurs_de_facteurs(f); }

std::int64_t produit(const Facteurs& f) {
    std::int64_t n = 1;
    for (auto [p, e] : f)
        for (int k = 0; k < e; ++k) n *= p;
    return n;
}

void compte(benchmark::State& state, const Facteurs& f) {
    const std::vector<std::int64_t> d = propres(f);
    const std::int64_t n = produit(f);
    Banc banc;
    for (auto _ : state) {
        mpz_class r = banc.compte(d, n);
        benchmark::DoNotOptimize(r.get_mpz_t());
    }
    state.counters["diviseurs"] = static_cast<double>(d.size());
}

void impose(benchmark::State& state, const Facteurs& f, const Imposee& plan) {
    const std::vector<std::int64_t> d = propres(f);
    const std::int64_t n = produit(f);
    Banc banc;
    for (auto _ : state) {
        mpz_class r = banc.impose(d, n, plan).valeur;
        benchmark::DoNotOptimize(r.get_mpz_t());
    }
}

void masques(benchmark::State& state, const Facteurs& f) {
    const std::vector<std::int64_t> d = propres(f);
    const std::int64_t n = produit(f);
    for (auto _ : state) benchmark::DoNotOptimize(recherche_masques(d.data(), d.size(), n));
}

const Facteurs f360{{2, 3}, {3, 2}, {5, 1}};
const Facteurs f840{{2, 3}, {3, 1}, {5, 1}, {7, 1}};
const Facteurs f5040{{2, 4}, {3, 2}, {5, 1}, {7, 1}};
const Facteurs f55440{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}};
const Facteurs f720720{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}};
const Facteurs f8648640{{2, 6}, {3, 3}, {5, 1}, {7, 1}, {11, 1}, {13, 1}};
// 2^63 - 2: 15 proper divisors, target about 3.4e10.
const Facteurs f_2_63_moins_2{{2, 1}, {3, 1}, {715827883, 1}, {2147483647, 1}};
// Near 2^63, 47 proper divisors.
const Facteurs f_47{{2, 3}, {3, 1}, {5, 2}, {15372286728091259, 1}};
// Near 2^63, 311 proper divisors, target about 2.7e18.
const Facteurs f_311{{2, 12}, {11, 2}, {13, 3}, {6622493671, 1}};
// 5987595322769448960: 671 proper divisors, target N.
const Facteurs f_671{{2, 13}, {3, 2}, {5, 1}, {11, 1}, {13, 1}, {113583159623, 1}};

}  // namespace

BENCHMARK_CAPTURE(masques, 360, f360)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(compte, 360, f360)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(compte, 840, f840)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(compte, 5040, f5040)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(compte, 55440, f55440)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compte, 720720, f720720)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compte, 8648640, f8648640)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compte, 9223372036854775806, f_2_63_moins_2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(compte, 9223372036854755400, f_47)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(compte, 7211023769672200192, f_311)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compte, 5987595322769448960, f_671)->Unit(benchmark::kMillisecond);

// The methods one at a time on the same N.
BENCHMARK_CAPTURE(impose, table_720720, f720720, Imposee{Methode::zigzag})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(impose, milieu_9223372036854755400, f_47, Imposee{Methode::milieu, SIZE_MAX})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(impose, parcours_9223372036854755400, f_47, Imposee{Methode::parcours, SIZE_MAX})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (std::getenv("SD_BENCH_MASQUES_840"))
        benchmark::RegisterBenchmark("masques/840", masques, f840)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
