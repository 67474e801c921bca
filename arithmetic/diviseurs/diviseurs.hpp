// SPDX-License-Identifier: GPL-3.0-or-later
// The ascending list of the proper divisors of N, their count and their sum:
// the first stage of the per-number computation.
#pragma once

#include "travail.hpp"

// Sets SN = N and ns = 0, factorizes S (= N), then fills Div[1..ND1] with
// the proper divisors of N in ascending order and Smax with their sum.
void diviseurs(Travail& w);

// The second half of diviseurs: Div[1..ND1] and Smax from the factorization
// already in Nfact[1..nf] and Nexpo[1..nf].
void liste(Travail& w);
