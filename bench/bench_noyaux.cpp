// SPDX-License-Identifier: GPL-3.0-or-later
// The table kernels alone, whose timings calibrate the cost model of every
// counting method (arithmetic/comptage/couts.hpp): nanoseconds per cell of
// a 0/1 step (descending) and of running sums (ascending), modulo 2^64 and
// modulo a prime, on tables from the caches to main memory, of 64-bit cells
// and of 32-bit cells (modulo a prime below 2^31); running sums of
// stride 1, which do not vectorize; and nanoseconds per entry of the merge
// of a sorted list of subset sums with its shift.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "listes.hpp"
#include "noyaux.hpp"
#include "ntt.hpp"
#include "processeur.hpp"
#include "produits.hpp"

namespace {

constexpr u64 kPremier = 9223372036854775783ull;  // the largest prime below 2^63
constexpr u32 kPremier31 = 2147483647u;           // the largest prime below 2^31

template <class T>
void noyau(benchmark::State& state, bool montee, T p, std::size_t d) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<T> f(n, 1);
    const Progres pr;
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

// The list of the subset sums of the largest divisors of 720720 that can
// still reach the target, grown one divisor at a time as the queue of the
// lists does; each merge is timed per entry written.
void fusion(benchmark::State& state) {
    const u64 N = 720720;
    std::vector<u64> items;
    for (u64 d = N / 2; d >= 1; --d)
        if (N % d == 0) items.push_back(d);  // largest first
    const auto k = static_cast<std::size_t>(state.range(0));
    const std::size_t capa = std::size_t{1} << 22;
    std::vector<u64> s(capa), m(capa), s2(capa), m2(capa);
    std::size_t n = 1;
    s[0] = 0;
    m[0] = 1;
    for (std::size_t i = 0; i + 1 < k; ++i) {
        n = etend_liste(s.data(), m.data(), n, items[i], 0, N, s2.data(), m2.data(), capa, 0);
        s.swap(s2);
        m.swap(m2);
    }
    std::size_t ecrits = 0;
    for (auto _ : state) {
        ecrits += etend_liste(s.data(), m.data(), n, items[k - 1], 0, N, s2.data(), m2.data(), capa, 0);
        benchmark::DoNotOptimize(s2.data());
    }
    state.counters["ns_entree"] =
        benchmark::Counter(static_cast<double>(ecrits), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

constexpr std::size_t kPas = 97;  // an odd stride: no alignment to help
BENCHMARK_CAPTURE(noyau, desc_2_64, false, u64{0}, kPas)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, desc_premier, false, kPremier, kPas)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, asc_2_64, true, u64{0}, kPas)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, asc_premier, true, kPremier, kPas)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, desc_32, false, kPremier31, kPas)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, asc_32, true, kPremier31, kPas)->RangeMultiplier(16)->Range(1 << 12, 1 << 24);
BENCHMARK_CAPTURE(noyau, asc_2_64_pas_1, true, u64{0}, 1)->Arg(1 << 16)->Arg(1 << 20);
BENCHMARK_CAPTURE(noyau, asc_premier_pas_1, true, kPremier, 1)->Arg(1 << 16)->Arg(1 << 20);
BENCHMARK(fusion)->Arg(12)->Arg(16)->Arg(20);

// A number-theoretic transform forth and back, per butterfly (n log n / 2
// each way), modulo a prime below 2^50 (IFMA's moduli) or 2^32.
void transformee(benchmark::State& state, unsigned bits) {
    const auto l = static_cast<unsigned>(state.range(0));
    const u64 p = premiers_ntt(bits, l, 1)[0];
    const Ntt t(p, l);
    std::vector<u64> a(t.taille());
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = (i * 0x9e3779b97f4a7c15u) % p;
    for (auto _ : state) {
        t.direct(a.data());
        t.inverse(a.data());
        benchmark::DoNotOptimize(a.data());
    }
    state.counters["papillon"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * l * static_cast<double>(a.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A dot product modulo a prime, per product, on cells of 64 or 32 bits,
// with IFMA where the processor has it.
template <class T>
void produit(benchmark::State& state, unsigned bits) {
    const bool ifma = processeur().ifma && bits <= 50;
    const auto n = static_cast<std::size_t>(state.range(0));
    const u64 p = premiers_ntt(bits, 1, 1)[0];
    std::vector<T> a(n), b(n);
    for (std::size_t i = 0; i < n; ++i) {
        a[i] = static_cast<T>((i * 0x9e3779b97f4a7c15u) % p);
        b[i] = static_cast<T>((i * 0xbf58476d1ce4e5b9u) % p);
    }
    for (auto _ : state) benchmark::DoNotOptimize(produit_mod(a.data(), b.data(), n, p, ifma));
    state.counters["produit"] = benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(n),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void produit_64(benchmark::State& state, unsigned bits) { produit<u64>(state, bits); }
void produit_32(benchmark::State& state, unsigned bits) { produit<std::uint32_t>(state, bits); }

BENCHMARK_CAPTURE(produit_64, p50, 50u)->Arg(512)->Arg(1 << 16);
BENCHMARK_CAPTURE(produit_64, p60, 60u)->Arg(1 << 16);
BENCHMARK_CAPTURE(produit_32, p32, 32u)->Arg(1 << 16);
BENCHMARK_CAPTURE(transformee, p50, 50u)->Arg(9)->Arg(12)->Arg(16)->Arg(20);
BENCHMARK_CAPTURE(transformee, p32, 32u)->Arg(16);

BENCHMARK_MAIN();
