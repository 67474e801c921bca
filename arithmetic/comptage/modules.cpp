// SPDX-License-Identifier: GPL-3.0-or-later
// The moduli of a count and its exact rebuild.
#include "modules.hpp"

#include <algorithm>
#include <cmath>

#include "primalite.hpp"
#include "reconstruction.hpp"

namespace {

// Bits of the largest possible count with m items: sets of distinct positive
// values with one common sum form an antichain, so there are at most
// C(m, floor(m/2)) of them (Sperner); past 20000 items, 2^m.
std::size_t bits_compte(std::size_t m) { return m <= 20000 ? bits_binome_milieu(m) : m; }

}  // namespace

std::size_t nombre_modules(std::size_t m) {
    if (m <= kItems64) return 1;
    // 64 bits from 2^64, then more than 62 bits per prime.
    return 1 + (bits_compte(m) + 1 - 64 + 61) / 62;
}

std::size_t nombre_modules_31(std::size_t m) { return (bits_compte(m) + 1 + 29) / 30; }

double bits_des_valeurs(std::size_t items) {
    double bits = log2_binome_milieu(items) + 2;
    if (items % 2 == 1) bits += std::log2(static_cast<double>((items + 1) / 2));
    return std::min(static_cast<double>(items), bits) + 1;
}

u64 module(std::vector<u64>& premiers, std::size_t i) {
    if (i == 0) return 0;
    plus_grands_premiers(63, i, premiers);
    return premiers[i - 1];
}

mpz_class reconstruire(const u64* r, std::size_t modules, std::vector<u64>& premiers) {
    module(premiers, modules - 1);
    Reconstruction rebatir(std::span<const u64>(premiers.data(), modules - 1), true);
    mpz_class x;
    rebatir(r, 1, x);
    return x;
}

mpz_class somme_produits(Reconstruction& r, const u64* A, const u64* B, std::size_t n, const Progres& pr) {
    static_assert(sizeof(mp_limb_t) == sizeof(u64));
    // Values on L limbs, their products on 2 L, summed on 2 L + 1 (fewer
    // than 2^64 products).
    const std::size_t L = r.limbes(), m = r.modules();
    const auto l = static_cast<mp_size_t>(L);
    std::vector<mp_limb_t> limbes(6 * L + 1, 0);
    mp_limb_t *const x = limbes.data(), *const y = x + L, *const prod = y + L, *const somme = prod + 2 * L;
    for (std::size_t k = 0; k < n; ++k) {
        if ((k & 0xffff) == 0) pr.point();
        bool nul = true;
        for (std::size_t i = 0; i < m && nul; ++i) nul = A[i * n + k] == 0;
        if (nul) continue;
        r(A + k, n, x);
        r(B + k, n, y);
        mpn_mul_n(prod, x, y, l);
        mpn_add(somme, somme, 2 * l + 1, prod, 2 * l);
    }
    mpz_class total;
    mpz_import(total.get_mpz_t(), 2 * L + 1, -1, sizeof(mp_limb_t), 0, 0, somme);
    return total;
}
