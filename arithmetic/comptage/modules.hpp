// SPDX-License-Identifier: GPL-3.0-or-later
// Moduli of a count: 2^64, then the primes just below 2^63, as many as the
// largest possible count requires; the exact rebuild of the count from its
// residues (reconstruction.hpp); and the count summed from pairs of values
// rebuilt one by one.
#pragma once

#include <cstddef>
#include <vector>

#include <gmpxx.h>

#include "probleme.hpp"
#include "reconstruction.hpp"
#include "suivi.hpp"

// Largest number of items whose count always fits in 64 bits: no sum is
// reached by more sets of k distinct positive integers than the middle sum
// of 1, 2, ..., k (the largest coefficient of (1 + x)(1 + x^2)...(1 + x^k)),
// and that coefficient is below 2^64 up to k = 72.
constexpr std::size_t kItems64 = 72;

// Number of moduli whose product exceeds every possible count with m items.
std::size_t nombre_modules(std::size_t m);
// The same with primes below 2^31 alone, each of more than 30 bits.
std::size_t nombre_modules_31(std::size_t m);

// Bits that the moduli of a split take for a value over items divisors:
// C(items, items/2), times (items + 1)/2 when items is odd (a margin on the
// odd number of items), two bits to spare, or 2^items when less; one more.
double bits_des_valeurs(std::size_t items);

// The modulus i of a count: 0 (standing for 2^64) for i = 0, then the primes
// below 2^63, descending. premiers keeps those found so far.
u64 module(std::vector<u64>& premiers, std::size_t i);

// The count from its residues: r[i] modulo module(premiers, i).
mpz_class reconstruire(const u64* r, std::size_t modules, std::vector<u64>& premiers);

// Sum over k < n of x_k y_k, each x_k and y_k rebuilt exactly by r from its
// residues A[i n + k] and B[i n + k] modulo the modulus i of r, on GMP limbs
// without allocating; a safe point every 2^16 values of k.
mpz_class somme_produits(Reconstruction& r, const u64* A, const u64* B, std::size_t n, const Progres& pr);
