// SPDX-License-Identifier: GPL-3.0-or-later
// Exhaustive equal-sum searches.
#include "masques.hpp"

#include <vector>

std::int64_t recherche_masques(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    if (n == 0 || n > 61) return 0;
    // Bit b of a mask stands for div[n - 1 - b]; bit n is set in every mask
    // and stands for no divisor.
    const std::int64_t K2 = std::int64_t{1} << n;
    const std::int64_t K0 = (std::int64_t{1} << (n + 1)) - 1;
    std::int64_t ns = 0;
    for (std::int64_t K1 = K0; K1 >= K2; --K1) {
        std::int64_t S3 = (K1 & 1) ? div[n - 1] : 0;
        std::int64_t K = K1 >> 1;
        std::int64_t T = static_cast<std::int64_t>(n) - 1;  // 1-based position
        bool depasse = S3 > cible;                          // the running sum has passed the target
        while (!depasse && T > 0) {
            if (K & 1) {
                // S3 <= cible here, so cible - S3 cannot overflow; the sum
                // itself would, for targets near 2^63.
                if (div[T - 1] > cible - S3)
                    depasse = true;
                else
                    S3 += div[T - 1];
            }
            if (!depasse && S3 == cible && T == 1) ++ns;
            K >>= 1;
            --T;
        }
        // A single divisor equal to the target (n = 1) is met before the loop.
        if (n == 1 && S3 == cible) ++ns;
    }
    return ns;
}

mpz_class recherche_profondeur(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    // prefixe[q] = div[0] + ... + div[q - 1]: what the smaller divisors can
    // still add, to abandon a branch that can no longer reach the target.
    std::vector<std::int64_t> prefixe(n + 1, 0);
    constexpr std::int64_t plafond = INT64_MAX;
    for (std::size_t q = 0; q < n; ++q)  // saturates instead of wrapping
        prefixe[q + 1] = div[q] > plafond - prefixe[q] ? plafond : prefixe[q] + div[q];
    mpz_class ns = 0;
    // Walk from the largest divisor down; each frame decides one divisor.
    struct Cadre {
        std::size_t q;  // divisors div[0..q-1] remain to decide
        std::int64_t reste;
        bool pris;  // the branch that takes div[q-1] is done
    };
    std::vector<Cadre> pile;
    pile.push_back({n, cible, false});
    while (!pile.empty()) {
        Cadre& c = pile.back();
        if (c.reste == 0) {
            ++ns;
            pile.pop_back();
            continue;
        }
        if (c.q == 0 || c.reste < 0 || prefixe[c.q] < c.reste) {
            pile.pop_back();
            continue;
        }
        const std::size_t q = c.q - 1;
        if (!c.pris) {
            c.pris = true;
            const std::int64_t reste = c.reste - div[q];
            pile.push_back({q, reste, false});
        } else {
            const std::int64_t reste = c.reste;
            pile.pop_back();
            pile.push_back({q, reste, false});
        }
    }
    return ns;
}
