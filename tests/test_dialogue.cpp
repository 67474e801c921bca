// SPDX-License-Identifier: GPL-3.0-or-later
// Validated input and whole dialogues driven in-process, byte for byte.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "boucle.hpp"
#include "controle.hpp"
#include "equipe.hpp"

namespace {

int compte(const std::string& texte, const std::string& motif) {
    int n = 0;
    for (std::size_t p = texte.find(motif); p != std::string::npos; p = texte.find(motif, p + 1)) ++n;
    return n;
}

struct Reponse {
    bool accepte;
    std::int64_t valeur;
    int invites;
};

Reponse repond(const std::string& entree, int cas, int xn) {
    std::istringstream in(entree);
    std::ostringstream out;
    Console c(in, out);
    c.xn = xn;
    const bool ok = controle(c, cas, "[?]");
    return {ok, cas == 1 ? c.valeur2 : c.valeur0, compte(out.str(), "[?]")};
}

struct Tampon : std::streambuf {  // every read throws, every write fails
    int_type underflow() override { throw std::ios_base::failure("lecture impossible"); }
    int_type overflow(int_type) override { return traits_type::eof(); }
};

}  // namespace

TEST(Controle, ChaqueReponse) {
    // A refused token is followed by 5 (or 1), which the next prompt takes.
    // clang-format off
    const struct { const char* jeton; int cas, xn; bool accepte; std::int64_t valeur; } cas[] = {
        {"7", 9, 1, true, 7}, {"+7", 9, 1, true, 7}, {"10", 9, 1, true, 10}, {"+100", 9, 1, true, 100},
        {"9223372036854775807", 9, 1, true, 9223372036854775807}, {"0", 9, 0, true, 0}, {"0", 9, 1, false, 0},
        {"+", 9, 0, false, 0}, {"-", 9, 0, false, 0}, {"-7", 9, 0, false, 0}, {"07", 9, 0, false, 0},
        {"00", 9, 0, false, 0}, {"+0", 9, 0, false, 0}, {"+07", 9, 0, false, 0}, {"1-2", 9, 0, false, 0},
        {"12+", 9, 0, false, 0}, {"++1", 9, 0, false, 0}, {"1a", 9, 0, false, 0}, {"1.5", 9, 0, false, 0},
        {"9223372036854775808", 9, 0, false, 0}, {"18446744073709551617", 9, 0, false, 0},
        {"0", 1, 0, true, 0}, {"1", 1, 0, true, 1}, {"00", 1, 0, false, 0}, {"10", 1, 0, false, 0},
        {"2", 1, 0, false, 0}, {"+1", 1, 0, false, 0}, {"-1", 1, 0, false, 0}, {"oui", 1, 0, false, 0},
    };
    // clang-format on
    for (const auto& k : cas) {
        const Reponse r = repond(std::string(k.jeton) + (k.cas == 1 ? " 1" : " 5"), k.cas, k.xn);
        EXPECT_TRUE(r.accepte) << k.jeton;
        EXPECT_EQ(r.valeur, k.accepte ? k.valeur : k.cas == 1 ? 1 : 5) << k.jeton << " xn=" << k.xn;
        EXPECT_EQ(r.invites, k.accepte ? 1 : 2) << k.jeton << " xn=" << k.xn;
    }
}

TEST(Controle, BlancsNulsJetonsLongsEtFinDesDonnees) {
    // clang-format off
    const struct { std::string entree; bool accepte; std::int64_t valeur; int invites; } cas[] = {
        {" \t\r\n\n  42\r\n", true, 42, 1}, {"\v\f7\f", true, 7, 1}, {"a b c 12 30", true, 12, 4}, {"8", true, 8, 1},
        {"", false, 0, 1}, {"abc  \n", false, 0, 2}, {"   ", false, 0, 1},
        {std::string("5\0xyz", 5), true, 5, 1}, {std::string("\0" "12 4", 5), true, 4, 2},
        {std::string(199, '1') + " 3", true, 3, 2}, {std::string(200, '1') + " 3", true, 3, 2},
        {std::string(1 << 20, '1') + " 3", true, 3, 2},
    };
    // clang-format on
    for (const auto& k : cas) {
        const Reponse r = repond(k.entree, 9, 1);
        EXPECT_EQ(r.accepte, k.accepte) << k.entree.size();
        EXPECT_EQ(k.accepte ? r.valeur : 0, k.valeur) << k.entree.size();
        EXPECT_EQ(r.invites, k.invites) << k.entree.size();
    }
    // Input that cannot be read, output that cannot be written: the end.
    Tampon t;
    std::istream illisible(&t);
    std::istringstream donnees("x y z 5");
    std::ostream plein(&t);
    std::ostringstream out;
    Console a(illisible, out), b(donnees, plein);
    EXPECT_FALSE(controle(a, 9, "[?]"));
    EXPECT_FALSE(controle(b, 9, "[?]"));
}

TEST(Dialogue, SessionsOctetParOctet) {
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
    const std::string m = "\n \n \n  \t Valeur de N minimale ? ", M = "\n \n \t Valeur de N maximale ? ",
                      e = " \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ";
    const std::string b1 = " \n \n \t \t \t 1  est deficient. Il a  0  diviseurs propres de somme 0 . ";
    const std::string b5 = " \n \n \t \t \t 5  est deficient. Il a  1  diviseurs propres de somme 1 . ";
    const std::string b6 = " \n \n \t \t 6  est parfait. Il a 3 diviseurs propres.";
    const std::string b7 = " \n \n \t \t \t 7  est deficient. Il a  1  diviseurs propres de somme 1 . ";
    const std::string haut =
        "\n \n \t 9223372036854775806  :  1  Solutions. Il a  15  diviseurs propres de "
        "somme 9223372071214514178 . ";
    const std::string sommet =
        " \n \n \t \t \t 9223372036854775807  est deficient. Il a  95  diviseurs "
        "propres de somme 1771135003975321601 . ";
    const std::pair<std::string, std::string> cas[] = {
        {"5 6 0", m + M + b5 + b6 + e},
        {"5 3 7 0", m + M + M + b5 + b6 + b7 + e},
        {"1\n1\n0\n", m + M + b1 + e},
        {"5 6 1 5 6 0", m + M + b5 + b6 + e + m + M + b5 + b6 + e},
        {"abc 5 x 0 -1 6 oui 2 0", m + m + M + M + M + M + b5 + b6 + e + e + e},
        {"", m},
        {"5", m + M},
        {"5 6", m + M + b5 + b6 + e},
        {"5 6 1", m + M + b5 + b6 + e + m},
        {"9223372036854775806 9223372036854775807 0", m + M + haut + sommet + e},
    };
    Budget budget;
    Equipe equipe(budget, 1);
    for (const auto& [entree, attendu] : cas) {
        std::istringstream in(entree);
        std::ostringstream out;
        EXPECT_EQ(dialogue(in, out, equipe, Vidage{}), 1) << entree;
        EXPECT_EQ(out.str(), banniere + attendu) << entree;
    }
}
