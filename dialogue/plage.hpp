// SPDX-License-Identifier: GPL-3.0-or-later
// A range computed by a small pool of threads: each N by whichever thread is
// free, each block rendered to a string and written strictly in increasing
// order, as soon as it and every block before it are done.
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>
#include <vector>

#include "budget.hpp"
#include "controle.hpp"
#include "rendu.hpp"
#include "travail.hpp"
#include "vidage.hpp"

// How each N is written: the dialogue's block, or one line of columns
// (rendu.hpp); only the N the filter keeps; a count estimated above limite
// nanoseconds left out ("?").
struct Rendu {
    bool colonnes = false;
    Filtre filtre = Filtre::tous;
    double limite = std::numeric_limits<double>::infinity();
};

// The computing threads: one work table (prime table seeded) per thread,
// and the memory budget of the program, which their counts share.
struct Equipe {
    explicit Equipe(Budget& b) : budget(b) {}
    Budget& budget;
    std::vector<Travail> travaux;
    bool ligne_etat = false;  // show the status line on standard error
    Rendu rendu;
    std::atomic<bool> ecartes{false};  // some count was left out
};

// Processes every N of [nmin, nmax] and writes the blocks to c.out under the
// flush rules of v. Ctrl-C (interruption.hpp) stops it: the blocks written
// are kept and a line says at which N the calculation was interrupted.
// Returns false when output failed. A failure of a count that the engine
// could not absorb is thrown again here, after the blocks before it.
bool calcul_plage(Console& c, std::int64_t nmin, std::int64_t nmax, Equipe& e, const Vidage& v);
