// SPDX-License-Identifier: GPL-3.0-or-later
// Number-theoretic transforms: cyclic convolutions of length 2^k modulo a
// prime p below 2^62 with p = 1 modulo 2^k, by fast Fourier transforms over
// the integers modulo p. The forward transform takes its array in natural
// order and leaves it in bit-reversed order; the inverse takes it back, so
// that a convolution is two forward transforms, their pointwise product and
// one inverse, with no permutation. Products by the roots go through
// Shoup's precomputed quotients; values stay below 2p inside a transform.
// Below 2^50, with AVX-512 IFMA, the stages run eight butterflies at a time
// on 52-bit products.
#pragma once

#include <cstddef>
#include <vector>

#include "modulaire.hpp"

class Ntt {
public:
    // Transforms of length 2^log_n modulo p: p prime below 2^62, 2^log_n
    // dividing p - 1.
    Ntt(u64 p, unsigned log_n);

    std::size_t taille() const { return n_; }
    u64 module() const { return p_; }

    // In place: a[0 .. n), every value below p, becomes its transform (values
    // at the powers of a root of order n, in bit-reversed order), below p.
    void direct(u64* a) const;
    // The inverse, divided by n: from bit-reversed order to natural order.
    void inverse(u64* a) const;
    // The forward transform of each column of a[n][largeur] (row i at
    // a + i largeur): the same butterflies, row against row, by bands of
    // columns that stay in the caches.
    void direct_colonnes(u64* a, std::size_t largeur) const;
    // For products by w[0..n), every value below p: their quotients into q
    // (Shoup's, on 52 bits eight at a time, else on 64). Then
    // y[i] = x[i] w[i] mod p, below p, for x[i] below 2p.
    void quotients(const u64* w, u64* q) const;
    void multiplie(const u64* x, const u64* w, const u64* q, u64* y) const;

private:
    u64 p_;
    std::size_t n_;
    // Stages of half-length 8 and more, eight butterflies at a time, in
    // AVX-512 IFMA, when the processor has it and p is below 2^50.
    bool ifma_ = false;
    std::vector<u64> w52_, wi52_;  // floor(w 2^52 / p) for them
    u64 n_inv52_ = 0;
    std::vector<u64> petits_;  // the stages h = 1, 2, 4 (ntt.cpp, petit_etage)
    // Stage of half-length h: the roots w^j of order 2h, j < h, at [h + j],
    // with their quotients floor(w^j 2^64 / p); the same for the inverses.
    std::vector<u64> w_, ws_, wi_, wis_;
    u64 n_inv_, n_inv_s_;  // 1/n and its quotient
};

// The count largest primes below 2^bits (bits at most 62) that are 1 modulo
// 2^log_n, decreasing.
std::vector<u64> premiers_ntt(unsigned bits, unsigned log_n, std::size_t count);
