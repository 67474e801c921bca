// Report blocks: the three forms, byte for byte, and the classification of
// whole ranges checked against brute-force divisors and subset counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "calcul.hpp"
#include "pilote.hpp"
#include "premiers.hpp"
#include "verites.hpp"

namespace {

struct Cas {
    std::int64_t n;
    const char* bloc;
};

}  // namespace

TEST(Rapport, BlocsPubliesOctetParOctet) {
    const Cas cas[] = {
        {1, " \n \n \t \t \t 1  est deficient. Il a  0  diviseurs propres de somme 0 . "},
        {2, " \n \n \t \t \t 2  est deficient. Il a  1  diviseurs propres de somme 1 . "},
        {8, " \n \n \t \t \t 8  est deficient. Il a  3  diviseurs propres de somme 7 . "},
        {6, " \n \n \t \t 6  est parfait. Il a 3 diviseurs propres."},
        {28, " \n \n \t \t 28  est parfait. Il a 5 diviseurs propres."},
        {496, " \n \n \t \t 496  est parfait. Il a 9 diviseurs propres."},
        {12, "\n \n \t 12  :  2  Solutions. Il a  5  diviseurs propres de somme 16 . "},
        {18, "\n \n \t 18  :  2  Solutions. Il a  5  diviseurs propres de somme 21 . "},
        {20, "\n \n \t 20  :  1  Solutions. Il a  5  diviseurs propres de somme 22 . "},
        {24, "\n \n \t 24  :  5  Solutions. Il a  7  diviseurs propres de somme 36 . "},
        {36, "\n \n \t 36  :  7  Solutions. Il a  8  diviseurs propres de somme 55 . "},
        {48, "\n \n \t 48  :  10  Solutions. Il a  9  diviseurs propres de somme 76 . "},
        {60, "\n \n \t 60  :  34  Solutions. Il a  11  diviseurs propres de somme 108 . "},
        {70, "\n \n \t 70  :  0  Solutions. Il a  7  diviseurs propres de somme 74 .  - ********************** - "},
        {836, "\n \n \t 836  :  0  Solutions. Il a  11  diviseurs propres de somme 844 .  - ********************** - "},
        {945, "\n \n \t 945  :  5  Solutions. Il a  15  diviseurs propres de somme 975 . "},
        {360, "\n \n \t 360  :  22208  Solutions. Il a  23  diviseurs propres de somme 810 . "},
        {840, "\n \n \t 840  :  2225346  Solutions. Il a  31  diviseurs propres de somme 2040 . "},
    };
    Travail w;
    amorce(w);
    for (const Cas& c : cas) EXPECT_EQ(bloc_de(w, c.n), c.bloc) << "N = " << c.n;
}

TEST(Rapport, ChaqueBlocJusqua400EtPour945ContreForceBrute) {
    Travail w;
    amorce(w);
    int deficients = 0, parfaits = 0, abondants = 0;
    std::vector<std::int64_t> bizarres;
    auto verifie = [&](std::int64_t n) {
        const auto d = verite::diviseurs_propres(n);
        std::int64_t somme = 0;
        for (auto x : d) somme += x;
        const std::uint64_t ns = somme > n ? verite::compte(d, d.size(), n) : 0;
        EXPECT_EQ(bloc_de(w, n), verite::bloc(n, d, ns)) << "N = " << n;
        if (somme < n) ++deficients;
        if (somme == n) ++parfaits;
        if (somme > n) ++abondants;
        if (somme > n && ns == 0) bizarres.push_back(n);
    };
    for (std::int64_t n = 1; n <= 400; ++n) verifie(n);
    EXPECT_EQ(deficients, 302);
    EXPECT_EQ(parfaits, 2);
    EXPECT_EQ(abondants, 96);
    EXPECT_EQ(bizarres, std::vector<std::int64_t>{70});
    verifie(945);
}

TEST(Rapport, TablesRemisesApresChaqueBloc) {
    Travail w;
    amorce(w);
    for (std::int64_t n : {1, 7, 12, 28, 70, 945}) {
        bloc_de(w, n);
        EXPECT_EQ(w.Div.slots(), 1u);
        EXPECT_EQ(w.Prod.slots(), 1u);
        EXPECT_EQ(w.Nexpo.slots(), 1u);
        EXPECT_EQ(w.Nfact.slots(), 1u);
    }
}

TEST(Rapport, PremierDeficientAvecUnDiviseur) {
    Travail w;
    amorce(w);
    for (std::int64_t p : {2, 3, 101, 7919, 2147483647})
        EXPECT_EQ(bloc_de(w, p), " \n \n \t \t \t " + std::to_string(p) +
                                     "  est deficient. Il a  1  diviseurs propres de somme 1 . ");
}

TEST(Rapport, ChaqueBlocJusqua20000ContreLaTablePleine) {
    // Every block of 1..20000 against divisors found in pairs and counts
    // from the plain counting table over all sums up to min(N, sum - N): a
    // set sums to N exactly when its complement sums to sum - N.
    Travail w;
    amorce(w);
    for (std::int64_t n = 1; n <= 20000; ++n) {
        const auto d = verite::diviseurs_par_paires(n);
        std::int64_t somme = 0;
        for (auto x : d) somme += x;
        unsigned __int128 ns = 0;
        if (somme > n) ns = verite::compte_table(d, std::min(n, somme - n));
        ASSERT_EQ(bloc_de(w, n), verite::bloc(n, d, ns)) << "N = " << n;
    }
}
