// SPDX-License-Identifier: GPL-3.0-or-later
// A range without the dialogue.
#include "lot.hpp"

#include "plage.hpp"
#include "rendu.hpp"

int lot(std::ostream& out, std::ostream& erreurs, Equipe& e, const Lot& l, const Vidage& v) {
    Rendu r;
    r.conseils = &erreurs;
    r.limites = &erreurs;
    r.colonnes = !l.blocs;
    r.filtre = l.filtre;
    r.limite = l.limite * 1e9;  // the engine's estimates are in nanoseconds
    // The weird N are decided: a witness settles the others at once.
    if (l.filtre == Filtre::primitifs)
        r.question = Question::primitif;
    else if (l.temoin)
        r.question = Question::temoin;
    else if (l.classes || l.filtre == Filtre::bizarres)
        r.question = Question::decision;
    r.decisions = l.classes;
    r.crible = true;
    if (!l.blocs && l.entete) out << (!l.classes ? kEnteteColonnes : l.temoin ? kEnteteTemoins : kEnteteDecisions);
    const Bilan b = calcul_plage(out, l.nmin, l.nmax, e, r, v);
    out.flush();
    return b.ecartes ? kStatutEcartes : kStatutComplet;
}
