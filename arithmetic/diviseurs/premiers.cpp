// SPDX-License-Identifier: GPL-3.0-or-later
// Prime table: seeding and extension by one prime.
#include "premiers.hpp"

#include "modulaire.hpp"

namespace {

// Records the divisibility companions of the prime in slot q: its inverse
// modulo 2^64 and the quotient (2^64 - 1) / p (zero for 2 and for slot 0).
void retient_inverse(Travail& w, std::size_t q) {
    const auto p = static_cast<std::uint64_t>(w.Nprem[q]);
    std::uint64_t inv = 0, lim = 0;
    if (p % 2 == 1) {
        inv = inverse_2_64(p);
        lim = ~std::uint64_t{0} / p;
    }
    w.inverse.resize(q + 1);
    w.limite.resize(q + 1);
    w.inverse[q] = inv;
    w.limite[q] = lim;
}

}  // namespace

void amorce(Travail& w) {
    w.np = 2;
    w.Nprem[1] = 2;
    w.Nprem[2] = 3;
    for (std::size_t q = 0; q <= 2; ++q) retient_inverse(w, q);
}

void Suiv(Travail& w) {
    const std::int64_t last = w.Nprem[w.np];
    std::int64_t i = 1;  // step count: the candidate is last + 2 i
    std::int64_t j = 1;  // index of the trial divisor
    for (;;) {
        const std::int64_t c = last + 2 * i;
        const std::int64_t p = w.Nprem[j];
        // Candidates stay below 2^32 (the largest prime a 64-bit N could ask
        // for is 3037000507): the exact test p * p <= c is the square-root
        // test of the table, and a 32-bit division is several times cheaper.
        if (p * p <= c) {
            const bool divise = c < (std::int64_t{1} << 32)
                                    ? static_cast<std::uint32_t>(c) % static_cast<std::uint32_t>(p) == 0
                                    : c % p == 0;
            if (divise) {
                ++i;
                j = 1;
            } else {
                ++j;
            }
            continue;
        }
        ++w.np;
        w.Nprem.append();
        w.Nprem[w.np] = c;
        retient_inverse(w, static_cast<std::size_t>(w.np));
        return;
    }
}
