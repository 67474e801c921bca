// SPDX-License-Identifier: GPL-3.0-or-later
// Primality test and factor splitting for the cofactor that trial division
// leaves behind: deterministic Miller-Rabin and Pollard's rho (Brent's
// variant), both on 64-bit unsigned integers.
#pragma once

#include <cstdint>
#include <vector>

// True when n is prime. Exact for every 64-bit n: 0 and 1 are not prime,
// 2 is, other even n are not.
bool est_premier(std::uint64_t n);

// Appends the prime factors of n to premiers, each repeated as often as it
// divides n, in no particular order (the caller sorts and groups them).
// Appends nothing for n = 0 or n = 1. Terminates for every 64-bit n.
void facteurs_rho(std::uint64_t n, std::vector<std::uint64_t>& premiers);
