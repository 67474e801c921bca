// SPDX-License-Identifier: GPL-3.0-or-later
// Primality of 64-bit numbers (deterministic Miller-Rabin), and the largest
// primes below a power of 2, the moduli the counts work with.
#pragma once

#include <cstddef>
#include <vector>

#include "modulaire.hpp"

// True when n is prime. Exact for every 64-bit n: 0 and 1 are not prime,
// 2 is, other even n are not.
bool est_premier(u64 n);

// Extends premiers, which holds the largest primes below 2^bits in
// decreasing order (none at first), until it holds n of them.
// 2 <= bits <= 64, and there must be n odd primes below 2^bits.
void plus_grands_premiers(unsigned bits, std::size_t n, std::vector<u64>& premiers);
