// SPDX-License-Identifier: GPL-3.0-or-later
// Garner's rebuild and the size of the binomial bound.
#include "reconstruction.hpp"

#include <cmath>

double log2_binome_milieu(std::size_t m) {
    const double n = static_cast<double>(m), k = static_cast<double>(m / 2);
    return (std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1)) / std::log(2.0);
}

std::size_t bits_binome_milieu(std::size_t m) {
    // The logarithm settles the bits unless it is near an integer; there,
    // GMP does.
    const double l = log2_binome_milieu(m);
    if (std::abs(l - std::round(l)) > 1e-6) return static_cast<std::size_t>(l) + 1;
    mpz_class b;
    mpz_bin_uiui(b.get_mpz_t(), m, m / 2);
    return mpz_sizeinbase(b.get_mpz_t(), 2);
}

Reconstruction::Reconstruction(std::span<const u64> premiers, bool deux_64) : p_(), inv_(), t_() {
    if (deux_64) p_.push_back(0);
    p_.insert(p_.end(), premiers.begin(), premiers.end());
    const std::size_t m = p_.size();
    inv_.assign(m * m, 0);
    t_.assign(m, 0);
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < i; ++j) {
            // 2^64 modulo p is (2^64 - p) modulo p.
            const u64 pj = p_[j] == 0 ? (0 - p_[i]) % p_[i] : p_[j] % p_[i];
            inv_[j * m + i] = inverse_mod(pj, p_[i]);
        }
    // Whether the product of the moduli is below 2^128.
    u128 produit = 1;
    sur_128_ = true;
    for (const u64 p : p_) {
        const u128 facteur = p == 0 ? static_cast<u128>(1) << 64 : p;
        if (produit > ~static_cast<u128>(0) / facteur) sur_128_ = false;
        produit *= facteur;
    }
}

void Reconstruction::chiffres(const u64* r, std::size_t pas) {
    const std::size_t m = p_.size();
    // x = t_0 + p_0 (t_1 + p_1 (t_2 + ...)): t_i from the residue i, the
    // digits below taken off and their moduli divided out, modulo p_i.
    for (std::size_t i = 0; i < m; ++i) {
        u64 v = r[i * pas];
        if (p_[i] != 0) {
            v %= p_[i];
            for (std::size_t j = 0; j < i; ++j) {
                const u64 tj = t_[j] % p_[i];
                v = v >= tj ? v - tj : v + (p_[i] - tj);
                v = mulmod(v, inv_[j * m + i], p_[i]);
            }
        }
        t_[i] = v;
    }
}

void Reconstruction::operator()(const u64* r, std::size_t pas, mpz_class& x) {
    chiffres(r, pas);
    const std::size_t m = p_.size();
    x = static_cast<unsigned long>(t_[m - 1]);
    for (std::size_t i = m - 1; i-- > 0;) {
        if (p_[i] == 0)
            x <<= 64;
        else
            x *= static_cast<unsigned long>(p_[i]);
        x += static_cast<unsigned long>(t_[i]);
    }
}

u128 Reconstruction::petit(const u64* r, std::size_t pas) {
    chiffres(r, pas);
    const std::size_t m = p_.size();
    u128 x = t_[m - 1];
    for (std::size_t i = m - 1; i-- > 0;) x = (p_[i] == 0 ? x << 64 : x * p_[i]) + t_[i];
    return x;
}
