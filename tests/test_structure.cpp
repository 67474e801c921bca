// The walk over the digits of N against independent truths: the plain
// table and the engine of compte_sommes on structured N, every prime of
// N walked in turn, and the closed form of 2^k p up to 2^63.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "comptage.hpp"
#include "sommes.hpp"
#include "structure.hpp"
#include "suivi.hpp"
#include "verites.hpp"

namespace {

using Facteurs = std::vector<std::pair<std::int64_t, int>>;
using Paires = std::vector<std::pair<std::uint64_t, unsigned>>;

std::int64_t produit(const Facteurs& f) {
    std::int64_t n = 1;
    for (auto [p, e] : f)
        for (int k = 0; k < e; ++k) n *= p;
    return n;
}

// The walk over the digits of each prime of N gives attendu.
void chaque_premier(const Facteurs& f, const mpz_class& attendu) {
    const auto d = verite::diviseurs_de_facteurs(f);
    const std::int64_t n = produit(f);
    Paires g;
    ASSERT_TRUE(facteurs_depuis_liste(d.data(), d.size(), n, g)) << n;
    ASSERT_EQ(g.size(), f.size()) << n;
    for (auto [p, e] : g) {
        PlanStructure plan;
        if (!planifier_structure(g, d.size(), n, plan, p)) continue;
        mpz_class r;
        ASSERT_TRUE(compte_structure(plan, r)) << n;
        ASSERT_EQ(r, attendu) << n << " en base " << p;
    }
}

// N below 5 * 10^6 only (the engine stays fast).
void contre_moteur(const Facteurs& f) {
    double n = 1;
    for (auto [p, e] : f) n *= std::pow(static_cast<double>(p), e);
    if (n >= 5e6) return;
    const auto d = verite::diviseurs_de_facteurs(f);
    chaque_premier(f, compte_sommes(d.data(), d.size(), produit(f)));
}

}  // namespace

TEST(Structure, ContreLaTablePleine) {
    // Every N up to 3000 with 2 to 20 proper divisors, abundant or not.
    for (std::int64_t n = 2; n <= 3000; ++n) {
        const auto d = verite::diviseurs_par_paires(n);
        Paires g;
        if (d.size() > 20 || d.size() < 2 || !facteurs_depuis_liste(d.data(), d.size(), n, g)) continue;
        Facteurs f;
        for (auto [p, e] : g) f.emplace_back(static_cast<std::int64_t>(p), static_cast<int>(e));
        chaque_premier(f, verite::compte_table(d, n));
    }
}

TEST(Structure, ContreLeMoteur) {
    // 2^a p, 2^a q p, p^a M with small sigma(M), highly composite numbers.
    const std::int64_t premiers[] = {3, 5, 7, 11, 13, 17, 19, 23, 31, 43, 61, 71, 101, 127, 257};
    for (int a = 1; a <= 12; ++a)
        for (std::int64_t p : premiers) {
            contre_moteur({{2, a}, {p, 1}});
            for (std::int64_t q : {3, 5, 7, 11, 13, 101})
                if (q < p && produit({{2, a}, {q, 1}, {p, 1}}) < 500'000) contre_moteur({{2, a}, {q, 1}, {p, 1}});
            for (const Facteurs& m : {Facteurs{{2, 1}}, Facteurs{{2, 2}, {3, 1}}, Facteurs{{2, 1}, {5, 1}}}) {
                Facteurs f = m;
                if (p != 3 && p != 5) f.emplace_back(p, a);
                if (f.size() > m.size()) contre_moteur(f);
            }
        }
    for (const Facteurs& f : {Facteurs{{2, 3}, {3, 3}, {5, 1}, {7, 1}}, Facteurs{{2, 5}, {3, 3}, {5, 1}, {7, 1}, {11, 1}},
                              Facteurs{{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}}})
        contre_moteur(f);  // 7560, 332640, 720720
}

TEST(Structure, DeuxPuissanceKFoisPremier) {
    // N = 2^k p, p odd prime below 2^(k+1): the chains j and j p (j below
    // 2^(k+1), and below 2^k for p) give floor((2^(k+1) - 1) / p) solutions.
    // Through the whole count, whichever method it picks.
    for (int k = 1; k <= 61; ++k)
        for (std::int64_t p : {3, 5, 7, 13, 61, 127, 8191, 131071, 2147483647})
            if (p < (std::int64_t{1} << (k + 1)) && p <= (INT64_MAX >> k)) {
                const auto d = verite::diviseurs_de_facteurs({{2, k}, {p, 1}});
                const mpz_class attendu = ((mpz_class(1) << (k + 1)) - 1) / static_cast<long>(p);
                ASSERT_EQ(sommes_egales(d.data(), d.size(), p << k), attendu) << k << " " << p;
                if (d.size() <= 40) chaque_premier({{2, k}, {p, 1}}, attendu);
            }
}

TEST(Structure, ListesBudgetInterruption) {
    Paires g;
    const std::int64_t incomplete[] = {1, 2, 3, 6}, etrangere[] = {1, 2, 4};
    EXPECT_FALSE(facteurs_depuis_liste(incomplete, 4, 24, g) || facteurs_depuis_liste(etrangere, 3, 10, g));
    const auto d = verite::diviseurs_de_facteurs({{2, 20}, {8191, 1}});
    const std::int64_t n = std::int64_t{8191} << 20;
    PlanStructure plan;
    ASSERT_TRUE(facteurs_depuis_liste(d.data(), d.size(), n, g) && planifier_structure(g, d.size(), n, plan, 2));
    const std::size_t libre = budget_disponible();
    mpz_class r;
    {
        // Budget taken by other counts: refused, nothing kept.
        const Reservation autre(libre - 4096);
        EXPECT_FALSE(compte_structure(plan, r));
        EXPECT_EQ(budget_disponible(), 4096u);
    }
    // A stop asked: the count leaves and gives every table back.
    Suivi s;
    s.arret = true;
    suivi_attache(&s);
    EXPECT_THROW(compte_structure(plan, r), Interruption);
    suivi_attache(nullptr);
    EXPECT_EQ(budget_disponible(), libre);
}
