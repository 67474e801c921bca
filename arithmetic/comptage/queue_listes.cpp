// SPDX-License-Identifier: GPL-3.0-or-later
// A table over the smallest items and, for the largest ones (the queue), the
// sorted list of their distinct useful subset sums with multiplicities, each
// read once against the table. Estimated cost: the table over items[0..j),
// the lists merged, one table read per list entry, times the moduli (past
// kQueueMax items each prime modulus merges the lists again). Wins when a
// few large items would cost most of the table: N up to 10^18 with few
// divisors.
//
// A queue sum x is useful when the table can still complete it to T, that
// is when x + (items[0] + ... + items[j-1]) >= T, and the list for the queue
// of k items is exactly the list of useful leaves for j = m - k: the lists
// are grown once, largest item first, and each length is priced on the way.
#include <algorithm>
#include <cmath>
#include <optional>

#include "couts.hpp"
#include "methode.hpp"
#include "prefixe.hpp"

namespace {

constexpr double kPartListes = 0.03;

// The split chosen: the table over items[0..j) in the window [lo, hi], and
// the list of the queue's useful sums.
struct Coupe {
    std::size_t j = 0, lo = 0, hi = 0;
    std::size_t feuilles = 0;  // entries of its list
    int case_ = 2;             // the slot of w.ls / w.lm that holds it
    u64 bits = 0;              // the multiplicities of every list up to it, ORed
    double cout = kInfini;
};

class PlanListes : public Plan {
public:
    explicit PlanListes(const Coupe& c) : j_(c.j), lo_(c.lo), hi_(c.hi), feuilles_(c.feuilles), case_(c.case_), bits_(c.bits) {
        listes = true;
        cout = c.cout;
        octets = feuilles_ ? (hi_ + 1) * sizeof(u64) : 0;
    }
    const char* nom() const override { return "table et listes"; }
    Issue execute(Demande& d, mpz_class& resultat) override;

    std::size_t j_, lo_, hi_;
    std::size_t feuilles_;
    int case_;
    u64 bits_;
};

// A slot of the three of w.ls / w.lm that is neither a nor b.
int autre_case(int a, int b) {
    for (int i = 0;; ++i)
        if (i != a && i != b) return i;
}

// The list of useful sums of the queue items[j..m) with multiplicities
// modulo p, rebuilt in the slots of w.ls / w.lm other than garde: the same
// merges and bounds as croissance_liste, so the same sums. Returns its size;
// xs and ms point to it.
std::size_t liste_queue(Atelier& w, const Probleme& pb, std::size_t j, u64 p, const u64*& xs, const u64*& ms,
                        int garde, const Progres& pr) {
    const std::size_t capa = w.capa_liste;
    u64* S = w.ls.p.get();
    u64* M = w.lm.p.get();
    int cur = autre_case(garde, garde), nxt = autre_case(garde, cur);
    S[cur * capa] = 0;
    M[cur * capa] = 1;
    std::size_t n = 1;
    for (std::size_t i = pb.m; i-- > j && n > 0;) {
        const u128 P = w.prefixe[i];
        const u64 seuil = P >= pb.T ? 0 : static_cast<u64>(pb.T - P);
        n = etend_liste(S + cur * capa, M + cur * capa, n, w.items[i], seuil, pb.T, S + nxt * capa, M + nxt * capa,
                        capa, p);
        std::swap(cur, nxt);
        pr.point();
    }
    xs = S + cur * capa;
    ms = M + cur * capa;
    return n;
}

Issue PlanListes::execute(Demande& d, mpz_class& resultat) {
    Atelier& w = d.w;
    const Probleme& pb = d.pb;
    if (feuilles_ == 0) {
        resultat = 0;  // no queue sum can be completed
        return Issue::fait;
    }
    etapes_croissantes(w, pb, j_);
    u64* F = w.table.obtenir(d.ctx, hi_ + 1);  // windows only grow upwards
    if (!F) return Issue::memoire;
    Progres pr(d.ctx.suivi());
    const u64 unites = unites_table(w.etapes.data(), w.etapes.size()) + feuilles_;
    pr.prevoit(unites * pb.modules);
    const u64* xs = w.ls.p.get() + case_ * w.capa_liste;
    const u64* ms = w.lm.p.get() + case_ * w.capa_liste;
    resultat = par_modules(w, pb, F, pr, unites, [&](u64 p, bool& exact) {
        u64 r;
        if (p == 0 && bits_ >> 63 == 0) {
            // No multiplicity has wrapped: the sum of the products on 192
            // bits says whether it is the count itself.
            Somme192 s;
            for (std::size_t i = 0; i < feuilles_; ++i) s.ajoute(F[pb.T - xs[i]], ms[i]);
            exact = s.retenues == 0 && s.bas >> 64 == 0;
            r = static_cast<u64>(s.bas);
        } else if (p == 0 || pb.m - j_ <= kQueueMax) {
            // Multiplicities exact, or right modulo 2^64.
            r = somme_feuilles(F, pb.T, xs, ms, feuilles_, p);
        } else {
            const u64 *xp, *mp;
            const std::size_t nl = liste_queue(w, pb, j_, p, xp, mp, case_, pr);
            r = somme_feuilles(F, pb.T, xp, mp, nl, p);
        }
        pr.avance(feuilles_);
        return r;
    });
    return Issue::fait;
}

// Grows the lists of queue sums, largest item first, pricing each length k
// (j = m - k, for j <= jmax) and keeping the best list in a slot of w.ls /
// w.lm. Stops when the lists alone cost more than the best plan, when the
// cost rises past its minimum, when a list would pass kCapaciteListe, or
// when lists that keep doubling cannot reach a usable split. With impose,
// builds exactly the list for items[0..jmax) in the table.
std::optional<Coupe> grandit(Demande& d, std::size_t jmax, bool impose) {
    Atelier& w = d.w;
    const Probleme& pb = d.pb;
    const double K = static_cast<double>(pb.modules);
    const Progres pr(d.ctx.suivi());
    std::optional<Coupe> best;
    double cout_best = d.plafond;
    const std::size_t m = pb.m;
    const std::size_t cap = kCapaciteListe;
    // Start with the buffers at hand (most lists stay short); they grow on
    // demand. Slot i of a buffer starts at i * capa.
    std::size_t capa = std::min(cap, std::max<std::size_t>(1024, std::min(w.ls.n, w.lm.n) / 3));
    w.capa_liste = capa;
    u64* S = w.ls.obtenir(d.ctx, 3 * capa);
    u64* M = S ? w.lm.obtenir(d.ctx, 3 * capa) : nullptr;
    if (!S || !M) return std::nullopt;
    int cur = 0, nxt = 1;
    S[0] = 0;
    M[0] = 1;
    std::size_t n = 1;
    double liste = 0;  // cost of the lists so far
    double cout_prec = kInfini;
    int hausses = 0;
    double taille[4] = {1, 1, 1, 1};  // the last four list sizes
    u64 bits = 0;                     // the multiplicities so far, ORed
    const u64 T = pb.T;
    const std::size_t kmax = impose ? m - jmax : m;
    for (std::size_t k = 1; k <= kmax; ++k) {
        const std::size_t j = m - k;
        const u128 P = w.prefixe[j];  // what the table can add
        const u64 seuil = P >= T ? 0 : static_cast<u64>(T - P);
        if (!impose) {
            // The sums of the current list that the next one keeps bound its
            // size from below: a merge that would surely end the search is
            // not made.
            const u64* s = S + cur * capa;
            const double garde = static_cast<double>(s + n - std::lower_bound(s, s + n, seuil));
            const double liste2 = liste + garde * couts::kListe + couts::kFusion;
            if (liste2 >= cout_best || liste2 >= kPartListes * d.plafond) break;
            if (hausses == 1 && j <= jmax) {
                const double c = K * w.cout_prefixe[j] + liste2 * (k > kQueueMax ? K : 1.0) +
                                 K * couts::kFeuille * garde;
                if (c > cout_prec && c > cout_best) break;
            }
        }
        std::size_t n2;
        for (;;) {
            n2 = etend_liste(S + cur * capa, M + cur * capa, n, w.items[j], seuil, T, S + nxt * capa, M + nxt * capa,
                             capa, 0);
            if (n2 <= capa || capa == cap) break;
            // Grow the three slots, keeping the current list and the best.
            const std::size_t capa2 = std::min(cap, capa * 4);
            Tampon s2, m2;
            u64* S2 = s2.obtenir(d.ctx, 3 * capa2);
            u64* M2 = S2 ? m2.obtenir(d.ctx, 3 * capa2) : nullptr;
            if (!S2 || !M2) return best;
            std::copy(S + cur * capa, S + cur * capa + n, S2 + cur * capa2);
            std::copy(M + cur * capa, M + cur * capa + n, M2 + cur * capa2);
            if (best && best->case_ != cur) {
                const int b = best->case_;
                std::copy(S + b * capa, S + b * capa + best->feuilles, S2 + b * capa2);
                std::copy(M + b * capa, M + b * capa + best->feuilles, M2 + b * capa2);
            }
            w.ls = std::move(s2);
            w.lm = std::move(m2);
            S = S2;
            M = M2;
            capa = capa2;
            w.capa_liste = capa;
        }
        if (n2 > capa) break;
        pr.point();
        // The list just merged becomes the current one; the next goes to a
        // slot that holds neither it nor the best list.
        cur = nxt;
        nxt = autre_case(cur, best ? best->case_ : cur);
        n = n2;
        // Past kQueueMax items the multiplicities may wrap: watched.
        if (k > kQueueMax)
            for (std::size_t i = 0; i < n; ++i) bits |= M[cur * capa + i];
        liste += static_cast<double>(n) * couts::kListe + couts::kFusion;
        if ((liste >= cout_best || liste >= kPartListes * d.plafond) && !impose) break;
        taille[k % 4] = static_cast<double>(n);
        if (m - k > jmax && n >= (std::size_t{1} << 16) && !impose) {
            // No usable split yet (the table over items[0..m-k) does not fit).
            // Lists that still nearly double at each item once they are long
            // (sums with few coincidences; the lists of divisor sets double
            // at first, then level off) are projected up to the first usable
            // split.
            const double rho = std::pow(static_cast<double>(n) / std::max(1.0, taille[(k + 1) % 4]), 1.0 / 3);
            const double reste = static_cast<double>(m - jmax - k);
            if (rho > 1.8) {
                const double fin = static_cast<double>(n) * std::pow(rho, reste);
                const double somme = static_cast<double>(n) * rho * (std::pow(rho, reste) - 1) / (rho - 1);
                if (fin > static_cast<double>(cap) || liste + somme * couts::kListe >= cout_best) break;
            }
        }
        if (n == 0) {
            // No useful queue sum: the count is 0, whatever the table says.
            best = Coupe{j, 0, 0, 0, 2, 0, liste};
            break;
        }
        if (j > jmax) continue;  // the table over items[0..j) does not fit
        // Past kQueueMax items, each prime modulus builds the lists again.
        const double c = K * w.cout_prefixe[j] + liste * (k > kQueueMax ? K : 1.0) +
                         K * couts::kFeuille * static_cast<double>(n);
        // Past the balance of table and lists the cost only rises.
        hausses = c > cout_prec ? hausses + 1 : 0;
        cout_prec = c;
        if (hausses >= 2 && c > cout_best && !impose) break;
        if (c < cout_best || impose) {
            std::size_t lo, hi;
            fenetre_apres(w, pb, j, lo, hi);
            best = Coupe{j, lo, hi, n, cur, bits, c};
            cout_best = c;
            nxt = autre_case(cur, cur);
        }
    }
    w.capa_liste = capa;
    return best;
}

std::unique_ptr<PlanListes> croissance_liste(Demande& d, std::size_t jmax, bool impose) {
    const std::optional<Coupe> c = grandit(d, jmax, impose);
    return c ? std::make_unique<PlanListes>(*c) : nullptr;
}

}  // namespace

std::unique_ptr<Plan> listes_en(Demande& d, std::size_t j) {
    j = std::min(j, d.pb.m);
    if (j == d.pb.m) return table_en(d, false);
    if (auto plan = croissance_liste(d, j, true)) return plan;
    return parcours_en(d, j);  // lists too long
}

std::unique_ptr<Plan> planifie_listes(Demande& d) {
    return croissance_liste(d, j_max(d.w, d.pb, d.cellules_max), false);
}
