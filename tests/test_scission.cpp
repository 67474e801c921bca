// SPDX-License-Identifier: GPL-3.0-or-later
// The split over two primes of N against independent truths: the plain
// table on every N up to 3000 and on random N up to 10^6, every ordered pair
// of primes dividing N once; shapes chosen for each branch of the build;
// counts beyond 2^64; a stop asked during the count; the dot products.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

#include "fenetres.hpp"
#include "ntt.hpp"
#include "outils/banc.hpp"
#include "produits.hpp"
#include "verites.hpp"

namespace {

using Facteurs = ListeFacteurs;

// Products of the split on (q, r), per modulus: 2 (sigma(M) / q) sigma(L) / r.
double produits(const Facteurs& f, std::int64_t q, std::int64_t r) {
    double sigma_l = 1;
    for (auto [p, e] : f) {
        if (p == q || p == r) continue;
        double t = 1, pk = 1;
        for (int k = 0; k < e; ++k) t += pk *= static_cast<double>(p);
        sigma_l *= t;
    }
    return 2 * (sigma_l * static_cast<double>(r + 1) / static_cast<double>(q) + 1) *
           (sigma_l / static_cast<double>(r) + 1);
}

// Every ordered pair (q, r) of primes of N of exponent 1 whose split takes
// at most plafond products gives attendu;
// returns the number of pairs the split counted (N deficient or perfect, and
// some abundant N, are settled before any method runs).
int chaque_paire(Banc& banc, const Facteurs& f, const mpz_class& attendu, double plafond = 3e7,
                 std::optional<unsigned> transformees = {}) {
    const auto d = verite::diviseurs_de_facteurs(f);
    const std::int64_t n = verite::produit(f);
    int paires = 0;
    for (auto [q, a] : f)
        for (auto [r, b] : f) {
            if (a != 1 || b != 1 || q == r || produits(f, q, r) > plafond) continue;
            Imposee force{Methode::scission, 0, static_cast<std::uint64_t>(q), static_cast<std::uint64_t>(r)};
            force.transformees = transformees;
            const Compte c = banc.impose(d, n, force, f);
            EXPECT_EQ(c.valeur, attendu) << n << " q = " << q << " r = " << r;
            // Unless the target, reduced, is settled without any method.
            if (c.methode != Methode::aucune) {
                EXPECT_EQ(c.methode, Methode::scission) << n;
                ++paires;
            }
        }
    return paires;
}

}  // namespace

TEST(Scission, ContreLaTablePleine) {
    // Every abundant N up to 3000 with two primes of exponent 1.
    Banc banc;
    int essais = 0;
    for (std::int64_t n = 6; n <= 3000; ++n) {
        const Facteurs f = verite::facteurs_par_essais(n);
        const auto d = verite::diviseurs_par_paires(n);
        if (std::accumulate(d.begin(), d.end(), std::int64_t{0}) <= n) continue;
        const mpz_class attendu = verite::compte_table(d, n);
        essais += chaque_paire(banc, f, attendu);
    }
    EXPECT_GT(essais, 1000);
}

TEST(Scission, ValeursParTransformeesContreLaTablePleine) {
    // The values by transforms, then by dot products, on every abundant N
    // up to 1500 with two primes of exponent 1; and on shapes whose
    // sigma(L) is large against q r, with several blocks on each half.
    Banc banc;
    int essais = 0;
    for (std::int64_t n = 6; n <= 1500; ++n) {
        const Facteurs f = verite::facteurs_par_essais(n);
        const auto d = verite::diviseurs_par_paires(n);
        if (std::accumulate(d.begin(), d.end(), std::int64_t{0}) <= n) continue;
        const mpz_class attendu = verite::compte_table(d, n);
        essais += chaque_paire(banc, f, attendu, 3e7, 2);
        chaque_paire(banc, f, attendu, 3e7, 1);
        chaque_paire(banc, f, attendu, 3e7, 0);
    }
    EXPECT_GT(essais, 400);
    for (const Facteurs& f :
         {Facteurs{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}}, Facteurs{{2, 5}, {3, 3}, {5, 1}, {7, 1}, {11, 1}},
          Facteurs{{2, 3}, {3, 1}, {5, 1}, {7, 1}, {11, 1}, {13, 1}, {17, 1}}}) {
        const auto d = verite::diviseurs_de_facteurs(f);
        const std::int64_t n = verite::produit(f);
        const mpz_class attendu = Banc().impose(d, n, {Methode::table}, f).valeur;
        EXPECT_GT(chaque_paire(banc, f, attendu, 1e9, 2), 0) << n;
        EXPECT_GT(chaque_paire(banc, f, attendu, 1e9, 1), 0) << n;
    }
}

TEST(Scission, ValeursAParGroupesDeResidus) {
    // A_M(q k) by transforms, the residues kappa modulo r taken one, two,
    // three... at a time (a last group short), their G transformed or
    // evaluated frequency by frequency, on one thread and on two, against the
    // sum over j of F(q k - r j) F(j). L = 2^3 3^2 5 7, F = A_L, sigma(L) =
    // 9360: against q r = 143, many entries a class; against 1517, a few.
    const std::vector<u64> divL = {1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  15,  18,  20,   21,
                                   24,  28,  30,  35,  36,  40,  42,  45,  56,  60,  63,  70,  72,  84,  90,   105,
                                   120, 126, 140, 168, 180, 210, 252, 280, 315, 360, 420, 504, 630, 840, 1260, 2520};
    const u64 L = 2520, S = std::accumulate(divL.begin(), divL.end(), u64{0});
    for (const auto& [q, r] : {std::pair<u64, u64>{13, 11}, std::pair<u64, u64>{37, 41}}) {
        const Geometrie g{q, r, r * L, S, S * (r + 1) / q};
        Fenetres f;
        dimensionne_a(g, 1e7, f);
        ASSERT_GT(f.log_a, 0u);
        EXPECT_GT(f.blocs_a, 1u);
        const u64 p = premiers_ntt(50, f.log_a, 1).at(0), n = u64{1} << f.log_a, ga = f.g_a;
        std::vector<u64> F(S + 1, 0);
        F[0] = 1;
        for (const u64 d : divL)
            for (u64 x = S; x >= d; --x) F[x] = (F[x] + F[x - d]) % p;
        std::vector<u64> attendu(g.K + 1, 0);
        for (u64 k = 0; k <= g.K; ++k)
            for (u64 j = 0; j <= S && r * j <= q * k; ++j)
                if (q * k - r * j <= S)
                    attendu[k] =
                        static_cast<u64>((attendu[k] + static_cast<unsigned __int128>(F[q * k - r * j]) * F[j]) % p);
        const std::vector<u64> demi(F.begin(), F.begin() + static_cast<std::ptrdiff_t>(S / 2 + 1));
        for (const bool directe : {false, true})
            for (const unsigned fils : {1u, 2u})
                for (const u64 groupe : {u64{1}, u64{2}, u64{3}, u64{4}, u64{6}}) {
                    f.directe_a = directe;
                    f.groupe_a = groupe;
                    f.partage_a = q * f.blocs_a * n + (directe ? n * ga : 0);
                    f.par_fil_a = groupe * ((directe ? q * (ga + 1) : q * n) + f.blocs_a * n) + n;
                    std::vector<u64> travail(f.partage() + 2 * f.par_fil()), ra(g.K + 1, 7);
                    Progres pr;
                    valeurs_a(g, f, demi.data(), p, false, ra.data(), travail.data(), fils, nullptr, nullptr, pr);
                    EXPECT_EQ(ra, attendu)
                        << "q = " << q << ", groupes de " << groupe << ", " << fils << " fil(s), evaluees " << directe;
                }
    }
}

TEST(Scission, NombresAuHasardJusquaUnMillion) {
    Banc banc;
    std::mt19937_64 g(20261208);
    std::uniform_int_distribution<std::int64_t> tirage(3000, 1000000);
    int essais = 0;
    while (essais < 40) {
        const std::int64_t n = tirage(g);
        const Facteurs f = verite::facteurs_par_essais(n);
        const auto d = verite::diviseurs_par_paires(n);
        if (d.size() > 80 || std::accumulate(d.begin(), d.end(), std::int64_t{0}) <= n) continue;
        // At most C(80, 40) < 2^77 sets: 128 bits hold the counts.
        essais += chaque_paire(banc, f, verite::gros(verite::compte_table<unsigned __int128>(d, n))) > 0;
    }
}

TEST(Scission, FormesDeChaqueBranche) {
    Banc banc;
    for (const Facteurs& f : std::vector<Facteurs>{
             {{3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}},          // L odd: one step per divisor
             {{2, 5}, {3, 1}, {7, 1}},                            // L = 2^5: one chain of base 1
             {{2, 3}, {3, 2}, {5, 1}, {11, 1}},                   // chains of odd bases, r = 5 or 11
             {{2, 1}, {3, 1}, {5, 1}, {7, 1}, {11, 1}, {13, 1}},  // r = 2: two classes
             {{2, 2}, {3, 1}, {1009, 1}},                         // r > sigma(L): rows of one cell
         }) {
        const std::int64_t n = verite::produit(f);
        const auto d = verite::diviseurs_de_facteurs(f);
        EXPECT_GT(chaque_paire(banc, f, verite::compte_table(d, n)), 0) << n;
    }
}

TEST(Scission, ComptesAuDelaDe2Puissance64) {
    // 55440 = 2^4 3^2 5 7 11 and 65520 = 2^4 3^2 5 7 13 (119 proper
    // divisors): counts beyond 2^64, each value rebuilt from several moduli,
    // against the plain table on big integers; on this processor, and on one
    // without IFMA (moduli below 2^60, 128-bit sums).
    for (const Facteurs& f :
         std::vector<Facteurs>{{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}}, {{2, 4}, {3, 2}, {5, 1}, {7, 1}, {13, 1}}}) {
        const auto d = verite::diviseurs_de_facteurs(f);
        const std::int64_t n = verite::produit(f);
        const mpz_class attendu = verite::compte_table(d, n);
        EXPECT_GT(attendu, mpz_class(1) << 64);
        for (const Processeur& cpu : {processeur(), Processeur{}}) {
            Banc banc(Budget::kDefaut, nullptr, cpu);
            EXPECT_EQ(chaque_paire(banc, f, attendu, 2e8), 6) << n << " " << cpu.ifma;
        }
    }
}

TEST(Scission, BudgetTropCourtPourLesResidus) {
    // 720720 split on 13 and 11: tables of 19344 / 2 + 1 and 19344 + 1 cells
    // fit in 500 KiB, the residues of each value (3 moduli, 17857 values,
    // twice) do not: the count itself is rebuilt, from more moduli.
    const Facteurs f{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}};
    const auto d = verite::diviseurs_de_facteurs(f);
    const mpz_class attendu = Banc().compte(d, 720720);
    Banc banc(500 << 10);
    EXPECT_EQ(banc.impose(d, 720720, {Methode::scission, 0, 13, 11}, f).valeur, attendu);
}

TEST(Scission, TablesDe32BitsQuandCellesDe64NeTiennentPas) {
    // In 200 KiB the tables of 64-bit cells do not fit (19344 / 2 + 1 and
    // 19344 + 1 cells: 232 KB), those of 32 bits do (116 KB). 720720 on 13
    // and 11: the count rebuilt whole; 5040 1009 100003 on 100003 and 1009:
    // the residues of each of 196 values, half B by dot products, then by
    // transforms.
    struct Cas {
        Facteurs f;
        std::int64_t q, r;
        std::size_t octets;
    };
    for (const Cas& c : {Cas{{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}}, 13, 11, 200 << 10},
                         Cas{{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {1009, 1}, {100003, 1}}, 100003, 1009, 200 << 10}}) {
        const auto d = verite::diviseurs_de_facteurs(c.f);
        const std::int64_t n = verite::produit(c.f);
        Imposee force{Methode::scission, 0, static_cast<std::uint64_t>(c.q), static_cast<std::uint64_t>(c.r)};
        force.transformees = 0;
        const mpz_class attendu = Banc().impose(d, n, force, c.f).valeur;  // on 64-bit tables
        Banc banc(c.octets);
        EXPECT_EQ(banc.impose(d, n, force, c.f).valeur, attendu) << n;
        // Half B by transforms, from the table of 32-bit cells (its 196
        // values fit beside them).
        if (c.q == 100003) {
            force.transformees = 1;
            EXPECT_EQ(banc.impose(d, n, force, c.f).valeur, attendu) << n;
        }
    }
}

TEST(Scission, ArretDemande) {
    // 10^12 + 64 = 2^6 13 41 61 157 3061: a count of seconds, stopped at
    // once.
    const Facteurs f{{2, 6}, {13, 1}, {41, 1}, {61, 1}, {157, 1}, {3061, 1}};
    const auto d = verite::diviseurs_de_facteurs(f);
    Suivi s;
    s.arret = true;
    Banc banc(Budget::kDefaut, &s);
    EXPECT_THROW(banc.impose(d, verite::produit(f), {Methode::scission, 0, 3061, 157}, f), Interruption);
}

TEST(Scission, ProduitsModuloUnPremier) {
    // Both loops, on lengths around their blocks and lanes, against GMP.
    std::mt19937_64 g(7);
    std::vector<unsigned> largeurs{60, 32};
    if (processeur().ifma) largeurs.insert(largeurs.end(), {50, 33});  // 33: 32-bit cells, IFMA
    for (const unsigned bits : largeurs) {
        const bool ifma = bits == 50 || bits == 33;
        const bool etroit = bits <= 33;
        const u64 p = premiers_produits(etroit ? 32 : bits, 1)[0];
        // Full blocks of 8192 products many times: the low halves of a block
        // add up to about 2^64, and each carry must be kept.
        std::vector<std::size_t> longueurs{0, 1, 7, 8, 9, 255, 256, 257, 8191, 8193, 20000};
        longueurs.insert(longueurs.end(), 16, 8192);
        for (const std::size_t n : longueurs) {
            std::vector<u64> a(n), b(n);
            std::vector<std::uint32_t> a32(n), b32(n);
            mpz_class s = 0;
            for (std::size_t i = 0; i < n; ++i) {
                a[i] = n % 2 && i % 3 == 0 ? p - 1 : g() % p;  // the largest values too
                b[i] = n % 2 && i % 5 == 0 ? p - 1 : g() % p;
                s += mpz_class(std::to_string(a[i])) * mpz_class(std::to_string(b[i]));
            }
            s %= mpz_class(std::to_string(p));
            for (std::size_t i = 0; i < n; ++i) {
                a32[i] = static_cast<std::uint32_t>(a[i]);
                b32[i] = static_cast<std::uint32_t>(b[i]);
            }
            const u64 r =
                etroit ? produit_mod(a32.data(), b32.data(), n, p, ifma) : produit_mod(a.data(), b.data(), n, p, ifma);
            EXPECT_EQ(mpz_class(std::to_string(r)), s) << bits << " bits, n = " << n;
            if (n == 0) continue;
            // b read downwards from its last cell: a[i] times b[n - 1 - i].
            std::reverse(a.begin(), a.end());
            std::reverse(a32.begin(), a32.end());
            const u64 e = etroit ? produit_mod_envers(a32.data(), b32.data() + n - 1, n, p, ifma)
                                 : produit_mod_envers(a.data(), b.data() + n - 1, n, p, ifma);
            EXPECT_EQ(mpz_class(std::to_string(e)), s) << bits << " bits, n = " << n << ", downwards";
        }
    }
}
