// SPDX-License-Identifier: GPL-3.0-or-later
// Divisor list: exact divisors, made in ascending order by merges.
#include "diviseurs.hpp"

#include <algorithm>

#include "decomp.hpp"

void diviseurs(Travail& w) {
    w.SN = w.N;
    w.ns = 0;
    decomp(w);
    liste(w);
}

void liste(Travail& w) {
    w.ND1 = 1;
    for (std::int64_t j = 1; j <= w.nf; ++j) w.ND1 *= w.Nexpo[j] + 1;
    const auto tous = static_cast<std::size_t>(w.ND1);  // N itself included
    w.ND1 -= 1;

    // Every slot is there before generation starts; generation only writes.
    w.Div.append(tous + 3);

    // Ascending as they are made: for each prime p^e, the list so far is
    // merged with its multiples by p, p^2, ..., p^e in turn. No sort, and
    // exact integers: every divisor divides N.
    std::vector<std::int64_t>& base = w.base;
    std::vector<std::int64_t>& autre = w.autre;
    base.resize(tous);
    autre.resize(tous);
    std::int64_t* liste = w.Div.data() + 1;
    std::size_t t = 1;
    liste[0] = 1;
    for (std::int64_t j = 1; j <= w.nf; ++j) {
        const std::int64_t p = w.Nfact[j];
        std::copy(liste, liste + t, base.begin());
        std::size_t n = t;
        std::int64_t puissance = 1;
        for (std::int64_t k = 1; k <= w.Nexpo[j]; ++k) {
            puissance *= p;
            // liste[0..n) with base[0..t) times p^k, into autre, then back.
            std::size_t a = 0, b = 0, c = 0;
            while (a < n && b < t) {
                const std::int64_t x = base[b] * puissance;
                if (liste[a] < x)
                    autre[c++] = liste[a++];
                else {
                    autre[c++] = x;
                    ++b;
                }
            }
            while (a < n) autre[c++] = liste[a++];
            while (b < t) autre[c++] = base[b++] * puissance;
            n = c;
            std::copy(autre.begin(), autre.begin() + static_cast<std::ptrdiff_t>(n), liste);
        }
        t = n;
    }
    liste[w.ND1] = 0;  // N itself is not a proper divisor

    w.Smax = 0;
    for (std::int64_t i = 1; i <= w.ND1; ++i) w.Smax += w.Div[i];
}
