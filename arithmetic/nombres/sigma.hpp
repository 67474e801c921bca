// SPDX-License-Identifier: GPL-3.0-or-later
// The divisors of a number given by its factorization, one, two or three of
// its primes left out: the sum of the divisors, and the odd divisors with the
// exponent of 2.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "modulaire.hpp"

// A prime factor and its exponent.
using Facteur = std::pair<std::uint64_t, unsigned>;

// The sum of the divisors of the product of the factors f, the primes sauf1,
// sauf2 and sauf3 left out (0: none); nothing when a partial product of the
// factors' divisor sums, taken in the order of f, exceeds borne < 2^64. The
// product of the factors must be below 2^64.
std::optional<u64> sigma_sans(std::span<const Facteur> f, u64 borne, u64 sauf1, u64 sauf2 = 0, u64 sauf3 = 0);

// The odd divisors of that product, ascending, into impairs; returns the
// exponent of 2 in it.
unsigned impairs_sans(std::span<const Facteur> f, std::vector<u64>& impairs, u64 sauf1, u64 sauf2 = 0, u64 sauf3 = 0);
