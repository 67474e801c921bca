// Dot products modulo a prime, for the counts that read their tables along
// two arrays at once: with AVX-512 IFMA on primes below 2^50 where the
// processor has it, else with 128-bit accumulators on primes below 2^60.
#pragma once

#include <cstddef>
#include <vector>

#include "probleme.hpp"

// The moduli a dot product accepts on this processor: below 2^50 with IFMA,
// 2^60 without.
unsigned bits_produits();

// The n largest primes below 2^bits, decreasing.
std::vector<u64> premiers_produits(unsigned bits, std::size_t n);

// Sum of a[i] * b[i] for i < n, modulo p; every a[i], b[i] below p, p below
// 2^bits, bits the value of bits_produits().
u64 produit_mod(const u64* a, const u64* b, std::size_t n, u64 p, unsigned bits);
