// SPDX-License-Identifier: GPL-3.0-or-later
// The number theory of arithmetic/nombres against GMP (powers, inverses,
// primality, binomials, rebuilt integers), transforms against convolutions
// summed term by term, and divisor sums against the divisors found by trial
// division.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gmpxx.h>

#include "modulaire.hpp"
#include "ntt.hpp"
#include "primalite.hpp"
#include "reconstruction.hpp"
#include "sigma.hpp"

namespace {

mpz_class gmp(u64 x) { return mpz_class(std::to_string(x)); }

bool premier_gmp(u64 n) { return mpz_probab_prime_p(gmp(n).get_mpz_t(), 30) != 0; }

}  // namespace

TEST(Modulaire, PuissancesEtInversesContreGmp) {
    std::mt19937_64 alea(11);
    // Moduli of every size, primes and composites, odd and even, the
    // largest 64-bit ones.
    std::vector<u64> moduli{1, 2, 3, 4, 97, 1u << 31, (u64{1} << 63) - 25, ~u64{0}, ~u64{0} - 58};
    for (int i = 0; i < 200; ++i) moduli.push_back(alea() >> (alea() % 63));
    for (const u64 m : moduli) {
        if (m == 0) continue;
        const Montgomery mg(m % 2 && m > 1 ? m : 3);
        for (int i = 0; i < 20; ++i) {
            const u64 a = alea(), e = i < 3 ? static_cast<u64>(i) : alea();
            mpz_class r;
            mpz_powm(r.get_mpz_t(), gmp(a).get_mpz_t(), gmp(e).get_mpz_t(), gmp(m).get_mpz_t());
            ASSERT_EQ(gmp(powmod(a, e, m)), r) << a << "^" << e << " mod " << m;
            // The same power in Montgomery form, brought back by a product
            // with 1.
            const u64 x = mg.mul(mg.puissance(mg.entre(a), e), 1);
            mpz_powm(r.get_mpz_t(), gmp(a).get_mpz_t(), gmp(e).get_mpz_t(), gmp(mg.n).get_mpz_t());
            ASSERT_EQ(gmp(x), r) << a << "^" << e << " mod " << mg.n << " (Montgomery)";
            mpz_class inv;
            if (m > 1 && mpz_invert(inv.get_mpz_t(), gmp(a).get_mpz_t(), gmp(m).get_mpz_t())) {
                ASSERT_EQ(gmp(inverse_mod(a, m)), inv) << a << " mod " << m;
            }
            if (a % 2) {
                ASSERT_EQ(a * inverse_2_64(a), 1u) << a;
            }
        }
    }
}

TEST(Primalite, CribleGmpEtPseudoPremiers) {
    std::vector<bool> premier(1'000'000, true);
    for (u64 i = 2; i < premier.size(); ++i)
        for (u64 j = i * i; premier[i] && j < premier.size(); j += i) premier[j] = false;
    for (u64 n = 0; n < premier.size(); ++n) ASSERT_EQ(est_premier(n), n >= 2 && premier[n]) << n;
    std::mt19937_64 alea(7);
    std::vector<u64> cas;
    for (u64 d = 0; d < 3000; ++d) cas.insert(cas.end(), {(1ULL << 63) - d, (1ULL << 63) + d, ~0ULL - d});
    for (int i = 0; i < 20000; ++i) cas.push_back(alea() | 1);
    // Strong pseudoprimes to the first prime bases, Carmichael numbers.
    cas.insert(cas.end(), {2047, 1373653, 25326001, 3215031751, 2152302898747, 3474749660383, 341550071728321,
                           3825123056546413051, 561, 1105, 1729, 8911});
    for (u64 n : cas) ASSERT_EQ(est_premier(n), premier_gmp(n)) << n;
}

TEST(Primalite, PlusGrandsPremiersSousUnePuissanceDeDeux) {
    // Each below 2^bits, prime, and no prime between two of them nor above
    // the first (GMP); extending a list gives the same as building it anew.
    for (const unsigned bits : {5u, 32u, 50u, 60u, 63u, 64u}) {
        const std::size_t n = bits == 5 ? 10 : 6;  // 31 down to 3 for 5 bits
        std::vector<u64> p;
        plus_grands_premiers(bits, 2, p);
        plus_grands_premiers(bits, n, p);
        ASSERT_EQ(p.size(), n);
        mpz_class haut = (mpz_class(1) << bits) - 1;
        for (const u64 q : p) {
            ASSERT_TRUE(premier_gmp(q)) << q;
            for (mpz_class c = haut; c > gmp(q); --c)
                ASSERT_FALSE(mpz_probab_prime_p(c.get_mpz_t(), 30)) << c << " skipped, " << bits << " bits";
            haut = gmp(q) - 1;
        }
    }
}

TEST(Ntt, ConvolutionsCycliquesContreLaSommeTermeATerme) {
    // Primes of every width the counts use (up to 2^62, IFMA's 2^50, 32-bit
    // cells), lengths 1 to 2^11, values anywhere below p: the transforms'
    // pointwise product gives the cyclic convolution, modulo p.
    std::mt19937_64 alea(12);
    for (const auto& [bits, log_max] : {std::pair{62u, 20u}, {50u, 24u}, {32u, 16u}, {20u, 12u}}) {
        const std::vector<u64> premiers = premiers_ntt(bits, log_max, 3);
        for (std::size_t i = 0; i < premiers.size(); ++i) {
            const u64 p = premiers[i];
            EXPECT_TRUE(premier_gmp(p)) << p;
            EXPECT_EQ((p - 1) % (u64{1} << log_max), 0u) << p;
            EXPECT_LT(p, u64{1} << bits);
            if (i > 0) {
                EXPECT_LT(p, premiers[i - 1]);
            }
        }
        for (const u64 p : premiers)
            for (unsigned l = 0; l <= 11 && l <= log_max; ++l) {
                const Ntt t(p, l);
                const std::size_t n = t.taille();
                std::uniform_int_distribution<u64> tirage(0, p - 1);
                std::vector<u64> a(n), b(n), attendu(n, 0);
                for (std::size_t j = 0; j < n; ++j) {
                    // Extremes too: 0 and p - 1.
                    a[j] = j % 7 == 3 ? p - 1 : tirage(alea);
                    b[j] = j % 5 == 1 ? 0 : tirage(alea);
                }
                for (std::size_t x = 0; x < n; ++x)
                    for (std::size_t y = 0; y < n; ++y)
                        attendu[(x + y) % n] = (attendu[(x + y) % n] + mulmod(a[x], b[y], p)) % p;
                const std::vector<u64> a0 = a;
                t.direct(a.data());
                t.direct(b.data());
                std::vector<u64> c(n), retour = a;
                for (std::size_t j = 0; j < n; ++j) {
                    EXPECT_LT(a[j], p);
                    c[j] = mulmod(a[j], b[j], p);
                }
                // The same products through the precomputed quotients.
                std::vector<u64> q(n), c2(n);
                t.quotients(b.data(), q.data());
                t.multiplie(a.data(), b.data(), q.data(), c2.data());
                EXPECT_EQ(c2, c) << "p = " << p << ", n = " << n;
                t.inverse(c.data());
                EXPECT_EQ(c, attendu) << "p = " << p << ", n = " << n;
                t.inverse(retour.data());
                EXPECT_EQ(retour, a0) << "p = " << p << ", n = " << n;
                // Columns of a matrix, over more than one band of them:
                // each as its own transform.
                const std::size_t w = std::max<std::size_t>(8, 4096 / n) + 3;
                std::vector<u64> m(n * w), colonne(n);
                for (u64& x : m) x = tirage(alea);
                const std::vector<u64> m0 = m;
                t.direct_colonnes(m.data(), w);
                for (std::size_t c = 0; c < w; ++c) {
                    for (std::size_t j = 0; j < n; ++j) colonne[j] = m0[j * w + c];
                    t.direct(colonne.data());
                    for (std::size_t j = 0; j < n; ++j)
                        EXPECT_EQ(m[j * w + c], colonne[j]) << p << " " << n << " " << c;
                }
            }
    }
    EXPECT_THROW(Ntt(65537, 17), std::invalid_argument);  // 2^17 does not divide 2^16
}

TEST(Reconstruction, BinomeDuMilieuContreGmp) {
    std::vector<std::size_t> cas;
    for (std::size_t m = 1; m <= 2000; ++m) cas.push_back(m);
    cas.insert(cas.end(), {19999, 20000, 51839, 103679, 103680});
    for (const std::size_t m : cas) {
        mpz_class b;
        mpz_bin_uiui(b.get_mpz_t(), m, m / 2);
        ASSERT_EQ(bits_binome_milieu(m), mpz_sizeinbase(b.get_mpz_t(), 2)) << m;
        long e;
        const double mantisse = mpz_get_d_2exp(&e, b.get_mpz_t());
        ASSERT_NEAR(log2_binome_milieu(m), std::log2(mantisse) + static_cast<double>(e), 1e-8) << m;
    }
}

TEST(Reconstruction, GrandsEntiersDeLeursResidus) {
    // Random integers below the product of the moduli, near it, and 0, from
    // their residues read with a stride; with 2^64 first or without; as a
    // GMP integer and on limbs.
    gmp_randclass alea(gmp_randinit_default);
    alea.seed(5);
    std::vector<u64> premiers;
    plus_grands_premiers(63, 12, premiers);
    std::vector<u64> petits{3, 5, 7, 1000003};
    for (const bool deux_64 : {true, false})
        for (std::vector<u64>* p : {&premiers, &petits})
            for (std::size_t k = 1; k <= p->size(); ++k) {
                const std::span<const u64> moduli(p->data(), k);
                mpz_class produit = deux_64 ? mpz_class(1) << 64 : mpz_class(1);
                for (const u64 q : moduli) produit *= gmp(q);
                Reconstruction rebatir(moduli, deux_64);
                const std::size_t n = k + (deux_64 ? 1 : 0), pas = 3;
                for (int i = 0; i < 20; ++i) {
                    const mpz_class x = i == 0   ? mpz_class(0)
                                        : i == 1 ? mpz_class(produit - 1)
                                                 : alea.get_z_range(produit);
                    std::vector<u64> r(n * pas, ~u64{0});
                    for (std::size_t j = 0; j < n; ++j) {
                        const mpz_class m = deux_64 && j == 0 ? mpz_class(1) << 64 : gmp(moduli[j - (deux_64 ? 1 : 0)]);
                        const mpz_class reste = x % m;
                        r[j * pas] = std::stoull(reste.get_str());
                    }
                    mpz_class y;
                    rebatir(r.data(), pas, y);
                    ASSERT_EQ(y, x) << k << " moduli";
                    std::vector<mp_limb_t> limbes(rebatir.limbes());
                    rebatir(r.data(), pas, limbes.data());
                    mpz_class z;
                    mpz_import(z.get_mpz_t(), limbes.size(), -1, sizeof(mp_limb_t), 0, 0, limbes.data());
                    ASSERT_EQ(z, x) << k << " moduli, on limbs";
                }
            }
}

TEST(Sigma, SommesEtDiviseursImpairsContreLaDivisionEssayee) {
    // Every N up to 20000, each of its primes left out, and pairs and
    // triples of them: against the divisors of the cofactor by trial
    // division.
    for (u64 N = 1; N <= 20000; ++N) {
        std::vector<Facteur> f;
        u64 n = N;
        for (u64 p = 2; p * p <= n; ++p) {
            unsigned e = 0;
            for (; n % p == 0; n /= p) ++e;
            if (e) f.emplace_back(p, e);
        }
        if (n > 1) f.emplace_back(n, 1);
        std::vector<std::array<u64, 3>> sauf{{0, 0, 0}};
        for (const auto& [p, e] : f) {
            sauf.push_back({p, 0, 0});
            for (const auto& [q, g] : f) {
                if (q <= p) continue;
                sauf.push_back({p, q, 0});
                for (const auto& [r, h] : f)
                    if (r > q) sauf.push_back({p, q, r});
            }
        }
        for (const auto& [s1, s2, s3] : sauf) {
            u64 C = N;
            for (const auto& [p, e] : f)
                if (p == s1 || p == s2 || p == s3)
                    for (unsigned i = 0; i < e; ++i) C /= p;
            u64 somme = 0;
            std::vector<u64> impairs;
            for (u64 d = 1; d * d <= C; ++d) {
                if (C % d != 0) continue;
                std::vector<u64> paire{d};
                if (d * d != C) paire.push_back(C / d);
                for (const u64 x : paire) {
                    somme += x;
                    if (x % 2) impairs.push_back(x);
                }
            }
            std::sort(impairs.begin(), impairs.end());
            ASSERT_EQ(sigma_sans(f, ~u64{0}, s1, s2, s3), somme) << N << " / " << s1 << " " << s2 << " " << s3;
            ASSERT_EQ(sigma_sans(f, somme, s1, s2, s3), somme);
            if (somme > 1) {
                ASSERT_FALSE(sigma_sans(f, somme - 1, s1, s2, s3).has_value());
            }
            std::vector<u64> v;
            const unsigned deux = impairs_sans(f, v, s1, s2, s3);
            ASSERT_EQ(v, impairs) << N << " / " << s1 << " " << s2 << " " << s3;
            ASSERT_EQ(C >> deux, impairs.back());
        }
    }
    // The largest: sigma(2^63) = 2^64 - 1, sigma(3 2^62) = 4 (2^63 - 1).
    const std::vector<Facteur> f{{2, 63}}, g{{2, 62}, {3, 1}};
    EXPECT_EQ(sigma_sans(f, ~u64{0}, 0), ~u64{0});
    EXPECT_FALSE(sigma_sans(g, ~u64{0}, 0).has_value());
    EXPECT_EQ(sigma_sans(g, ~u64{0}, 3), ~u64{0} >> 1);
}
