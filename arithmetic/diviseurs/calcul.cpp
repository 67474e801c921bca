// SPDX-License-Identifier: GPL-3.0-or-later
// Classification and equal-sum count of one N.
#include "calcul.hpp"

#include <vector>

#include "diviseurs.hpp"

namespace {

// The equal-sum count of an abundant N, whose divisors are listed. The
// divisors and the factorization go as they are: the count rebuilds neither.
mpz_class compte_solutions(const Travail& w, Moteur& m) {
    std::vector<Facteur> facteurs(static_cast<std::size_t>(w.nf));
    for (std::int32_t j = 1; j <= w.nf; ++j)
        facteurs[j - 1] = {static_cast<std::uint64_t>(w.Nfact[j]), static_cast<unsigned>(w.Nexpo[j])};
    const Entree e{{w.Div.data() + 1, static_cast<std::size_t>(w.ND1)}, w.SN, facteurs};
    return m.compte(e);
}

}  // namespace

Resultat evalue(Travail& w, Moteur& m, std::int64_t N, bool compter) {
    // The per-number tables are reset however this ends, an interrupted
    // count included, so that the next N starts clean.
    struct Remise {
        Travail& w;
        ~Remise() { remise(w); }
    } a_la_fin{w};
    w.N = N;
    w.S = N;
    diviseurs(w);

    Resultat r;
    r.N = w.SN;
    r.diviseurs = w.ND1;
    r.somme = w.Smax;
    const __int128 cible = w.SN;
    r.classe = w.Smax < cible ? Classe::deficient : w.Smax == cible ? Classe::parfait : Classe::abondant;
    if (r.classe == Classe::abondant && compter) {
        try {
            w.ns = compte_solutions(w, m);
        } catch (const CompteEcarte&) {
            r.ecarte = true;
        }
        r.solutions = std::move(w.ns);  // the count goes to the result
    }
    return r;
}
