// SPDX-License-Identifier: GPL-3.0-or-later
// The ascending list of the proper divisors of N, their count and their sum:
// the first stage of the per-number computation.
#pragma once

#include "travail.hpp"

// Advances the exponent odometer Prod[1..nf] to the next combination (the
// last prime moves fastest) and counts it in k; returns the position that
// grew (every later one is back to 0). Leaves everything unchanged and
// returns 0 when every exponent is already at its maximum.
std::int64_t suiv2(Travail& w, std::int64_t& k);

// Sets SN = N and ns = 0, factorizes S (= N), then fills Div[1..ND1] with
// the proper divisors of N in ascending order and Smax with their sum.
void diviseurs(Travail& w);

// The second half of diviseurs: Div[1..ND1] and Smax from the factorization
// already in Nfact[1..nf] and Nexpo[1..nf].
void liste(Travail& w);
