// SPDX-License-Identifier: GPL-3.0-or-later
// Classification and equal-sum count of one N.
#include "calcul.hpp"

#include <vector>

#include "decision.hpp"
#include "diviseurs.hpp"

namespace {

// The factorization of N and its divisors as the engine takes them: the
// count and the decision rebuild neither.
std::vector<Facteur> facteurs(const Travail& w) {
    std::vector<Facteur> f(static_cast<std::size_t>(w.nf));
    for (std::int32_t j = 1; j <= w.nf; ++j)
        f[j - 1] = {static_cast<std::uint64_t>(w.Nfact[j]), static_cast<unsigned>(w.Nexpo[j])};
    return f;
}

Entree entree(const Travail& w, const std::vector<Facteur>& f) {
    return {{w.Div.data() + 1, static_cast<std::size_t>(w.ND1)}, w.SN, f};
}

// 1 + p + ... + p^e, exact for p^e below 2^63.
__int128 sigma_puissance(std::int64_t p, std::int64_t e) {
    __int128 s = 1, puissance = 1;
    for (std::int64_t k = 0; k < e; ++k) {
        puissance *= p;
        s += puissance;
    }
    return s;
}

// Whether every N / p is deficient, from the sum of the divisors of N:
// sigma(N / p) = sigma(N / p^a) * sigma(p^(a-1)), each factor exact.
bool primitif(const Travail& w) {
    const __int128 sigma = w.Smax + w.SN;
    for (std::int32_t j = 1; j <= w.nf; ++j) {
        const __int128 s = sigma_puissance(w.Nfact[j], w.Nexpo[j] - 1);
        const __int128 quotient = w.SN / w.Nfact[j];
        if ((sigma / sigma_puissance(w.Nfact[j], w.Nexpo[j])) * s >= 2 * quotient) return false;
    }
    return true;
}

// The class of N from its divisors' count and sum.
Resultat classe(const Travail& w, std::int64_t diviseurs, __int128 somme) {
    Resultat r;
    r.N = w.SN;
    r.diviseurs = diviseurs;
    r.somme = somme;
    const __int128 cible = w.SN;
    r.classe = somme < cible ? Classe::deficient : somme == cible ? Classe::parfait : Classe::abondant;
    return r;
}

// What q asks of an abundant N whose divisors are listed.
void repond(Travail& w, Moteur& m, Resultat& r, Question q) {
    const std::vector<Facteur> f = facteurs(w);
    if (q == Question::compte) {
        try {
            w.ns = m.compte(entree(w, f));
        } catch (const CompteEcarte&) {
            r.ecarte = true;
        }
        r.solutions = std::move(w.ns);  // the count goes to the result
        return;
    }
    Decision d = decide(entree(w, f), m, q == Question::temoin);
    r.semiparfait = d.atteinte;
    r.temoin = std::move(d.temoin);
    if (q == Question::primitif && !d.atteinte) r.primitif = primitif(w);
}

// The per-number tables are reset however an evaluation ends, an
// interrupted count included, so that the next N starts clean.
struct Remise {
    Travail& w;
    ~Remise() { remise(w); }
};

}  // namespace

Resultat evalue(Travail& w, Moteur& m, std::int64_t N, Question q) {
    const Remise a_la_fin{w};
    w.N = N;
    w.S = N;
    diviseurs(w);
    Resultat r = classe(w, w.ND1, w.Smax);
    if (r.classe == Classe::abondant && q != Question::classe) repond(w, m, r, q);
    return r;
}

Resultat evalue(Travail& w, Moteur& m, std::int64_t N, std::span<const Facteur> f, Question q) {
    const Remise a_la_fin{w};
    w.N = N;
    w.S = 1;
    w.SN = N;
    w.ns = 0;
    w.nf = 0;
    // The count and the sum of the divisors from the factorization: a
    // deficient or perfect N needs no list.
    std::int64_t tau = 1;
    __int128 sigma = 1;
    for (const auto& [p, e] : f) {
        ++w.nf;
        w.Nfact.append();
        w.Nexpo.append();
        w.Nfact[w.nf] = static_cast<std::int64_t>(p);
        w.Nexpo[w.nf] = e;
        tau *= e + 1;
        sigma *= sigma_puissance(static_cast<std::int64_t>(p), e);
    }
    Resultat r = classe(w, tau - 1, sigma - N);
    if (r.classe != Classe::abondant || q == Question::classe) return r;
    liste(w);
    repond(w, m, r, q);
    return r;
}
