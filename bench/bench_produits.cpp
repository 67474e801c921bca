// SPDX-License-Identifier: GPL-3.0-or-later
// Polynomial products modulo a prime of 62 bits, the step of the walk over
// the digits of N once the carries are times the subset-sum table of M:
// Kronecker substitution (coefficients packed into integers, product by
// GMP's mpn_mul) against a number-theoretic transform over an NTT-friendly
// prime, beside the passes that chiffres.cpp runs instead (the table of M
// as items of doubling chains: two strided passes per item over the window).
#include <benchmark/benchmark.h>

#include <gmp.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

// 29 * 2^57 + 1, primitive root 3.
constexpr u64 kP = 4179340454199820289ull;

std::vector<u64> hasard(std::size_t n) {
    std::mt19937_64 g(n);
    std::vector<u64> v(n);
    for (auto& x : v) x = g() % kP;
    return v;
}

// Three limbs per coefficient: every product coefficient (below n * 2^124)
// fits its slot, so the slots are the exact coefficients.
void kronecker(const std::vector<u64>& a, const std::vector<u64>& b, std::vector<u64>& c) {
    std::vector<mp_limb_t> A(3 * a.size(), 0), B(3 * b.size(), 0), R(A.size() + B.size());
    for (std::size_t i = 0; i < a.size(); ++i) A[3 * i] = a[i];
    for (std::size_t i = 0; i < b.size(); ++i) B[3 * i] = b[i];
    // mpn_mul wants the longer operand first.
    const std::vector<mp_limb_t>& L = A.size() >= B.size() ? A : B;
    const std::vector<mp_limb_t>& S = A.size() >= B.size() ? B : A;
    mpn_mul(R.data(), L.data(), static_cast<mp_size_t>(L.size()), S.data(), static_cast<mp_size_t>(S.size()));
    c.resize(a.size() + b.size() - 1);
    const u64 d64 = static_cast<u64>((static_cast<u128>(1) << 64) % kP);
    const u64 d128 = static_cast<u64>(static_cast<u128>(d64) * d64 % kP);
    for (std::size_t i = 0; i < c.size(); ++i)
        c[i] = static_cast<u64>(
            (static_cast<u128>(R[3 * i + 2]) * d128 + ((static_cast<u128>(R[3 * i + 1]) << 64) | R[3 * i]) % kP) % kP);
}

// Montgomery arithmetic modulo kP (below 2^62).
struct Mont {
    u64 inv = 1, r2 = 0;
    Mont() {
        for (int i = 0; i < 6; ++i) inv *= 2 - kP * inv;  // kP^-1 mod 2^64
        r2 = static_cast<u64>((static_cast<u128>(1) << 64) % kP);
        r2 = static_cast<u64>(static_cast<u128>(r2) * r2 % kP);
    }
    u64 red(u128 t) const {
        const u64 m = static_cast<u64>(t) * -inv;
        const u64 r = static_cast<u64>((t + static_cast<u128>(m) * kP) >> 64);
        return r >= kP ? r - kP : r;
    }
    u64 mul(u64 a, u64 b) const { return red(static_cast<u128>(a) * b); }
    u64 in(u64 a) const { return mul(a, r2); }
};

u64 puissance(const Mont& M, u64 a, u64 e) {
    u64 r = M.in(1);
    for (; e; e >>= 1, a = M.mul(a, a))
        if (e & 1) r = M.mul(r, a);
    return r;
}

void ntt(const Mont& M, std::vector<u64>& a, bool inverse) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        u64 w = puissance(M, M.in(3), (kP - 1) / len);
        if (inverse) w = puissance(M, w, kP - 2);
        std::vector<u64> ws(len / 2);
        ws[0] = M.in(1);
        for (std::size_t k = 1; k < len / 2; ++k) ws[k] = M.mul(ws[k - 1], w);
        for (std::size_t i = 0; i < n; i += len)
            for (std::size_t k = 0; k < len / 2; ++k) {
                const u64 u = a[i + k], v = M.mul(a[i + k + len / 2], ws[k]);
                a[i + k] = u + v >= kP ? u + v - kP : u + v;
                a[i + k + len / 2] = u >= v ? u - v : u + kP - v;
            }
    }
}

void produit_ntt(const Mont& M, const std::vector<u64>& a, const std::vector<u64>& b, std::vector<u64>& c) {
    std::size_t n = 1;
    while (n < a.size() + b.size()) n <<= 1;
    std::vector<u64> A(n, 0), B(n, 0);
    for (std::size_t i = 0; i < a.size(); ++i) A[i] = M.in(a[i]);
    for (std::size_t i = 0; i < b.size(); ++i) B[i] = M.in(b[i]);
    ntt(M, A, false);
    ntt(M, B, false);
    for (std::size_t i = 0; i < n; ++i) A[i] = M.mul(A[i], B[i]);
    ntt(M, A, true);
    const u64 inv_n = puissance(M, M.in(n % kP), kP - 2);
    c.resize(a.size() + b.size() - 1);
    for (std::size_t i = 0; i < c.size(); ++i) c[i] = M.red(M.mul(A[i], inv_n));
}

// Carries of length n/4 times a table of length n.
void par_kronecker(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto a = hasard(n / 4), b = hasard(n);
    std::vector<u64> c;
    for (auto _ : state) {
        kronecker(a, b, c);
        benchmark::DoNotOptimize(c.data());
    }
}

void par_ntt(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto a = hasard(n / 4), b = hasard(n);
    const Mont M;
    std::vector<u64> c, k;
    produit_ntt(M, a, b, c);
    kronecker(a, b, k);
    if (c != k) state.SkipWithError("NTT and Kronecker disagree");
    for (auto _ : state) {
        produit_ntt(M, a, b, c);
        benchmark::DoNotOptimize(c.data());
    }
}

// The same step as chiffres.cpp runs it: range(1) items of two strided
// passes each over the window of n + n/4 cells.
void par_passes(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto items = static_cast<std::size_t>(state.range(1));
    std::vector<u64> f = hasard(n + n / 4);
    for (auto _ : state) {
        for (std::size_t t = 0; t < items; ++t) {
            const std::size_t d = 3 + 8 * t;
            for (std::size_t s = d; s < f.size(); ++s) {
                const u64 x = f[s] + f[s - d], y = x - kP;
                f[s] = x < y ? x : y;
            }
            for (std::size_t s = f.size(); s-- > 2 * d;) {
                const u64 x = f[s] - f[s - 2 * d], y = x + kP;
                f[s] = x < y ? x : y;
            }
        }
        benchmark::DoNotOptimize(f.data());
    }
}

}  // namespace

BENCHMARK(par_kronecker)->Arg(1 << 16)->Arg(1 << 20)->Arg(1 << 22)->Unit(benchmark::kMillisecond);
BENCHMARK(par_ntt)->Arg(1 << 16)->Arg(1 << 20)->Arg(1 << 22)->Unit(benchmark::kMillisecond);
BENCHMARK(par_passes)->Args({1 << 20, 16})->Args({1 << 20, 64})->Args({1 << 22, 16})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
