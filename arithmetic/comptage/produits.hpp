// SPDX-License-Identifier: GPL-3.0-or-later
// Dot products modulo a prime, for the counts that read their tables along
// two arrays at once: with AVX-512 IFMA where the processor has it (primes
// below 2^50), else with 128-bit accumulators (below 2^60); on arrays of
// 32-bit cells, primes below 2^32 either way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "probleme.hpp"
#include "processeur.hpp"

// The moduli a dot product accepts on the processor c: below 2^50 with IFMA,
// 2^60 without.
inline unsigned bits_produits(const Processeur& c) { return c.ifma ? 50 : 60; }

// The n largest primes below 2^bits, decreasing.
std::vector<u64> premiers_produits(unsigned bits, std::size_t n);

// Sum of a[i] * b[i] for i < n, modulo p; every a[i], b[i] below p, p below
// 2^bits_produits() for 64-bit cells, below 2^32 for 32-bit cells; ifma
// only on a processor that has it, and then p below 2^50.
u64 produit_mod(const u64* a, const u64* b, std::size_t n, u64 p, bool ifma);
u64 produit_mod(const std::uint32_t* a, const std::uint32_t* b, std::size_t n, u64 p, bool ifma);
// The same with b read downwards: sum of a[i] * b[-i].
u64 produit_mod_envers(const u64* a, const u64* b, std::size_t n, u64 p, bool ifma);
u64 produit_mod_envers(const std::uint32_t* a, const std::uint32_t* b, std::size_t n, u64 p, bool ifma);
