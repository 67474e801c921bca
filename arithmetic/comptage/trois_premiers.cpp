// SPDX-License-Identifier: GPL-3.0-or-later
// The split over three primes of N. Take b, c and d, distinct primes that
// divide N once: N = d M, M = b c L. As for the split over two primes,
//     c(N) = sum over k of A_M(d k) * B_M(M - k),
// with B_M(t) = A_M(t) for t < M, B_M(M) = A_M(M) - 1 (M alone). With
// F = A_L, the subset sums of the divisors of M are those of
//     A_M(z) = H(z) F(z^(bc)),  H(z) = K(z) F(z^c),  K(z) = F(z) F(z^b),
// so that A_M(x) = sum over s of F(s) H(x - b c s): a handful of terms, H
// reaching sigma(L) (1 + b + c), little beyond b c when b and c are large
// against sigma(L). H is never kept whole. Its row rho modulo c,
// H(rho + c u), is the convolution of F with E_rho(v) = K(rho + c v), one
// number-theoretic transform of E_rho and one back; K(x) = sum over j of
// F(x - b j) F(j), a single term when sigma(L) < b. Every term of a value
// A_M(x) lies in the row of x modulo c: each row gives the values A_M(d k)
// of one class of k modulo c and B_M(M - k) of another (M = 0 modulo c).
// The rows go in the order that chains those classes (the row of the B
// values of a class follows the row of its A values), so that a class's
// values wait for their other half a row, or at most the rest of a cycle.
// No table beyond F and the rows: the split over two primes would keep the
// table of L b (sigma(L) (1 + b) cells) and take 2 sigma(M) sigma(L b) /
// (d c) dot products per modulus.
//
// Estimated cost, per modulus: c rows of two transforms of length n >
// sigma(L) + sigma(L b) / c and their pointwise products, the values of
// E_rho, and the terms of the 2 (sigma(M) / d) values; the rows shared by
// two threads; priced only where the best plan so far passes 10 ms. Wins
// for N with three large primes and a small rest:
// 10^18 + 8 = 2^3 3^2 97 26209 32779 166667 (L = 6984, sigma(L) = 19110,
// b = 32779, c = 26209, d = 166667), whose split over two primes needs
// 3 10^12 dot products per modulus and 3 GB of tables.
#include <algorithm>
#include <bit>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "couts.hpp"
#include "deux_fils.hpp"
#include "methode.hpp"
#include "modules.hpp"
#include "ntt.hpp"
#include "produits.hpp"
#include "reconstruction.hpp"
#include "sigma.hpp"

namespace {

struct Trois {
    u64 b = 0, c = 0, d = 0, M = 0;
    u64 sigmaL = 0, sigmaLb = 0;  // sums of the divisors of L and of L b
    u64 degre = 0;                // of H: sigma(L) (1 + b + c)
    u64 kmax = 0;                 // the top sums k = 0 .. kmax
    std::vector<u64> impairs;     // odd divisors of L
    unsigned deux = 0;            // exponent of 2 in L
    unsigned log_n = 0;           // of the rows' transforms
    unsigned fils = 1;
    double bits_voulus = 0;     // of the product of the moduli
    std::vector<u64> premiers;  // the moduli, 1 + c 2^log_n below 2^50
    std::size_t octets = 0;
};

// The bits of the moduli: below 2^50, so that 2^27 products of residues add
// up on 128 bits (and the transforms go eight at a time with IFMA).
constexpr unsigned kBits = 50;

// What one modulus reads, the same for every row.
struct Module {
    u64 p;
    const Ntt& nt;
    std::vector<u64> F, Fs;    // A_L modulo p and Shoup's quotients
    std::vector<u64> Fc, Fcs;  // its transform, and the quotients of that
};

// The row rho of H modulo p into ligne (n cells): false when it is zero.
bool ligne_de_h(const Trois& s, const Module& m, u64 rho, std::vector<u64>& ligne) {
    std::fill(ligne.begin(), ligne.end(), u64{0});
    if (rho > s.sigmaLb) return false;
    const u64 V = (s.sigmaLb - rho) / s.c, S = s.sigmaL, b = s.b, p = m.p;
    // x = rho + c v = b q + r, kept without dividing.
    u64 q = rho / b, r = rho % b;
    const u64 cq = s.c / b, cr = s.c % b;
    for (u64 v = 0; v <= V; ++v) {
        // K(x) = sum over j of F(x - b j) F(j), 0 <= x - b j <= sigma(L):
        // j = q alone when sigma(L) < b.
        if (r <= S) {
            const u64 jlo = S < b ? q : q - std::min(q, (S - r) / b), jhi = std::min(S, q);
            u64 k = 0;
            for (u64 j = jhi + 1; j-- > jlo;) {
                k += mul_shoup(m.F[r + b * (q - j)], m.F[j], m.Fs[j], p);
                if (k >= p) k -= p;
            }
            ligne[v] = k;
        }
        q += cq;
        r += cr;
        if (r >= b) {
            r -= b;
            ++q;
        }
    }
    m.nt.direct(ligne.data());
    m.nt.multiplie(ligne.data(), m.Fc.data(), m.Fcs.data(), ligne.data());
    m.nt.inverse(ligne.data());
    return true;
}

// The values A_M(x) modulo p, from the row rho of H, for x = x0, then
// x0 + d c (montant) or x0 - c, ...: one into each cell of out. Every x is
// rho modulo c; x = rho + c u, and A_M(x) = sum over t of F(t) H(rho +
// c (u - b t)), t up to min(sigma(L), u / b), while the row reaches.
void valeurs(const Trois& s, const Module& m, u64 rho, const std::vector<u64>& ligne, u64 x0, bool montant,
             std::vector<u64>& out) {
    const u64 S = s.sigmaL, b = s.b, p = m.p;
    const u64 U = (s.degre - rho) / s.c;  // the last cell of the row
    u64 u = (x0 - rho) / s.c, Q = u / b, R = u % b;
    const u64 dq = s.d / b, dr = s.d % b;
    for (u64& v : out) {
        u64 r = 0;
        u64 t = std::min(S, Q);
        for (u64 i = u - b * t; i <= U; i += b) {
            r += mul_shoup(ligne[i], m.F[t], m.Fs[t], p);
            if (r >= p) r -= p;
            if (t-- == 0) break;
        }
        v = r;
        if (montant) {
            u += s.d;
            Q += dq;
            R += dr;
            if (R >= b) {
                R -= b;
                ++Q;
            }
        } else if (u > 0) {
            --u;
            if (R == 0) {
                R = b - 1;
                --Q;
            } else {
                --R;
            }
        }
    }
}

// The order of the rows: rho, then a rho, a^2 rho, ... with a = -1/d
// modulo c, cycle after cycle. Row rho gives the A values of the class
// kappa = rho / d, whose B values come from row -kappa = a rho. Rows that
// give no value at all (both classes beyond kmax) are left out.
std::vector<std::uint32_t> ordre_des_lignes(const Trois& s) {
    const u64 c = s.c, dinv = inverse_mod(s.d % c, c), a = (c - dinv) % c;
    const auto utile = [&](u64 rho) { return mulmod(rho, dinv, c) <= s.kmax || (c - rho) % c <= s.kmax; };
    std::vector<bool> vue(c, false);
    std::vector<std::uint32_t> ordre;
    for (u64 debut = 0; debut < c; ++debut)
        for (u64 rho = debut; !vue[rho]; rho = mulmod(rho, a, c)) {
            vue[rho] = true;
            if (utile(rho)) ordre.push_back(static_cast<std::uint32_t>(rho));
        }
    return ordre;
}

// The halves of the classes waiting for their other half, shared by the
// threads: the values A_M(d k) (a) or B_M(M - k) of the k of one class.
class Attente {
public:
    // Files the values of class kappa, or, when its other half is there,
    // returns the sum of their products modulo p.
    std::optional<u64> depose(u64 kappa, bool a, std::vector<u64>&& valeurs, u64 p) {
        std::vector<u64> autre;
        {
            const std::lock_guard<std::mutex> verrou(m_);
            const auto it = attente_.find(kappa);
            if (it == attente_.end() || it->second.first == a) {
                attente_[kappa] = {a, std::move(valeurs)};
                return std::nullopt;
            }
            autre = std::move(it->second.second);
            attente_.erase(it);
        }
        return produit_mod(valeurs.data(), autre.data(), valeurs.size(), p, false);
    }

private:
    std::mutex m_;
    std::unordered_map<u64, std::pair<bool, std::vector<u64>>> attente_;
};

// The residue of the count modulo m.p, over the rows of ordre shared by
// s.fils threads.
u64 residu(const Trois& s, const Module& m, const std::vector<std::uint32_t>& ordre, Demande& d, Progres& pr) {
    const u64 c = s.c, p = m.p, dinv = inverse_mod(s.d % c, c);
    const std::size_t n = m.nt.taille();
    Attente attente;
    u64 part[2] = {0, 0};
    en_fils(s.fils, d.ctx.libres, d.ctx.suivi(), pr, [&](unsigned f, Progres& pr_f) {
        std::vector<u64> ligne(n);
        const std::size_t debut = ordre.size() * f / s.fils, fin = ordre.size() * (f + 1) / s.fils;
        u64 somme = 0;
        const auto ajoute = [&](std::optional<u64> r) {
            if (r) somme = (somme + *r) % p;
        };
        for (std::size_t i = debut; i < fin; ++i) {
            const u64 rho = ordre[i];
            const bool pleine = ligne_de_h(s, m, rho, ligne);
            // A_M(d k) for the k of class rho / d, B_M(M - k) for those of -rho.
            for (const bool a : {true, false}) {
                const u64 kappa = a ? mulmod(rho, dinv, c) : (c - rho) % c;
                if (kappa > s.kmax) continue;
                std::vector<u64> v((s.kmax - kappa) / c + 1, 0);
                if (pleine) valeurs(s, m, rho, ligne, a ? s.d * kappa : s.M - kappa, a, v);
                if (!a && kappa == 0) v[0] = v[0] == 0 ? p - 1 : v[0] - 1;  // without M alone
                ajoute(attente.depose(kappa, a, std::move(v), p));
            }
            pr_f.ajoute(n);
        }
        pr_f.solde();
        part[f] = somme;
    });
    return (part[0] + part[1]) % p;
}

class PlanTrois : public Plan {
public:
    explicit PlanTrois(Trois s) : s_(std::move(s)) {}
    Methode methode() const override { return Methode::trois; }
    bool reductible() const override { return false; }
    Issue execute(Demande& d, mpz_class& resultat) override;

private:
    Trois s_;
};

Issue PlanTrois::execute(Demande& d, mpz_class& resultat) {
    const Trois& s = s_;
    const Reservation reservation(d.ctx, s.octets);
    if (!reservation) return Issue::memoire;
    const std::vector<std::uint32_t> ordre = ordre_des_lignes(s);
    const std::size_t n = std::size_t{1} << s.log_n;
    Progres pr(d.ctx.suivi());
    pr.prevoit(static_cast<std::uint64_t>(s.premiers.size() * ordre.size() * n));
    std::vector<u64> residus;
    for (const u64 p : s.premiers) {
        const Ntt nt(p, s.log_n);
        Module m{p, nt, std::vector<u64>(s.sigmaL + 1, 0), {}, std::vector<u64>(n, 0), {}};
        // A_L modulo p, divisor after divisor: each odd m times 2^i.
        m.F[0] = 1;
        for (const u64 impair : s.impairs)
            for (unsigned i = 0; i <= s.deux; ++i) {
                const u64 x = impair << i;
                for (u64 t = s.sigmaL; t >= x; --t) {
                    const u64 v = m.F[t] + m.F[t - x];
                    m.F[t] = v >= p ? v - p : v;
                }
                pr.point();
            }
        m.Fs.resize(m.F.size());
        for (std::size_t j = 0; j < m.F.size(); ++j) m.Fs[j] = quotient_shoup(m.F[j], p);
        std::copy(m.F.begin(), m.F.end(), m.Fc.begin());
        nt.direct(m.Fc.data());
        m.Fcs.resize(n);
        nt.quotients(m.Fc.data(), m.Fcs.data());
        residus.push_back(residu(s, m, ordre, d, pr));
    }
    Reconstruction rebatir(s.premiers, false);
    rebatir(residus.data(), 1, resultat);
    return Issue::fait;
}

// The split on d, c and b, priced; false when it does not apply.
bool trois(const Demande& d, u64 b, u64 c, u64 dd, Trois& s, double& cout, unsigned fils) {
    const u64 N = static_cast<u64>(d.entree.cible);
    // sigma(L) and the number of divisors of L, the factors of N but b, c
    // and d.
    const std::optional<u64> sigma = sigma_sans(d.entree.facteurs, u64{1} << 40, b, c, dd);
    if (!sigma) return false;
    const u128 sigmaL = *sigma;
    u64 tau = 1;
    for (const auto& [p, e] : d.entree.facteurs)
        if (p != b && p != c && p != dd) tau *= e + 1;
    if (tau > (u64{1} << 16)) return false;
    s.b = b;
    s.c = c;
    s.d = dd;
    s.M = N / dd;
    const u128 degre = sigmaL * (1 + u128{b} + c), sigmaM = sigmaL * (b + 1) * (c + 1);
    if (sigmaM >= (u128{1} << 63) || c > (u64{1} << 26)) return false;
    s.sigmaL = static_cast<u64>(sigmaL);
    s.sigmaLb = s.sigmaL * (b + 1);
    s.degre = static_cast<u64>(degre);
    s.kmax = static_cast<u64>(std::min<u128>(sigmaM / dd, s.M));
    const u64 largeur = s.sigmaL + s.sigmaLb / c + 1;  // of a row of H
    s.log_n = static_cast<unsigned>(std::bit_width(largeur - 1));
    if (s.log_n > 26) return false;
    const double n = std::ldexp(1.0, static_cast<int>(s.log_n));
    // Moduli: the count over the 2 d(M) - 1 proper divisors of N, at more
    // than kBits - 1 bits each (the plan checks their product).
    const u64 dM = 4 * tau;
    s.bits_voulus = bits_des_valeurs(2 * dM - 1);
    const auto moduli = static_cast<std::size_t>(std::ceil(s.bits_voulus / (kBits - 1)));
    const bool ifma = d.machine.processeur.ifma;
    // The rows that give values, each two transforms, a pointwise product
    // and its E_rho; the terms of the values.
    const double lignes = std::min(static_cast<double>(c), 2.0 * (static_cast<double>(s.kmax) + 1));
    const double papillon = couts::papillon(ifma, s.log_n);
    const double par_ligne = (n * s.log_n + n) * papillon +
                             (static_cast<double>(s.sigmaLb) / static_cast<double>(c) + 1) *
                                 (static_cast<double>(s.sigmaL) / static_cast<double>(b) + 1) * couts::kProduitSeul;
    const double termes = 2 * (static_cast<double>(s.kmax) + 1) *
                          (static_cast<double>(s.degre) / (static_cast<double>(b) * static_cast<double>(c)) + 1) *
                          couts::kProduitSeul;
    const double table = static_cast<double>(tau) * static_cast<double>(s.sigmaL) * couts::cellule(s.sigmaL + 1);
    const double travail = lignes * par_ligne + termes;
    s.fils = fils ? std::min(fils, 2u) : travail > couts::kFilMarche ? 2 : 1;
    const double par_module = table + std::ldexp(couts::kRacine, static_cast<int>(s.log_n)) + travail / s.fils;
    // F and its quotients, the transform of F and its quotients, a row per
    // thread; the values of the classes waiting (a few per thread).
    const u64 par_classe = s.kmax / c + 1;
    const auto classe = static_cast<double>(par_classe);
    const double cellules = 2.0 * static_cast<double>(s.sigmaL + 1) + (2.0 + s.fils) * n +
                            (4.0 + 4.0 * s.fils) * classe + static_cast<double>(c) / 2;
    if (cellules * sizeof(u64) > static_cast<double>(d.machine.memoire)) return false;
    s.octets = static_cast<std::size_t>(cellules * sizeof(u64));
    s.premiers.assign(moduli, 0);
    // The order of the rows, once: a product modulo c for each.
    cout = static_cast<double>(moduli) * par_module + static_cast<double>(c) * couts::kProduitSeul;
    return true;
}

// The plan for the choice kept: the divisors of L, the moduli.
std::unique_ptr<Plan> plan_de(const Demande& d, Trois&& s, double cout) {
    s.deux = impairs_sans(d.entree.facteurs, s.impairs, s.b, s.c, s.d);
    const auto bits = [&] {
        double r = 0;
        for (const u64 p : s.premiers) r += std::log2(static_cast<double>(p));
        return r;
    };
    s.premiers = premiers_ntt(kBits, s.log_n, s.premiers.size());
    while (bits() < s.bits_voulus) s.premiers = premiers_ntt(kBits, s.log_n, s.premiers.size() + 1);
    const std::size_t octets = s.octets;
    auto plan = std::make_unique<PlanTrois>(std::move(s));
    plan->cout = cout;
    plan->octets = octets;
    return plan;
}

bool une_fois(const Demande& d, u64 p) {
    return std::any_of(d.entree.facteurs.begin(), d.entree.facteurs.end(),
                       [&](const Facteur& f) { return f.first == p && f.second == 1; });
}

}  // namespace

std::unique_ptr<Plan> plan_trois(Demande& d, std::uint64_t dd, std::uint64_t c, std::uint64_t b, unsigned fils) {
    Trois s;
    double cout;
    if (b == c || c == dd || b == dd || !une_fois(d, b) || !une_fois(d, c) || !une_fois(d, dd) || d.entree.cible <= 0 ||
        !trois(d, b, c, dd, s, cout, fils))
        return nullptr;
    return plan_de(d, std::move(s), cout);
}

std::unique_ptr<Plan> planifie_trois(Demande& d) {
    const Entree& e = d.entree;
    if (e.facteurs.empty() || e.cible <= 0 || d.plafond <= couts::kTroisMin) return nullptr;
    std::vector<u64> uns;
    for (const auto& [p, a] : e.facteurs)
        if (a == 1) uns.push_back(p);
    Trois best;
    double cout_best = d.plafond;
    for (const u64 dd : uns)
        for (const u64 c : uns)
            for (const u64 b : uns) {
                if (b == c || c == dd || b == dd) continue;
                Trois s;
                double cout;
                if (trois(d, b, c, dd, s, cout, 0) && cout < cout_best) {
                    best = std::move(s);
                    cout_best = cout;
                }
            }
    if (best.d == 0) return nullptr;
    return plan_de(d, std::move(best), cout_best);
}
