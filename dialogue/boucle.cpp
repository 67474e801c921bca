// SPDX-License-Identifier: GPL-3.0-or-later
// Calculation loop and banner.
#include "boucle.hpp"

#include "controle.hpp"
#include "plage.hpp"

namespace {

const char* const banniere[] = {
    " \n   POUR MODIFIER LA TAILLE DU TEXTE ET DE LA FENETRE : [TOUCHE CTRL] + [MOLETTE DE LA SOURIS]. ",
    " \n \n \t  *****     SOMMES DES DIVISEURS D'UN NOMBRE     (Affichage de statistiques)     ***** ",
    " \n \n \n \t  Etant donne un entier N. ",
    " \n \t  Le programme initial permet de trouver toutes les sommes de ses diviseurs (excepte N) "
    "egales a N ou a un autre nombre entier choisi. ",
    " \n \n \t  N etant compris entre 2 valeurs que l'on fixe au depart : ",
    " \n \n \t  Cette extension indique, pour toutes les valeurs de N en ordre croissant : \n ",
    " \n \t \t - Si N est un nombre parfait. ",
    " \n \t \t - Si N est un nombre deficient. ",
    " \n \t \t - Si N est un nombre abondant et dans ce cas le nombre de sommes de ses diviseurs "
    "propres qui lui sont egales. ",
    " \n \n \t  Pour chaque valeur de N, le nombre de ses diviseurs propres et leur somme sont "
    "mentionnes. ",
    " \n \n \t  Les limitations sont dues au tres grand nombre de possibilites a examiner dans "
    "certains cas. ",
};

const char* const invite_min = "\n \n \n  \t Valeur de N minimale ? ";
const char* const invite_max = "\n \n \t Valeur de N maximale ? ";
const char* const invite_nouveau = " \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ";

// Asks one whole number of at least 1 into valeur0.
bool demande_entier(Console& c, const char* invite) {
    prepare_message(c, invite);
    c.xn = 1;
    const bool ok = controle(c, 9, c.message);
    c.xn = 0;
    return ok;
}

// Asks the bounds of a range: a maximum below the minimum is asked again.
bool demande_bornes(Console& c, std::int64_t& nmin, std::int64_t& nmax) {
    if (!demande_entier(c, invite_min)) return false;
    nmin = c.valeur0;
    nmax = 0;
    while (nmax < nmin) {
        if (!demande_entier(c, invite_max)) return false;
        nmax = c.valeur0;
    }
    return true;
}

// Banner, then calculations while the answer is 1; plage(c) runs one.
template <class Plage>
int boucle(std::istream& in, std::ostream& out, Plage&& plage) {
    Console c(in, out);
    for (const char* ligne : banniere) out << ligne;
    std::int64_t nouveau = 1;
    do {
        if (!plage(c)) break;
        prepare_message(c, invite_nouveau);
        if (!controle(c, 1, c.message)) break;
        nouveau = c.valeur2;
    } while (nouveau == 1);
    out.flush();
    return 1;
}

}  // namespace

int dialogue(std::istream& in, std::ostream& out, Equipe& e, const Vidage& v, std::ostream* erreurs) {
    Rendu r;
    r.limites = erreurs;
    return boucle(in, out, [&](Console& c) {
        std::int64_t nmin = 0, nmax = 0;
        return demande_bornes(c, nmin, nmax) && calcul_plage(c.out, nmin, nmax, e, r, v).sortie_ok;
    });
}
