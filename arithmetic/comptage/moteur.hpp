// SPDX-License-Identifier: GPL-3.0-or-later
// Exact equal-sum count in polynomial time: how many sets of distinct values
// among the proper divisors of N sum to exactly N.
//
// The engine reduces the problem, asks every counting method for its plan
// (methode.hpp; the map of the methods is in arithmetic/README.md) and runs
// the cheapest by estimated cost, within the memory budget of its context;
// a plan short of memory waits for the budget in the order the range gives
// it, or gives way to the next one. Counts wider than 64 bits are computed
// modulo 2^64 and primes just below 2^63, then rebuilt exactly by the
// Chinese remainder theorem (GMP). An input whose count cannot be finished
// in practice keeps running within that bound. The count reports its
// progress to the context and throws Interruption at a safe point once asked
// to stop, with every table given back. Nothing is written to stdout or
// stderr.
#pragma once

#include <memory>
#include <optional>

#include <gmpxx.h>

#include "contexte.hpp"
#include "methode.hpp"
#include "probleme.hpp"

// A count and the method that made it.
struct Compte {
    mpz_class valeur;
    Methode methode = Methode::aucune;
};

// The engine of one thread: its context and the workspace it keeps from one
// count to the next.
class Moteur {
public:
    explicit Moteur(Contexte& c);
    ~Moteur();
    Moteur(const Moteur&) = delete;
    Moteur& operator=(const Moteur&) = delete;

    // The exact number of sets of entries of e.div whose sum is e.cible.
    mpz_class compte(const Entree& e);
    // The same with the method that counted.
    Compte denombre(const Entree& e);
    // The same by the method imposed, whatever its cost; AucunPlan when it
    // does not apply or does not fit.
    Compte denombre(const Entree& e, const Imposee& i);

    // The estimate a limit (Contexte::limite) is compared with: the
    // nanoseconds of the best plan on the reference machine (the memory
    // asked of the budget, a processor without extensions), whatever this
    // machine and the limits of the process; 0 for a count known without
    // counting.
    double estime(const Entree& e);

    // When the best plan within the budget is estimated at least ten times
    // slower than one the process's own limits would allow (Budget::permis),
    // the smallest memory, doubling from the budget, that gives such a plan
    // and that plan's estimate; when those limits leave less than was asked
    // (Budget::voulu), the same up to what was asked, beyond the limits;
    // nothing otherwise, or for counts estimated below a second.
    struct Conseil {
        std::size_t octets = 0;
        double cout = 0;
        bool limites = false;  // beyond what the limits of the process allow
    };
    std::optional<Conseil> conseil(const Entree& e);

    // Gives back every buffer kept for the next count.
    void libere();

private:
    Compte denombre(const Entree& e, const Imposee* impose);

    Contexte& ctx_;
    std::unique_ptr<Atelier> w_;
};
