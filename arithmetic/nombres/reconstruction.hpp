// SPDX-License-Identifier: GPL-3.0-or-later
// A count rebuilt exactly from its residues (Garner's form of the Chinese
// remainder theorem, on GMP integers), and the bound on a count's size that
// says how many moduli it takes.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include <gmpxx.h>

#include "modulaire.hpp"

// C(m, floor(m/2)) bounds the number of sets of m distinct positive integers
// with a common sum (they form an antichain: Sperner). Its base-2 logarithm,
// to within 1e-8 for m up to 10^6, and its exact number of bits; m >= 1.
double log2_binome_milieu(std::size_t m);
std::size_t bits_binome_milieu(std::size_t m);

// Rebuilds integers from their residues modulo a fixed set of pairwise
// coprime moduli: 2^64 first when deux_64, then the given ones, each above 1
// and below 2^63.
// The inverses are computed once, with the moduli.
class Reconstruction {
public:
    Reconstruction(std::span<const u64> premiers, bool deux_64);

    // The x in [0, product of the moduli) with x = r[i pas] modulo the
    // modulus i, for every i (r[0] modulo 2^64 with deux_64).
    void operator()(const u64* r, std::size_t pas, mpz_class& x);
    // The same x on limbes() limbs, least significant first (GMP's mpn
    // layer), without allocating.
    void operator()(const u64* r, std::size_t pas, mp_limb_t* x);
    std::size_t limbes() const { return limbes_; }
    std::size_t modules() const { return p_.size(); }

private:
    void chiffres(const u64* r, std::size_t pas);  // the digits t_ of x

    std::vector<u64> p_;      // the moduli, 0 standing for 2^64
    std::vector<u64> inv_;    // inv_[j m + i]: modulus j inverted modulo modulus i, j < i
    std::vector<u64> shoup_;  // floor(inv_[j m + i] 2^64 / modulus i)
    std::vector<u64> t_;      // digits of x in the mixed radix of the moduli
    std::size_t limbes_ = 0;  // of the product of the moduli
};
