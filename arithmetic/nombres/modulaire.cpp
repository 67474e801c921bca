// SPDX-License-Identifier: GPL-3.0-or-later
// Powers and inverses modulo a 64-bit number.
#include "modulaire.hpp"

u64 powmod(u64 a, u64 e, u64 m) {
    u64 r = 1 % m;
    a %= m;
    for (; e != 0; e >>= 1) {
        if (e & 1) r = mulmod(r, a, m);
        a = mulmod(a, a, m);
    }
    return r;
}

u64 inverse_mod(u64 a, u64 m) {
    // Extended Euclid on (m, a mod m): each remainder r is x a mod m, and
    // every coefficient x stays within [-m, m].
    u64 r0 = m, r1 = a % m;
    __int128 x0 = 0, x1 = 1;
    while (r1 != 0) {
        const u64 q = r0 / r1;
        const u64 r2 = r0 - q * r1;
        const __int128 x2 = x0 - static_cast<__int128>(q) * x1;
        r0 = r1;
        r1 = r2;
        x0 = x1;
        x1 = x2;
    }
    return static_cast<u64>(x0 < 0 ? x0 + m : x0);
}
