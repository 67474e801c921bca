// SPDX-License-Identifier: GPL-3.0-or-later
// The decision "some set of entries sums to the target": a bounded search
// for a witness, then the table of reachable sums or the exact count.
#include "decision.hpp"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <functional>

namespace {

// The bounds: a semiperfect N has a witness along the greedy path or within
// a few backtracks, and the weird N have few divisors and a small tree; the
// table of 2^24 word operations takes a few milliseconds.
// Words of the table at most (8 MiB, outside the budget), and of the
// per-entry layers that give a witness from it (32 MiB).
constexpr std::uint64_t kMotsMax = std::uint64_t{1} << 20;
constexpr std::uint64_t kMotsCouches = std::uint64_t{1} << 22;

// The entries that may still be taken, largest first, with the sum of each
// suffix.
struct Entrees {
    std::vector<std::int64_t> a;
    std::vector<__int128> suffixe;  // suffixe[i]: a[i] + ... + a[m - 1]

    explicit Entrees(std::vector<std::int64_t> v) : a(std::move(v)), suffixe(a.size() + 1, 0) {
        for (std::size_t i = a.size(); i-- > 0;) suffixe[i] = suffixe[i + 1] + a[i];
    }
    // The first index from i whose entry is at most t.
    std::size_t premier(std::size_t i, std::int64_t t) const {
        return static_cast<std::size_t>(
            std::lower_bound(a.begin() + static_cast<std::ptrdiff_t>(i), a.end(), t, std::greater<>()) - a.begin());
    }
};

enum class Fin { trouve, aucun, abandon };

// Depth first from the largest entry, greedy along its first path. On
// trouve, pris holds the indices taken, ascending.
Fin cherche(const Entrees& e, std::int64_t cible, std::uint64_t noeuds, std::vector<std::size_t>& pris) {
    const std::size_t m = e.a.size();
    pris.clear();
    std::int64_t t = cible;
    std::size_t i = 0;
    std::uint64_t vus = 0;
    for (;;) {
        // Descend from i with t left.
        bool echec = false;
        if (t == 0) return Fin::trouve;
        i = e.premier(i, t);
        if (i == m || e.suffixe[i] < t) {
            echec = true;
        } else if (e.suffixe[i] == t) {
            for (; i < m; ++i) pris.push_back(i);
            return Fin::trouve;
        } else {
            if (++vus > noeuds) return Fin::abandon;
            pris.push_back(i);
            t -= e.a[i];
            ++i;
            continue;
        }
        // Back up: the last entry taken is left out instead.
        if (echec) {
            if (pris.empty()) return Fin::aucun;
            const std::size_t j = pris.back();
            pris.pop_back();
            t += e.a[j];
            i = j + 1;
        }
    }
}

// Reachable sums of the entries, up to t: one bit per sum, every entry
// shifted in from the top word down.
void ajoute(std::vector<std::uint64_t>& bits, std::int64_t d) {
    const auto q = static_cast<std::size_t>(d / 64);
    const auto r = static_cast<unsigned>(d % 64);
    for (std::size_t w = bits.size(); w-- > q;) {
        std::uint64_t v = bits[w - q] << r;
        if (r != 0 && w > q) v |= bits[w - q - 1] >> (64 - r);
        bits[w] |= v;
    }
}

bool contient(const std::vector<std::uint64_t>& bits, std::int64_t s) {
    return (bits[static_cast<std::size_t>(s / 64)] >> (s % 64)) & 1;
}

// The table over every entry: whether t is reached.
bool table(const Entrees& e, std::int64_t t) {
    std::vector<std::uint64_t> bits(static_cast<std::size_t>(t / 64) + 1, 0);
    bits[0] = 1;
    for (const std::int64_t d : e.a) {
        ajoute(bits, d);
        if (contient(bits, t)) return true;
    }
    return false;
}

// The table layer by layer, the smallest entries first, then a witness read
// back from the largest: couches[i] holds the sums of a[i..m).
bool table_temoin(const Entrees& e, std::int64_t t, std::vector<std::size_t>& pris) {
    const std::size_t m = e.a.size();
    std::vector<std::vector<std::uint64_t>> couches(m + 1);
    couches[m].assign(static_cast<std::size_t>(t / 64) + 1, 0);
    couches[m][0] = 1;
    for (std::size_t i = m; i-- > 0;) {
        couches[i] = couches[i + 1];
        ajoute(couches[i], e.a[i]);
    }
    if (!contient(couches[0], t)) return false;
    pris.clear();
    for (std::size_t i = 0; i < m && t > 0; ++i)
        if (e.a[i] <= t && contient(couches[i + 1], t - e.a[i])) {
            pris.push_back(i);
            t -= e.a[i];
        }
    return true;
}

}  // namespace

Decision decide(const Entree& e, Moteur& m, bool temoin, const Bornes& b) {
    Decision d;
    __int128 somme = 0;
    for (const std::int64_t v : e.div) somme += v;
    if (somme < e.cible) return d;
    std::vector<std::size_t> pris;
    // A witness is shortest taken from the largest divisors down, on the
    // target itself: tried first when one is asked.
    if (temoin && somme > e.cible) {
        const Entrees toutes(std::vector<std::int64_t>(e.div.rbegin(), e.div.rend()));
        if (cherche(toutes, e.cible, b.noeuds + b.par_entree * toutes.a.size(), pris) == Fin::trouve) {
            d.atteinte = true;
            for (const std::size_t i : pris) d.temoin.push_back(toutes.a[i]);
            return d;
        }
    }
    // The target or the sum of the entries left out, whichever is smaller:
    // a witness of one is the complement of a witness of the other.
    const bool complement = somme - e.cible < e.cible;
    const auto t = static_cast<std::int64_t>(complement ? somme - e.cible : e.cible);
    std::vector<std::int64_t> v;
    for (std::size_t i = e.div.size(); i-- > 0;)
        if (e.div[i] <= t) v.push_back(e.div[i]);
    const Entrees entrees(std::move(v));
    const std::size_t n = entrees.a.size();
    Fin issue = t == 0 ? Fin::trouve : cherche(entrees, t, b.noeuds + b.par_entree * n, pris);
    if (issue == Fin::abandon) {
        pris.clear();
        const std::uint64_t mots = static_cast<std::uint64_t>(t / 64) + 1;
        if (mots <= kMotsMax && mots <= b.mots_table / std::max<std::size_t>(n, 1)) {
            d.voie = Voie::table;
            const bool trouve =
                temoin && mots <= kMotsCouches / (n + 1) ? table_temoin(entrees, t, pris) : table(entrees, t);
            issue = trouve ? Fin::trouve : Fin::aucun;
            // Asked for a witness the layers could not hold: the search
            // again, unbounded, which now knows there is one.
            if (trouve && temoin && pris.empty()) cherche(entrees, t, ~std::uint64_t{0}, pris);
        } else {
            d.voie = Voie::compte;
            issue = m.compte(e) > 0 ? Fin::trouve : Fin::aucun;
            if (issue == Fin::trouve && temoin) cherche(entrees, t, ~std::uint64_t{0}, pris);
        }
    }
    d.atteinte = issue == Fin::trouve;
    if (!d.atteinte || !temoin) return d;
    if (!complement) {
        for (const std::size_t i : pris) d.temoin.push_back(entrees.a[i]);
        return d;
    }
    // Every entry but those of the complement's witness, largest first.
    std::vector<std::int64_t> exclus;
    exclus.reserve(pris.size());
    for (const std::size_t i : pris) exclus.push_back(entrees.a[i]);
    std::size_t k = 0;
    for (std::size_t i = e.div.size(); i-- > 0;) {
        if (k < exclus.size() && exclus[k] == e.div[i]) {
            ++k;
            continue;
        }
        d.temoin.push_back(e.div[i]);
    }
    return d;
}
