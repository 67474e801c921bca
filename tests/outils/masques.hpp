// SPDX-License-Identifier: GPL-3.0-or-later
// The exhaustive mask search: every subset of the proper divisors examined
// one by one. Exact but exponential; kept as the reference method.
#pragma once

#include <cstddef>
#include <cstdint>

#include <gmpxx.h>

// Number of sets of distinct values among div[0..n-1] (positive, ascending)
// whose sum is cible, by examining the 2^n subsets as bit masks, from the
// full set down to the empty one. Masks are 64-bit: n at most 61.
std::int64_t recherche_masques(const std::int64_t* div, std::size_t n, std::int64_t cible);

// The same count for any n, by a depth-first walk over the same subsets
// without masks (nothing overflows, however many divisors).
mpz_class recherche_profondeur(const std::int64_t* div, std::size_t n, std::int64_t cible);
