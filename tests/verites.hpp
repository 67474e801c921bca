// SPDX-License-Identifier: GPL-3.0-or-later
// Independent truths for the tests: divisors by plain trial, subset counts by
// the plain counting table over every sum, blocks assembled from the report's
// literal pieces.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gmpxx.h>

#include "outils/banc.hpp"

namespace verite {

using Liste = std::vector<std::int64_t>;

// Proper divisors of n, ascending, from the pairs (d, n / d), d up to sqrt(n).
inline Liste diviseurs_par_paires(std::int64_t n) {
    Liste bas, haut;
    for (std::int64_t d = 1; d * d <= n; ++d) {
        if (n % d != 0) continue;
        bas.push_back(d);
        if (d * d != n) haut.push_back(n / d);
    }
    bas.insert(bas.end(), haut.rbegin(), haut.rend());
    bas.pop_back();  // n itself
    return bas;
}

// Proper divisors of the product of the p^e, every product formed once.
inline Liste diviseurs_de_facteurs(const std::vector<std::pair<std::int64_t, int>>& facteurs) {
    Liste d{1};
    for (auto [p, e] : facteurs) {
        const std::size_t n = d.size();
        std::int64_t pk = 1;
        for (int k = 1; k <= e; ++k) {
            pk *= p;
            for (std::size_t i = 0; i < n; ++i) d.push_back(d[i] * pk);
        }
    }
    std::sort(d.begin(), d.end());
    d.pop_back();
    return d;
}

// The factorization of n by trial division, and the product of one.
inline ListeFacteurs facteurs_par_essais(std::int64_t n) {
    ListeFacteurs f;
    for (std::int64_t p = 2; p * p <= n; ++p) {
        int e = 0;
        for (; n % p == 0; n /= p) ++e;
        if (e) f.emplace_back(p, e);
    }
    if (n > 1) f.emplace_back(n, 1);
    return f;
}

inline std::int64_t produit(const ListeFacteurs& f) {
    std::int64_t n = 1;
    for (auto [p, e] : f)
        for (int k = 0; k < e; ++k) n *= p;
    return n;
}

// Sets of distinct entries of v summing to cible: the plain table over every
// sum 0..cible, one entry at a time, on big integers (or on 128 bits where
// the counts are known to fit, for speed).
template <class T = mpz_class>
T compte_table(const Liste& v, std::int64_t cible) {
    if (cible < 0) return 0;
    std::vector<T> c(static_cast<std::size_t>(cible) + 1, T(0));
    c[0] = 1;
    for (std::int64_t d : v)
        for (std::int64_t s = cible; s >= d; --s)
            if (c[s - d] != 0) c[s] += c[s - d];
    return c[cible];
}

inline mpz_class gros(unsigned __int128 v) {
    return (mpz_class(static_cast<unsigned long>(v >> 64)) << 64) + static_cast<unsigned long>(v);
}

// The report block of n, from its proper divisors and subset count.
inline std::string bloc(std::int64_t n, const Liste& d, const mpz_class& ns) {
    std::int64_t somme = 0;
    for (auto x : d) somme += x;
    const std::string nd = std::to_string(d.size()), sn = std::to_string(n);
    if (somme < n)
        return " \n \n \t \t \t " + sn + "  est deficient. Il a  " + nd + "  diviseurs propres de somme " +
               std::to_string(somme) + " . ";
    if (somme == n) return " \n \n \t \t " + sn + "  est parfait. Il a " + nd + " diviseurs propres.";
    return "\n \n \t " + sn + "  :  " + ns.get_str() + "  Solutions. Il a  " + nd + "  diviseurs propres de somme " +
           std::to_string(somme) + " . " + (ns == 0 ? " - ********************** - " : "");
}

}  // namespace verite
