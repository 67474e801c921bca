// SPDX-License-Identifier: GPL-3.0-or-later
// The shape every counting method takes: a planner that, given the reduced
// problem, proposes a plan (its estimated cost, the memory of its tables, and
// how to run it), or nothing when the method does not apply or cannot beat
// the best plan found so far. The chooser (moteur.cpp) asks each planner of
// its list in turn and runs the cheapest plan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include <gmpxx.h>

#include "probleme.hpp"
#include "processeur.hpp"

// The counting methods, in the order the engine asks their planners.
enum class Methode {
    aucune,    // the count was known from the reduction alone
    table,     // the whole table, ascending (table.cpp)
    chiffres,  // the walk over the digits of N (chiffres.cpp)
    scission,  // the split over two primes of N (deux_premiers.cpp)
    trois,     // the split over three primes of N (trois_premiers.cpp)
    milieu,    // table and meet in the middle (milieu.cpp)
    listes,    // table and lists of the queue (queue_listes.cpp)
    zigzag,    // the whole table in zigzag (table.cpp)
    parcours,  // table and walk in bounded memory (parcours.cpp)
};

// Its name, for messages and the benchmarks.
const char* nom(Methode m);

// A method imposed on a count, with its choice: the items left to the queue
// (lists, meet in the middle, walk; at most all of them), the prime p of the
// digit walk, the primes p and q of the split (with r, the split over three
// primes: N = p M, the rows modulo q, r the third); the walk or the table of
// the table methods on 32-bit cells (etroit) even where those of 64 bits
// fit, and the threads sharing the moduli of a table method or the rows of
// the split over three primes (fils, 0: by cost);
// for the walk with a = 1, its
// values rebuilt one by one (par_valeur true) or the count's residues
// (false), chosen by cost when unset; for the split, how many halves of its
// values come from number-theoretic transforms (0, 1: the window
// B_M(M - k), 2: both), chosen by cost when unset. For the tests and the benchmarks,
// which run each method on the same input.
struct Imposee {
    Methode methode = Methode::table;
    std::size_t queue = 0;
    std::uint64_t p = 0, q = 0;
    bool etroit = false;
    std::optional<bool> par_valeur = std::nullopt;
    std::optional<unsigned> transformees = std::nullopt;
    unsigned fils = 0;
    std::uint64_t r = 0;
};

// Thrown when no plan can run: the method imposed does not apply or does not
// fit, or memory is short even for the smallest walk.
struct AucunPlan : std::exception {
    const char* what() const noexcept override { return "aucun plan de comptage ne tient en memoire"; }
};

constexpr double kInfini = std::numeric_limits<double>::infinity();

// What the pricing reads of the machine: the memory the tables may take and
// the processor's features. A count is planned on the machine it runs on;
// whether a limit leaves it out is decided on a reference machine (the
// memory asked, a processor without any of its extensions), so that every
// machine leaves out the same N with the same options.
struct Machine {
    std::size_t memoire = 0;
    Processeur processeur{};

    bool operator==(const Machine&) const = default;
};

// What a planner is given: the count asked, the reduced problem with its
// items in w.items (prefix sums and table costs ready, prefixe.hpp), the
// workspace, the context, the machine it is priced for, and the bounds of
// this round of planning.
struct Demande {
    const Entree& entree;
    const Probleme& pb;
    Atelier& w;
    Contexte& ctx;
    Machine machine;
    std::size_t cellules_max = kCellulesMax;  // largest counting table allowed
    double plafond = kInfini;                 // cost of the best plan so far
};

// How a run ended: counted, short of memory or budget, or past a capacity of
// the method (too many distinct sums); the last two count nothing.
enum class Issue { fait, memoire, capacite };

class Plan {
public:
    virtual ~Plan() = default;
    virtual Methode methode() const = 0;
    // Counts the reduced problem into resultat (the zeros of the request
    // aside), reporting to the context's progress. What the plan built while
    // planning (lists, steps) is its own and goes to its run.
    virtual Issue execute(Demande& d, mpz_class& resultat) = 0;
    // Whether planning again with a smaller Demande::cellules_max gives this
    // method smaller tables: when it does not, a plan short of memory is
    // dropped rather than planned again.
    virtual bool reductible() const = 0;

    double cout = kInfini;   // estimated nanoseconds of execute
    std::size_t octets = 0;  // bytes of its tables, at least
};

using Planificateur = std::function<std::unique_ptr<Plan>(Demande& d)>;

// The planners, each in its method's file: a plan when the method applies
// and may beat d.plafond, else nothing.
std::unique_ptr<Plan> planifie_table(Demande& d);     // table.cpp
std::unique_ptr<Plan> planifie_zigzag(Demande& d);    // table.cpp
std::unique_ptr<Plan> planifie_milieu(Demande& d);    // milieu.cpp
std::unique_ptr<Plan> planifie_listes(Demande& d);    // queue_listes.cpp
std::unique_ptr<Plan> planifie_chiffres(Demande& d);  // chiffres.cpp
std::unique_ptr<Plan> planifie_scission(Demande& d);  // deux_premiers.cpp
std::unique_ptr<Plan> planifie_trois(Demande& d);     // trois_premiers.cpp
std::unique_ptr<Plan> planifie_parcours(Demande& d);  // parcours.cpp

// One method's plan for the choice given, built without pricing the others
// (the planners above use them for the choice they retain, the engine for a
// method imposed): the whole table, ascending or in zigzag; the table over
// items[0..j) with the lists of the queue (nothing when they pass their
// capacity), the meet in the middle (2 to kQueueMilieuMax queue items) or
// the walk; the walk over the digits of the prime p of N; the split over q
// and r. nullptr when the method does not apply to that choice.
// The table methods take the width of their cells and their threads from
// the cost model (cellules.hpp), or 32-bit cells (etroit) and fils threads
// when given.
std::unique_ptr<Plan> plan_table(Demande& d, bool zigzag, bool etroit = false, unsigned fils = 0);
std::unique_ptr<Plan> plan_listes(Demande& d, std::size_t j, bool etroit = false, unsigned fils = 0);
std::unique_ptr<Plan> plan_milieu(Demande& d, std::size_t j, bool etroit = false, unsigned fils = 0);
std::unique_ptr<Plan> plan_parcours(Demande& d, std::size_t j, bool etroit = false);
std::unique_ptr<Plan> plan_chiffres(Demande& d, std::uint64_t p, bool etroit = false,
                                    std::optional<bool> par_valeur = {});
std::unique_ptr<Plan> plan_scission(Demande& d, std::uint64_t q, std::uint64_t r,
                                    std::optional<unsigned> transformees = {});
// The split over three primes: N = d M, M = b c L, the rows modulo c, on
// fils threads (0: by cost).
std::unique_ptr<Plan> plan_trois(Demande& d, std::uint64_t dd, std::uint64_t c, std::uint64_t b, unsigned fils = 0);
