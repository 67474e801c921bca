// Whole dialogues driven in-process and compared byte for byte.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "boucle.hpp"
#include "premiers.hpp"

namespace {

const std::string banniere =
    " \n   POUR MODIFIER LA TAILLE DU TEXTE ET DE LA FENETRE : [TOUCHE CTRL] + [MOLETTE DE LA SOURIS]. "
    " \n \n \t  *****     SOMMES DES DIVISEURS D'UN NOMBRE     (Affichage de statistiques)     ***** "
    " \n \n \n \t  Etant donne un entier N. "
    " \n \t  Le programme initial permet de trouver toutes les sommes de ses diviseurs (excepte N) egales a N "
    "ou a un autre nombre entier choisi. "
    " \n \n \t  N etant compris entre 2 valeurs que l'on fixe au depart : "
    " \n \n \t  Cette extension indique, pour toutes les valeurs de N en ordre croissant : \n "
    " \n \t \t - Si N est un nombre parfait. "
    " \n \t \t - Si N est un nombre deficient. "
    " \n \t \t - Si N est un nombre abondant et dans ce cas le nombre de sommes de ses diviseurs propres qui "
    "lui sont egales. "
    " \n \n \t  Pour chaque valeur de N, le nombre de ses diviseurs propres et leur somme sont mentionnes. "
    " \n \n \t  Les limitations sont dues au tres grand nombre de possibilites a examiner dans certains cas. ";
const std::string mini = "\n \n \n  \t Valeur de N minimale ? ";
const std::string maxi = "\n \n \t Valeur de N maximale ? ";
const std::string encore = " \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ";
const std::string b1 = " \n \n \t \t \t 1  est deficient. Il a  0  diviseurs propres de somme 0 . ";
const std::string b4 = " \n \n \t \t \t 4  est deficient. Il a  2  diviseurs propres de somme 3 . ";
const std::string b5 = " \n \n \t \t \t 5  est deficient. Il a  1  diviseurs propres de somme 1 . ";
const std::string b6 = " \n \n \t \t 6  est parfait. Il a 3 diviseurs propres.";
const std::string b7 = " \n \n \t \t \t 7  est deficient. Il a  1  diviseurs propres de somme 1 . ";

struct Session {
    std::string sortie;
    int statut;
    Travail w;
};

void joue(Session& s, const std::string& entree) {
    std::istringstream in(entree);
    std::ostringstream out;
    amorce(s.w);
    s.statut = dialogue(in, out, s.w, Vidage{});
    s.sortie = out.str();
}

std::string joue(const std::string& entree) {
    Session s;
    joue(s, entree);
    EXPECT_EQ(s.statut, 1);
    return s.sortie;
}

}  // namespace

TEST(Dialogue, CinqSixZero) {
    EXPECT_EQ(joue("5 6 0"), banniere + mini + maxi + b5 + b6 + encore);
}

TEST(Dialogue, BorneMaximaleTropPetiteRedemandee) {
    EXPECT_EQ(joue("5 3 7 0"), banniere + mini + maxi + maxi + b5 + b6 + b7 + encore);
}

TEST(Dialogue, PlageDUneValeur) {
    EXPECT_EQ(joue("4 4 0"), banniere + mini + maxi + b4 + encore);
    EXPECT_EQ(joue("1\n1\n0\n"), banniere + mini + maxi + b1 + encore);
}

TEST(Dialogue, NouveauCalculSansBanniere) {
    EXPECT_EQ(joue("5 6 1 5 6 0"),
              banniere + mini + maxi + b5 + b6 + encore + mini + maxi + b5 + b6 + encore);
}

TEST(Dialogue, ReponsesRefuseesReposent) {
    EXPECT_EQ(joue("abc 5 x 0 -1 6 oui 2 0"),
              banniere + mini + mini + maxi + maxi + maxi + maxi + b5 + b6 + encore + encore + encore);
}

TEST(Dialogue, FinDesDonneesAChaqueInvite) {
    EXPECT_EQ(joue(""), banniere + mini);
    EXPECT_EQ(joue("5"), banniere + mini + maxi);
    EXPECT_EQ(joue("5 6"), banniere + mini + maxi + b5 + b6 + encore);
    EXPECT_EQ(joue("5 6 1"), banniere + mini + maxi + b5 + b6 + encore + mini);
    EXPECT_EQ(joue("5 6 zzz"), banniere + mini + maxi + b5 + b6 + encore + encore);
}

TEST(Dialogue, TablePremiersConserveeEntreCalculs) {
    Session s;
    joue(s, "1 100 1 50 60 0");
    EXPECT_EQ(s.w.np, 5);
    const std::int64_t premiers[] = {0, 2, 3, 5, 7, 11};
    for (int q = 1; q <= 5; ++q) EXPECT_EQ(s.w.Nprem[q], premiers[q]);
    EXPECT_EQ(s.w.N, 60);
    EXPECT_EQ(s.w.Div.slots(), 1u);
}

TEST(Dialogue, PlageJusquAuSommetDes64Bits) {
    // The last value of the range is the largest signed 64-bit number: the
    // loop ends after its block without overflowing.
    const std::string avant_dernier =
        "\n \n \t 9223372036854775806  :  1  Solutions. Il a  15  diviseurs propres de somme "
        "9223372071214514178 . ";
    const std::string dernier =
        " \n \n \t \t \t 9223372036854775807  est deficient. Il a  95  diviseurs propres de somme "
        "1771135003975321601 . ";
    EXPECT_EQ(joue("9223372036854775806 9223372036854775807 0"),
              banniere + mini + maxi + avant_dernier + dernier + encore);
    EXPECT_EQ(joue("9223372036854775807\n9223372036854775807 0"), banniere + mini + maxi + dernier + encore);
}
