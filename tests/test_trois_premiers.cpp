// SPDX-License-Identifier: GPL-3.0-or-later
// The split over three primes of N against independent truths: the plain
// table on every abundant N up to 6000 with three primes of exponent 1, each
// ordered choice of the three, on one thread and on two; counts beyond
// 2^64 on several moduli, with and without IFMA; the other methods of the
// engine on larger N of its shapes (b and c above sigma(L), or below), and
// the split over two primes; a stop asked during the count.
#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

#include "outils/banc.hpp"
#include "verites.hpp"

namespace {

using Facteurs = ListeFacteurs;

// Every ordered choice (d, c, b) of primes of N of exponent 1, on fils
// threads, gives attendu; returns the number of choices counted (none when
// the reduction alone settles the count).
int chaque_choix(Banc& banc, const Facteurs& f, const mpz_class& attendu, unsigned fils) {
    const auto d = verite::diviseurs_de_facteurs(f);
    const std::int64_t n = verite::produit(f);
    std::vector<std::uint64_t> uns;
    for (auto [p, e] : f)
        if (e == 1) uns.push_back(static_cast<std::uint64_t>(p));
    int choix = 0;
    for (const auto dd : uns)
        for (const auto c : uns)
            for (const auto b : uns) {
                if (b == c || c == dd || b == dd) continue;
                Imposee force{Methode::trois, 0, dd, c};
                force.r = b;
                force.fils = fils;
                const Compte r = banc.impose(d, n, force, f);
                EXPECT_EQ(r.valeur, attendu) << n << " d = " << dd << " c = " << c << " b = " << b;
                if (r.methode != Methode::aucune) {
                    EXPECT_EQ(r.methode, Methode::trois) << n;
                    ++choix;
                }
            }
    return choix;
}

}  // namespace

TEST(TroisPremiers, ContreLaTablePleine) {
    Banc banc;
    int essais = 0;
    for (std::int64_t n = 6; n <= 6000; ++n) {
        const Facteurs f = verite::facteurs_par_essais(n);
        const auto d = verite::diviseurs_par_paires(n);
        if (std::accumulate(d.begin(), d.end(), std::int64_t{0}) <= n) continue;
        int uns = 0;
        for (auto [p, e] : f) uns += e == 1;
        if (uns < 3) continue;
        const mpz_class attendu = verite::compte_table(d, n);
        // Two threads on a third of them: the rows shared, the classes
        // waiting for their other half across threads.
        essais += chaque_choix(banc, f, attendu, n % 3 == 0 ? 2 : 1);
    }
    EXPECT_GT(essais, 1000);
}

TEST(TroisPremiers, ComptesAuDelaDe2Puissance64) {
    // 55440 = 2^4 3^2 5 7 11 and 65520 = 2^4 3^2 5 7 13 (119 proper
    // divisors): counts beyond 2^64, on four or five moduli below 2^50,
    // against the plain table on big integers; on this processor and on one
    // without IFMA (the transforms one butterfly at a time).
    for (const Facteurs& f :
         std::vector<Facteurs>{{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}}, {{2, 4}, {3, 2}, {5, 1}, {7, 1}, {13, 1}}}) {
        const auto d = verite::diviseurs_de_facteurs(f);
        const mpz_class attendu = verite::compte_table(d, verite::produit(f));
        EXPECT_GT(attendu, mpz_class(1) << 64);
        for (const Processeur& cpu : {processeur(), Processeur{}}) {
            Banc banc(Budget::kDefaut, nullptr, cpu);
            EXPECT_EQ(chaque_choix(banc, f, attendu, 2), 6) << verite::produit(f) << " " << cpu.ifma;
        }
    }
}

TEST(TroisPremiers, ContreLesAutresMethodes) {
    // Larger N of its shapes, against the engine's own choice (the digit
    // walk, the split over two primes): sigma(L) = 28 below b and c, so
    // that K has one term and A_M(x) two or three (2^2 3 31 37 41 43);
    // sigma(L) far above them, so that K and the values have many terms
    // (2^3 3^2 5 7 11 13); rows of H that give no value, c above the top
    // sums k (2^2 3 5 7 1009 with c = 1009).
    struct Cas {
        Facteurs f;
        std::array<std::uint64_t, 3> choix;  // d, c, b
    };
    for (const Cas& c : {Cas{{{2, 2}, {3, 1}, {31, 1}, {37, 1}, {41, 1}, {43, 1}}, {43, 41, 37}},
                         Cas{{{2, 2}, {3, 1}, {31, 1}, {37, 1}, {41, 1}, {43, 1}}, {37, 31, 43}},
                         Cas{{{2, 3}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}}, {13, 11, 7}},
                         Cas{{{2, 3}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}}, {5, 7, 11}},
                         Cas{{{2, 2}, {3, 1}, {5, 1}, {7, 1}, {1009, 1}}, {7, 1009, 5}},
                         Cas{{{2, 2}, {3, 1}, {5, 1}, {7, 1}, {1009, 1}}, {1009, 7, 5}}}) {
        const auto d = verite::diviseurs_de_facteurs(c.f);
        const std::int64_t n = verite::produit(c.f);
        Banc banc;
        const Compte moteur = banc.moteur.denombre(Entree{d, n, Banc::facteurs(c.f)});
        EXPECT_NE(moteur.methode, Methode::trois) << n;
        for (const unsigned fils : {1u, 2u}) {
            Imposee force{Methode::trois, 0, c.choix[0], c.choix[1]};
            force.r = c.choix[2];
            force.fils = fils;
            const Compte r = banc.impose(d, n, force, c.f);
            EXPECT_EQ(r.methode, Methode::trois) << n;
            EXPECT_EQ(r.valeur, moteur.valeur) << n << " d = " << c.choix[0] << ", " << fils << " fil(s)";
        }
    }
}

TEST(TroisPremiers, ContreLaScissionSurDeuxPremiers) {
    // 1942355664720 = 2^4 3^2 5 607 941 4723 (239 proper divisors, a count
    // on several moduli, rows of 4096 cells), against the split over
    // two primes imposed.
    const Facteurs f{{2, 4}, {3, 2}, {5, 1}, {607, 1}, {941, 1}, {4723, 1}};
    const auto d = verite::diviseurs_de_facteurs(f);
    const std::int64_t n = verite::produit(f);
    Banc banc;
    const Compte deux = banc.impose(d, n, {Methode::scission, 0, 4723, 941}, f);
    ASSERT_EQ(deux.methode, Methode::scission);
    EXPECT_GT(deux.valeur, mpz_class(1) << 100);
    Imposee force{Methode::trois, 0, 4723, 941};
    force.r = 607;
    EXPECT_EQ(banc.impose(d, n, force, f).valeur, deux.valeur);
}

TEST(TroisPremiers, ArretDemande) {
    // 10^18 + 8 = 2^3 3^2 97 26209 32779 166667: a count of seconds,
    // stopped at once.
    const Facteurs f{{2, 3}, {3, 2}, {97, 1}, {26209, 1}, {32779, 1}, {166667, 1}};
    Suivi s;
    s.arret = true;
    Banc banc(Budget::kDefaut, &s);
    Imposee force{Methode::trois, 0, 166667, 26209};
    force.r = 32779;
    EXPECT_THROW(banc.impose(verite::diviseurs_de_facteurs(f), verite::produit(f), force, f), Interruption);
}
