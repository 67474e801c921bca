// SPDX-License-Identifier: GPL-3.0-or-later
// The growing prime table: seeded with 2 and 3, extended one prime at a time
// by trial division over itself whenever a factorization needs a trial prime
// beyond its end. It is never shrunk.
#pragma once

#include "travail.hpp"

// Stores 2 and 3 in the slots that exist from creation; np = 2.
void amorce(Travail& w);

// Appends the smallest prime above Nprem[np] and increases np by one.
// Requires np >= 2.
void Suiv(Travail& w);
