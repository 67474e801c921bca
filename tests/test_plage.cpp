// SPDX-License-Identifier: GPL-3.0-or-later
// Ranges computed by several threads against one thread; what a range
// reports it did: every N, counts left out, output gone.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "boucle.hpp"
#include "plage.hpp"

namespace {

// The whole dialogue on entree, with a pool of fils threads.
std::string joue(const std::string& entree, std::size_t fils) {
    Budget budget;
    Equipe e(budget, static_cast<unsigned>(fils));
    std::istringstream in(entree);
    std::ostringstream out;
    EXPECT_EQ(dialogue(in, out, e, Vidage{}), 1);
    EXPECT_EQ(budget.disponible(), budget.total());  // every table given back
    return out.str();
}

}  // namespace

TEST(Plage, MemeSortieQuelQueSoitLeNombreDeFils) {
    // Short and long ranges, a count of several moduli (720720), numbers at
    // the top of the 64-bit range, refused answers and the end of input.
    for (const std::string entree :
         {"1 5000 1 720718 720722 1 9223372036854775806 9223372036854775807 0", "5 x 3 7 1 70 70 zz 0", "1 600"}) {
        const std::string attendu = joue(entree, 1);
        for (std::size_t fils : {2, 5}) EXPECT_EQ(joue(entree, fils), attendu) << entree << " / " << fils;
    }
}

namespace {

struct Ferme : std::streambuf {  // every write fails
    int_type overflow(int_type) override { return traits_type::eof(); }
};

}  // namespace

TEST(Plage, BilanDeLaPlage) {
    // Every N done, in the same lines whatever the number of threads; the
    // counts left out under a limit no plan meets: 12 and 18 between 10 and
    // 20, each a "?" line (20, whose count needs no plan, is counted); an output that fails ends a range of hours
    // at its first block. The pool runs one range after another.
    Budget budget;
    Equipe deux(budget, 2), un(budget, 1);
    Rendu r;
    r.colonnes = true;
    std::ostringstream a, b;
    const Bilan ba = calcul_plage(a, 1, 3000, deux, r, Vidage{});
    const Bilan bb = calcul_plage(b, 1, 3000, un, r, Vidage{});
    EXPECT_EQ(a.str(), b.str());
    for (const Bilan& x : {ba, bb}) {
        EXPECT_EQ(x.ecrits, 3000u);
        EXPECT_FALSE(x.ecartes);
        EXPECT_FALSE(x.arrete);
        EXPECT_TRUE(x.sortie_ok);
    }

    r.limite = 0;
    std::ostringstream c;
    const Bilan bc = calcul_plage(c, 10, 20, deux, r, Vidage{});
    EXPECT_EQ(bc.ecrits, 11u);
    EXPECT_TRUE(bc.ecartes);
    EXPECT_TRUE(bc.sortie_ok);
    EXPECT_NE(c.str().find("\n12\tabondant\t5\t16\t?\n"), std::string::npos);
    EXPECT_NE(c.str().find("\n18\tabondant\t5\t21\t?\n"), std::string::npos);
    EXPECT_NE(c.str().find("\n20\tabondant\t5\t22\t1\n"), std::string::npos);

    Ferme f;
    std::ostream ferme(&f);
    const Bilan bf = calcul_plage(ferme, 1, 4000000000000, deux, Rendu{}, Vidage{});
    EXPECT_FALSE(bf.sortie_ok);
    EXPECT_EQ(bf.ecrits, 1u);
    EXPECT_FALSE(bf.arrete);
    EXPECT_EQ(budget.disponible(), budget.total());
}
