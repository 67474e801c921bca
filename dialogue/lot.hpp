// SPDX-License-Identifier: GPL-3.0-or-later
// A range computed without the dialogue, from the command line: its lines
// (or blocks) on standard output, in increasing N, the pool of the dialogue
// doing the work.
#pragma once

#include <ostream>

#include "arguments.hpp"
#include "equipe.hpp"
#include "vidage.hpp"

// Status of a range without the dialogue: every line written, some counts
// left out for the limit.
constexpr int kStatutComplet = 0;
constexpr int kStatutEcartes = 4;
// A write to standard output failed (a reader gone, a full disk), with or
// without the dialogue; a count impossible in the memory of the process.
constexpr int kStatutEcriture = 3;
constexpr int kStatutMemoire = 5;

// Writes the range of l to out with the threads of e; a count that more
// memory would make much faster is said on erreurs, one line per N. Returns
// kStatutComplet or kStatutEcartes; a failed write shows on out.
int lot(std::ostream& out, std::ostream& erreurs, Equipe& e, const Lot& l, const Vidage& v);
