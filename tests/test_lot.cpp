// SPDX-License-Identifier: GPL-3.0-or-later
// A range without the dialogue against independent truths: each line's
// columns against plain divisors and the plain table, the weird numbers
// against their published list, the blocks against the dialogue's, and the
// limit on a count known to be long.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "boucle.hpp"
#include "lot.hpp"
#include "verites.hpp"

namespace {

struct Sortie {
    std::string texte;
    int statut;
};

Sortie joue_lot(const Lot& l, std::size_t fils = 2) {
    Budget budget;
    Equipe e(budget, static_cast<unsigned>(fils));
    std::ostringstream out;
    std::ostringstream erreurs;
    const int statut = lot(out, erreurs, e, l, Vidage{});
    return {out.str(), statut};
}

std::vector<std::string> lignes(const std::string& t) {
    std::vector<std::string> r;
    std::istringstream in(t);
    for (std::string l; std::getline(in, l);) r.push_back(l);
    return r;
}

}  // namespace

TEST(Lot, ColonnesContreLesVerites) {
    // 1 .. 1500: deficient, perfect (6, 28, 496), abundant, weird (70, 836).
    Lot l;
    l.nmin = 1;
    l.nmax = 1500;
    const Sortie s = joue_lot(l);
    EXPECT_EQ(s.statut, kStatutComplet);
    const auto ls = lignes(s.texte);
    ASSERT_EQ(ls.size(), 1501u);
    EXPECT_EQ(ls[0], "N\tclasse\tdiviseurs\tsomme\tsolutions");
    for (std::int64_t n = 1; n <= 1500; ++n) {
        const auto d = verite::diviseurs_par_paires(n);
        std::int64_t somme = 0;
        for (auto x : d) somme += x;
        const char* classe = somme < n ? "deficient" : somme == n ? "parfait" : "abondant";
        const std::string solutions = somme > n ? verite::compte_table(d, n).get_str() : "";
        EXPECT_EQ(ls[static_cast<std::size_t>(n)], std::to_string(n) + "\t" + classe + "\t" + std::to_string(d.size()) +
                                                       "\t" + std::to_string(somme) + "\t" + solutions);
    }
}

TEST(Lot, NombresBizarresPublies) {
    // The weird numbers below 20000 (OEIS A006037), one line each, no header.
    Lot l;
    l.nmin = 1;
    l.nmax = 20000;
    l.filtre = Filtre::bizarres;
    l.entete = false;
    std::string n;
    for (const auto& x : lignes(joue_lot(l).texte)) n += x.substr(0, x.find('\t')) + " ";
    EXPECT_EQ(n,
              "70 836 4030 5830 7192 7912 9272 10430 10570 10792 10990 11410 11690 12110 12530 12670 13370 "
              "13510 13790 13930 14770 15610 15890 16030 16310 16730 16870 17272 17570 17990 18410 18830 "
              "18970 19390 19670 19810 ");
    l.filtre = Filtre::abondants;
    l.nmax = 100;
    EXPECT_EQ(lignes(joue_lot(l).texte).size(), 22u);  // A005101: 22 abundant numbers up to 100
}

TEST(Lot, BlocsDuDialogue) {
    // The blocks, concatenated, are the dialogue's output without the banner
    // and the questions.
    Lot l;
    l.nmin = 60;
    l.nmax = 900;
    l.blocs = true;
    const std::string blocs = joue_lot(l).texte;
    Budget budget;
    Equipe e(budget, 2);
    std::istringstream in("60 900 0");
    std::ostringstream out;
    dialogue(in, out, e, Vidage{});
    const std::string d = out.str();
    const std::size_t debut = d.find(" \n \n \t \t \t 61  est");
    ASSERT_NE(debut, std::string::npos);
    const std::size_t avant = d.rfind("\n \n \t 60  :", debut);
    ASSERT_NE(avant, std::string::npos);
    EXPECT_EQ(d.substr(avant, blocs.size()), blocs);
    EXPECT_EQ(d.find("Nouveau calcul", avant), avant + blocs.size() + std::string(" \n \n \t ").size());
}

TEST(Lot, LimiteParEstimation) {
    // 10^12 + 64 is estimated at seconds: left out under a limit of 0.5 s,
    // its neighbours counted; the status says so.
    Lot l;
    l.nmin = 1000000000062;
    l.nmax = 1000000000068;
    l.limite = 0.5;
    l.entete = false;
    const Sortie s = joue_lot(l);
    EXPECT_EQ(s.statut, kStatutEcartes);
    const auto ls = lignes(s.texte);
    ASSERT_EQ(ls.size(), 7u);
    EXPECT_EQ(ls[2], "1000000000064\tabondant\t223\t1239932905888\t?");
    EXPECT_EQ(ls[0], "1000000000062\tabondant\t47\t1528875395010\t1064");
    EXPECT_EQ(ls[6], "1000000000068\tabondant\t11\t1333333333452\t2");
}

TEST(Lot, BizarresPrimitifsPublies) {
    // The primitive weird numbers below 120000 (OEIS A002975), decided.
    Lot l;
    l.nmin = 1;
    l.nmax = 120000;
    l.filtre = Filtre::primitifs;
    l.entete = false;
    std::string n;
    for (const auto& x : lignes(joue_lot(l).texte)) {
        EXPECT_EQ(x.substr(x.rfind('\t')), "\t0") << x;
        n += x.substr(0, x.find('\t')) + " ";
    }
    EXPECT_EQ(n, "70 836 4030 5830 7192 7912 9272 10792 17272 45356 73616 83312 91388 113072 ");
}

TEST(Lot, ClassesDecideesEtTemoins) {
    // Each line of 1 .. 3000: the columns of the counting run, the decision
    // in place of the count (bizarre where it is 0), and a witness whose
    // divisors sum to N; the same decisions without witnesses.
    Lot l;
    l.nmin = 1;
    l.nmax = 3000;
    const auto comptes = lignes(joue_lot(l).texte);
    l.classes = true;
    l.temoin = true;
    const auto temoins = lignes(joue_lot(l).texte);
    l.temoin = false;
    const auto decisions = lignes(joue_lot(l).texte);
    ASSERT_EQ(temoins.size(), 3001u);
    ASSERT_EQ(decisions.size(), 3001u);
    EXPECT_EQ(temoins[0], "N\tclasse\tdiviseurs\tsomme\tdecision\ttemoin");
    EXPECT_EQ(decisions[0], "N\tclasse\tdiviseurs\tsomme\tdecision");
    for (std::size_t i = 1; i <= 3000; ++i) {
        const std::string& c = comptes[i];
        const std::string debut = c.substr(0, c.rfind('\t') + 1);
        const std::string solutions = c.substr(c.rfind('\t') + 1);
        const std::string decision = solutions.empty() ? "" : solutions == "0" ? "bizarre" : "semiparfait";
        EXPECT_EQ(decisions[i], debut + decision);
        const std::string& t = temoins[i];
        ASSERT_EQ(t.substr(0, debut.size() + decision.size() + 1), debut + decision + "\t") << t;
        std::istringstream termes(t.substr(debut.size() + decision.size() + 1));
        std::int64_t somme = 0, avant = static_cast<std::int64_t>(i);
        for (std::string x; std::getline(termes, x, '+');) {
            const std::int64_t d = std::stoll(x);
            EXPECT_TRUE(d < avant && static_cast<std::int64_t>(i) % d == 0) << t;
            avant = d;
            somme += d;
        }
        EXPECT_EQ(somme, decision == "semiparfait" ? static_cast<std::int64_t>(i) : 0) << t;
    }
}
