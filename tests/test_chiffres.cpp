// SPDX-License-Identifier: GPL-3.0-or-later
// The walk over the digits of N against independent truths: the plain
// table and the other methods on structured N, every prime of N walked in
// turn, and the closed form of 2^k p up to 2^63; a walk short of budget or
// asked to stop.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "outils/banc.hpp"
#include "verites.hpp"

namespace {

using Facteurs = ListeFacteurs;

// The walk over the digits of each prime of N gives attendu; on 32-bit
// cells with etroit; for a prime of exponent 1, by its values rebuilt one by
// one or not with par_valeur.
void chaque_premier(const Facteurs& f, const mpz_class& attendu, bool etroit = false,
                    std::optional<bool> par_valeur = {}) {
    const auto d = verite::diviseurs_de_facteurs(f);
    const std::int64_t n = verite::produit(f);
    Banc banc;
    for (auto [p, e] : f) {
        Compte c;
        try {
            if (par_valeur && e != 1) continue;
            c = banc.impose(d, n, {Methode::chiffres, 0, static_cast<std::uint64_t>(p), 0, etroit, par_valeur}, f);
        } catch (const AucunPlan&) {
            continue;  // that walk has no plan (sigma(M) too large): nothing was counted
        }
        ASSERT_EQ(c.valeur, attendu) << n << " en base " << p;
        ASSERT_TRUE(c.methode == Methode::chiffres || c.methode == Methode::aucune) << n << " en base " << p;
    }
}

// N below 5 * 10^6 only (the other methods stay fast).
void contre_moteur(const Facteurs& f) {
    double n = 1;
    for (auto [p, e] : f) n *= std::pow(static_cast<double>(p), e);
    if (n >= 5e6) return;
    const auto d = verite::diviseurs_de_facteurs(f);
    chaque_premier(f, Banc().compte(d, verite::produit(f)));
}

}  // namespace

TEST(Chiffres, ContreLaTablePleine) {
    // Every N up to 3000 with 2 to 20 proper divisors, abundant or not.
    for (std::int64_t n = 2; n <= 3000; ++n) {
        const auto d = verite::diviseurs_par_paires(n);
        if (d.size() > 20 || d.size() < 2) continue;
        chaque_premier(verite::facteurs_par_essais(n), verite::compte_table(d, n));
    }
}

TEST(Chiffres, ContreLeMoteur) {
    // 2^a p, 2^a q p, p^a M with small sigma(M), highly composite numbers.
    const std::int64_t premiers[] = {3, 5, 7, 11, 13, 17, 19, 23, 31, 43, 61, 71, 101, 127, 257};
    for (int a = 1; a <= 12; ++a)
        for (std::int64_t p : premiers) {
            contre_moteur({{2, a}, {p, 1}});
            for (std::int64_t q : {3, 5, 7, 11, 13, 101})
                if (q < p && verite::produit({{2, a}, {q, 1}, {p, 1}}) < 500'000)
                    contre_moteur({{2, a}, {q, 1}, {p, 1}});
            for (const Facteurs& m : {Facteurs{{2, 1}}, Facteurs{{2, 2}, {3, 1}}, Facteurs{{2, 1}, {5, 1}}}) {
                Facteurs f = m;
                if (p != 3 && p != 5) f.emplace_back(p, a);
                if (f.size() > m.size()) contre_moteur(f);
            }
        }
    for (const Facteurs& f :
         {Facteurs{{2, 3}, {3, 3}, {5, 1}, {7, 1}}, Facteurs{{2, 5}, {3, 3}, {5, 1}, {7, 1}, {11, 1}},
          Facteurs{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}}})
        contre_moteur(f);  // 7560, 332640, 720720
}

TEST(Chiffres, DeuxPuissanceKFoisPremier) {
    // N = 2^k p, p odd prime below 2^(k+1): the chains j and j p (j below
    // 2^(k+1), and below 2^k for p) give floor((2^(k+1) - 1) / p) solutions.
    // Through the whole count, whichever method it picks.
    Banc banc;
    for (int k = 1; k <= 61; ++k)
        for (std::int64_t p : {3, 5, 7, 13, 61, 127, 8191, 131071, 2147483647})
            if (p < (std::int64_t{1} << (k + 1)) && p <= (INT64_MAX >> k)) {
                const auto d = verite::diviseurs_de_facteurs({{2, k}, {p, 1}});
                const mpz_class attendu = ((mpz_class(1) << (k + 1)) - 1) / static_cast<long>(p);
                ASSERT_EQ(banc.compte(d, p << k, {{2, k}, {p, 1}}), attendu) << k << " " << p;
                if (d.size() <= 40) chaque_premier({{2, k}, {p, 1}}, attendu);
            }
}

TEST(Chiffres, BudgetCourtInterruption) {
    const Facteurs f{{2, 20}, {8191, 1}};
    const auto d = verite::diviseurs_de_facteurs(f);
    const std::int64_t n = std::int64_t{8191} << 20;
    const mpz_class attendu = ((mpz_class(1) << 21) - 1) / 8191;
    // Over the digits of 8191: the half table of the sums of divisors of
    // 2^20, 2^20 cells (8 MiB, or 4 MiB of 32-bit cells).
    const Imposee chiffres{Methode::chiffres, 0, 8191};
    EXPECT_EQ(Banc().impose(d, n, chiffres, f).valeur, attendu);
    {
        // A budget too small for the walk's tables: imposed, it has no plan;
        // chosen, another method counts; nothing is kept.
        Banc banc(std::size_t{2} << 20);
        EXPECT_THROW(banc.impose(d, n, chiffres, f), AucunPlan);
        const Compte c = banc.moteur.denombre(Entree{d, n, Banc::facteurs(f)});
        EXPECT_EQ(c.valeur, attendu);
        EXPECT_NE(c.methode, Methode::chiffres);
        banc.moteur.libere();
        EXPECT_EQ(banc.budget.disponible(), banc.budget.total());
    }
    // A stop asked: the count leaves; its tables go back to the reserve of
    // the thread, and from there to the budget.
    Suivi s;
    s.arret = true;
    Banc banc(Budget::kDefaut, &s);
    EXPECT_THROW(banc.impose(d, n, chiffres, f), Interruption);
    banc.moteur.libere();
    EXPECT_EQ(banc.budget.disponible(), banc.budget.total());
}

TEST(Chiffres, CellulesDe32Bits) {
    // The walk on 32-bit cells, modulo primes below 2^31 (twice as many):
    // imposed on every prime of structured N against the plain table, and
    // chosen alone where the tables of 64 bits do not fit the budget.
    for (std::int64_t n = 2; n <= 3000; n += 7) {
        const auto d = verite::diviseurs_par_paires(n);
        if (d.size() > 20 || d.size() < 2) continue;
        chaque_premier(verite::facteurs_par_essais(n), verite::compte_table(d, n), true);
    }
    // 1000001808 = 2^4 3^3 13 41 43 101 over 101 (a half table of 1.6 10^7
    // sums, 128 MB in 64-bit cells, 64 MB in 32-bit ones), and 720720 over
    // 13 (a count of 66 digits, many moduli), against the engine at large.
    for (const auto& [f, p] :
         {std::pair<Facteurs, std::int64_t>{{{2, 4}, {3, 3}, {13, 1}, {41, 1}, {43, 1}, {101, 1}}, 101},
          {{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}}, 13}}) {
        const auto d = verite::diviseurs_de_facteurs(f);
        const std::int64_t n = verite::produit(f);
        const mpz_class attendu = Banc().compte(d, n, f);
        const Compte c = Banc().impose(d, n, {Methode::chiffres, 0, static_cast<std::uint64_t>(p), 0, true}, f);
        EXPECT_EQ(c.valeur, attendu) << n;
        EXPECT_EQ(c.methode, Methode::chiffres) << n;
    }
    // In 96 MiB the 64-bit tables of 1000001808 over 101 do not fit: the walk
    // takes 32-bit ones by itself.
    const Facteurs f{{2, 4}, {3, 3}, {13, 1}, {41, 1}, {43, 1}, {101, 1}};
    const auto d = verite::diviseurs_de_facteurs(f);
    Banc banc(std::size_t{96} << 20);
    EXPECT_EQ(banc.impose(d, verite::produit(f), {Methode::chiffres, 0, 101}, f).valeur,
              Banc().compte(d, verite::produit(f), f));
}

TEST(Chiffres, ValeursReconstruitesUneAUne) {
    // With a prime of exponent 1, the top digit's values F(p k) and F(M - k)
    // rebuilt exactly one by one and their products summed, on cells of 64
    // and of 32 bits, against the plain table and the engine.
    for (std::int64_t n = 2; n <= 3000; n += 5) {
        const auto d = verite::diviseurs_par_paires(n);
        if (d.size() > 20 || d.size() < 2) continue;
        for (const bool etroit : {false, true})
            chaque_premier(verite::facteurs_par_essais(n), verite::compte_table(d, n), etroit, true);
    }
    // 720720 over 13 (a count of 4 moduli, values of 2) against the whole
    // table; 1000001808 = 2^4 3^3 13 41 43 101 over 101 against the walk by
    // the count's residues.
    for (const auto& [f, p] :
         {std::pair<Facteurs, std::uint64_t>{{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}}, 13},
          {{{2, 4}, {3, 3}, {13, 1}, {41, 1}, {43, 1}, {101, 1}}, 101}}) {
        const auto d = verite::diviseurs_de_facteurs(f);
        const std::int64_t n = verite::produit(f);
        const Imposee temoin =
            n < 10'000'000 ? Imposee{Methode::table} : Imposee{Methode::chiffres, 0, p, 0, false, false};
        const mpz_class attendu = Banc().impose(d, n, temoin, f).valeur;
        for (const auto& [etroit, par_valeur] : {std::pair{false, true}, {true, true}})
            EXPECT_EQ(Banc().impose(d, n, {Methode::chiffres, 0, p, 0, etroit, par_valeur}, f).valeur, attendu)
                << n << " " << etroit << par_valeur;
    }
}
