// The equal-sum count engine against independent truths: the exhaustive
// mask search, a plain table of GMP integers, published counts, the weird
// numbers, a closed form and divisibility properties; and every counting
// method of the engine imposed on the same inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <vector>

#include <gmpxx.h>

#include "comptage.hpp"
#include "comptage_interne.hpp"
#include "masques.hpp"
#include "verites.hpp"

namespace {

using Liste = std::vector<std::int64_t>;
using comptage_interne::Methode;

// Proper divisors, by pairs (d, n / d) or from a factorization {(p, e)}.
Liste propres(std::int64_t n) { return verite::diviseurs_par_paires(n); }
Liste propres_de(const std::vector<std::pair<std::int64_t, int>>& f) { return verite::diviseurs_de_facteurs(f); }

__int128 somme(const Liste& d) {
    __int128 s = 0;
    for (std::int64_t x : d) s += x;
    return s;
}

mpz_class compte(const Liste& d, std::int64_t cible) {
    return compte_sommes(d.data(), d.size(), cible);
}

// Independent count: a table of GMP integers over every sum 0..cible, one
// value at a time, with no window, modulus or change of target.
mpz_class table_gmp(const Liste& d, std::int64_t cible) {
    std::vector<mpz_class> f(static_cast<std::size_t>(cible) + 1);
    f[0] = 1;
    for (std::int64_t x : d)
        for (std::int64_t s = cible; s >= x; --s)
            if (f[s - x] != 0) f[s] += f[s - x];
    return f[cible];
}

// Is cible a sum of distinct entries of d? A plain table of booleans.
bool atteignable(const Liste& d, std::int64_t cible) {
    std::vector<char> a(static_cast<std::size_t>(cible) + 1, 0);
    a[0] = 1;
    for (std::int64_t x : d)
        for (std::int64_t s = cible; s >= x; --s)
            if (a[s - x]) a[s] = 1;
    return a[cible] != 0;
}

// Independent count for few entries of any size: every subset, on 128 bits.
std::uint64_t enumeration(const Liste& d, std::int64_t cible) {
    std::uint64_t n = 0;
    for (std::uint64_t masque = 0; masque < (std::uint64_t{1} << d.size()); ++masque) {
        __int128 s = 0;
        for (std::size_t i = 0; i < d.size(); ++i)
            if (masque >> i & 1) s += d[i];
        if (s == cible) ++n;
    }
    return n;
}

// The count with one method imposed (split j), and the plan that ran.
mpz_class compte_par(const Liste& d, std::int64_t cible, Methode m, std::size_t j,
                     comptage_interne::Plan* plan = nullptr) {
    comptage_interne::Options o;
    o.impose = true;
    o.methode = m;
    o.j = j;
    return comptage_interne::compte_sommes_options(d.data(), d.size(), cible, o, plan);
}

// Every method, at several splits, agrees with the engine's own choice.
void tous_les_moyens(const Liste& d, std::int64_t cible) {
    const mpz_class attendu = compte(d, cible);
    comptage_interne::Plan plan;
    EXPECT_EQ(compte_par(d, cible, Methode::Table, 0, &plan), attendu) << "Table, cible " << cible;
    const std::size_t m = plan.j;  // all the usable items
    if (m == 0) return;            // nothing was counted: known at once
    for (std::size_t q : {std::size_t{0}, std::size_t{1}, std::size_t{5}, m / 2, m}) {
        const std::size_t j = q > m ? 0 : m - q;
        EXPECT_EQ(compte_par(d, cible, Methode::Liste, j), attendu) << "Liste j=" << j;
    }
    for (std::size_t q : {std::size_t{2}, std::size_t{9}, std::size_t{20}}) {
        if (q > m) continue;
        EXPECT_EQ(compte_par(d, cible, Methode::Milieu, m - q), attendu) << "Milieu j=" << m - q;
    }
    for (std::size_t q : {std::size_t{1}, std::size_t{6}, std::size_t{14}}) {
        if (q > m) continue;
        EXPECT_EQ(compte_par(d, cible, Methode::Parcours, m - q), attendu) << "Parcours j=" << m - q;
    }
}

TEST(CompteSommes, ValeursPubliees) {
    EXPECT_EQ(compte(propres(360), 360), 22208);
    EXPECT_EQ(compte(propres(840), 840), 2225346);
    const std::pair<std::int64_t, long> table[] = {{12, 2}, {18, 2}, {20, 1}, {24, 5}, {36, 7},
                                                   {48, 10}, {60, 34}, {70, 0}, {836, 0}, {945, 5}};
    for (auto [n, ns] : table) EXPECT_EQ(compte(propres(n), n), ns) << n;
}

TEST(CompteSommes, RechercheMasquesJusqua3000) {
    // Every N up to 3000 with at most 22 proper divisors, deficient,
    // perfect or abundant, with N and other targets around the sums.
    for (std::int64_t n = 1; n <= 3000; ++n) {
        const Liste d = propres(n);
        if (d.size() > 22) continue;
        const std::int64_t s = static_cast<std::int64_t>(somme(d));
        std::vector<std::int64_t> cibles{n};
        if (d.size() <= 14) cibles.insert(cibles.end(), {1, n / 2, n - 1, s - 1, s, s + 1, s / 2});
        for (std::int64_t c : cibles) {
            if (c < 1) continue;
            ASSERT_EQ(compte(d, c), recherche_masques(d.data(), d.size(), c)) << n << " cible " << c;
        }
    }
}

TEST(CompteSommes, TableGmpAuDelaDe64Bits) {
    for (std::int64_t n : {27720, 50400, 55440}) {
        const Liste d = propres(n);
        const mpz_class attendu = table_gmp(d, n);
        EXPECT_GT(mpz_sizeinbase(attendu.get_mpz_t(), 2), 64u) << n;
        EXPECT_EQ(compte(d, n), attendu) << n;
    }
}

TEST(CompteSommes, EntiersConsecutifs) {
    // Not divisors: 1..100 (several moduli), and 1..40 with every target.
    Liste d;
    for (std::int64_t x = 1; x <= 100; ++x) d.push_back(x);
    EXPECT_EQ(compte(d, 2525), table_gmp(d, 2525));
    EXPECT_EQ(compte(d, 1000), table_gmp(d, 1000));
    d.resize(40);
    for (std::int64_t c = 0; c <= 820; c += 7) EXPECT_EQ(compte(d, c), table_gmp(d, c)) << c;
}

TEST(CompteSommes, NombresBizarresJusqua15000) {
    // Abundant numbers with no subset of proper divisors summing to them
    // (OEIS A006037); a table of booleans decides each abundant N again.
    const std::set<std::int64_t> bizarres{70,    836,   4030,  5830,  7192,  7912,  9272,
                                          10430, 10570, 10792, 10990, 11410, 11690, 12110,
                                          12530, 12670, 13370, 13510, 13790, 13930, 14770};
    std::set<std::int64_t> trouves;
    for (std::int64_t n = 2; n <= 15000; ++n) {
        const Liste d = propres(n);
        if (somme(d) <= n) continue;
        const bool zero = compte(d, n) == 0;
        ASSERT_EQ(zero, !atteignable(d, n)) << n;
        if (zero) trouves.insert(n);
    }
    EXPECT_EQ(trouves, bizarres);
}

TEST(CompteSommes, FormeDeuxPuissanceKFoisPremier) {
    // N = 2^k p, p an odd prime below 2^(k+1): the powers of two reach every
    // value below 2^(k+1) once and the multiples of p are p s, s < 2^k, so
    // the count is the number of u = 2^k - s in [1, 2^k] with p u < 2^(k+1),
    // that is floor((2^(k+1) - 1) / p). Up to N near 2^61.
    const std::int64_t premiers[] = {3, 5, 7, 11, 13, 31, 61, 127, 251, 509, 1021, 2039, 4093,
                                     8191, 65521, 131071, 1048573, 16777213, 2147483647, 2147483629};
    for (int k = 1; k <= 30; ++k) {
        for (std::int64_t p : premiers) {
            const std::int64_t borne = std::int64_t{1} << (k + 1);
            if (p >= borne) continue;
            const Liste d = propres_de({{2, k}, {p, 1}});
            const std::int64_t n = p << k;
            EXPECT_EQ(compte(d, n), (borne - 1) / p) << "2^" << k << " * " << p;
        }
    }
}

TEST(CompteSommes, NombresParfaits) {
    // The whole set is then the only one.
    for (int k : {1, 2, 4, 6, 12, 16, 18, 30}) {
        const std::int64_t p = (std::int64_t{2} << k) - 1;
        const Liste d = propres_de({{2, k}, {p, 1}});
        EXPECT_EQ(compte(d, p << k), 1) << k;
    }
}

TEST(CompteSommes, MultiplesDeSemiparfaits) {
    // A multiple of a semiperfect number is abundant and semiperfect: the
    // same set scaled, with the new proper divisors left out.
    for (std::int64_t n = 6; n <= 600; ++n) {
        const Liste d = propres(n);
        if (compte(d, n) == 0) continue;
        for (std::int64_t k : {2, 3, 5, 7, 11}) {
            const Liste dk = propres(k * n);
            EXPECT_GT(somme(dk), k * n) << k * n;
            EXPECT_GT(compte(dk, k * n), 0) << k * n;
        }
    }
}

TEST(CompteSommes, ComplementEtCasLimites) {
    const Liste d = propres(5040);
    const std::int64_t s = static_cast<std::int64_t>(somme(d));
    for (std::int64_t c : {1, 100, 5040, 7000, 9000})
        EXPECT_EQ(compte(d, c), compte(d, s - c)) << c;
    EXPECT_EQ(compte(d, s), 1);
    EXPECT_EQ(compte(d, s + 1), 0);
    EXPECT_EQ(compte(d, 0), 1);
    EXPECT_EQ(compte(d, -3), 0);
    EXPECT_EQ(compte({}, 5), 0);
    // Repeated, unsorted and zero entries, as the mask search counts them.
    const Liste r{2, 1, 1, 3, 2};
    EXPECT_EQ(compte(r, 4), recherche_masques(Liste{1, 1, 2, 2, 3}.data(), 5, 4));
    EXPECT_EQ(compte(Liste{0, 1, 2, 0, 3}, 3), 8);  // {3} and {1, 2}, with or without each 0
}

TEST(CompteSommes, GrandesValeurs) {
    // Few divisors near 2^63: a complete enumeration on 128 bits.
    const std::vector<std::vector<std::pair<std::int64_t, int>>> formes{
        {{2, 1}, {3, 1}, {715827883, 1}, {2147483647, 1}},  // 2^63 - 2
        {{2, 2}, {3, 1}, {5, 1}, {153722867280912929, 1}},
        {{2, 3}, {3, 1}, {384307168202282279, 1}},
    };
    for (const auto& f : formes) {
        const Liste d = propres_de(f);
        const std::int64_t n = d.back() * f.front().first;  // largest proper divisor = n / 2
        ASSERT_LE(d.size(), 24u);
        EXPECT_EQ(compte(d, n), enumeration(d, n)) << n;
    }
    // Near 2^63 with hundreds of divisors (360 p q): the table, the lists
    // and the walk agree.
    const Liste d = propres_de({{2, 3}, {3, 2}, {5, 1}, {1000003, 1}, {25620401003, 1}});
    const std::int64_t n = std::int64_t{360} * 1000003 * 25620401003;
    const mpz_class c = compte(d, n);
    EXPECT_EQ(compte_par(d, n, Methode::Parcours, 24), c);
}

TEST(CompteSommes, ChaqueMethode) {
    for (std::int64_t n = 2; n <= 400; ++n) {
        const Liste d = propres(n);
        if (somme(d) > n) tous_les_moyens(d, n);
    }
    // Several moduli (more than 67 usable divisors), other targets.
    for (std::int64_t n : {5040, 10080, 27720}) {
        const Liste d = propres(n);
        tous_les_moyens(d, n);
        tous_les_moyens(d, n / 3);
    }
}

TEST(Modules, ProduitAuDelaDuPlusGrandCompte) {
    // The product of the moduli exceeds C(m, floor(m/2)), the largest
    // possible count; the moduli are distinct primes below 2^63.
    for (std::size_t m : {1u, 67u, 68u, 100u, 239u, 447u, 639u}) {
        const std::size_t k = comptage_interne::nombre_modules(m);
        mpz_class produit(1), borne;
        produit <<= 64;
        for (std::size_t i = 1; i < k; ++i) {
            const std::uint64_t p = comptage_interne::module_premier(i - 1);
            EXPECT_LT(p, std::uint64_t{1} << 63);
            EXPECT_NE(mpz_probab_prime_p(mpz_class(static_cast<unsigned long>(p)).get_mpz_t(), 30), 0);
            if (i > 1) {
                EXPECT_LT(p, comptage_interne::module_premier(i - 2));
            }
            produit *= static_cast<unsigned long>(p);
        }
        mpz_bin_uiui(borne.get_mpz_t(), m, m / 2);
        EXPECT_GT(produit, borne) << m;
    }
}

TEST(Modules, RestesChinois) {
    std::mt19937_64 alea(12345);
    for (std::size_t k : {1u, 2u, 5u, 11u}) {
        mpz_class produit(1);
        produit <<= 64;
        for (std::size_t i = 1; i < k; ++i)
            produit *= static_cast<unsigned long>(comptage_interne::module_premier(i - 1));
        for (int essai = 0; essai < 20; ++essai) {
            mpz_class x = 0;
            for (std::size_t i = 0; i < 2 * k; ++i) x = (x << 63) + static_cast<unsigned long>(alea() >> 1);
            x %= produit;
            std::vector<std::uint64_t> r(k);
            r[0] = mpz_get_ui(mpz_class(x & ((mpz_class(1) << 64) - 1)).get_mpz_t());
            for (std::size_t i = 1; i < k; ++i)
                r[i] = mpz_fdiv_ui(x.get_mpz_t(), comptage_interne::module_premier(i - 1));
            EXPECT_EQ(comptage_interne::reconstruire(r.data(), k), x);
        }
    }
}

TEST(Listes, FusionContreEnumeration) {
    // Sorted distinct sums with multiplicities, one value at a time, kept
    // in [seuil, U], against all subsets counted in a map.
    std::mt19937_64 alea(7);
    for (int essai = 0; essai < 200; ++essai) {
        const std::size_t n = 1 + alea() % 12;
        Liste v(n);
        for (auto& x : v) x = 1 + static_cast<std::int64_t>(alea() % 40);
        const std::uint64_t U = alea() % 300, seuil = alea() % 100;
        const std::uint64_t p = essai % 2 ? 0 : 7;
        std::vector<std::uint64_t> s{0}, m{1}, s2(4096), m2(4096);
        std::map<std::uint64_t, std::uint64_t> attendu{{0, 1}};
        for (std::size_t i = 0; i < n; ++i) {
            // Every value is at least 1: the last one may lift sums above
            // seuil only when the bound is applied at the end.
            const bool dernier = i + 1 == n;
            const std::size_t k = comptage_interne::etend_liste(
                s.data(), m.data(), s.size(), static_cast<std::uint64_t>(v[i]), dernier ? seuil : 0, U,
                s2.data(), m2.data(), s2.size(), p);
            std::map<std::uint64_t, std::uint64_t> suite;
            for (auto [x, c] : attendu) {
                for (std::uint64_t y : {x, x + static_cast<std::uint64_t>(v[i])})
                    if (y <= U && (!dernier || y >= seuil)) suite[y] = p ? (suite[y] + c) % p : suite[y] + c;
            }
            attendu.swap(suite);
            ASSERT_EQ(k, attendu.size());
            s.assign(s2.begin(), s2.begin() + k);
            m.assign(m2.begin(), m2.begin() + k);
        }
        std::size_t i = 0;
        for (auto [x, c] : attendu) {
            EXPECT_EQ(s[i], x);
            EXPECT_EQ(m[i], c);
            ++i;
        }
    }
}

TEST(ComptageLong, Estimation) {
    EXPECT_FALSE(comptage_long(propres(840).data(), propres(840).size(), 840));
    const Liste grand = propres(8648640);
    EXPECT_TRUE(comptage_long(grand.data(), grand.size(), 8648640));
    const Liste infini = propres_de({{3, 4}, {7, 1}, {11, 1}, {13, 1}, {19, 1}, {37, 1}, {52579, 1}, {333667, 1}});
    EXPECT_TRUE(comptage_long(infini.data(), infini.size(), 999999999999999999));
}

}  // namespace
