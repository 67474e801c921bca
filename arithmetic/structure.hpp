// Equal-sum count through the structure of the divisors of N: the walk over
// the base-p digits of N.
//
// Write N = p^a * M with p prime not dividing M. Every divisor of N is
// p^i * m with m | M, so a set of proper divisors sums to N exactly when
// N = sum over i of p^i * X_i, X_i being a sum of distinct divisors of M
// (for i = a, without M itself). The count is a walk over the digits of N
// in base p, from the lowest, with a carry that never passes
// sigma(M) / (p - 1); each step needs only the subset-sum counts of the
// divisors of M, a table over sigma(M) / 2 sums (a set and its complement
// have the same count), not over N.
//
// Counted modulo 2^64 and the primes of the engine, then rebuilt exactly;
// the moduli are spread over two threads when the memory budget allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include <gmpxx.h>

struct PlanStructure {
    std::uint64_t p = 0;  // the prime whose digits are walked
    unsigned a = 0;       // its exponent in N
    std::uint64_t M = 0;  // N / p^a
    std::uint64_t sigma = 0;  // sum of the divisors of M
    std::uint64_t H = 0;      // sigma / 2: the half table of M's subset sums
    std::uint64_t retenue = 0;  // bound of the carry: sigma / (p - 1)
    // Items of M's table: each base d with the k terms d, 2d, ..., 2^(k-1) d
    // (the divisors of M grouped along the powers of 2), lightest first.
    std::vector<std::uint64_t> base;
    std::vector<unsigned> termes;
    std::size_t modules = 0;  // moduli of the count
    unsigned fils = 1;        // threads that share the moduli
    std::size_t octets = 0;   // memory of one thread's tables (the Tables of structure.cpp)
    double cout = 0;          // estimated nanoseconds
    double cellules = 0;      // estimated table cells written, all moduli
};

// The factorization of cible recovered from div[0..n-1], which must be
// exactly its proper divisors, ascending: the pairs (prime, exponent).
// False when the list is anything else.
bool facteurs_depuis_liste(const std::int64_t* div, std::size_t n, std::int64_t cible,
                           std::vector<std::pair<std::uint64_t, unsigned>>& facteurs);

// The cheapest walk for N = cible with the given factorization and n proper
// divisors, within the memory budget. False when none fits.
// With impose != 0, only the walk over the digits of that prime is planned
// (for the tests and the benchmarks).
bool planifier_structure(const std::vector<std::pair<std::uint64_t, unsigned>>& facteurs,
                         std::size_t n, std::int64_t cible, PlanStructure& plan,
                         std::uint64_t impose = 0);

// Runs the plan, waiting in the order of N for budget that other counts
// hold. False (and nothing counted) when the memory budget cannot
// grant its tables at the time it starts. Throws Interruption when a stop
// is asked.
bool compte_structure(const PlanStructure& plan, mpz_class& resultat);
