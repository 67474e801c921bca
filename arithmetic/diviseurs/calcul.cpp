// SPDX-License-Identifier: GPL-3.0-or-later
// Classification and report block of one N.
#include "calcul.hpp"

#include <vector>

#include "diviseurs.hpp"

void ecrire_entier(std::ostream& out, __int128 v) {
    char buf[48];
    char* p = buf + sizeof buf;
    const bool negatif = v < 0;
    unsigned __int128 u = negatif ? -static_cast<unsigned __int128>(v) : static_cast<unsigned __int128>(v);
    do {
        *--p = static_cast<char>('0' + static_cast<int>(u % 10));
        u /= 10;
    } while (u != 0);
    if (negatif) *--p = '-';
    out.write(p, buf + sizeof buf - p);
}

void rapport(Travail& w, Moteur& m, std::ostream& out) {
    // The per-number tables are reset however the report ends, an
    // interrupted count included, so that the next N starts clean.
    struct Remise {
        Travail& w;
        ~Remise() { remise(w); }
    } a_la_fin{w};
    const __int128 N = w.SN;
    if (w.Smax < N) {
        out << " \n \n \t \t \t " << w.SN << "  est deficient. Il a  " << w.ND1
            << "  diviseurs propres de somme ";
        ecrire_entier(out, w.Smax);
        out << " . ";
    } else if (w.Smax == N) {
        out << " \n \n \t \t " << w.SN << "  est parfait. Il a " << w.ND1 << " diviseurs propres.";
    } else {
        bool ecarte = false;
        try {
            w.ns = compte_solutions(w, m);
        } catch (const CompteEcarte&) {
            ecarte = true;
        }
        out << "\n \n \t " << w.SN << "  :  ";
        if (ecarte)
            out << '?';
        else
            out << w.ns;
        out << "  Solutions. Il a  " << w.ND1 << "  diviseurs propres de somme ";
        ecrire_entier(out, w.Smax);
        out << " . ";
        if (ecarte) throw CompteEcarte();
        if (w.ns == 0) out << " - ********************** - ";
    }
}

mpz_class compte_solutions(const Travail& w, Moteur& m) {
    // The divisors and the factorization, as they are: the count rebuilds
    // neither.
    std::vector<Facteur> facteurs(static_cast<std::size_t>(w.nf));
    for (std::int32_t j = 1; j <= w.nf; ++j)
        facteurs[j - 1] = {static_cast<std::uint64_t>(w.Nfact[j]), static_cast<unsigned>(w.Nexpo[j])};
    const Entree e{{w.Div.data() + 1, static_cast<std::size_t>(w.ND1)}, w.SN, facteurs};
    return m.compte(e);
}

void calcul(Travail& w, Moteur& m, std::ostream& out) {
    diviseurs(w);
    rapport(w, m, out);
}
