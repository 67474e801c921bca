// SPDX-License-Identifier: GPL-3.0-or-later
// The per-number computation: divisor list, classification, equal-sum count
// for an abundant N, report block, reset of the per-number tables.
#pragma once

#include <ostream>

#include "moteur.hpp"
#include "travail.hpp"

// Processes N (with S = N) and writes its report block to out; an abundant
// N is counted by m.
void calcul(Travail& w, Moteur& m, std::ostream& out);

// Writes the report block of N from SN, ND1, Smax and ns, then resets the
// per-number tables. Runs the equal-sum count first when N is abundant; a
// count the engine refuses as too long (CompteEcarte) gets the block with
// "?" for the count, and is thrown again.
void rapport(Travail& w, Moteur& m, std::ostream& out);

// The equal-sum count of an abundant N, whose divisors are listed.
mpz_class compte_solutions(const Travail& w, Moteur& m);

// Writes v in plain decimal.
void ecrire_entier(std::ostream& out, __int128 v);
