// SPDX-License-Identifier: GPL-3.0-or-later
// A range without the dialogue.
#include "lot.hpp"

#include <sstream>

#include "rendu.hpp"

int lot(std::ostream& out, Equipe& e, const Lot& l, const Vidage& v) {
    e.rendu.colonnes = !l.blocs;
    e.rendu.filtre = l.filtre;
    e.rendu.limite = l.limite * 1e9;  // the engine's estimates are in nanoseconds
    if (!l.blocs && l.entete) out << kEnteteColonnes;
    std::istringstream rien;
    Console c(rien, out);
    calcul_plage(c, l.nmin, l.nmax, e, v);
    out.flush();
    return e.ecartes ? kStatutEcartes : kStatutComplet;
}
