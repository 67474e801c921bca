// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: --help / -h, --version, a range computed without the
// dialogue and its options, or nothing (the dialogue).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <ostream>

#include "rendu.hpp"

// A range computed without the dialogue: MIN MAX and the options before them.
struct Lot {
    std::int64_t nmin = 0, nmax = 0;
    bool blocs = false;  // the dialogue's blocks rather than lines of columns
    bool entete = true;  // the line naming the columns first
    Filtre filtre = Filtre::tous;
    bool classes = false;  // the abundant N decided (semiperfect or weird) rather than counted
    bool temoin = false;   // with classes: a set of divisors summing to each semiperfect N
    double limite = std::numeric_limits<double>::infinity();  // seconds of estimated count
    std::size_t memoire = 0;                                  // MiB of budget asked (0: the default)
};

// What the command line asks for. Writes the usage or the version to out,
// or one line to err for an argument it refuses; fills lot for a range.
enum class Commande { dialogue, lot, termine, refus };
Commande lit_arguments(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Lot& lot);

// The budget asked in MiB by SOMMES_DIVISEURS_MEMOIRE, from 16 to 2^30,
// or 0 (the default).
std::size_t memoire_demandee(const char* reglage);

// The number of computing threads: SOMMES_DIVISEURS_FILS when it holds a
// whole number from 1 to 256, else the number of processors the process may
// run on (its affinity mask).
unsigned nombre_de_fils(const char* reglage);
