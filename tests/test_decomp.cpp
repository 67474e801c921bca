// SPDX-License-Identifier: GPL-3.0-or-later
// Prime table and factorization checked against plain trial division,
// published primes, Carmichael numbers and GMP; the sieve of the ranges
// against the product of its primes.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

#include <gmpxx.h>

#include "crible.hpp"
#include "decomp.hpp"
#include "premiers.hpp"
#include "rho.hpp"

namespace {

using u64 = std::uint64_t;

bool premier_gmp(u64 n) { return mpz_probab_prime_p(mpz_class(static_cast<unsigned long>(n)).get_mpz_t(), 30) != 0; }

// The smallest prime above n.
u64 suivant(u64 n) {
    mpz_class p;
    mpz_nextprime(p.get_mpz_t(), mpz_class(static_cast<unsigned long>(n)).get_mpz_t());
    return p.get_ui();
}

// The factorization of n as primes repeated by their exponents, ascending.
std::vector<u64> factorise(Travail& w, std::int64_t n) {
    w.S = n;
    decomp(w);
    EXPECT_EQ(w.S, 1);
    std::vector<u64> f;
    for (std::int32_t q = 1; q <= w.nf; ++q) f.insert(f.end(), w.Nexpo[q], w.Nfact[q]);
    remise(w);
    return f;
}

// Ascending primes (for GMP) whose product is n.
void verifie(const std::vector<u64>& f, u64 n) {
    mpz_class produit = 1;
    for (u64 p : f) {
        EXPECT_TRUE(premier_gmp(p)) << p << " in the factors of " << n;
        produit *= p;
    }
    EXPECT_TRUE(std::is_sorted(f.begin(), f.end())) << n;
    EXPECT_EQ(produit, mpz_class(n)) << n;
}

}  // namespace

TEST(Factorisation, PetitsNombresEtTableDesPremiers) {
    // Every n up to 200000 against its smallest prime factor from a sieve.
    const u64 limite = 200'000;
    std::vector<u64> ppf(limite, 0);
    for (u64 i = 2; i < limite; ++i) {
        if (ppf[i] != 0) continue;
        for (u64 j = i; j < limite; j += i)
            if (ppf[j] == 0) ppf[j] = i;
    }
    Travail w;
    amorce(w);
    for (u64 n = 1; n < limite; ++n) {
        std::vector<u64> attendu;
        for (u64 m = n; m > 1; m /= ppf[m]) attendu.push_back(ppf[m]);
        ASSERT_EQ(factorise(w, static_cast<std::int64_t>(n)), attendu) << n;
    }
    // The table grows only as far as needed: for 2^31 - 1, ascending primes
    // up to 46349, pi(46349) = 4793 of them, so none is missing; never
    // beyond the 82025 primes below 2^20.
    factorise(w, 2147483647);
    ASSERT_EQ(w.np, 4793);
    EXPECT_EQ(w.Nprem[w.np], 46349);
    for (std::int64_t q = 1; q <= w.np; ++q) {
        ASSERT_EQ(ppf[w.Nprem[q]], static_cast<u64>(w.Nprem[q]));
        ASSERT_LT(w.Nprem[q - 1], w.Nprem[q]);
    }
    factorise(w, 9223372036854775783);
    EXPECT_EQ(w.np, 82025);
    EXPECT_EQ(w.Nprem[w.np], 1048573);
}

TEST(Factorisation, GrandsNombres) {
    // clang-format off
    std::vector<u64> cas{9223372036854775807ULL, 9223372036854775783ULL, 9223372036854775806ULL,
                         2305843009213693951ULL, 9223371873002223329ULL, 9223372030926249001ULL,
                         1099509530625ULL,       1099513724929ULL,       1ULL << 62,
                         4052555153018976267ULL, 614889782588491410ULL,  3825123056546413051ULL,
                         131ULL * 131 * 137 * 137 * 137, 65521ULL * 65521 * 65521 * 2039};
    // clang-format on
    std::mt19937_64 alea(2026);
    for (int i = 0; i < 1000; ++i) cas.push_back(alea() >> (1 + i % 40));
    for (int i = 0; i < 40; ++i) {
        // p q and p^2 near 2^31, p q r, p^3 and p^2 q just above 2^20.
        u64 p = suivant((alea() >> 34) | (1ULL << 30)), q = suivant((alea() >> 34) | (1ULL << 30));
        cas.insert(cas.end(), {p * q, p * p});
        p = suivant((1 << 20) + alea() % 1'000'000), q = suivant((1 << 20) + alea() % 1'000'000);
        const u64 r = suivant((1 << 20) + alea() % 1'000'000);
        cas.insert(cas.end(), {p * q * r, p * p * p, p * p * r});
    }
    // Chernick's Carmichael numbers (6k+1)(12k+1)(18k+1).
    for (u64 k = 180'000, vus = 0; vus < 20; --k)
        if (premier_gmp(6 * k + 1) && premier_gmp(12 * k + 1) && premier_gmp(18 * k + 1)) {
            cas.push_back((6 * k + 1) * (12 * k + 1) * (18 * k + 1));
            ++vus;
        }
    Travail w;
    amorce(w);
    for (u64 n : cas) {
        if (n == 0) continue;
        verifie(factorise(w, static_cast<std::int64_t>(n)), n);
        std::vector<u64> f;
        facteurs_rho(n, f);
        std::sort(f.begin(), f.end());
        verifie(f, n);
    }
}

TEST(Factorisation, CribleParFenetres) {
    // The sieve over windows where its bound is the square root of the
    // largest N (below 2^40) and where it is 2^20 and the cofactors are
    // split by rho (near 2^62 and 2^63): each factorization is the product
    // of ascending primes (GMP's test) equal to N.
    const std::pair<std::int64_t, std::size_t> fenetres[] = {{1, 5000},
                                                             {999999999000, 3000},
                                                             {(std::int64_t{1} << 62) - 500, 1000},
                                                             {std::numeric_limits<std::int64_t>::max() - 999, 1000}};
    for (const auto& [debut, n] : fenetres) {
        Crible c(debut + (static_cast<std::int64_t>(n) - 1));
        // Two pieces, the second one shorter.
        for (std::size_t morceau = 0; morceau < n; morceau += 700) {
            const std::size_t taille = std::min<std::size_t>(700, n - morceau);
            c.factorise(debut + static_cast<std::int64_t>(morceau), taille);
            for (std::size_t i = 0; i < taille; ++i) {
                const u64 N = static_cast<u64>(debut) + morceau + i;
                mpz_class produit = 1;
                u64 avant = 1;
                for (const auto& [p, e] : c.facteurs(i)) {
                    ASSERT_GT(p, avant) << N;
                    ASSERT_TRUE(premier_gmp(p)) << N << " : " << p;
                    avant = p;
                    for (unsigned k = 0; k < e; ++k) produit *= static_cast<unsigned long>(p);
                }
                ASSERT_EQ(produit, mpz_class(static_cast<unsigned long>(N))) << N;
            }
        }
    }
}
