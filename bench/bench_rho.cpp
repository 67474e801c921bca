// SPDX-License-Identifier: GPL-3.0-or-later
// Timing of the cofactor splitting: full factorization by facteurs_rho of
// primes, hard semiprimes, squares and random 64-bit numbers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <random>
#include <vector>

#include "primalite.hpp"
#include "rho.hpp"

namespace {

void factoriser(benchmark::State& state, std::uint64_t n) {
    std::vector<std::uint64_t> premiers;
    for (auto _ : state) {
        premiers.clear();
        facteurs_rho(n, premiers);
        benchmark::DoNotOptimize(premiers.data());
    }
}

double temps_processeur_us() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

// Factorizes the numbers in turn, one per iteration, and reports as
// "pire_us" the slowest number in processor time of this thread, each timed
// by its fastest pass, so that other work on the machine does not count.
void factoriser_tour(benchmark::State& state, const std::vector<std::uint64_t>& nombres) {
    std::vector<std::uint64_t> premiers;
    std::vector<double> meilleur(nombres.size(), 1e300);
    std::size_t i = 0;
    for (auto _ : state) {
        premiers.clear();
        const double t0 = temps_processeur_us();
        facteurs_rho(nombres[i], premiers);
        const double us = temps_processeur_us() - t0;
        benchmark::DoNotOptimize(premiers.data());
        meilleur[i] = std::min(meilleur[i], us);
        i = (i + 1) % nombres.size();
    }
    double pire = 0;
    for (const double us : meilleur) {
        if (us < 1e300) pire = std::max(pire, us);
    }
    state.counters["pire_us"] = pire;
}

std::uint64_t premier_suivant(std::uint64_t n) {
    while (!est_premier(n)) ++n;
    return n;
}

// Products of two primes drawn between 2^31.43 and 2^31.5, below 2^63.
std::vector<std::uint64_t> semipremiers() {
    std::mt19937_64 gen(12345);
    std::uniform_int_distribution<std::uint64_t> tirage(2'900'000'000ULL, 3'036'000'000ULL);
    std::vector<std::uint64_t> v;
    for (int i = 0; i < 256; ++i) {
        v.push_back(premier_suivant(tirage(gen)) * premier_suivant(tirage(gen)));
    }
    return v;
}

std::vector<std::uint64_t> impairs_aleatoires() {
    std::mt19937_64 gen(2024);
    std::vector<std::uint64_t> v;
    for (int i = 0; i < 1024; ++i) v.push_back(gen() | 1);
    return v;
}

void BM_Premier_2p63(benchmark::State& s) { factoriser(s, 9223372036854775783ULL); }
void BM_Mersenne_2p61(benchmark::State& s) { factoriser(s, (1ULL << 61) - 1); }
void BM_Semipremier(benchmark::State& s) { factoriser(s, 3037000493ULL * 3037000453ULL); }
void BM_Carre(benchmark::State& s) { factoriser(s, 3037000493ULL * 3037000493ULL); }

void BM_Semipremiers_256(benchmark::State& s) {
    static const std::vector<std::uint64_t> v = semipremiers();
    factoriser_tour(s, v);
}

void BM_Impairs_aleatoires(benchmark::State& s) {
    static const std::vector<std::uint64_t> v = impairs_aleatoires();
    factoriser_tour(s, v);
}

}  // namespace

BENCHMARK(BM_Premier_2p63)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mersenne_2p61)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Semipremier)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Carre)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Semipremiers_256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Impairs_aleatoires)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
