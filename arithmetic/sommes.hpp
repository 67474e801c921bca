// The equal-sum count of an abundant N: how many sets of distinct proper
// divisors of N sum to exactly N. The report depends only on this function,
// not on how the count is obtained.
#pragma once

#include <cstddef>
#include <cstdint>

#include <gmpxx.h>

// div[0..n-1]: the proper divisors of N, ascending; cible: N.
mpz_class sommes_egales(const std::int64_t* div, std::size_t n, std::int64_t cible);

// True when that count may take long enough (about 10 ms or more) that what
// is already written should reach its reader first.
bool sommes_longues(const std::int64_t* div, std::size_t n, std::int64_t cible);
