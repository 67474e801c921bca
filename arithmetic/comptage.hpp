// Exact equal-sum count in polynomial time: how many sets of distinct values
// among the proper divisors of N sum to exactly N.
//
// The engine picks, for each call, the cheapest exact method by an estimate
// of its cost in time, within a memory budget:
//   - a counting table over the sums (0/1 knapsack, doubling chains counted
//     as bounded items, two-sided pruning of the window of useful sums);
//   - a table over the smallest divisors and, for the largest ones, sorted
//     lists of their distinct subset sums with multiplicities;
//   - a meet in the middle over the largest divisors when the target is far
//     too large for a table;
//   - when nothing fits, a depth-first walk behind the largest table that
//     fits.
// Counts wider than 64 bits are computed modulo 2^64 and primes just below
// 2^63, then rebuilt exactly by the Chinese remainder theorem (GMP).
// Memory stays below about 640 MiB whatever the input, taken from the
// memory budget of the process (suivi.hpp) so that counts running at once
// in several threads share one bound; a count short of budget waits for
// the others to give theirs back, in the order of N (suivi.hpp), or falls
// back to smaller tables. An input whose count cannot be finished in
// practice keeps running within that bound. The count reports its progress to the Suivi of
// the calling thread and throws Interruption at a safe point once asked to
// stop, with every table given back.
// Nothing is written to stdout or stderr.
#pragma once

#include <cstddef>
#include <cstdint>

#include <gmpxx.h>

// div[0..n-1]: positive values, ascending (the proper divisors of N);
// cible: the target sum (N). Returns the exact number of sets of entries of
// div whose sum is cible. Any n is accepted; unsorted or repeated entries
// are counted as the mask search counts them, an entry 0 doubles the count
// and negative entries are left out.
mpz_class compte_sommes(const std::int64_t* div, std::size_t n, std::int64_t cible);

// True when compte_sommes on the same arguments may take more than about
// 10 ms: a cheap estimate (linear in n), so that the caller can flush what it
// has already written before a long count.
bool comptage_long(const std::int64_t* div, std::size_t n, std::int64_t cible);

// Estimated nanoseconds of compte_sommes on the same arguments; any value
// at or above plafond when the count costs at least that much (the planner
// stops looking past it, so that the estimate itself stays cheaper).
double cout_comptage(const std::int64_t* div, std::size_t n, std::int64_t cible, double plafond);

// Gives back every buffer the engine of the calling thread keeps for its
// next count.
void comptage_libere();
