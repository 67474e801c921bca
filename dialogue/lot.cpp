// SPDX-License-Identifier: GPL-3.0-or-later
// A range without the dialogue.
#include "lot.hpp"

#include "plage.hpp"
#include "rendu.hpp"

int lot(std::ostream& out, std::ostream& erreurs, Equipe& e, const Lot& l, const Vidage& v) {
    Rendu r;
    r.conseils = &erreurs;
    r.colonnes = !l.blocs;
    r.filtre = l.filtre;
    r.limite = l.limite * 1e9;  // the engine's estimates are in nanoseconds
    if (!l.blocs && l.entete) out << kEnteteColonnes;
    const Bilan b = calcul_plage(out, l.nmin, l.nmax, e, r, v);
    out.flush();
    return b.ecartes ? kStatutEcartes : kStatutComplet;
}
