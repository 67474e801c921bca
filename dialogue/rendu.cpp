// SPDX-License-Identifier: GPL-3.0-or-later
// The block and the line of columns of one N, and the filters of a range.
#include "rendu.hpp"

const char* const kEnteteColonnes = "N\tclasse\tdiviseurs\tsomme\tsolutions\n";
const char* const kEnteteDecisions = "N\tclasse\tdiviseurs\tsomme\tdecision\n";
const char* const kEnteteTemoins = "N\tclasse\tdiviseurs\tsomme\tdecision\ttemoin\n";

namespace {

// A count in decimal: most fit in 64 bits and are written without GMP's
// formatting.
void ecrire_compte(std::ostream& out, const mpz_class& n) {
    if (mpz_fits_ulong_p(n.get_mpz_t()))
        ecrire_entier(out, static_cast<__int128>(mpz_get_ui(n.get_mpz_t())));
    else
        out << n;
}

}  // namespace

bool garde(const Resultat& r, Filtre f) {
    if (f == Filtre::tous) return true;
    if (r.classe != Classe::abondant) return false;
    if (f == Filtre::abondants) return true;
    const bool bizarre = r.semiparfait ? !*r.semiparfait : r.ecarte || r.solutions == 0;
    return f == Filtre::bizarres ? bizarre : bizarre && r.primitif;
}

void bloc(const Resultat& r, std::ostream& out) {
    switch (r.classe) {
        case Classe::deficient:
            out << " \n \n \t \t \t " << r.N << "  est deficient. Il a  " << r.diviseurs
                << "  diviseurs propres de somme ";
            ecrire_entier(out, r.somme);
            out << " . ";
            return;
        case Classe::parfait:
            out << " \n \n \t \t " << r.N << "  est parfait. Il a " << r.diviseurs << " diviseurs propres.";
            return;
        case Classe::abondant:
            out << "\n \n \t " << r.N << "  :  ";
            if (r.ecarte)
                out << '?';
            else
                ecrire_compte(out, r.solutions);
            out << "  Solutions. Il a  " << r.diviseurs << "  diviseurs propres de somme ";
            ecrire_entier(out, r.somme);
            out << " . ";
            if (!r.ecarte && r.solutions == 0) out << " - ********************** - ";
            return;
    }
}

namespace {

// The first four columns and the tab after them.
void colonnes(const Resultat& r, std::ostream& out) {
    static const char* const classes[] = {"deficient", "parfait", "abondant"};
    out << r.N << '\t' << classes[static_cast<int>(r.classe)] << '\t' << r.diviseurs << '\t';
    ecrire_entier(out, r.somme);
    out << '\t';
}

}  // namespace

void ligne_decision(const Resultat& r, std::ostream& out, bool temoin) {
    colonnes(r, out);
    if (r.semiparfait) out << (*r.semiparfait ? "semiparfait" : "bizarre");
    if (temoin) {
        out << '\t';
        for (std::size_t i = 0; i < r.temoin.size(); ++i) {
            if (i) out << '+';
            out << r.temoin[i];
        }
    }
    out << '\n';
}

void ligne(const Resultat& r, std::ostream& out) {
    colonnes(r, out);
    if (r.ecarte)
        out << '?';
    else if (r.classe == Classe::abondant)
        ecrire_compte(out, r.solutions);
    out << '\n';
}

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
