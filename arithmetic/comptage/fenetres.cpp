// SPDX-License-Identifier: GPL-3.0-or-later
// The values of the split by number-theoretic transforms, by blocks.
#include "fenetres.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "couts.hpp"
#include "deux_fils.hpp"
#include "modulaire.hpp"
#include "ntt.hpp"
#include "produits.hpp"

namespace {

using i64 = std::int64_t;

// F(x) from its half table; 0 outside [0, S].
template <class T>
inline u64 lire(const T* A, u64 S, i64 x) {
    if (x < 0 || static_cast<u64>(x) > S) return 0;
    const auto y = static_cast<u64>(x);
    return A[std::min(y, S - y)];
}

u64 log2_plafond(u64 x) {
    unsigned l = 0;
    while ((u64{1} << l) < x) ++l;
    return l;
}

u64 plafond(u64 a, u64 b) { return (a + b - 1) / b; }

// Cells of the rows of D read together by each G of a group (256 KiB).
constexpr u64 kTuile = u64{1} << 15;

// The two-thread share [debut, fin) of 0..n for thread t.
struct Part {
    u64 debut, fin;
    Part(u64 n, unsigned t, unsigned fils) : debut(n * t / fils), fin(n * (t + 1) / fils) {}
};

}  // namespace

void dimensionne_a(const Geometrie& g, double cellules_max, Fenetres& f, bool ifma) {
    const u64 lignes = std::min(g.r, g.K + 1);  // the kappa
    const double q = static_cast<double>(g.q);
    // The G have at most S / (q r) + 1 entries, one more for the shift.
    f.g_a = g.S / (g.q * g.r) + 2;
    f.log_a = 0;
    const u64 T0 = g.K / g.r;
    double meilleur = std::numeric_limits<double>::infinity();
    for (unsigned l = static_cast<unsigned>(log2_plafond(f.g_a + 1)); l <= 24; ++l) {
        const u64 n = u64{1} << l, B = n - f.g_a + 1, blocs = plafond(T0 + 1, B);
        const double partage = q * static_cast<double>(blocs * n);
        if (partage > cellules_max) continue;
        const double nn = static_cast<double>(n), nb = static_cast<double>(blocs), la = static_cast<double>(lignes);
        // The G transformed, or evaluated at each frequency from their g_a
        // entries: their rows then take g_a + 1 cells a residue tau instead
        // of n, and the groups grow as much. D is read from memory once per
        // group. The cheaper of the two.
        const double ga = static_cast<double>(f.g_a);
        for (const bool directe : {false, true}) {
            const double papillons = (q * nb + (directe ? 0 : q * la) + la * nb) * nn / 2 * l;
            const double termes = directe ? q * la * nn * ga : 0;
            const double produits = la * nb * nn * q;
            // As many kappa a group as kGroupe cells hold, and the rest of
            // the cells allow for two threads.
            const double par_ligne = (directe ? q * (ga + 1) : q * nn) + nb * nn;
            const double place = std::min(couts::kGroupe, (cellules_max - partage) / 2 - nn);
            const double groupe = std::clamp(std::floor(place / par_ligne), 1.0, std::ceil(la / 2));
            const double lectures = std::ceil(la / groupe) * partage;
            const double cout = papillons * couts::papillon(ifma, l) + termes * couts::kTerme +
                                produits * couts::kProduitIfma + la * nb * nn * couts::kAppel +
                                lectures * couts::kCelluleGrande;
            if (cout < meilleur) {
                meilleur = cout;
                f.log_a = l;
                f.blocs_a = blocs;
                f.directe_a = directe;
                f.papillons_a = papillons;
                f.termes_a = termes;
                f.lectures_a = lectures;
                f.produits = produits;
                // With the powers of the root, n g_a cells, when evaluated.
                f.partage_a = static_cast<std::size_t>(partage + (directe ? nn * ga : 0));
                f.groupe_a = static_cast<u64>(groupe);
                f.par_fil_a = static_cast<std::size_t>(groupe * par_ligne + nn);
            }
        }
    }
}

void dimensionne_b(const Geometrie& g, double cellules_max, Fenetres& f, bool ifma) {
    const double lignes = static_cast<double>(std::min(g.r, g.S + 1));  // the rho
    // The rows have at most S / r + 1 entries; the window of rows I0 .. M / r.
    f.g_b = g.S / g.r + 1;
    f.I0 = (g.M - g.K) / g.r;
    f.log_b = 0;
    const u64 etendue = g.M / g.r - f.I0 + 1;
    double meilleur = std::numeric_limits<double>::infinity();
    for (unsigned l = static_cast<unsigned>(log2_plafond(f.g_b + 1)); l <= 27; ++l) {
        const u64 n = u64{1} << l, B = n - f.g_b + 1, blocs = plafond(etendue, B);
        const double partage = 2 * static_cast<double>(blocs * n);  // W and its quotients
        if (partage > cellules_max) continue;
        const double nn = static_cast<double>(n), nb = static_cast<double>(blocs);
        const double papillons = (nb + lignes * (1 + nb)) * nn / 2 * l;
        const double produits = lignes * nb * nn;
        const double cout = papillons * couts::papillon(ifma, l) + produits * couts::kProduitSeul;
        if (cout < meilleur) {
            meilleur = cout;
            f.log_b = l;
            f.blocs_b = blocs;
            f.papillons_b = papillons;
            f.produits_seuls = produits;
            f.partage_b = static_cast<std::size_t>(partage);
            f.par_fil_b = static_cast<std::size_t>(2 * nn);
        }
        if (blocs == 1) break;
    }
}

void valeurs_a(const Geometrie& g, const Fenetres& f, const u64* A, u64 p, bool ifma, u64* ra, u64* travail,
               unsigned fils, std::atomic<int>* libres, Suivi* suivi, Progres& pr) {
    const u64 q = g.q, r = g.r, S = g.S, K = g.K, qr = q * r;
    std::fill(ra, ra + K + 1, u64{0});
    u64* const partage = travail;
    const auto propre = [&](unsigned t) { return travail + f.partage() + t * f.par_fil(); };
    // D[(b n + fr) q + tau]: block b of D_tau, transformed.
    {
        const Ntt nt(p, f.log_a);
        const u64 n = nt.taille(), ga = f.g_a, B = n - ga + 1;
        u64* const D = partage;
        // Block b of every D_tau at once: row i of D + b n q holds
        // F(tau + q m), m = b B - (ga - 1) + i, for tau = 0..q-1, read in
        // order; its columns are then transformed.
        en_fils(fils, libres, suivi, pr, [&](unsigned t, Progres& c) {
            const Part part(f.blocs_a, t, fils);
            for (u64 b = part.debut; b < part.fin; ++b) {
                u64* const bloc = D + b * n * q;
                const i64 m0 = static_cast<i64>(b * B) - static_cast<i64>(ga - 1);
                for (u64 i = 0; i < n; ++i) {
                    const i64 m = m0 + static_cast<i64>(i);
                    u64* const ligne = bloc + i * q;
                    for (u64 tau = 0; tau < q; ++tau)
                        ligne[tau] = m < 0 ? 0 : lire(A, S, static_cast<i64>(tau) + static_cast<i64>(q) * m);
                }
                nt.direct_colonnes(bloc, q);
                c.ajoute(q * n * f.log_a);
            }
        });
        // The kappa by groups of f.groupe_a: each row of D, read from memory
        // once per group, serves the group's G from the caches.
        const u64 lignes = std::min(r, K + 1), g = f.groupe_a, groupes = plafond(lignes, g), nb = f.blocs_a;
        const u64 tuile = std::max<u64>(1, kTuile / q);
        // The entries of G_{kappa,tau}, from index delta on: q kappa - r tau
        // = e - q r delta, 0 <= e < q r.
        const auto entrees = [&](u64 kappa, u64 tau, u64* x) {
            const u64 qk = q * kappa, rt = r * tau;
            const u64 e = qk >= rt ? qk - rt : qr - (rt - qk), delta = qk >= rt ? 0 : 1;
            u64 i = delta;
            for (u64 v = e; v <= S; v += qr) x[i++] = lire(A, S, static_cast<i64>(v));
            return i;
        };
        // Evaluated: W[fr ga + i] the transform of the unit sequence at i,
        // in Montgomery's form, so that G_{kappa,tau} at fr is the sum over i
        // of its entry i times W[fr ga + i], reduced once per lot.
        const Montgomery mg(p);
        const u64 lot = std::max<u64>(1, ~u64{0} / p);
        if (f.directe_a) {
            u64* const W = partage + q * nb * n;
            u64* const x = propre(0);
            for (u64 i = 0; i < ga; ++i) {
                std::fill(x, x + n, u64{0});
                x[i] = 1;
                nt.direct(x);
                for (u64 fr = 0; fr < n; ++fr) W[fr * ga + i] = mg.entre(x[fr]);
            }
        }
        en_fils(fils, libres, suivi, pr, [&](unsigned t, Progres& c) {
            // G[(fr g + j) q + tau] for kappa = k0 + j, transformed; or
            // E[(j q + tau) ga + i] the entries and G[j q + tau] at one fr.
            u64* const G = propre(t);
            u64* const E = G + (f.directe_a ? g * q : 0);
            u64* const Y = f.directe_a ? E + g * q * ga : G + g * q * n;  // Y[(j nb + b) n + fr]
            u64* const x = Y + g * nb * n;
            const u64* const W = partage + q * nb * n;
            for (u64 h = t; h < groupes; h += fils) {
                const u64 k0 = h * g, nk = std::min(g, lignes - k0);
                for (u64 j = 0; j < nk; ++j) {
                    for (u64 tau = 0; tau < q; ++tau) {
                        if (f.directe_a) {
                            u64* const e = E + (j * q + tau) * ga;
                            std::fill(e, e + ga, u64{0});
                            entrees(k0 + j, tau, e);
                            continue;
                        }
                        std::fill(x, x + n, u64{0});
                        entrees(k0 + j, tau, x);
                        nt.direct(x);
                        for (u64 fr = 0; fr < n; ++fr) G[(fr * g + j) * q + tau] = x[fr];
                    }
                    c.ajoute(q * n * f.log_a);
                }
                for (u64 fr = 0; fr < n; ++fr) {
                    if (f.directe_a) {
                        const u64* const w = W + fr * ga;
                        for (u64 jt = 0; jt < nk * q; ++jt) {
                            const u64* const e = E + jt * ga;
                            u128 somme = 0;
                            u64 v = 0;
                            for (u64 i0 = 0; i0 < ga; i0 += lot) {
                                const u64 i1 = std::min(ga, i0 + lot);
                                for (u64 i = i0; i < i1; ++i) somme += static_cast<u128>(e[i]) * w[i];
                                v += mg.reduit(somme);
                                v -= v >= p ? p : 0;
                                somme = 0;
                            }
                            G[jt] = v;
                        }
                    }
                    // The rows of D by tiles that stay in the caches while
                    // each G of the group reads them.
                    for (u64 b0 = 0; b0 < nb; b0 += tuile)
                        for (u64 j = 0; j < nk; ++j) {
                            const u64* const gj = G + (f.directe_a ? j : fr * g + j) * q;
                            for (u64 b = b0; b < std::min(nb, b0 + tuile); ++b)
                                Y[(j * nb + b) * n + fr] = produit_mod(gj, D + (b * n + fr) * q, q, p, ifma);
                        }
                    c.ajoute(nk * nb * q);
                }
                for (u64 j = 0; j < nk; ++j)
                    for (u64 b = 0; b < nb; ++b) {
                        u64* const y = Y + (j * nb + b) * n;
                        nt.inverse(y);
                        for (u64 i = ga - 1; i < n; ++i) {
                            const u64 k = k0 + j + r * (b * B + i - (ga - 1));
                            if (k > K) break;
                            ra[k] = y[i];
                        }
                    }
            }
        });
    }

    pr.solde();
}

template <class T>
void valeurs_b(const Geometrie& g, const Fenetres& f, const T* A, u64 p, u64* rb, u64* travail, unsigned fils,
               std::atomic<int>* libres, Suivi* suivi, Progres& pr, const T* rangees) {
    const u64 r = g.r, S = g.S, K = g.K, M = g.M;
    std::fill(rb, rb + K + 1, u64{0});
    u64* const partage = travail;
    const auto propre = [&](unsigned t) { return travail + f.partage() + t * f.par_fil(); };
    // W[b n + fr]: block b of the window of F, transformed; WQ[b n + fr]
    // the quotients of the products by them.
    {
        const Ntt nt(p, f.log_b);
        const u64 n = nt.taille(), gb = f.g_b, B = n - gb + 1;
        u64* const W = partage;
        u64* const WQ = partage + f.blocs_b * n;
        en_fils(fils, libres, suivi, pr, [&](unsigned t, Progres& c) {
            const Part part(f.blocs_b, t, fils);
            for (u64 b = part.debut; b < part.fin; ++b) {
                u64* const x = W + b * n;
                const i64 i0 = static_cast<i64>(f.I0 + b * B) - static_cast<i64>(gb - 1);
                for (u64 i = 0; i < n; ++i) x[i] = lire(A, S, i0 + static_cast<i64>(i));
                nt.direct(x);
                nt.quotients(x, WQ + b * n);
                c.ajoute(n * f.log_b);
            }
        });
        const u64 lignes = std::min(r, S + 1);
        const Rangees g_r(S, r);
        en_fils(fils, libres, suivi, pr, [&](unsigned t, Progres& c) {
            u64* const x = propre(t);
            u64* const y = x + n;
            for (u64 rho = t; rho < lignes; rho += fils) {
                std::fill(x, x + n, u64{0});
                if (rangees) {
                    const T* const ligne = rangees + g_r.debut(rho);
                    std::copy(ligne, ligne + g_r.longueur(rho), x);
                } else {
                    u64 i = 0;
                    for (u64 v = rho; v <= S; v += r) x[i++] = lire(A, S, static_cast<i64>(v));
                }
                nt.direct(x);
                for (u64 b = 0; b < f.blocs_b; ++b) {
                    nt.multiplie(x, W + b * n, WQ + b * n, y);
                    nt.inverse(y);
                    for (u64 j = gb - 1; j < n; ++j) {
                        const u64 u = rho + r * (f.I0 + b * B + j - (gb - 1));
                        if (u > M) break;
                        if (u + K >= M) rb[M - u] = y[j];
                    }
                    c.ajoute(n * f.log_b);
                }
            }
        });
        rb[0] = rb[0] == 0 ? p - 1 : rb[0] - 1;  // without M alone
    }
    pr.solde();
}

template void valeurs_b(const Geometrie&, const Fenetres&, const u64*, u64, u64*, u64*, unsigned, std::atomic<int>*,
                        Suivi*, Progres&, const u64*);
template void valeurs_b(const Geometrie&, const Fenetres&, const std::uint32_t*, u64, u64*, u64*, unsigned,
                        std::atomic<int>*, Suivi*, Progres&, const std::uint32_t*);
