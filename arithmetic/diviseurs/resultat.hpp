// SPDX-License-Identifier: GPL-3.0-or-later
// What the per-number computation finds about one N: its class, the number
// and the sum of its proper divisors, and for an abundant N the number of
// sets of proper divisors whose sum is N. The dialogue renders it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <gmpxx.h>

enum class Classe { deficient, parfait, abondant };

struct Resultat {
    std::int64_t N = 0;
    Classe classe = Classe::deficient;
    std::int64_t diviseurs = 0;  // number of proper divisors
    // Their sum: above 2^63 - 1 for some N beyond 10^18, never above 2^127.
    __int128 somme = 0;
    // The count of an abundant N was left out: its plan was estimated above
    // the limit of the engine's context.
    bool ecarte = false;
    // Sets of proper divisors whose sum is N: counted for an abundant N not
    // left out, 0 otherwise.
    mpz_class solutions = 0;
    // Decided rather than counted: whether some set of proper divisors of
    // an abundant N sums to N (semiperfect) or none does (weird).
    std::optional<bool> semiparfait;
    // A weird N none of whose proper divisors is weird: every N / p, p a
    // prime of N, is deficient. Looked at when asked, for weird N only.
    bool primitif = false;
    // When asked, for a semiperfect N: proper divisors summing to N,
    // largest first.
    std::vector<std::int64_t> temoin;
};
