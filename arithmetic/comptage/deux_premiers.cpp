// SPDX-License-Identifier: GPL-3.0-or-later
// The split over two primes of N. Take q and r, distinct primes that divide
// N once: N = q * M and M = r * L. The divisors of N other than N are the
// m | M and the q * m with m | M, m != M; a set of them sums to N = q * M
// exactly when its part among the m sums to q * k and its part among the
// q * m sums to q * (M - k), so
//     c(N) = sum over k of A_M(q k) * B_M(M - k),
// A_X(s) counting the sets of divisors of X that sum to s, B_X the same
// without X itself. The divisors of M are those of L and r times them:
//     A_M(u) = sum_j A_L(u - r j) * A_L(j),
// and B_M(t) = A_M(t) for t < M, B_M(M) = A_M(M) - 1 (M alone). Only tables
// over the sums of L are kept: A_L over half of them (a set and its
// complement make it palindromic; the other half is read backwards), and
// A_L regrouped by residue modulo r (sigma(L) + 1 cells), so that both sides
// of each dot product are contiguous; on 32-bit cells when 64 do not fit.
// The top sums k are visited by residue class modulo r: one row of the
// regrouped table per class, windows that overlap from one k to the next.
// Each value A_M(q k) and B_M(M - k) is rebuilt exactly from its residues
// (it has about half the bits of the count) and the products are summed on
// big integers; when those residues do not fit in memory, the count itself
// is rebuilt from its residues, on twice as many moduli.
//
// Estimated cost, per modulus: the table of L, and 2 (K + 1) (sigma(L) / r)
// products, K = sigma(M) / q; the residue classes shared by two threads.
// When sigma(L) is large against q r, the values come instead from
// number-theoretic transforms (fenetres.hpp), on moduli that allow them.
// Wins for N from 10^12 with several mid-size primes, whose sigma(M) is
// beyond any table: 10^12 + 64 = 2^6 13 41 61 157 3061 (q = 3061, r = 157).
#include <algorithm>
#include <cmath>
#include <optional>

#include "chaine.hpp"
#include "couts.hpp"
#include "deux_fils.hpp"
#include "fenetres.hpp"
#include "methode.hpp"
#include "modules.hpp"
#include "noyaux.hpp"
#include "ntt.hpp"
#include "produits.hpp"
#include "reconstruction.hpp"
#include "sigma.hpp"

namespace {

struct Scission {
    u64 q = 0, r = 0, L = 0, M = 0;
    u64 sigmaL = 0;             // sum of the divisors of L
    u64 kmax = 0;               // the top sums k = 0 .. kmax
    unsigned deux = 0;          // exponent of 2 in L
    std::vector<u64> impairs;   // odd divisors of L, ascending
    std::vector<u64> premiers;  // the moduli, below 2^bits
    unsigned bits = 60;         // of the moduli
    double bits_voulus = 0;     // of their product
    bool ifma = false;          // the dot products in AVX-512 IFMA
    unsigned fils = 1;
    double produits = 0;     // per modulus
    double cellules = 0;     // table cells written per modulus
    bool par_k = true;       // each value rebuilt, or only the count
    bool etroit = false;     // tables of 32-bit cells
    bool ntt = false;        // the values by transforms
    Fenetres fen;            // and their sizes
    std::size_t octets = 0;  // tables and residues
};

// The tables of one modulus, of 64-bit cells, or of 32-bit cells (moduli
// below 2^31) when those do not fit.
template <class T>
struct Tables {
    T* A;   // A_L over [0, sigma(L) / 2]: the rest is A_L(sigma(L) - x)
    T* AT;  // A_L by residue modulo r: row rho holds A_L(rho + r i)
};

// A_L over [0, sigma(L) / 2] modulo p, on 64-bit cells, or on 32-bit cells
// (p below 2^31), by chains of steps on s.fils threads.
template <class T>
void demi_table(const Scission& s, u64 p, T* f, std::atomic<int>* libres, Suivi* suivi, Progres& pr) {
    const u64 S = s.sigmaL, H = S / 2;
    const auto pt = static_cast<T>(p);
    std::fill(f, f + H + 1, T{0});
    f[0] = 1;
    const std::span<const u64> impairs(s.impairs.begin(), std::upper_bound(s.impairs.begin(), s.impairs.end(), H));
    if (s.deux == 0) {
        chaine(Pas::ajoute_desc, f, H, impairs, pt, s.fils, libres, suivi, pr);
        return;
    }
    // Each odd divisor m with m, 2m, ..., 2^deux m: the product of their
    // (1 + x^(2^i m)) is (1 - x^(2^(deux+1) m)) / (1 - x^m). The factors
    // commute: every (1 - x^(2^(deux+1) m)) first, then every 1 / (1 - x^m).
    std::vector<u64> sauts;
    for (const u64 m : impairs)
        if ((m << (s.deux + 1)) <= H) sauts.push_back(m << (s.deux + 1));
    chaine(Pas::retire_desc, f, H, sauts, pt, s.fils, libres, suivi, pr);
    chaine(Pas::ajoute_asc, f, H, impairs, pt, s.fils, libres, suivi, pr);
}

template <class T>
void construit(const Scission& s, u64 p, const Tables<T>& t, Demande& d, Progres& pr) {
    const u64 S = s.sigmaL, H = S / 2;
    demi_table(s, p, t.A, d.ctx.libres, d.ctx.suivi(), pr);
    // Regrouped by blocks of rows and columns, so that reads and writes both
    // stay in the caches.
    const Rangees g(S, s.r);
    constexpr u64 kBloc = 64;
    const u64 lignes = S / s.r + 1;
    for (u64 i0 = 0; i0 < lignes; i0 += kBloc)
        for (u64 r0 = 0; r0 < s.r && r0 <= S; r0 += kBloc) {
            const u64 i1 = std::min(lignes, i0 + kBloc), r1 = std::min(s.r, r0 + kBloc);
            for (u64 rho = r0; rho < r1; ++rho) {
                T* ligne = t.AT + g.debut(rho);
                for (u64 i = i0; i < i1; ++i) {
                    const u64 x = i * s.r + rho;
                    if (x <= S) ligne[i] = t.A[x <= H ? x : S - x];
                }
            }
            pr.point();
        }
    pr.avance(S);
}

// A_M(u) = sum over j of A_L(u - r j) A_L(j), modulo p, u = rho + r i.
template <class T>
u64 convolue(const Scission& s, const Rangees& g, const Tables<T>& t, u64 rho, u64 i, u64 p) {
    const u64 lg = g.longueur(rho);
    if (lg == 0) return 0;
    const u64 jlo = i >= lg - 1 ? i - (lg - 1) : 0;
    const u64 jhi = std::min(s.sigmaL, i);
    if (jlo > jhi) return 0;
    // A_L(j) for j from jhi down is A_L(y) for y = sigma(L) - j up: in the
    // half table upwards up to H, downwards beyond.
    const u64 H = s.sigmaL / 2;
    const T* a = t.AT + g.debut(rho) + (i - jhi);
    u64 y = s.sigmaL - jhi, n = jhi - jlo + 1, r = 0;
    if (y <= H) {
        const u64 n1 = std::min(n, H - y + 1);
        r = produit_mod(a, t.A + y, n1, p, s.ifma);
        a += n1;
        y += n1;
        n -= n1;
    }
    if (n) r = (r + produit_mod_envers(a, t.A + (s.sigmaL - y), n, p, s.ifma)) % p;
    return r;
}

// A_M(q k) and B_M(M - k) modulo p for the k of the classes c0, c0 + pas,
// ... modulo r: into ra and rb, or their products added up (returned);
// B_M(M - k) read from vb when the transforms gave it.
// Along a class, q k keeps its residue modulo r and its quotient grows by q;
// M - k keeps its residue and its quotient falls by 1.
template <class T>
u64 parcourt(const Scission& s, const Tables<T>& t, u64 p, u64* ra, u64* rb, const u64* vb, u64 c0, u64 pas,
             Progres& pr) {
    const Rangees g(s.sigmaL, s.r);
    const u64 classes = std::min(s.r, s.kmax + 1);
    // Products below 2^100 (2^64 on 32-bit cells): 2^27 of them fit in
    // 128 bits.
    constexpr u64 kLot = u64{1} << 27;
    u128 somme = 0;
    u64 dans_somme = 0, total = 0;
    for (u64 c = c0; c < classes; c += pas) {
        const u64 qc = s.q * c, mc = s.M - c;
        const u64 rho_a = qc % s.r, rho_b = mc % s.r;
        u64 ia = qc / s.r, ib = mc / s.r;
        for (u64 k = c; k <= s.kmax; k += s.r, ia += s.q, --ib) {
            const u64 a = convolue(s, g, t, rho_a, ia, p);
            u64 b;
            if (vb) {
                b = vb[k];
            } else {
                b = convolue(s, g, t, rho_b, ib, p);
                if (k == 0) b = b == 0 ? p - 1 : b - 1;  // without M alone
            }
            if (ra) {
                ra[k] = a;
                rb[k] = b;
            } else {
                somme += static_cast<u128>(a) * b;
                if (++dans_somme == kLot) {
                    total = static_cast<u64>((somme + total) % p);
                    somme = 0;
                    dans_somme = 0;
                }
            }
            pr.ajoute((vb ? 1 : 2) * (g.Q + 1));
        }
    }
    pr.solde();
    return static_cast<u64>((somme + total) % p);
}

class PlanScission : public Plan {
public:
    explicit PlanScission(Scission s) : s_(std::move(s)) {}
    Methode methode() const override { return Methode::scission; }
    // Its tables are L's, whatever the bound on the others.
    bool reductible() const override { return false; }
    Issue execute(Demande& d, mpz_class& resultat) override;

private:
    Scission s_;
};

// Where a count's cells go: RA and RB (each value, every modulus) when
// rebuilt value by value, then the tables, then the values of one modulus
// (without RA and RB) and the transforms' work.
struct Disposition {
    u64 *RA = nullptr, *RB = nullptr;  // RA[i n + k], RB[i n + k] modulo premiers[i]
    u64* tables = nullptr;
    u64* valeurs = nullptr;  // 2 n cells by transforms, n with half B alone
    u64* travail = nullptr;
};

// Cells of 64 bits of A (half a table) and AT.
std::size_t cellules_tables(u64 sigma, bool etroit) {
    const u64 H = sigma / 2;
    return etroit ? ((H + 1) + (sigma + 1) + 1) / 2 : (H + 1) + (sigma + 1);
}

// Cells besides RA and RB.
std::size_t cellules_fixes(const Scission& s) {
    const std::size_t n = s.kmax + 1;
    const std::size_t travail = s.fen.partage() + 2 * s.fen.par_fil();
    if (s.ntt) return (s.sigmaL / 2 + 1) + (s.par_k ? 0 : 2 * n) + travail;
    if (s.fen.log_b) return cellules_tables(s.sigmaL, s.etroit) + (s.par_k ? 0 : n) + travail;
    return cellules_tables(s.sigmaL, s.etroit);
}

Disposition dispose(const Scission& s, u64* base) {
    const std::size_t m = s.premiers.size(), n = s.kmax + 1;
    Disposition d;
    if (s.par_k) {
        d.RA = base;
        d.RB = base + m * n;
        base += 2 * m * n;
    }
    d.tables = base;
    base += s.ntt ? s.sigmaL / 2 + 1 : cellules_tables(s.sigmaL, s.etroit);
    d.valeurs = base;
    if (!s.par_k) base += s.ntt ? 2 * n : s.fen.log_b ? n : 0;
    d.travail = base;
    return d;
}

// The residues of every modulus by dot products (half B by transforms when
// s.fen.log_b): of each value in RA and RB, or of the count in residus.
template <class T>
void residus_de(const Scission& s, const Tables<T>& t, const Disposition& o, std::vector<u64>& residus, Demande& d,
                Progres& pr) {
    const u64 n = s.kmax + 1;
    const Geometrie g{s.q, s.r, s.M, s.sigmaL, s.kmax};
    for (std::size_t i = 0; i < s.premiers.size(); ++i) {
        const u64 p = s.premiers[i];
        construit(s, p, t, d, pr);
        u64* ra = o.RA ? o.RA + i * n : nullptr;
        u64* rb = o.RB ? o.RB + i * n : nullptr;
        u64* vb = nullptr;
        if (s.fen.log_b) {
            vb = rb ? rb : o.valeurs;
            valeurs_b(g, s.fen, t.A, p, vb, o.travail, s.fils, d.ctx.libres, d.ctx.suivi(), pr, t.AT);
        }
        // The residue classes shared: c, c + fils, ...
        u64 part[2] = {0, 0};
        en_fils(s.fils, d.ctx.libres, d.ctx.suivi(), pr,
                [&](unsigned f, Progres& c) { part[f] = parcourt(s, t, p, ra, rb, vb, f, s.fils, c); });
        residus[i] = (part[0] + part[1]) % p;
    }
}

// The same by transforms, from the half table alone.
void residus_ntt(const Scission& s, const Disposition& o, std::vector<u64>& residus, Demande& d, Progres& pr) {
    const u64 n = s.kmax + 1;
    u64* const A = o.tables;
    const Geometrie g{s.q, s.r, s.M, s.sigmaL, s.kmax};
    for (std::size_t i = 0; i < s.premiers.size(); ++i) {
        const u64 p = s.premiers[i];
        demi_table(s, p, A, d.ctx.libres, d.ctx.suivi(), pr);
        u64* const ra = o.RA ? o.RA + i * n : o.valeurs;
        u64* const rb = o.RB ? o.RB + i * n : o.valeurs + n;
        valeurs_a(g, s.fen, A, p, s.ifma, ra, o.travail, s.fils, d.ctx.libres, d.ctx.suivi(), pr);
        valeurs_b(g, s.fen, static_cast<const u64*>(A), p, rb, o.travail, s.fils, d.ctx.libres, d.ctx.suivi(), pr);
        if (!o.RA) residus[i] = produit_mod(ra, rb, n, p, s.ifma);
    }
}

Issue PlanScission::execute(Demande& d, mpz_class& resultat) {
    const Scission& s = s_;
    const std::size_t m = s.premiers.size();
    const u64 S = s.sigmaL, n = s.kmax + 1;
    const std::size_t cellules = cellules_fixes(s) + (s.par_k ? 2 * m * n : 0);
    const Reservation reservation(d.ctx, cellules * sizeof(u64));
    if (!reservation) return Issue::memoire;
    const Memoire memoire(memoire_obtenir(cellules), MemoireRendue{cellules});
    if (!memoire) return Issue::memoire;
    const Disposition o = dispose(s, memoire.get());
    std::vector<u64> residus(m);  // of the count, without RA and RB

    Progres pr(d.ctx.suivi());
    pr.prevoit(static_cast<std::uint64_t>(static_cast<double>(m) * (s.cellules + static_cast<double>(S) + s.produits)));
    if (s.ntt) {
        residus_ntt(s, o, residus, d, pr);
    } else if (s.etroit) {
        auto* const a = reinterpret_cast<std::uint32_t*>(o.tables);
        residus_de(s, Tables<std::uint32_t>{a, a + (S / 2 + 1)}, o, residus, d, pr);
    } else {
        residus_de(s, Tables<u64>{o.tables, o.tables + (S / 2 + 1)}, o, residus, d, pr);
    }

    Reconstruction rebatir(s.premiers, false);
    if (!s.par_k) {
        rebatir(residus.data(), 1, resultat);
        return Issue::fait;
    }
    // Each value exactly, the products summed.
    resultat = somme_produits(rebatir, o.RA, o.RB, n, pr);
    return Issue::fait;
}

// The split on q then r, priced; false when it does not apply. transformees:
// how many halves of the values come from transforms (0, 1: B, 2: both),
// by cost when unset.
bool scission(const Demande& d, u64 q, u64 r, Scission& s, double& cout, std::optional<unsigned> transformees) {
    const std::span<const Facteur> f = d.entree.facteurs;
    const u64 N = static_cast<u64>(d.entree.cible);
    const std::optional<u64> sigma = sigma_sans(f, (u64{1} << 62) - 1, q, r);
    if (!sigma) return false;
    const u64 sigmaL = *sigma;
    s.q = q;
    s.r = r;
    s.M = N / q;
    s.L = s.M / r;
    s.sigmaL = sigmaL;
    const u128 sigmaM = static_cast<u128>(sigmaL) * (r + 1);
    s.kmax = static_cast<u64>(std::min<u128>(sigmaM / q, s.M));
    s.deux = impairs_sans(f, s.impairs, q, r);
    s.ifma = d.machine.processeur.ifma;
    // Divisors of M = r L: the bits of the values rebuilt.
    const u64 dM = 2 * (u64{s.deux} + 1) * s.impairs.size();
    const double budget = static_cast<double>(d.machine.memoire) / sizeof(u64);
    const double n = static_cast<double>(s.kmax) + 1;
    const u64 H = sigmaL / 2, ligne = sigmaL / r;  // half table, row of the regrouped table
    s.cellules = static_cast<double>(s.impairs.size()) * (s.deux ? 2 : 1) * static_cast<double>(H);
    const double demi = s.cellules * couts::cellule(H + 1);
    // Moduli: each value below C(d(M), d(M)/2), or the count below
    // C(d(N) - 1, (d(N) - 1)/2) times (d(N) - 1 + 1)/2 = d(M), a margin
    // on the odd number of items; two bits to spare, or 2^items when less; one
    // more bit. The largest primes below 2^b hold more than b - 1/64 bits
    // each, and so do those 1 + c 2^k of the transforms when the plan has
    // enough of them (assez, at b - 1: the plan checks the product of its
    // primes and takes one more when short).
    const auto moduli = [&](u64 items, unsigned b, bool plus_grands) {
        const double par_module = plus_grands ? b - 1.0 / 64 : b - 1.0;
        return static_cast<std::size_t>(std::ceil(bits_des_valeurs(items) / par_module));
    };
    // Each value rebuilt (par_k) or the count only, whichever is cheaper
    // and fits, for a cost per modulus.
    const auto choisit = [&](Scission& t, double par_module) {
        const std::size_t m_k = moduli(dM, t.bits, true), m_n = moduli(2 * dM - 1, t.bits, true);
        const double residus = 2.0 * static_cast<double>(m_k) * n;
        const double par_k =
            static_cast<double>(m_k) * par_module + n * couts::kReconstruction * static_cast<double>(m_k);
        const double entier = static_cast<double>(m_n) * par_module;
        // Cells besides RA and RB, either way.
        t.par_k = true;
        const auto fixes_k = static_cast<double>(cellules_fixes(t));
        t.par_k = false;
        const auto fixes = static_cast<double>(cellules_fixes(t));
        t.par_k = fixes_k + residus <= budget && par_k <= entier;
        t.premiers.assign(t.par_k ? m_k : m_n, 0);  // chosen once the plan is kept
        t.bits_voulus = bits_des_valeurs(t.par_k ? dM : 2 * dM - 1);
        t.octets = static_cast<std::size_t>((t.par_k ? fixes_k + residus : fixes) * sizeof(u64));
        return t.par_k ? par_k : entier;
    };
    // Transforms of length 2^lg need their moduli among the primes 1 + c 2^lg
    // below 2^bits: about 2^(bits - lg) 2 / (bits ln 2) of them, four times
    // over (those of the count, the most a plan takes).
    const auto assez = [&](unsigned b, unsigned lg) {
        const double premiers = std::ldexp(2.0 / (0.7 * b), static_cast<int>(b) - static_cast<int>(lg));
        return premiers >= 4.0 * static_cast<double>(moduli(2 * dM - 1, b, false));
    };
    double meilleur = kInfini;
    const Geometrie geo{q, r, s.M, sigmaL, s.kmax};
    const double produit = s.ifma ? couts::kProduitIfma : couts::kProduit;
    // By dot products: tables of 64-bit cells when they fit, else of 32;
    // half B by transforms when that is cheaper, or asked.
    if (transformees.value_or(1) <= 1 && static_cast<double>(cellules_tables(sigmaL, true)) <= budget) {
        Scission t = s;
        t.etroit = static_cast<double>(cellules_tables(sigmaL, false)) > budget;
        t.bits = t.etroit ? 31 : bits_produits(d.machine.processeur);
        const double tables = static_cast<double>(cellules_tables(sigmaL, t.etroit));
        const double moitie = n * (static_cast<double>(ligne) + 1);  // products of a half
        if (transformees != 0u) {
            dimensionne_b(geo, budget - tables - n, t.fen, t.ifma);
            const double b =
                t.fen.papillons_b * couts::papillon(s.ifma, t.fen.log_b) + t.fen.produits_seuls * couts::kProduitSeul;
            const double cellules = tables + n + static_cast<double>(t.fen.partage() + 2 * t.fen.par_fil());
            // The window B_M(M - k) is read within the caches: priced so.
            const double direct = moitie * couts::produit_cache(t.ifma, t.etroit);
            if (t.fen.log_b == 0 || cellules > budget || (!transformees && b >= direct) || !assez(t.bits, t.fen.log_b))
                t.fen = Fenetres{};
        }
        t.produits = (t.fen.log_b ? 1 : 2) * moitie;
        double travail = t.produits * produit;
        if (t.fen.log_b) {
            travail += t.fen.papillons_b * couts::papillon(s.ifma, t.fen.log_b) +
                       t.fen.produits_seuls * couts::kProduitSeul +
                       std::ldexp(couts::kRacine, static_cast<int>(t.fen.log_b));
            t.produits += t.fen.papillons_b + t.fen.produits_seuls;
        }
        t.fils = t.produits > couts::kFilProduits ? 2 : 1;
        const double par_module = demi + 2.0 * static_cast<double>(sigmaL) * couts::kCelluleGrande + travail / t.fils;
        const double fixes =
            tables + (t.fen.log_b ? n + static_cast<double>(t.fen.partage() + 2 * t.fen.par_fil()) : 0);
        if (fixes <= budget && (transformees != 1u || t.fen.log_b)) {
            meilleur = choisit(t, par_module);
            s = std::move(t);
        }
    }
    // By transforms, on 64-bit cells.
    const double fixes = static_cast<double>(H + 1) + 2 * n;
    if (transformees.value_or(2) == 2 && fixes < budget) {
        Scission t = s;
        t.ntt = true;
        t.etroit = false;
        t.bits = bits_produits(d.machine.processeur);
        t.fen = Fenetres{};
        dimensionne_a(geo, budget - fixes, t.fen, t.ifma);
        dimensionne_b(geo, budget - fixes, t.fen, t.ifma);
        const Fenetres& fen = t.fen;
        const double cellules = fixes + static_cast<double>(fen.partage() + 2 * fen.par_fil());
        if (fen.log_a != 0 && fen.log_b != 0 && cellules <= budget && assez(t.bits, fen.log_max())) {
            const double travail =
                fen.papillons_a * couts::papillon(s.ifma, fen.log_a) +
                fen.papillons_b * couts::papillon(s.ifma, fen.log_b) +
                (std::ldexp(1.0, static_cast<int>(fen.log_a)) + std::ldexp(1.0, static_cast<int>(fen.log_b))) *
                    couts::kRacine +
                fen.termes_a * couts::kTerme + fen.lectures_a * couts::kCelluleGrande +
                fen.produits * (produit + couts::kAppel / static_cast<double>(q)) +
                fen.produits_seuls * couts::kProduitSeul;
            t.produits = fen.produits + fen.produits_seuls + fen.papillons_a + fen.papillons_b + fen.termes_a;
            t.fils = travail > couts::kFilProduits ? 2 : 1;
            const double par_module = demi + travail / t.fils + n * couts::kProduit;
            const double c = choisit(t, par_module);
            if (c < meilleur) {
                meilleur = c;
                s = std::move(t);
            }
        }
    }
    cout = meilleur;
    return meilleur < kInfini;
}

std::unique_ptr<Plan> plan_de(Scission&& s, double cout) {
    const auto premiers = [&](std::size_t m) {
        return s.ntt || s.fen.log_b ? premiers_ntt(s.bits, s.fen.log_max(), m) : premiers_produits(s.bits, m);
    };
    s.premiers = premiers(s.premiers.size());
    // Their product checked against the bits of what they rebuild.
    const auto bits = [&] {
        double b = 0;
        for (const u64 p : s.premiers) b += std::log2(static_cast<double>(p));
        return b;
    };
    while (bits() < s.bits_voulus) s.premiers = premiers(s.premiers.size() + 1);
    const std::size_t s_octets = s.octets;
    auto plan = std::make_unique<PlanScission>(std::move(s));
    plan->cout = cout;
    plan->octets = s_octets;
    return plan;
}

}  // namespace

std::unique_ptr<Plan> plan_scission(Demande& d, std::uint64_t q, std::uint64_t r,
                                    std::optional<unsigned> transformees) {
    bool q1 = false, r1 = false;
    for (const auto& [p, e] : d.entree.facteurs) {
        q1 = q1 || (p == q && e == 1);
        r1 = r1 || (p == r && e == 1);
    }
    Scission s;
    double cout;
    if (q == r || !q1 || !r1 || d.entree.cible <= 0 || !scission(d, q, r, s, cout, transformees)) return nullptr;
    return plan_de(std::move(s), cout);
}

std::unique_ptr<Plan> planifie_scission(Demande& d) {
    const Entree& e = d.entree;
    if (e.facteurs.empty() || e.cible <= 0 || d.plafond <= couts::kScissionMin) return nullptr;
    Scission best;
    double cout_best = d.plafond;
    for (const auto& [q, a] : e.facteurs) {
        if (a != 1) continue;
        for (const auto& [r, b] : e.facteurs) {
            if (b != 1 || r == q) continue;
            Scission s;
            double cout;
            if (scission(d, q, r, s, cout, std::nullopt) && cout < cout_best) {
                best = std::move(s);
                cout_best = cout;
            }
        }
    }
    if (best.q == 0) return nullptr;
    return plan_de(std::move(best), cout_best);
}
