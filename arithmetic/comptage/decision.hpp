// SPDX-License-Identifier: GPL-3.0-or-later
// Whether some set of distinct entries of a divisor list sums to the target:
// the semiperfect numbers told from the weird ones without counting where a
// witness is found, and exactly where none is.
#pragma once

#include <cstdint>
#include <vector>

#include "moteur.hpp"
#include "probleme.hpp"

// How a decision was reached.
enum class Voie {
    recherche,  // the depth-first search: a witness, or its whole tree without one
    table,      // the table of reachable sums, 64 sums a word
    compte,     // the exact count of the engine
};

struct Decision {
    bool atteinte = false;  // some set of entries sums to the target
    Voie voie = Voie::recherche;
    // When asked and atteinte: entries of the list summing to the target,
    // largest first.
    std::vector<std::int64_t> temoin;
};

// How far the search goes before it gives way, and up to which size the
// table is preferred to the count (entries times words of 64 sums).
struct Bornes {
    std::uint64_t noeuds = std::uint64_t{1} << 14;  // nodes, plus so many per entry
    std::uint64_t par_entree = 16;
    std::uint64_t mots_table = std::uint64_t{1} << 24;
};

// Decides for e (e.div ascending, positive and distinct, e.cible > 0). The
// target is reduced as the count reduces it: to the sum of the entries left
// out when that is smaller. First a search from the largest entry down,
// greedy and then depth first, cut where the entries still available cannot
// reach the target; when it gives up without a witness, the table of
// reachable sums where it is cheap, the exact count of m otherwise. Never
// undecided; a count that m refuses or interrupts throws as the count does.
Decision decide(const Entree& e, Moteur& m, bool temoin = false, const Bornes& b = {});
