// SPDX-License-Identifier: GPL-3.0-or-later
// How the value of one N is written: the dialogue's block, or one line of
// columns separated by tabs for tables and scripts (N, its class, the number
// and the sum of its proper divisors, the solutions of an abundant N: "?"
// when its count was left out, empty otherwise); and which N a range keeps.
#pragma once

#include <ostream>

#include "resultat.hpp"

// Which N of a range are written: all, the abundant ones, or the abundant
// ones without solution (and those whose count was left out).
enum class Filtre { tous, abondants, bizarres };

// True when f keeps r.
bool garde(const Resultat& r, Filtre f);

// The dialogue's block of r.
void bloc(const Resultat& r, std::ostream& out);

// The line naming the columns.
extern const char* const kEnteteColonnes;

// The line of columns of r, ended by a newline.
void ligne(const Resultat& r, std::ostream& out);

// Writes v in plain decimal.
void ecrire_entier(std::ostream& out, __int128 v);
