// SPDX-License-Identifier: GPL-3.0-or-later
// Miller-Rabin with a fixed base set, on Montgomery arithmetic.
#include "primalite.hpp"

namespace {

// The first twelve primes. Tried as divisors they settle every n below
// 41^2; as Miller-Rabin bases they leave no strong pseudoprime below
// 3.3 * 10^24, far beyond 2^64.
constexpr u64 kPetitsPremiers[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};

}  // namespace

bool est_premier(u64 n) {
    if (n < 2) return false;
    for (const u64 p : kPetitsPremiers) {
        if (n % p == 0) return n == p;
    }
    if (n < 41 * 41) return true;
    const Montgomery m(n);
    const u64 moins_un = n - m.un;
    const int s = __builtin_ctzll(n - 1);
    const u64 d = (n - 1) >> s;
    for (const u64 a : kPetitsPremiers) {
        u64 x = m.puissance(m.entre(a), d);
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

void plus_grands_premiers(unsigned bits, std::size_t n, std::vector<u64>& premiers) {
    const u64 haut = bits >= 64 ? ~u64{0} : (u64{1} << bits) - 1;
    while (premiers.size() < n) {
        u64 c = premiers.empty() ? haut : premiers.back() - 2;
        while (!est_premier(c)) c -= 2;
        premiers.push_back(c);
    }
}
