// SPDX-License-Identifier: GPL-3.0-or-later
// Factorization by trial division over the prime table, extended on demand
// up to 2^20; a cofactor without any factor below 2^20 is split by Pollard's
// rho.
#include "decomp.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "premiers.hpp"
#include "primalite.hpp"
#include "rho.hpp"

namespace {

// The largest prime below 2^20: the table never grows beyond it.
constexpr std::int64_t dernier_premier_essai = 1048573;

// Opens the entry of a new prime factor p.
void nouveau_facteur(Travail& w, std::int64_t p, std::int64_t expo) {
    ++w.nf;
    w.Nexpo.append();
    w.Nfact.append();
    w.Nfact[w.nf] = p;
    w.Nexpo[w.nf] = expo;
}

// Truncated double-precision root: never below the exact integer root, at
// most one above it, so no composite is ever taken for a prime.
std::int64_t racine(std::int64_t s) { return static_cast<std::int64_t>(std::sqrt(static_cast<double>(s))); }

// Records the prime factors of a cofactor that has none below 2^20.
void decoupe(Travail& w) {
    const auto s = static_cast<std::uint64_t>(w.S);
    w.S = 1;
    if (est_premier(s)) {
        nouveau_facteur(w, static_cast<std::int64_t>(s), 1);
        return;
    }
    std::vector<std::uint64_t> premiers;
    facteurs_rho(s, premiers);
    std::sort(premiers.begin(), premiers.end());
    for (std::size_t q = 0; q < premiers.size();) {
        std::size_t r = q;
        while (r < premiers.size() && premiers[r] == premiers[q]) ++r;
        nouveau_facteur(w, static_cast<std::int64_t>(premiers[q]), static_cast<std::int64_t>(r - q));
        q = r;
    }
}

}  // namespace

void decomp(Travail& w) {
    w.nf = 0;
    if (w.S < 1) return;  // nothing to factorize; the dialogue never asks
    std::int64_t k = 0;   // index of the trial prime
    std::int64_t rS = racine(w.S);
    while (w.S != 1) {
        ++k;
        if (k > w.np) {
            if (w.Nprem[w.np] >= dernier_premier_essai) {
                decoupe(w);
                break;
            }
            Suiv(w);
        }
        const std::int64_t Npk = w.Nprem[k];
        if (rS < Npk) {
            // No factor below Npk and S < Npk^2: what remains is prime.
            nouveau_facteur(w, w.S, 1);
            w.S = 1;
            break;
        }
        const auto divise = [&](std::int64_t s) {
            if (Npk == 2) return (s & 1) == 0;
            return static_cast<std::uint64_t>(s) * w.inverse[k] <= w.limite[k];
        };
        if (!divise(w.S)) continue;
        std::int64_t expo = 0;
        do {
            w.S /= Npk;
            ++expo;
        } while (divise(w.S));
        nouveau_facteur(w, Npk, expo);
        rS = racine(w.S);
    }
}
