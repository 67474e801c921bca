// SPDX-License-Identifier: GPL-3.0-or-later
// Miller-Rabin with a fixed base set and Pollard's rho in Brent's variant,
// both on Montgomery arithmetic modulo a 64-bit odd number.
#include "rho.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using u128 = unsigned __int128;

// Arithmetic modulo an odd n > 1 with R = 2^64: a residue a is held as
// a R mod n, so that a product needs no division by n.
struct Montgomery {
    std::uint64_t n;
    std::uint64_t inv;  // n^-1 mod 2^64
    std::uint64_t un;   // 1 in Montgomery form: R mod n
    std::uint64_t r2;   // R^2 mod n, to bring a plain residue in

    explicit Montgomery(std::uint64_t modulus) : n(modulus) {
        inv = n;  // n n = 1 mod 8 for odd n: three correct bits
        for (int i = 0; i < 5; ++i) inv *= 2 - n * inv;  // 6, 12, ..., 96 bits
        un = (0 - n) % n;
        r2 = static_cast<std::uint64_t>(static_cast<u128>(un) * un % n);
    }

    // t / R mod n for t < n R. With m = (t mod R) n^-1 mod R, the low words
    // of t and m n are equal, so (t - m n) / R is the difference of their
    // high words, which lies in (-n, n).
    std::uint64_t reduit(u128 t) const {
        const std::uint64_t m = static_cast<std::uint64_t>(t) * inv;
        const auto mn_haut = static_cast<std::uint64_t>((static_cast<u128>(m) * n) >> 64);
        const auto t_haut = static_cast<std::uint64_t>(t >> 64);
        return t_haut >= mn_haut ? t_haut - mn_haut : t_haut - mn_haut + n;
    }

    // a b / R mod n for a, b < n.
    std::uint64_t mul(std::uint64_t a, std::uint64_t b) const {
        return reduit(static_cast<u128>(a) * b);
    }

    std::uint64_t entre(std::uint64_t a) const { return mul(a % n, r2); }

    std::uint64_t puissance(std::uint64_t a, std::uint64_t e) const {
        std::uint64_t r = un;
        for (; e != 0; e >>= 1) {
            if (e & 1) r = mul(r, a);
            a = mul(a, a);
        }
        return r;
    }
};

// The first twelve primes. Tried as divisors they settle every n below
// 41^2; as Miller-Rabin bases they leave no strong pseudoprime below
// 3.3 * 10^24, far beyond 2^64.
constexpr std::uint64_t kPetitsPremiers[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};

// Odd divisors below this bound are removed by plain division before rho.
constexpr std::uint64_t kBorneDivision = 128;

// Attempts of rho, each with its own constant, before the last resort.
constexpr int kEssaisRho = 64;

// Steps whose differences are multiplied together before one gcd. A 64-bit
// gcd costs about a hundred steps of the walk; a batch of 1024 keeps it
// under a tenth of the time and only adds a few microseconds of overshoot.
constexpr std::uint64_t kLot = 1024;

std::uint64_t ecart(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; }

// One attempt of Pollard's rho on the odd composite n with the map
// y -> (y^2 + c) / R mod n, a quadratic map whatever the factor of n it is
// read modulo, and one reduction per step. Brent's cycle search: x is the
// point at the start of a segment, segments double in length, and every
// point of a segment is compared with x. The differences go into a product
// whose gcd with n is taken once per batch; when a batch overshoots to gcd
// n, it is walked again one step at a time from its start. Returns a proper
// divisor of n, or 0 when the attempt only finds n.
std::uint64_t essai_rho(const Montgomery& m, std::uint64_t depart, std::uint64_t c) {
    const std::uint64_t n = m.n;
    const auto f = [&](std::uint64_t y) { return m.reduit(static_cast<u128>(y) * y + c); };
    std::uint64_t y = depart;
    std::uint64_t x = depart;
    std::uint64_t debut_lot = depart;
    std::uint64_t q = m.un;
    std::uint64_t g = 1;
    // Modulo the smallest prime factor p < 2^32 the sequence enters a cycle
    // of length at most p within p steps; the first segment that starts on
    // the cycle and is longer than it meets x again, so this loop ends.
    for (std::uint64_t r = 1; g == 1; r *= 2) {
        x = y;
        for (std::uint64_t k = 0; k < r && g == 1; k += kLot) {
            debut_lot = y;
            const std::uint64_t pas = std::min(kLot, r - k);
            for (std::uint64_t i = 0; i < pas; ++i) {
                y = f(y);
                q = m.mul(q, ecart(x, y));
            }
            g = std::gcd(q, n);
        }
    }
    if (g == n) {
        // q was prime to n before this batch, so one of its differences
        // shares a factor with n and the walk stops inside the batch.
        do {
            debut_lot = f(debut_lot);
            g = std::gcd(ecart(x, debut_lot), n);
        } while (g == 1);
    }
    return g == n ? 0 : g;
}

// A proper divisor of the odd composite n, which has no factor below
// kBorneDivision.
std::uint64_t diviseur(std::uint64_t n) {
    const Montgomery m(n);
    for (int essai = 0; essai < kEssaisRho; ++essai) {
        const auto e = static_cast<std::uint64_t>(essai);
        const std::uint64_t d = essai_rho(m, e + 2, e + 1);
        if (d != 0) return d;
    }
    // Never reached in practice; trial division keeps termination certain.
    for (std::uint64_t d = kBorneDivision + 1;; d += 2) {
        if (n % d == 0) return d;
    }
}

// The integer square root of n when n is a perfect square, else 0.
std::uint64_t racine_exacte(std::uint64_t n) {
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (static_cast<u128>(r) * r > n) --r;
    while (static_cast<u128>(r + 1) * (r + 1) <= n) ++r;
    return static_cast<u128>(r) * r == n ? r : 0;
}

}  // namespace

bool est_premier(std::uint64_t n) {
    if (n < 2) return false;
    for (const std::uint64_t p : kPetitsPremiers) {
        if (n % p == 0) return n == p;
    }
    if (n < 41 * 41) return true;
    const Montgomery m(n);
    const std::uint64_t moins_un = n - m.un;
    const int s = __builtin_ctzll(n - 1);
    const std::uint64_t d = (n - 1) >> s;
    for (const std::uint64_t a : kPetitsPremiers) {
        std::uint64_t x = m.puissance(m.entre(a), d);
        if (x == m.un || x == moins_un) continue;
        bool temoin = true;  // a proves n composite unless -1 shows up
        for (int i = 1; i < s && temoin; ++i) {
            x = m.mul(x, x);
            temoin = x != moins_un;
        }
        if (temoin) return false;
    }
    return true;
}

void facteurs_rho(std::uint64_t n, std::vector<std::uint64_t>& premiers) {
    if (n < 2) return;
    // Montgomery arithmetic needs an odd modulus, and tiny factors are
    // cheaper to divide out than to find by rho.
    while (n % 2 == 0) {
        premiers.push_back(2);
        n /= 2;
    }
    for (std::uint64_t d = 3; d < kBorneDivision; d += 2) {
        while (n % d == 0) {
            premiers.push_back(d);
            n /= d;
        }
    }
    if (n == 1) return;
    // Pending cofactors, none with a factor below kBorneDivision.
    std::vector<std::uint64_t> pile{n};
    while (!pile.empty()) {
        const std::uint64_t m = pile.back();
        pile.pop_back();
        if (m < kBorneDivision * kBorneDivision || est_premier(m)) {
            premiers.push_back(m);
            continue;
        }
        // A perfect square is split at once, cheaper than a run of rho.
        if (const std::uint64_t r = racine_exacte(m); r != 0) {
            pile.push_back(r);
            pile.push_back(r);
            continue;
        }
        const std::uint64_t d = diviseur(m);
        pile.push_back(d);
        pile.push_back(m / d);
    }
}
