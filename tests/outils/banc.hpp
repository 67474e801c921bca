// SPDX-License-Identifier: GPL-3.0-or-later
// A count's surroundings for the tests and the benchmarks: a memory budget of
// its own, a context and an engine; the count of a list, of the proper
// divisors of a factorized N, or with one method's plan imposed.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <gmpxx.h>

#include "moteur.hpp"

using ListeFacteurs = std::vector<std::pair<std::int64_t, int>>;

struct Banc {
    explicit Banc(std::size_t octets = Budget::kDefaut, Suivi* s = nullptr, const Processeur& cpu = processeur())
        : budget(octets), ctx(budget, s, cpu), moteur(ctx) {}
    Budget budget;
    Contexte ctx;
    Moteur moteur;

    // Every method; the walk over the digits too when f, the factorization
    // of cible, is given and d is the list of its proper divisors.
    mpz_class compte(const std::vector<std::int64_t>& d, std::int64_t cible, const ListeFacteurs& f = {}) {
        const auto g = facteurs(f);
        return moteur.compte(Entree{d, cible, g});
    }
    // The count by one method imposed, and the method that ran.
    Compte impose(const std::vector<std::int64_t>& d, std::int64_t cible, const Imposee& i,
                  const ListeFacteurs& f = {}) {
        const auto g = facteurs(f);
        return moteur.denombre(Entree{d, cible, g}, i);
    }

    static std::vector<Facteur> facteurs(const ListeFacteurs& f) {
        std::vector<Facteur> g;
        for (auto [p, e] : f) g.emplace_back(static_cast<std::uint64_t>(p), static_cast<unsigned>(e));
        return g;
    }
};
