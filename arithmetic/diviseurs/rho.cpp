// SPDX-License-Identifier: GPL-3.0-or-later
// Pollard's rho in Brent's variant, on Montgomery arithmetic modulo a 64-bit
// odd number.
#include "rho.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "modulaire.hpp"
#include "primalite.hpp"

namespace {

// Odd divisors below this bound are removed by plain division before rho.
constexpr std::uint64_t kBorneDivision = 128;

// Attempts of rho, each with its own constant, before the last resort.
constexpr int kEssaisRho = 64;

// Steps whose differences are multiplied together before one gcd. A 64-bit
// gcd costs about a hundred steps of the walk; a batch of 1024 keeps it
// under a tenth of the time and only adds a few microseconds of overshoot.
constexpr std::uint64_t kLot = 1024;

std::uint64_t ecart(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; }

// One attempt of Pollard's rho on the odd composite n with the map
// y -> (y^2 + c) / R mod n, a quadratic map whatever the factor of n it is
// read modulo, and one reduction per step. Brent's cycle search: x is the
// point at the start of a segment, segments double in length, and every
// point of a segment is compared with x. The differences go into a product
// whose gcd with n is taken once per batch; when a batch overshoots to gcd
// n, it is walked again one step at a time from its start. Returns a proper
// divisor of n, or 0 when the attempt only finds n.
std::uint64_t essai_rho(const Montgomery& m, std::uint64_t depart, std::uint64_t c) {
    const std::uint64_t n = m.n;
    const auto f = [&](std::uint64_t y) { return m.reduit(static_cast<u128>(y) * y + c); };
    std::uint64_t y = depart;
    std::uint64_t x = depart;
    std::uint64_t debut_lot = depart;
    std::uint64_t q = m.un;
    std::uint64_t g = 1;
    // Modulo the smallest prime factor p < 2^32 the sequence enters a cycle
    // of length at most p within p steps; the first segment that starts on
    // the cycle and is longer than it meets x again, so this loop ends.
    for (std::uint64_t r = 1; g == 1; r *= 2) {
        x = y;
        for (std::uint64_t k = 0; k < r && g == 1; k += kLot) {
            debut_lot = y;
            const std::uint64_t pas = std::min(kLot, r - k);
            for (std::uint64_t i = 0; i < pas; ++i) {
                y = f(y);
                q = m.mul(q, ecart(x, y));
            }
            g = std::gcd(q, n);
        }
    }
    if (g == n) {
        // q was prime to n before this batch, so one of its differences
        // shares a factor with n and the walk stops inside the batch.
        do {
            debut_lot = f(debut_lot);
            g = std::gcd(ecart(x, debut_lot), n);
        } while (g == 1);
    }
    return g == n ? 0 : g;
}

// A proper divisor of the odd composite n, which has no factor below
// kBorneDivision.
std::uint64_t diviseur(std::uint64_t n) {
    const Montgomery m(n);
    for (int essai = 0; essai < kEssaisRho; ++essai) {
        const auto e = static_cast<std::uint64_t>(essai);
        const std::uint64_t d = essai_rho(m, e + 2, e + 1);
        if (d != 0) return d;
    }
    // Never reached in practice; trial division keeps termination certain.
    for (std::uint64_t d = kBorneDivision + 1;; d += 2) {
        if (n % d == 0) return d;
    }
}

// The integer square root of n when n is a perfect square, else 0.
std::uint64_t racine_exacte(std::uint64_t n) {
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (static_cast<u128>(r) * r > n) --r;
    while (static_cast<u128>(r + 1) * (r + 1) <= n) ++r;
    return static_cast<u128>(r) * r == n ? r : 0;
}

}  // namespace

void facteurs_rho(std::uint64_t n, std::vector<std::uint64_t>& premiers) {
    if (n < 2) return;
    // Montgomery arithmetic needs an odd modulus, and tiny factors are
    // cheaper to divide out than to find by rho.
    while (n % 2 == 0) {
        premiers.push_back(2);
        n /= 2;
    }
    for (std::uint64_t d = 3; d < kBorneDivision; d += 2) {
        while (n % d == 0) {
            premiers.push_back(d);
            n /= d;
        }
    }
    if (n == 1) return;
    // Pending cofactors, none with a factor below kBorneDivision.
    std::vector<std::uint64_t> pile{n};
    while (!pile.empty()) {
        const std::uint64_t m = pile.back();
        pile.pop_back();
        if (m < kBorneDivision * kBorneDivision || est_premier(m)) {
            premiers.push_back(m);
            continue;
        }
        // A perfect square is split at once, cheaper than a run of rho.
        if (const std::uint64_t r = racine_exacte(m); r != 0) {
            pile.push_back(r);
            pile.push_back(r);
            continue;
        }
        const std::uint64_t d = diviseur(m);
        pile.push_back(d);
        pile.push_back(m / d);
    }
}
