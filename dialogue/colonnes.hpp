// SPDX-License-Identifier: GPL-3.0-or-later
// One N as a line of columns separated by tabs, for tables and scripts: N,
// its class, the number and the sum of its proper divisors, and the number
// of solutions of an abundant N ("?" when its count was left out, empty
// otherwise).
#pragma once

#include <ostream>

#include "moteur.hpp"
#include "plage.hpp"
#include "travail.hpp"

// The line naming the columns.
extern const char* const kEnteteColonnes;

// Computes N (w.N = w.S = N) and writes its line when f keeps it; resets
// the per-number tables. True when the count was left out for the limit of
// m's context.
bool ligne_colonnes(Travail& w, Moteur& m, std::ostream& out, Filtre f);
