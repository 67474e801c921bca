// SPDX-License-Identifier: GPL-3.0-or-later
// The moduli of a count and its exact rebuild.
#include "modules.hpp"

#include "primalite.hpp"
#include "reconstruction.hpp"

std::size_t nombre_modules(std::size_t m) {
    if (m <= kItems64) return 1;
    // Beyond, sets of distinct positive values with one common sum form an
    // antichain, so there are at most C(m, floor(m/2)) of them (Sperner);
    // past 20000 items, 2^m.
    const std::size_t bits = m <= 20000 ? bits_binome_milieu(m) : m;
    // 64 bits from 2^64, then more than 62 bits per prime.
    return 1 + (bits + 1 - 64 + 61) / 62;
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
