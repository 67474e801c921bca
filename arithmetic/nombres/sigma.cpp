// SPDX-License-Identifier: GPL-3.0-or-later
// Divisor sums and odd divisors from a factorization.
#include "sigma.hpp"

#include <algorithm>

std::optional<u64> sigma_sans(std::span<const Facteur> f, u64 borne, u64 sauf1, u64 sauf2, u64 sauf3) {
    // Each factor's 1 + p + ... + p^e is below 2^65 and s stays at most
    // borne before each product: all on 128 bits.
    u128 s = 1;
    for (const auto& [p, e] : f) {
        if (p == sauf1 || p == sauf2 || p == sauf3) continue;
        u128 t = 1, pk = 1;
        for (unsigned i = 0; i < e; ++i) {
            pk *= p;
            t += pk;
        }
        s *= t;
        if (s > borne) return std::nullopt;
    }
    return static_cast<u64>(s);
}

unsigned impairs_sans(std::span<const Facteur> f, std::vector<u64>& impairs, u64 sauf1, u64 sauf2, u64 sauf3) {
    unsigned deux = 0;
    impairs.assign(1, 1);
    for (const auto& [p, e] : f) {
        if (p == sauf1 || p == sauf2 || p == sauf3) continue;
        if (p == 2) {
            deux = e;
            continue;
        }
        // Every divisor so far times p, p^2, ..., p^e.
        const std::size_t n = impairs.size();
        u64 x = 1;
        for (unsigned i = 0; i < e; ++i) {
            x *= p;
            for (std::size_t j = 0; j < n; ++j) impairs.push_back(impairs[j] * x);
        }
    }
    std::sort(impairs.begin(), impairs.end());
    return deux;
}
