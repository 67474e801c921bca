// Miller-Rabin and Pollard's rho checked against a sieve, published primes
// and pseudoprimes, and GMP's own primality test.
#include <gtest/gtest.h>

#include <gmpxx.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "rho.hpp"

namespace {

using u64 = std::uint64_t;

bool premier_gmp(u64 n) { return mpz_probab_prime_p(mpz_class(n).get_mpz_t(), 30) != 0; }

u64 premier_suivant_gmp(u64 n) {
    mpz_class p;
    mpz_nextprime(p.get_mpz_t(), mpz_class(n).get_mpz_t());
    return p.get_ui();
}

std::vector<u64> facteurs_tries(u64 n) {
    std::vector<u64> f;
    facteurs_rho(n, f);
    std::sort(f.begin(), f.end());
    return f;
}

// The factors of n multiply back to n and each one is prime for GMP.
void verifie_decomposition(u64 n) {
    const std::vector<u64> f = facteurs_tries(n);
    mpz_class produit = 1;
    for (const u64 p : f) {
        EXPECT_TRUE(premier_gmp(p)) << p << " in the factors of " << n;
        produit *= p;
    }
    EXPECT_EQ(produit, mpz_class(n)) << n;
}

}  // namespace

TEST(EstPremier, AccordeAuCribleJusquAUnMillion) {
    const u64 limite = 1'000'000;
    std::vector<bool> premier(limite, true);
    premier[0] = premier[1] = false;
    for (u64 i = 2; i * i < limite; ++i) {
        if (!premier[i]) continue;
        for (u64 j = i * i; j < limite; j += i) premier[j] = false;
    }
    for (u64 n = 0; n < limite; ++n) ASSERT_EQ(est_premier(n), premier[n]) << n;
}

TEST(EstPremier, PremiersPublies) {
    for (const u64 p : {2147483647ULL, 4294967291ULL, 4294967311ULL, 1000000007ULL, 998244353ULL,
                        (1ULL << 61) - 1, 9223372036854775783ULL, 18446744073709551557ULL}) {
        EXPECT_TRUE(est_premier(p)) << p;
    }
}

TEST(EstPremier, PseudoPremiersFortsEtCarmichaelSontComposes) {
    // Smallest strong pseudoprimes to the first 1, 2, ..., 9 prime bases,
    // Carmichael numbers, and composites of special form.
    for (const u64 c : {2047ULL, 1373653ULL, 25326001ULL, 3215031751ULL, 2152302898747ULL,
                        3474749660383ULL, 341550071728321ULL, 3825123056546413051ULL, 561ULL,
                        1105ULL, 1729ULL, 2465ULL, 2821ULL, 6601ULL, 8911ULL, (1ULL << 62) - 1,
                        ~0ULL, 4294967291ULL * 4294967291ULL, 3037000493ULL * 3037000453ULL}) {
        EXPECT_FALSE(est_premier(c)) << c;
    }
}

TEST(EstPremier, AccordeAGmpPresDesBornesEtAuHasard) {
    for (u64 n = (1ULL << 63) - 3000; n < (1ULL << 63) + 3000; ++n) {
        ASSERT_EQ(est_premier(n), premier_gmp(n)) << n;
    }
    for (u64 n = ~0ULL - 6000; n != 0; ++n) ASSERT_EQ(est_premier(n), premier_gmp(n)) << n;
    std::mt19937_64 gen(7);
    for (int i = 0; i < 20000; ++i) {
        const u64 n = gen() | 1;
        ASSERT_EQ(est_premier(n), premier_gmp(n)) << n;
    }
}

TEST(FacteursRho, PetitsNombresContreLePlusPetitFacteur) {
    const u64 limite = 200'000;
    std::vector<u64> ppf(limite, 0);  // smallest prime factor
    for (u64 i = 2; i < limite; ++i) {
        if (ppf[i] != 0) continue;
        for (u64 j = i; j < limite; j += i) {
            if (ppf[j] == 0) ppf[j] = i;
        }
    }
    EXPECT_TRUE(facteurs_tries(0).empty());
    EXPECT_TRUE(facteurs_tries(1).empty());
    for (u64 n = 2; n < limite; ++n) {
        std::vector<u64> attendu;
        for (u64 m = n; m > 1; m /= ppf[m]) attendu.push_back(ppf[m]);
        ASSERT_EQ(facteurs_tries(n), attendu) << n;
    }
}

TEST(FacteursRho, FormesConnues) {
    using V = std::vector<u64>;
    EXPECT_EQ(facteurs_tries(4), (V{2, 2}));
    EXPECT_EQ(facteurs_tries(1ULL << 63), V(63, 2));
    EXPECT_EQ(facteurs_tries(12157665459056928801ULL), V(40, 3));  // 3^40
    EXPECT_EQ(facteurs_tries(~0ULL), (V{3, 5, 17, 257, 641, 65537, 6700417}));
    EXPECT_EQ(facteurs_tries((1ULL << 62) - 1), (V{3, 715827883, 2147483647}));
    EXPECT_EQ(facteurs_tries((1ULL << 61) - 1), (V{(1ULL << 61) - 1}));
    EXPECT_EQ(facteurs_tries(3037000493ULL * 3037000453ULL), (V{3037000453ULL, 3037000493ULL}));
    EXPECT_EQ(facteurs_tries(4294967291ULL * 4294967291ULL), (V{4294967291ULL, 4294967291ULL}));
    EXPECT_EQ(facteurs_tries(3825123056546413051ULL), (V{149491, 747451, 34233211}));
    // Powers of primes just above the division bound and near 2^16.
    EXPECT_EQ(facteurs_tries(131ULL * 131 * 131), (V{131, 131, 131}));
    EXPECT_EQ(facteurs_tries(131ULL * 131 * 137 * 137 * 137), (V{131, 131, 137, 137, 137}));
    EXPECT_EQ(facteurs_tries(65521ULL * 65521 * 65521 * 65521), V(4, 65521));
}

TEST(FacteursRho, PuissancesEtProduitsDeGrandsPremiers) {
    std::mt19937_64 gen(11);
    for (int i = 0; i < 40; ++i) {
        // p^2 and p q with p, q near 2^32; p^3 and p^2 q, p q r above 2^20.
        const u64 p = premier_suivant_gmp((gen() >> 33) | (1ULL << 31));
        const u64 q = premier_suivant_gmp((gen() >> 33) | (1ULL << 31));
        EXPECT_EQ(facteurs_tries(p * p), (std::vector<u64>{p, p}));
        EXPECT_EQ(facteurs_tries(p * q), (std::vector<u64>{std::min(p, q), std::max(p, q)}));
        std::vector<u64> t;
        for (int k = 0; k < 3; ++k) t.push_back(premier_suivant_gmp((1ULL << 20) + gen() % 1'500'000));
        std::sort(t.begin(), t.end());
        EXPECT_EQ(facteurs_tries(t[0] * t[1] * t[2]), t);
        EXPECT_EQ(facteurs_tries(t[0] * t[0] * t[0]), (std::vector<u64>{t[0], t[0], t[0]}));
        EXPECT_EQ(facteurs_tries(t[0] * t[0] * t[2]), (std::vector<u64>{t[0], t[0], t[2]}));
    }
}

TEST(FacteursRho, CarmichaelDeChernick) {
    // (6k+1)(12k+1)(18k+1) is a Carmichael number when all three are prime.
    int vus = 0;
    for (u64 k = 180'000; k > 1000 && vus < 30; --k) {
        const u64 a = 6 * k + 1, b = 12 * k + 1, c = 18 * k + 1;
        if (!premier_gmp(a) || !premier_gmp(b) || !premier_gmp(c)) continue;
        ++vus;
        EXPECT_FALSE(est_premier(a * b * c)) << a * b * c;
        EXPECT_EQ(facteurs_tries(a * b * c), (std::vector<u64>{a, b, c}));
    }
    EXPECT_EQ(vus, 30);
}

TEST(FacteursRho, NombresAleatoires) {
    // Every prime below 2^20 multiplied together: a gcd with it finds the
    // small factors of a number at once.
    mpz_class petits;
    mpz_primorial_ui(petits.get_mpz_t(), 1UL << 20);
    std::mt19937_64 gen(2024);
    for (int i = 0; i < 3000; ++i) {
        const u64 n = gen();
        verifie_decomposition(n);
        mpz_class reste = n;
        mpz_class g = gcd(reste, petits);
        while (g != 1) {
            reste /= g;
            g = gcd(reste, g);
        }
        if (reste == 1) continue;
        verifie_decomposition(reste.get_ui());
        for (const u64 p : facteurs_tries(reste.get_ui())) EXPECT_GT(p, 1ULL << 20);
    }
}
