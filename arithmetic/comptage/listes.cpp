// SPDX-License-Identifier: GPL-3.0-or-later
// Sorted lists of subset sums: merged one item at a time, and joined by the
// meet in the middle.
#include "listes.hpp"

#include <algorithm>

#include "noyaux.hpp"

namespace {

constexpr u64 kSature = u64{1} << 63;

u64 sature(u128 v) { return v > kSature ? kSature : static_cast<u64>(v); }

// Sums of the subsets of v[0..k-1], kept when s <= U and s plus what the
// rest of this half and the other half can still add reaches L. Ping-pongs
// between slots a and b of (S, M); returns the slot holding the result and
// its size in n, or -1 when a list would pass capacite.
int sommes_moitie(const u64* v, std::size_t k, u64 autre, u64 L, u64 U, u64* const* S, u64* const* M, int a, int b,
                  std::size_t capacite, std::size_t& n, const Progres& pr) {
    S[a][0] = 0;
    M[a][0] = 1;
    n = 1;
    u128 apres = 0;
    for (std::size_t i = 0; i < k; ++i) apres += v[i];
    for (std::size_t i = 0; i < k && n > 0; ++i) {
        apres -= v[i];
        const u64 bonus = sature(apres + autre);  // still addable after v[i]
        const u64 seuil = L > bonus ? L - bonus : 0;
        n = etend_liste(S[a], M[a], n, v[i], seuil, U, S[b], M[b], capacite, 0);
        if (n > capacite) return -1;
        pr.point();
        const int c = a;
        a = b;
        b = c;
    }
    return a;
}

}  // namespace

namespace {

// Merges s[ia..na) with s[ib..nb) + v into (s2, m2), multiplicities of equal
// sums added (modulo p when Premier). With Borne, stops at capacite entries
// and returns capacite + 1 when more would come.
template <bool Premier, bool Borne>
std::size_t fusionne(const u64* s, const u64* m, std::size_t ia, std::size_t na, std::size_t ib, std::size_t nb, u64 v,
                     u64* s2, u64* m2, std::size_t capacite, u64 p) {
    std::size_t k = 0;
    while (ia < na && ib < nb) {
        if constexpr (Borne)
            if (k == capacite) return capacite + 1;
        const u64 a = s[ia];
        const u64 b = s[ib] + v;
        if (a < b) {
            s2[k] = a;
            m2[k] = m[ia++];
        } else if (b < a) {
            s2[k] = b;
            m2[k] = m[ib++];
        } else {
            s2[k] = a;
            m2[k] = Premier ? ajoute_mod(m[ia], m[ib], p) : m[ia] + m[ib];
            ++ia;
            ++ib;
        }
        ++k;
    }
    if constexpr (Borne)
        if (k + (na - ia) + (nb - ib) > capacite) return capacite + 1;
    std::copy(s + ia, s + na, s2 + k);
    std::copy(m + ia, m + na, m2 + k);
    k += na - ia;
    for (; ib < nb; ++ib, ++k) {
        s2[k] = s[ib] + v;
        m2[k] = m[ib];
    }
    return k;
}

}  // namespace

std::size_t etend_liste(const u64* s, const u64* m, std::size_t n, u64 v, u64 seuil, u64 U, u64* s2, u64* m2,
                        std::size_t capacite, u64 p) {
    // The old sums in [seuil, U], and those that stay there with v.
    const std::size_t na = static_cast<std::size_t>(std::upper_bound(s, s + n, U) - s);
    const std::size_t ia = static_cast<std::size_t>(std::lower_bound(s, s + na, seuil) - s);
    const std::size_t nb = v > U ? 0 : static_cast<std::size_t>(std::upper_bound(s, s + n, U - v) - s);
    const std::size_t ib = seuil <= v ? 0 : static_cast<std::size_t>(std::lower_bound(s, s + nb, seuil - v) - s);
    const bool borne = (na - ia) + (nb - std::min(ib, nb)) > capacite;
    if (ib >= nb) {
        if (na - ia > capacite) return capacite + 1;
        std::copy(s + ia, s + na, s2);
        std::copy(m + ia, m + na, m2);
        return na - ia;
    }
    if (p == 0)
        return borne ? fusionne<false, true>(s, m, ia, na, ib, nb, v, s2, m2, capacite, p)
                     : fusionne<false, false>(s, m, ia, na, ib, nb, v, s2, m2, capacite, p);
    return borne ? fusionne<true, true>(s, m, ia, na, ib, nb, v, s2, m2, capacite, p)
                 : fusionne<true, false>(s, m, ia, na, ib, nb, v, s2, m2, capacite, p);
}

bool milieu(const Queue& q, u64 cible, u64 base, u64* h, u64* sommes, u64* mults, std::size_t capacite,
            const Progres& pr) {
    const std::size_t t = q.t;
    const std::size_t moitie = t / 2;  // first half: the larger items
    u128 somme_a = 0, somme_b = 0;
    for (std::size_t i = 0; i < moitie; ++i) somme_a += q.b[i];
    for (std::size_t i = moitie; i < t; ++i) somme_b += q.b[i];

    u64* const S[3] = {sommes, sommes + capacite, sommes + 2 * capacite};
    u64* const M[3] = {mults, mults + capacite, mults + 2 * capacite};
    std::size_t na = 0, nb = 0;
    const int ca = sommes_moitie(q.b, moitie, sature(somme_b), q.L, q.U, S, M, 0, 1, capacite, na, pr);
    if (ca < 0) return false;
    const int libre = 1 - ca;
    const int cb = sommes_moitie(q.b + moitie, t - moitie, sature(somme_a), q.L, q.U, S, M, libre, 2, capacite, nb, pr);
    if (cb < 0) return false;
    const u64* as = S[ca];
    const u64* am = M[ca];
    const u64* bs = S[cb];
    const u64* bm = M[cb];

    // For a ascending, the b in [L - a, U - a] form a range of bs that moves
    // down: two pointers.
    std::size_t haut = nb;   // one past the last b <= U - a
    std::size_t bas = nb;    // first b >= L - a
    std::size_t depuis = 0;  // pairs since the last safe point
    for (std::size_t i = 0; i < na; ++i) {
        const u64 a = as[i];
        const u64 max_b = q.U - a;  // a <= U
        const u64 min_b = q.L > a ? q.L - a : 0;
        while (haut > 0 && bs[haut - 1] > max_b) --haut;
        if (bas > haut) bas = haut;
        while (bas > 0 && bs[bas - 1] >= min_b) --bas;
        const u64 ma = am[i];
        for (std::size_t j = bas; j < haut; ++j) h[cible - (a + bs[j]) - base] += ma * bm[j];
        depuis += haut - bas + 1;
        if (depuis >= (std::size_t{1} << 20)) {
            depuis = 0;
            pr.point();
        }
    }
    return true;
}
