// SPDX-License-Identifier: GPL-3.0-or-later
// The decision "some set of proper divisors sums to N" against the exact
// count, on every N to 200000 and by each of its ways; the witnesses by
// their sums; the values of the sieved ranges against those of the
// dialogue's path.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "calcul.hpp"
#include "crible.hpp"
#include "decision.hpp"
#include "premiers.hpp"
#include "verites.hpp"

namespace {

// A witness of N: distinct proper divisors, largest first, summing to N.
void verifie_temoin(std::int64_t N, const std::vector<std::int64_t>& t) {
    __int128 somme = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        ASSERT_TRUE(t[i] > 0 && t[i] < N && N % t[i] == 0) << N << " : " << t[i];
        if (i) {
            ASSERT_LT(t[i], t[i - 1]) << N;
        }
        somme += t[i];
    }
    ASSERT_TRUE(somme == N) << N;
}

}  // namespace

TEST(Decision, AccordeAuCompteJusqua200000) {
    // Every N: the sieved path gives the dialogue's class, divisors and sum;
    // an abundant N is semiperfect exactly when its count is not 0, with a
    // witness when it is.
    Banc banc;
    Travail w;
    amorce(w);
    constexpr std::int64_t kMax = 200000;
    Crible c(kMax);
    std::int64_t bizarres = 0;
    for (std::int64_t debut = 1; debut <= kMax; debut += 4096) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(4096, kMax - debut + 1));
        c.factorise(debut, n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::int64_t N = debut + static_cast<std::int64_t>(i);
            const Resultat compte = evalue(w, banc.moteur, N, Question::compte);
            const Resultat d = evalue(w, banc.moteur, N, c.facteurs(i), Question::temoin);
            ASSERT_EQ(d.classe, compte.classe) << N;
            ASSERT_EQ(d.diviseurs, compte.diviseurs) << N;
            ASSERT_TRUE(d.somme == compte.somme) << N;
            if (compte.classe != Classe::abondant) {
                ASSERT_FALSE(d.semiparfait.has_value()) << N;
                continue;
            }
            ASSERT_EQ(d.semiparfait, compte.solutions > 0) << N;
            if (*d.semiparfait)
                verifie_temoin(N, d.temoin);
            else
                ++bizarres;
        }
    }
    EXPECT_GT(bizarres, 0);
}

TEST(Decision, ChaqueVoieDonneLaMemeReponse) {
    // The search, the table (with layers for the witness) and the count,
    // each forced, against the plain counting table: abundant N with few
    // and with many divisors, weird ones among them, and lists without a
    // witness whose search gives up (even entries, odd targets).
    Banc banc;
    struct Cas {
        std::vector<std::int64_t> div;
        std::int64_t cible;
    };
    std::vector<Cas> cas;
    for (const std::int64_t n : {12, 70, 836, 945, 5830, 10430, 45360, 720720})
        cas.push_back({verite::diviseurs_par_paires(n), n});
    std::vector<std::int64_t> pairs;
    for (std::int64_t k = 1; k <= 40; ++k) pairs.push_back(2 * k);
    cas.push_back({pairs, 401});
    cas.push_back({pairs, 400});
    const Bornes compte{0, 0, 0};
    const Bornes table{0, 0, std::uint64_t{1} << 40};
    for (const Cas& c : cas) {
        const Entree e{c.div, c.cible, {}};
        const bool verite = verite::compte_table(c.div, c.cible) > 0;
        for (const Bornes& b : {Bornes{}, compte, table}) {
            const Decision d = decide(e, banc.moteur, true, b);
            EXPECT_EQ(d.atteinte, verite) << c.cible;
            if (!d.atteinte) continue;
            __int128 s = 0;
            for (std::size_t i = 0; i < d.temoin.size(); ++i) {
                if (i) {
                    EXPECT_LT(d.temoin[i], d.temoin[i - 1]) << c.cible;
                }
                s += d.temoin[i];
            }
            EXPECT_TRUE(s == c.cible) << c.cible;
        }
        // Where the sums of the entries do not settle it at once (the weird
        // N below: the entries up to their small reduced target fall short).
        if (c.cible == 400 || c.cible == 401 || c.cible >= 45360) {
            EXPECT_EQ(decide(e, banc.moteur, false, compte).voie, Voie::compte) << c.cible;
            EXPECT_EQ(decide(e, banc.moteur, false, table).voie, Voie::table) << c.cible;
        }
    }
    // Unforced, the odd target gives the search up to the table.
    EXPECT_EQ(decide({pairs, 401, {}}, banc.moteur).voie, Voie::table);
    // The first weird N above 10^12, too wide for the table: decided by the
    // count, and unforced, against the count itself; their neighbours with
    // a count not 0 are semiperfect.
    const std::pair<std::int64_t, bool> voisins[] = {{1000000000510, false},
                                                     {1000000002470, false},
                                                     {1000000002610, false},
                                                     {1000000000530, true},
                                                     {1000000002460, true}};
    for (const auto& [n, semiparfait] : voisins) {
        const auto d = verite::diviseurs_par_paires(n);
        EXPECT_EQ(banc.compte(d, n) > 0, semiparfait) << n;
        EXPECT_EQ(decide({d, n, {}}, banc.moteur, false, compte).atteinte, semiparfait) << n;
        EXPECT_EQ(decide({d, n, {}}, banc.moteur).atteinte, semiparfait) << n;
    }
}

TEST(Decision, TemoinsEtPrimitifs) {
    // Witnesses of N with few and with many divisors (720720 has 239), near
    // 10^12 and 10^18.
    Banc banc;
    Travail w;
    amorce(w);
    for (const std::int64_t n : {std::int64_t{12}, std::int64_t{18}, std::int64_t{20}, std::int64_t{720720},
                                 std::int64_t{1000000000000}, std::int64_t{999999999999999990}}) {
        const Resultat r = evalue(w, banc.moteur, n, Question::temoin);
        ASSERT_TRUE(r.semiparfait.value_or(false)) << n;
        verifie_temoin(n, r.temoin);
    }
    // 70 and 836 are primitive weird numbers; 70 * 11 = 770 is not weird,
    // 70 * 31 = 2170 is, but not primitive (A002975 against A006037).
    EXPECT_TRUE(evalue(w, banc.moteur, 70, Question::primitif).primitif);
    EXPECT_TRUE(evalue(w, banc.moteur, 836, Question::primitif).primitif);
    const Resultat r = evalue(w, banc.moteur, 10430, Question::primitif);
    EXPECT_FALSE(*r.semiparfait);
    EXPECT_FALSE(r.primitif);  // 10430 = 70 * 149
}
