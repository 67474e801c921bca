// SPDX-License-Identifier: GPL-3.0-or-later
// The shape every counting method takes: a planner that, given the reduced
// problem, proposes a plan (its estimated cost, the memory of its tables, and
// how to run it), or nothing when the method does not apply or cannot beat
// the best plan found so far. The chooser (moteur.cpp) asks each planner of
// its list in turn and runs the cheapest plan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>

#include <gmpxx.h>

#include "probleme.hpp"

constexpr double kInfini = std::numeric_limits<double>::infinity();

// What a planner is given: the count asked, the reduced problem with its
// items in w.items (prefix sums and table costs ready, prefixe.hpp), the
// workspace, the context, and the bounds of this round of planning.
struct Demande {
    const Entree& entree;
    const Probleme& pb;
    Atelier& w;
    Contexte& ctx;
    std::size_t cellules_max = kCellulesMax;  // largest counting table allowed
    double plafond = kInfini;                 // cost of the best plan so far
};

// How a run ended: counted, short of memory or budget, or past a capacity of
// the method (too many distinct sums); the last two count nothing.
enum class Issue { fait, memoire, capacite };

class Plan {
public:
    virtual ~Plan() = default;
    // The method's name, for the tests and the benchmarks.
    virtual const char* nom() const = 0;
    // Counts the reduced problem into resultat (the zeros of the request
    // aside), reporting to the context's progress.
    virtual Issue execute(Demande& d, mpz_class& resultat) = 0;

    double cout = kInfini;   // estimated nanoseconds of execute
    std::size_t octets = 0;  // bytes of its tables, at least
    bool listes = false;     // its lists are in w.ls / w.lm already
    bool reductible = true;  // smaller with a smaller Demande::cellules_max
};

using Planificateur = std::function<std::unique_ptr<Plan>(Demande& d)>;

// The methods, each in its own file.
std::unique_ptr<Plan> planifie_table(Demande& d);     // table.cpp
std::unique_ptr<Plan> planifie_zigzag(Demande& d);    // table.cpp
std::unique_ptr<Plan> planifie_milieu(Demande& d);    // milieu.cpp
std::unique_ptr<Plan> planifie_listes(Demande& d);    // queue_listes.cpp
std::unique_ptr<Plan> planifie_chiffres(Demande& d);  // chiffres.cpp
std::unique_ptr<Plan> planifie_scission(Demande& d);  // deux_premiers.cpp
std::unique_ptr<Plan> planifie_parcours(Demande& d);  // parcours.cpp

// One method's plan with its choice imposed, whatever its cost (for the
// tests and the benchmarks, which run each method on the same input): the
// whole table, ascending or in zigzag; the split at j of the lists, of the
// meet in the middle (2 to kQueueMilieuMax queue items) and of the walk; the
// walk over the digits of the prime p of N. A split whose lists are too long
// gives the walk at that split; nullptr when the method does not apply.
std::unique_ptr<Plan> table_en(Demande& d, bool zigzag);
std::unique_ptr<Plan> listes_en(Demande& d, std::size_t j);
std::unique_ptr<Plan> milieu_en(Demande& d, std::size_t j);
std::unique_ptr<Plan> parcours_en(Demande& d, std::size_t j);
std::unique_ptr<Plan> chiffres_en(Demande& d, std::uint64_t p);
std::unique_ptr<Plan> scission_en(Demande& d, std::uint64_t q, std::uint64_t r);
