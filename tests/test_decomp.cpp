// Prime table growth and factorization by trial division, checked against
// published primes and plain factorization.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "decomp.hpp"
#include "premiers.hpp"

namespace {

using Facteurs = std::vector<std::pair<std::int64_t, std::int64_t>>;

Facteurs factorise(Travail& w, std::int64_t s) {
    w.S = s;
    decomp(w);
    Facteurs f;
    for (std::int32_t q = 1; q <= w.nf; ++q) f.emplace_back(w.Nfact[q], w.Nexpo[q]);
    EXPECT_EQ(w.S, 1);
    EXPECT_EQ(w.Nfact.slots(), static_cast<std::size_t>(w.nf) + 1);
    EXPECT_EQ(w.Nexpo.slots(), static_cast<std::size_t>(w.nf) + 1);
    remise(w);
    return f;
}

// Plain factorization by every candidate divisor.
Facteurs simple(std::int64_t n) {
    Facteurs f;
    for (std::int64_t d = 2; d * d <= n; ++d) {
        std::int64_t e = 0;
        while (n % d == 0) {
            n /= d;
            ++e;
        }
        if (e > 0) f.emplace_back(d, e);
    }
    if (n > 1) f.emplace_back(n, 1);
    return f;
}

// Factorizes every number of a range, as a calculation over it does.
void plage(Travail& w, std::int64_t de, std::int64_t a) {
    for (std::int64_t n = de; n <= a; ++n) factorise(w, n);
}

}  // namespace

TEST(TablePremiers, DixAppelsApresAmorce) {
    Travail w;
    amorce(w);
    EXPECT_EQ(w.np, 2);
    const std::int64_t attendus[] = {5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
    for (std::int64_t p : attendus) {
        const std::int64_t avant = w.np;
        Suiv(w);
        EXPECT_EQ(w.np, avant + 1);
        EXPECT_EQ(w.Nprem[w.np], p);
        EXPECT_EQ(w.Nprem.slots(), static_cast<std::size_t>(w.np) + 1);
    }
}

TEST(TablePremiers, CroissanceSelonLesPlages) {
    Travail w;
    amorce(w);
    plage(w, 1, 10);
    EXPECT_EQ(w.np, 2);
    plage(w, 11, 11);
    EXPECT_EQ(w.np, 3);
    plage(w, 12, 100);
    EXPECT_EQ(w.np, 5);
    EXPECT_EQ(w.Nprem[5], 11);
    plage(w, 1, 100);  // a second calculation appends nothing
    EXPECT_EQ(w.np, 5);
    plage(w, 101, 2000);
    EXPECT_EQ(w.np, 15);
    EXPECT_EQ(w.Nprem[15], 47);
}

TEST(TablePremiers, Jusqua2147483647) {
    Travail w;
    amorce(w);
    EXPECT_EQ(factorise(w, 2147483647), (Facteurs{{2147483647, 1}}));
    EXPECT_EQ(w.np, 4793);  // pi(46349) = 4793
    EXPECT_EQ(w.Nprem[w.np], 46349);
    // Every entry is prime and none is missing: compare with a sieve.
    std::vector<bool> compose(46350, false);
    std::int64_t q = 1;
    for (std::int64_t n = 2; n <= 46349; ++n) {
        if (compose[n]) continue;
        ASSERT_EQ(w.Nprem[q], n);
        ++q;
        for (std::int64_t m = n * n; m <= 46349; m += n) compose[m] = true;
    }
}

TEST(Factorisation, TableDeCas) {
    struct Cas {
        std::int64_t s;
        Facteurs f;
        std::int64_t np, dernier;
    };
    const Cas cas[] = {
        {1, {}, 2, 3},
        {2, {{2, 1}}, 2, 3},
        {3, {{3, 1}}, 2, 3},
        {4, {{2, 2}}, 2, 3},
        {12, {{2, 2}, {3, 1}}, 2, 3},
        {11, {{11, 1}}, 3, 5},
        {25, {{5, 2}}, 3, 5},
        {101, {{101, 1}}, 5, 11},
        {1999966, {{2, 1}, {999983, 1}}, 169, 1009},
        {600851475143, {{71, 1}, {839, 1}, {1471, 1}, {6857, 1}}, 234, 1481},
        {9998200081, {{99991, 2}}, 9592, 99991},
        {614889782588491410,
         {{2, 1}, {3, 1}, {5, 1}, {7, 1}, {11, 1}, {13, 1}, {17, 1}, {19, 1}, {23, 1}, {29, 1},
          {31, 1}, {37, 1}, {41, 1}, {43, 1}, {47, 1}},
         15, 47},
        {4611686018427387904, {{2, 62}}, 2, 3},
    };
    for (const Cas& c : cas) {
        Travail w;
        amorce(w);
        EXPECT_EQ(factorise(w, c.s), c.f) << "S = " << c.s;
        EXPECT_EQ(w.np, c.np) << "S = " << c.s;
        EXPECT_EQ(w.Nprem[w.np], c.dernier) << "S = " << c.s;
    }
}

TEST(Factorisation, Jusqua2000CommeLaFactorisationSimple) {
    Travail w;
    amorce(w);
    for (std::int64_t n = 1; n <= 2000; ++n) ASSERT_EQ(factorise(w, n), simple(n)) << "N = " << n;
}

TEST(Factorisation, CarresEtPresqueCarresDePremiers) {
    Travail w;
    amorce(w);
    // Squares of primes and their neighbours: the prime test must never take
    // a composite for a prime.
    for (std::int64_t p : {2, 3, 5, 7, 46337, 65521, 99991}) {
        for (std::int64_t n : {p * p - 1, p * p, p * p + 1, p * p * p})
            EXPECT_EQ(factorise(w, n), simple(n)) << "N = " << n;
    }
}
