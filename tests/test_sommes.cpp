// The exhaustive searches against a plain recursive count, on the proper
// divisors of small abundant numbers and on arbitrary targets.
#include <gtest/gtest.h>

#include "masques.hpp"
#include "sommes.hpp"
#include "verites.hpp"

TEST(RechercheExhaustive, AbondantsJusqua300) {
    for (std::int64_t n = 2; n <= 300; ++n) {
        const auto d = verite::diviseurs_propres(n);
        std::int64_t somme = 0;
        for (auto x : d) somme += x;
        if (somme <= n) continue;
        const std::uint64_t attendu = verite::compte(d, d.size(), n);
        EXPECT_EQ(static_cast<std::uint64_t>(recherche_masques(d.data(), d.size(), n)), attendu) << n;
        EXPECT_EQ(recherche_profondeur(d.data(), d.size(), n), mpz_class(static_cast<unsigned long>(attendu)))
            << n;
        EXPECT_EQ(sommes_egales(d.data(), d.size(), n), mpz_class(static_cast<unsigned long>(attendu))) << n;
    }
}

TEST(RechercheExhaustive, ToutesLesCiblesDe120) {
    // Every target from 1 to the full sum: the two searches agree with the
    // recursion, and the counts are symmetric (a set and its complement).
    const auto d = verite::diviseurs_propres(120);
    std::int64_t somme = 0;
    for (auto x : d) somme += x;
    for (std::int64_t c = 1; c <= somme; ++c) {
        const std::uint64_t attendu = verite::compte(d, d.size(), c);
        EXPECT_EQ(static_cast<std::uint64_t>(recherche_masques(d.data(), d.size(), c)), attendu) << c;
        EXPECT_EQ(recherche_profondeur(d.data(), d.size(), c), mpz_class(static_cast<unsigned long>(attendu)))
            << c;
        EXPECT_EQ(attendu, verite::compte(d, d.size(), somme - c)) << c;
    }
}

TEST(RechercheExhaustive, ListesCourtes) {
    const std::int64_t un[] = {1};
    EXPECT_EQ(recherche_masques(un, 1, 1), 1);
    EXPECT_EQ(recherche_masques(un, 0, 1), 0);
    const std::int64_t puissances[] = {1, 2, 4, 8, 16, 32};
    // Every number below 64 is a sum of distinct powers of two in one way.
    for (std::int64_t c = 1; c < 64; ++c) EXPECT_EQ(recherche_masques(puissances, 6, c), 1) << c;
    EXPECT_EQ(recherche_masques(puissances, 6, 64), 0);
}

TEST(RechercheExhaustive, CiblesPresDe2Puissance63) {
    // Running sums that would pass 2^63 - 1 are abandoned, never wrapped.
    const std::int64_t d[] = {1, 2, 4611686018427387903, 4611686018427387904, 9223372036854775806};
    const std::int64_t cible = 9223372036854775807;
    // 1 + the largest, and the two halves.
    EXPECT_EQ(recherche_masques(d, 5, cible), 2);
    EXPECT_EQ(recherche_profondeur(d, 5, cible), 2);
    // The largest alone.
    EXPECT_EQ(recherche_masques(d, 5, cible - 1), 1);
    EXPECT_EQ(recherche_profondeur(d, 5, cible - 1), 1);
}
