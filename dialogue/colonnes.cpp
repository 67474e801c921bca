// SPDX-License-Identifier: GPL-3.0-or-later
// One N as a line of columns.
#include "colonnes.hpp"

#include <string>

#include "calcul.hpp"
#include "diviseurs.hpp"

const char* const kEnteteColonnes = "N\tclasse\tdiviseurs\tsomme\tsolutions\n";

bool ligne_colonnes(Travail& w, Moteur& m, std::ostream& out, Filtre f) {
    diviseurs(w);
    struct Remise {
        Travail& w;
        ~Remise() { remise(w); }
    } a_la_fin{w};
    const __int128 N = w.SN;
    const bool abondant = w.Smax > N;
    if (f != Filtre::tous && !abondant) return false;
    std::string solutions;
    bool ecarte = false;
    if (abondant) {
        try {
            solutions = compte_solutions(w, m).get_str();
        } catch (const CompteEcarte&) {
            ecarte = true;
        }
        if (f == Filtre::bizarres && solutions != "0" && !ecarte) return false;
    }
    out << w.SN << '\t' << (abondant ? "abondant" : w.Smax == N ? "parfait" : "deficient") << '\t' << w.ND1 << '\t';
    ecrire_entier(out, w.Smax);
    out << '\t';
    if (ecarte)
        out << '?';
    else
        out << solutions;
    out << '\n';
    return ecarte;
}
