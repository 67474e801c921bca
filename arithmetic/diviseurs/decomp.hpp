// SPDX-License-Identifier: GPL-3.0-or-later
// Factorization of S: trial division over the prime table, which grows up
// to 2^20, then Pollard's rho for a cofactor without any factor below it.
#pragma once

#include "travail.hpp"

// Divides S down to 1 and leaves its distinct prime factors, ascending, in
// Nfact[1..nf] and their exponents in Nexpo[1..nf]. Requires S >= 1, Nfact
// and Nexpo at one slot each and the prime table seeded.
void decomp(Travail& w);
