// SPDX-License-Identifier: GPL-3.0-or-later
// Factor splitting for the cofactor that trial division leaves behind:
// Pollard's rho (Brent's variant) on 64-bit unsigned integers, with the
// primality test of primalite.hpp.
#pragma once

#include <cstdint>
#include <vector>

// Appends the prime factors of n to premiers, each repeated as often as it
// divides n, in no particular order (the caller sorts and groups them).
// Appends nothing for n = 0 or n = 1. Terminates for every 64-bit n.
void facteurs_rho(std::uint64_t n, std::vector<std::uint64_t>& premiers);
