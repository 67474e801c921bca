// SPDX-License-Identifier: GPL-3.0-or-later
// Moduli and the exact rebuild (Garner's form of the Chinese remainder
// theorem, on GMP integers).
#include "modules.hpp"

#include "rho.hpp"

namespace {

u64 mulmod(u64 a, u64 b, u64 m) { return static_cast<u64>(static_cast<u128>(a) * b % m); }

u64 powmod(u64 a, u64 e, u64 m) {
    u64 r = 1 % m;
    a %= m;
    while (e) {
        if (e & 1) r = mulmod(r, a, m);
        a = mulmod(a, a, m);
        e >>= 1;
    }
    return r;
}

}  // namespace

std::size_t nombre_modules(std::size_t m) {
    if (m <= kItems64) return 1;
    // Beyond, sets of distinct positive values with one common sum form an
    // antichain, so there are at most C(m, floor(m/2)) of them (Sperner).
    std::size_t bits;
    if (m <= 20000) {
        mpz_class b;
        mpz_bin_uiui(b.get_mpz_t(), m, m / 2);
        bits = mpz_sizeinbase(b.get_mpz_t(), 2);
    } else {
        bits = m;  // 2^m
    }
    // 64 bits from 2^64, then more than 62 bits per prime.
    return 1 + (bits + 1 - 64 + 61) / 62;
}

u64 module(std::vector<u64>& premiers, std::size_t i) {
    if (i == 0) return 0;
    while (premiers.size() < i) {
        u64 c = premiers.empty() ? (u64{1} << 63) - 1 : premiers.back() - 2;
        while (!est_premier(c)) c -= 2;
        premiers.push_back(c);
    }
    return premiers[i - 1];
}

mpz_class reconstruire(const u64* r, std::size_t modules, std::vector<u64>& premiers) {
    mpz_class x(static_cast<unsigned long>(r[0]));
    mpz_class M(1);
    M <<= 64;
    for (std::size_t i = 1; i < modules; ++i) {
        // x is right modulo M; add the multiple of M that fixes it modulo p.
        const u64 p = module(premiers, i);
        const u64 xm = mpz_fdiv_ui(x.get_mpz_t(), p);
        const u64 Mm = mpz_fdiv_ui(M.get_mpz_t(), p);
        const u64 diff = r[i] >= xm ? r[i] - xm : r[i] + (p - xm);
        const u64 t = mulmod(diff, powmod(Mm, p - 2, p), p);
        x += M * mpz_class(static_cast<unsigned long>(t));
        M *= mpz_class(static_cast<unsigned long>(p));
    }
    return x;
}
