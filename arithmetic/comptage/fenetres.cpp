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

// The two-thread share [debut, fin) of 0..n for thread t.
struct Part {
    u64 debut, fin;
    Part(u64 n, unsigned t, unsigned fils) : debut(n * t / fils), fin(n * (t + 1) / fils) {}
};

}  // namespace

void dimensionne_a(const Geometrie& g, double cellules_max, Fenetres& f) {
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
        const double papillons = (q * nb + q * la + la * nb) * nn / 2 * l;
        const double produits = la * nb * nn * q;
        const double cout =
            papillons * couts::kPapillon + produits * couts::kProduitIfma + la * nb * nn * couts::kAppel;
        if (cout < meilleur) {
            meilleur = cout;
            f.log_a = l;
            f.blocs_a = blocs;
            f.papillons_a = papillons;
            f.produits = produits;
            f.partage_a = static_cast<std::size_t>(partage);
            // As many kappa a group as kGroupe cells hold, and the rest of
            // the cells allow for two threads.
            const double par_ligne = q * nn + nb * nn;
            const double place = std::min(couts::kGroupe, (cellules_max - partage) / 2 - nn);
            f.groupe_a = static_cast<u64>(std::clamp(std::floor(place / par_ligne), 1.0, std::ceil(la / 2)));
            f.par_fil_a = static_cast<std::size_t>(static_cast<double>(f.groupe_a) * par_ligne + nn);
        }
    }
}

void dimensionne_b(const Geometrie& g, double cellules_max, Fenetres& f) {
    const double lignes = static_cast<double>(std::min(g.r, g.S + 1));  // the rho
    // The rows have at most S / r + 1 entries; the window of rows I0 .. M / r.
    f.g_b = g.S / g.r + 1;
    f.I0 = (g.M - g.K) / g.r;
    f.log_b = 0;
    const u64 etendue = g.M / g.r - f.I0 + 1;
    double meilleur = std::numeric_limits<double>::infinity();
    for (unsigned l = static_cast<unsigned>(log2_plafond(f.g_b + 1)); l <= 27; ++l) {
        const u64 n = u64{1} << l, B = n - f.g_b + 1, blocs = plafond(etendue, B);
        const double partage = static_cast<double>(blocs * n);
        if (partage > cellules_max) continue;
        const double nn = static_cast<double>(n), nb = static_cast<double>(blocs);
        const double papillons = (nb + lignes * (1 + nb)) * nn / 2 * l;
        const double produits = lignes * nb * nn;
        const double cout = papillons * couts::kPapillon + produits * couts::kProduitSeul;
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
        en_fils(fils, libres, suivi, pr, [&](unsigned t, Progres& c) {
            u64* const x = propre(t);
            const Part part(q, t, fils);
            for (u64 tau = part.debut; tau < part.fin; ++tau) {
                for (u64 b = 0; b < f.blocs_a; ++b) {
                    const i64 m0 = static_cast<i64>(b * B) - static_cast<i64>(ga - 1);
                    for (u64 i = 0; i < n; ++i) {
                        const i64 m = m0 + static_cast<i64>(i);
                        x[i] = m < 0 ? 0 : lire(A, S, static_cast<i64>(tau) + static_cast<i64>(q) * m);
                    }
                    nt.direct(x);
                    for (u64 fr = 0; fr < n; ++fr) D[(b * n + fr) * q + tau] = x[fr];
                }
                c.ajoute(f.blocs_a * n * f.log_a);
            }
        });
        // The kappa by groups of f.groupe_a: each row of D, read from memory
        // once per group, serves the group's G from the caches.
        const u64 lignes = std::min(r, K + 1), g = f.groupe_a, groupes = plafond(lignes, g), nb = f.blocs_a;
        en_fils(fils, libres, suivi, pr, [&](unsigned t, Progres& c) {
            u64* const G = propre(t);      // G[(fr g + j) q + tau] for kappa = k0 + j
            u64* const Y = G + g * q * n;  // Y[(j nb + b) n + fr]
            u64* const x = Y + g * nb * n;
            for (u64 h = t; h < groupes; h += fils) {
                const u64 k0 = h * g, nk = std::min(g, lignes - k0);
                for (u64 j = 0; j < nk; ++j) {
                    for (u64 tau = 0; tau < q; ++tau) {
                        // q kappa - r tau = e - q r delta, 0 <= e < q r.
                        const u64 qk = q * (k0 + j), rt = r * tau;
                        const u64 e = qk >= rt ? qk - rt : qr - (rt - qk), delta = qk >= rt ? 0 : 1;
                        std::fill(x, x + n, u64{0});
                        u64 i = delta;
                        for (u64 v = e; v <= S; v += qr) x[i++] = lire(A, S, static_cast<i64>(v));
                        nt.direct(x);
                        for (u64 fr = 0; fr < n; ++fr) G[(fr * g + j) * q + tau] = x[fr];
                    }
                    c.ajoute(q * n * f.log_a);
                }
                for (u64 fr = 0; fr < n; ++fr) {
                    for (u64 b = 0; b < nb; ++b) {
                        const u64* const d = D + (b * n + fr) * q;
                        for (u64 j = 0; j < nk; ++j)
                            Y[(j * nb + b) * n + fr] = produit_mod(G + (fr * g + j) * q, d, q, p, ifma);
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
               std::atomic<int>* libres, Suivi* suivi, Progres& pr) {
    const u64 r = g.r, S = g.S, K = g.K, M = g.M;
    std::fill(rb, rb + K + 1, u64{0});
    u64* const partage = travail;
    const auto propre = [&](unsigned t) { return travail + f.partage() + t * f.par_fil(); };
    // W[b n + fr]: block b of the window of F, transformed, in Montgomery's
    // form.
    {
        const Ntt nt(p, f.log_b);
        const Montgomery mg(p);
        const u64 n = nt.taille(), gb = f.g_b, B = n - gb + 1;
        u64* const W = partage;
        en_fils(fils, libres, suivi, pr, [&](unsigned t, Progres& c) {
            const Part part(f.blocs_b, t, fils);
            for (u64 b = part.debut; b < part.fin; ++b) {
                u64* const x = W + b * n;
                const i64 i0 = static_cast<i64>(f.I0 + b * B) - static_cast<i64>(gb - 1);
                for (u64 i = 0; i < n; ++i) x[i] = lire(A, S, i0 + static_cast<i64>(i));
                nt.direct(x);
                for (u64 i = 0; i < n; ++i) x[i] = mg.entre(x[i]);
                c.ajoute(n * f.log_b);
            }
        });
        const u64 lignes = std::min(r, S + 1);
        en_fils(fils, libres, suivi, pr, [&](unsigned t, Progres& c) {
            u64* const x = propre(t);
            u64* const y = x + n;
            for (u64 rho = t; rho < lignes; rho += fils) {
                std::fill(x, x + n, u64{0});
                u64 i = 0;
                for (u64 v = rho; v <= S; v += r) x[i++] = lire(A, S, static_cast<i64>(v));
                nt.direct(x);
                for (u64 b = 0; b < f.blocs_b; ++b) {
                    const u64* w = W + b * n;
                    for (u64 fr = 0; fr < n; ++fr) y[fr] = mg.mul(x[fr], w[fr]);
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
                        Suivi*, Progres&);
template void valeurs_b(const Geometrie&, const Fenetres&, const std::uint32_t*, u64, u64*, u64*, unsigned,
                        std::atomic<int>*, Suivi*, Progres&);
