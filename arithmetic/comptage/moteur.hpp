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
#include <span>

#include <gmpxx.h>

#include "contexte.hpp"
#include "methode.hpp"
#include "probleme.hpp"

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

    // The same with the given planners only, in that order; the name of the
    // method that counted goes to methode when it is not null. For the tests
    // and the benchmarks.
    mpz_class compte(const Entree& e, std::span<const Planificateur> planificateurs, const char** methode);

    // Gives back every buffer kept for the next count.
    void libere();

private:
    Contexte& ctx_;
    std::unique_ptr<Atelier> w_;
};

// The planners of the program, in the order they are asked.
std::span<const Planificateur> methodes();
