// Independent truths for the tests: divisors by plain trial of every
// candidate, subset counts by plain recursion, blocks assembled from the
// report's literal pieces.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace verite {

// Proper divisors of n, ascending, by trying every d below n.
inline std::vector<std::int64_t> diviseurs_propres(std::int64_t n) {
    std::vector<std::int64_t> d;
    for (std::int64_t c = 1; c < n; ++c)
        if (n % c == 0) d.push_back(c);
    return d;
}

// Number of sets of distinct values of v[0..q-1] summing to reste.
inline std::uint64_t compte(const std::vector<std::int64_t>& v, std::size_t q, std::int64_t reste) {
    if (reste == 0) return 1;
    if (q == 0 || reste < 0) return 0;
    return compte(v, q - 1, reste - v[q - 1]) + compte(v, q - 1, reste);
}

// Proper divisors of n, ascending, from the pairs (d, n / d) with d up to
// the square root: fast enough for every n of a long range.
inline std::vector<std::int64_t> diviseurs_par_paires(std::int64_t n) {
    std::vector<std::int64_t> bas, haut;
    for (std::int64_t d = 1; d * d <= n; ++d) {
        if (n % d != 0) continue;
        bas.push_back(d);
        if (d * d != n) haut.push_back(n / d);
    }
    bas.insert(bas.end(), haut.rbegin(), haut.rend());
    bas.pop_back();  // n itself
    return bas;
}

// Proper divisors of the product of the p^e, ascending, every product of
// prime powers formed once.
inline std::vector<std::int64_t> diviseurs_de_facteurs(const std::vector<std::pair<std::int64_t, int>>& facteurs) {
    std::vector<std::int64_t> d{1};
    for (auto [p, e] : facteurs) {
        const std::size_t n = d.size();
        std::int64_t pk = 1;
        for (int k = 1; k <= e; ++k) {
            pk *= p;
            for (std::size_t i = 0; i < n; ++i) d.push_back(d[i] * pk);
        }
    }
    std::sort(d.begin(), d.end());
    d.pop_back();  // the number itself
    return d;
}

// Number of sets of distinct values of v summing to cible, by the plain
// counting table over every sum 0..cible (exact while it fits 128 bits).
inline unsigned __int128 compte_table(const std::vector<std::int64_t>& v, std::int64_t cible) {
    std::vector<unsigned __int128> c(static_cast<std::size_t>(cible) + 1, 0);
    c[0] = 1;
    for (std::int64_t d : v)
        for (std::int64_t s = cible; s >= d; --s) c[s] += c[s - d];
    return c[cible];
}

inline std::string decimal(unsigned __int128 v) {
    std::string t;
    do {
        t.insert(t.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return t;
}

// The report block of n, from its proper divisors and subset count.
inline std::string bloc(std::int64_t n, const std::vector<std::int64_t>& d, unsigned __int128 ns) {
    std::int64_t somme = 0;
    for (auto x : d) somme += x;
    const std::string nd = std::to_string(d.size());
    if (somme < n)
        return " \n \n \t \t \t " + std::to_string(n) + "  est deficient. Il a  " + nd +
               "  diviseurs propres de somme " + std::to_string(somme) + " . ";
    if (somme == n)
        return " \n \n \t \t " + std::to_string(n) + "  est parfait. Il a " + nd + " diviseurs propres.";
    std::string b = "\n \n \t " + std::to_string(n) + "  :  " + decimal(ns) + "  Solutions. Il a  " +
                    nd + "  diviseurs propres de somme " + std::to_string(somme) + " . ";
    if (ns == 0) b += " - ********************** - ";
    return b;
}

}  // namespace verite
