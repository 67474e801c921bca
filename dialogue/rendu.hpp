// SPDX-License-Identifier: GPL-3.0-or-later
// How the value of one N is written: the dialogue's block, or one line of
// columns separated by tabs for tables and scripts (N, its class, the number
// and the sum of its proper divisors, the solutions of an abundant N: "?"
// when its count was left out, empty otherwise); and which N a range keeps.
#pragma once

#include <ostream>

#include "resultat.hpp"

// Which N of a range are written: all, the abundant ones, the abundant ones
// without solution (weird, or whose count was left out), or the weird ones
// none of whose proper divisors is weird (primitive).
enum class Filtre { tous, abondants, bizarres, primitifs };

// True when f keeps r.
bool garde(const Resultat& r, Filtre f);

// The dialogue's block of r.
void bloc(const Resultat& r, std::ostream& out);

// The line naming the columns.
extern const char* const kEnteteColonnes;

// The line of columns of r, ended by a newline.
void ligne(const Resultat& r, std::ostream& out);

// The lines of the classes decided rather than counted: the column of
// solutions replaced by the decision of an abundant N ("semiparfait" or
// "bizarre"), and with temoin a last column, for a semiperfect N, of proper
// divisors summing to N, largest first, joined by '+'.
extern const char* const kEnteteDecisions;
extern const char* const kEnteteTemoins;
void ligne_decision(const Resultat& r, std::ostream& out, bool temoin);

// Writes v in plain decimal.
void ecrire_entier(std::ostream& out, __int128 v);
