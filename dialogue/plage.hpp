// SPDX-License-Identifier: GPL-3.0-or-later
// A range computed by the threads of an Equipe: each N by whichever thread
// is free, each block rendered to a string and written strictly in
// increasing order, as soon as it and every block before it are done.
#pragma once

#include <cstdint>
#include <exception>
#include <limits>
#include <ostream>

#include "calcul.hpp"
#include "equipe.hpp"
#include "rendu.hpp"
#include "vidage.hpp"

// How each N is written: the dialogue's block, or one line of columns
// (rendu.hpp); only the N the filter keeps; a count estimated above limite
// nanoseconds left out ("?").
struct Rendu {
    bool colonnes = false;
    Filtre filtre = Filtre::tous;
    Question question = Question::compte;  // what is asked of an abundant N
    bool decisions = false;                // the lines of the decisions (rendu.hpp)
    bool crible = false;                   // the N factored by the sieve, in runs
    double limite = std::numeric_limits<double>::infinity();
    std::ostream* conseils = nullptr;  // where a count that more memory would speed up is said
    std::ostream* limites = nullptr;   // where one that the limits of the process slow down is said
};

// What a range did.
struct Bilan {
    std::uint64_t ecrits = 0;  // N of the range done in order, from the first
    bool ecartes = false;      // some count was left out for the limit
    bool arrete = false;       // Ctrl-C stopped it
    bool sortie_ok = true;     // out could still be written at the end
};

// A count that failed (memory exhausted beyond every fallback, no plan
// that fits): its N.
struct EchecCompte : std::exception {
    explicit EchecCompte(std::int64_t n) : N(n) {}
    const char* what() const noexcept override { return "compte impossible"; }
    std::int64_t N;
};

// Processes every N of [nmin, nmax] with the threads of e and writes what r
// asks to out under the flush rules of v, with the status line when e shows
// it. Ctrl-C (interruption.hpp) stops it: the blocks written are kept and a
// line says at which N the calculation was interrupted. A failure of a count
// that the engine could not absorb is thrown here as EchecCompte, after the
// blocks before it.
Bilan calcul_plage(std::ostream& out, std::int64_t nmin, std::int64_t nmax, Equipe& e, const Rendu& r, const Vidage& v);
