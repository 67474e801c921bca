// SPDX-License-Identifier: GPL-3.0-or-later
// Garner's rebuild and the size of the binomial bound.
#include "reconstruction.hpp"

#include <algorithm>
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
    shoup_.assign(m * m, 0);
    t_.assign(m, 0);
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < i; ++j) {
            // 2^64 modulo p is (2^64 - p) modulo p.
            const u64 pj = p_[j] == 0 ? (0 - p_[i]) % p_[i] : p_[j] % p_[i];
            inv_[j * m + i] = inverse_mod(pj, p_[i]);
            shoup_[j * m + i] = static_cast<u64>((static_cast<u128>(inv_[j * m + i]) << 64) / p_[i]);
        }
    // The limbs of the product of the moduli.
    mpz_class produit = 1;
    for (const u64 p : p_) {
        if (p == 0)
            produit <<= 64;
        else
            produit *= static_cast<unsigned long>(p);
    }
    limbes_ = mpz_size(produit.get_mpz_t());
}

namespace {

// x modulo p: a few subtractions for the moduli above 2^62.
inline u64 reduit(u64 x, u64 p) {
    if (p <= (u64{1} << 62)) return x % p;
    while (x >= p) x -= p;
    return x;
}

}  // namespace

void Reconstruction::chiffres(const u64* r, std::size_t pas) {
    const std::size_t m = p_.size();
    // x = t_0 + p_0 (t_1 + p_1 (t_2 + ...)): t_i from the residue i, the
    // digits below taken off and their moduli divided out, modulo p_i; each
    // product by an inverse w modulo p with its quotient floor(w 2^64 / p)
    // (Shoup), all moduli being below 2^63.
    for (std::size_t i = 0; i < m; ++i) {
        u64 v = r[i * pas];
        const u64 p = p_[i];
        if (p != 0) {
            v = reduit(v, p);
            for (std::size_t j = 0; j < i; ++j) {
                const u64 tj = reduit(t_[j], p);
                v = v >= tj ? v - tj : v + (p - tj);
                const u64 w = inv_[j * m + i], q = static_cast<u64>((static_cast<u128>(v) * shoup_[j * m + i]) >> 64);
                v = v * w - q * p;
                if (v >= p) v -= p;
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

void Reconstruction::operator()(const u64* r, std::size_t pas, mp_limb_t* x) {
    chiffres(r, pas);
    const std::size_t m = p_.size(), n = limbes_;
    std::fill(x, x + n, 0);
    x[0] = t_[m - 1];
    // Every partial value is below the product of the moduli: n limbs.
    for (std::size_t i = m - 1; i-- > 0;) {
        if (p_[i] == 0) {
            std::copy_backward(x, x + n - 1, x + n);
            x[0] = t_[i];
        } else {
            mpn_mul_1(x, x, static_cast<mp_size_t>(n), p_[i]);
            mpn_add_1(x, x, static_cast<mp_size_t>(n), t_[i]);
        }
    }
}
