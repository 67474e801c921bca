// SPDX-License-Identifier: GPL-3.0-or-later
// Arithmetic modulo a 64-bit number: products and powers through 128 bits,
// inverses modulo an odd number and modulo 2^64, and Montgomery's form for
// the loops that multiply many times by the same odd modulus.
#pragma once

#include <cstdint>

using u64 = std::uint64_t;
using u128 = unsigned __int128;

// a b mod m, m > 0.
inline u64 mulmod(u64 a, u64 b, u64 m) { return static_cast<u64>(static_cast<u128>(a) * b % m); }

// Products by a fixed w below p < 2^63 through Shoup's quotient
// floor(w 2^64 / p): x w mod p for any 64-bit x, without a division.
inline u64 quotient_shoup(u64 w, u64 p) { return static_cast<u64>((static_cast<u128>(w) << 64) / p); }
inline u64 mul_shoup(u64 x, u64 w, u64 w_shoup, u64 p) {
    const auto q = static_cast<u64>((static_cast<u128>(x) * w_shoup) >> 64);
    const u64 r = x * w - q * p;  // in [0, 2p)
    return r >= p ? r - p : r;
}

// a^e mod m, m > 0 (1 mod m for e = 0).
u64 powmod(u64 a, u64 e, u64 m);

// The inverse of a modulo m > 1, in [1, m): a and m must be coprime.
u64 inverse_mod(u64 a, u64 m);

// The inverse of the odd n modulo 2^64. Newton's iteration x <- x (2 - n x):
// n n = 1 mod 8 gives three correct bits, each step doubles them.
constexpr u64 inverse_2_64(u64 n) {
    u64 x = n;
    for (int i = 0; i < 5; ++i) x *= 2 - n * x;  // 6, 12, 24, 48, 96 bits
    return x;
}

// Arithmetic modulo an odd n > 1 with R = 2^64: a residue a is held as
// a R mod n, so that a product needs no division by n.
struct Montgomery {
    u64 n;
    u64 inv;  // n^-1 mod 2^64
    u64 un;   // 1 in Montgomery form: R mod n
    u64 r2;   // R^2 mod n, to bring a plain residue in

    explicit Montgomery(u64 modulus)
        : n(modulus), inv(inverse_2_64(modulus)), un((0 - modulus) % modulus), r2(mulmod(un, un, modulus)) {}

    // t / R mod n for t < n R. With m = (t mod R) n^-1 mod R, the low words
    // of t and m n are equal, so (t - m n) / R is the difference of their
    // high words, which lies in (-n, n).
    u64 reduit(u128 t) const {
        const u64 m = static_cast<u64>(t) * inv;
        const auto mn_haut = static_cast<u64>((static_cast<u128>(m) * n) >> 64);
        const auto t_haut = static_cast<u64>(t >> 64);
        return t_haut >= mn_haut ? t_haut - mn_haut : t_haut - mn_haut + n;
    }

    // a b / R mod n for a, b < n.
    u64 mul(u64 a, u64 b) const { return reduit(static_cast<u128>(a) * b); }

    // a in Montgomery form.
    u64 entre(u64 a) const { return mul(a % n, r2); }

    // a^e, a and the result in Montgomery form.
    u64 puissance(u64 a, u64 e) const {
        u64 r = un;
        for (; e != 0; e >>= 1) {
            if (e & 1) r = mul(r, a);
            a = mul(a, a);
        }
        return r;
    }
};
