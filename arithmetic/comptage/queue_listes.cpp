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
#include <memory>
#include <optional>

#include "cellules.hpp"
#include "couts.hpp"
#include "methode.hpp"
#include "prefixe.hpp"

namespace {

// The sorted lists of the queue's useful sums, merged one item at a time,
// largest first: three slots of sums and three of multiplicities in two
// borrowed buffers, so that the current list, the next and the one the plan
// keeps can coexist. The slots grow by four, up to kCapaciteListe entries.
class Listes {
public:
    // The buffers at hand: most lists stay short, they grow on demand.
    Listes(Reserve& r, Contexte& c) : S_(r, 3 * kDebut), M_(r, 3 * kDebut) {
        capa_ = std::min(kCapaciteListe, std::max(kDebut, std::min(S_.cellules(), M_.cellules()) / 3));
        pret_ = S_.obtenir(c, 3 * capa_) && M_.obtenir(c, 3 * capa_);
    }
    bool pret() const { return pret_; }

    // The list {0} (multiplicity 1) in a slot other than garde.
    void commence(int garde) {
        cur_ = autre(garde, garde);
        S_.get()[cur_ * capa_] = 0;
        M_.get()[cur_ * capa_] = 1;
        n_[cur_] = 1;
    }

    enum class Fusion { faite, capacite, memoire };
    // Item v merged into the current list, the sums kept in [seuil, T], the
    // multiplicities modulo p (0: 2^64); the result in a slot that is neither
    // the current one nor garde, and becomes the current one.
    Fusion ajoute(Contexte& c, u64 v, u64 seuil, u64 T, u64 p, int garde) {
        const int nxt = autre(cur_, garde);
        for (;;) {
            const std::size_t n2 = etend_liste(S_.get() + cur_ * capa_, M_.get() + cur_ * capa_, n_[cur_], v, seuil, T,
                                               S_.get() + nxt * capa_, M_.get() + nxt * capa_, capa_, p);
            if (n2 <= capa_) {
                n_[nxt] = n2;
                cur_ = nxt;
                return Fusion::faite;
            }
            if (capa_ == kCapaciteListe) return Fusion::capacite;
            if (!grandit(c, garde)) return Fusion::memoire;
        }
    }

    int courante() const { return cur_; }
    std::size_t taille(int slot) const { return n_[slot]; }
    const u64* sommes(int slot) const { return S_.get() + slot * capa_; }
    const u64* mults(int slot) const { return M_.get() + slot * capa_; }

private:
    static constexpr std::size_t kDebut = 1024;

    // A slot that is neither a nor b.
    static int autre(int a, int b) {
        for (int i = 0;; ++i)
            if (i != a && i != b) return i;
    }

    // The three slots four times larger, keeping the current list and garde.
    bool grandit(Contexte& c, int garde) {
        const std::size_t capa2 = std::min(kCapaciteListe, capa_ * 4);
        Tampon s2, m2;
        u64* S2 = s2.obtenir(c, 3 * capa2);
        u64* M2 = S2 ? m2.obtenir(c, 3 * capa2) : nullptr;
        if (!M2) return false;
        for (int slot = 0; slot < 3; ++slot) {
            if (slot != cur_ && slot != garde) {
                n_[slot] = 0;
                continue;
            }
            std::copy(sommes(slot), sommes(slot) + n_[slot], S2 + slot * capa2);
            std::copy(mults(slot), mults(slot) + n_[slot], M2 + slot * capa2);
        }
        S_.remplace(std::move(s2));
        M_.remplace(std::move(m2));
        capa_ = capa2;
        return true;
    }

    Emprunt S_, M_;
    std::size_t capa_ = 0;
    bool pret_ = false;
    int cur_ = 0;
    std::size_t n_[3] = {0, 0, 0};
};

// What the table can still add to a queue sum once items[j] is merged: the
// sums below seuil cannot reach T.
u64 seuil_de(const Atelier& w, const Probleme& pb, std::size_t j) {
    const u128 P = w.prefixe[j];
    return P >= pb.T ? 0 : static_cast<u64>(pb.T - P);
}

// The split chosen: the table over items[0..j) in the window [lo, hi], and
// the list of the queue's useful sums in slot case_ of the lists.
struct Coupe {
    std::size_t j = 0, lo = 0, hi = 0;
    std::size_t feuilles = 0;  // entries of its list
    int case_ = 0;
    u64 bits = 0;  // the multiplicities of every list up to it, ORed
    double cout = kInfini;
    Cellules cellules{};
};

// The plan holds its lists from the first merge of its planning on.
class PlanListes : public Plan {
public:
    explicit PlanListes(Demande& d) : listes(d.w.tampons, d.ctx) {}
    Methode methode() const override { return Methode::listes; }
    // Its table is over items[0..j), j bounded by Demande::cellules_max.
    bool reductible() const override { return true; }
    Issue execute(Demande& d, mpz_class& resultat) override;

    // The split kept, whose list is in listes.
    void retient(const Coupe& c) {
        c_ = c;
        cout = c.cout;
        octets = c.feuilles ? c.cellules.octets(c.hi + 1) : 0;
    }

    Listes listes;

private:
    Coupe c_;
};

Issue PlanListes::execute(Demande& d, mpz_class& resultat) {
    Atelier& w = d.w;
    const Probleme& pb = d.pb;
    const std::size_t feuilles = c_.feuilles;
    if (feuilles == 0) {
        resultat = 0;  // no queue sum can be completed
        return Issue::fait;
    }
    etapes_croissantes(w, pb, c_.j);
    Progres pr(d.ctx.suivi());
    const u64 unites = unites_table(w.etapes.data(), w.etapes.size()) + feuilles;
    const u64* xs = listes.sommes(c_.case_);
    const u64* ms = listes.mults(c_.case_);
    Issue issue = Issue::fait;
    const Issue table = par_modules(
        d, c_.cellules, w.etapes, c_.hi + 1, pr, unites,
        [&](const auto* F, u64 p, bool& exact, Progres& suivi) {
            u64 r = 0;
            if (p == 0 && c_.bits >> 63 == 0) {
                // No multiplicity has wrapped: the sum of the products on 192
                // bits says whether it is the count itself.
                Somme192 s;
                for (std::size_t i = 0; i < feuilles; ++i) s.ajoute(F[pb.T - xs[i]], ms[i]);
                exact = s.retenues == 0 && s.bas >> 64 == 0;
                r = static_cast<u64>(s.bas);
            } else if (p == 0 || pb.m - c_.j <= kQueueMax) {
                // Multiplicities exact, or right modulo 2^64.
                r = somme_feuilles(F, pb.T, xs, ms, feuilles, p);
            } else {
                // The list again with its multiplicities modulo p, beside the
                // one kept: the same merges and bounds, so the same sums (one
                // thread only).
                listes.commence(c_.case_);
                for (std::size_t i = pb.m; i-- > c_.j && listes.taille(listes.courante()) > 0;) {
                    if (listes.ajoute(d.ctx, w.items[i], seuil_de(w, pb, i), pb.T, p, c_.case_) !=
                        Listes::Fusion::faite)
                        issue = Issue::memoire;  // cannot happen: no list is longer than the one kept
                    suivi.point();
                }
                const int l = listes.courante();
                r = somme_feuilles(F, pb.T, listes.sommes(l), listes.mults(l), listes.taille(l), p);
            }
            suivi.avance(feuilles);
            return r;
        },
        resultat);
    return table == Issue::fait ? issue : table;
}

// Cost of the plan at j once the lists cost liste and the last holds n
// sums: the table, the lists (built again for each prime modulus past
// kQueueMax items, on one thread then), one table read per entry and
// modulus; its cells and threads into c (infinite when its table does not
// fit).
double cout_coupe(const Demande& d, std::size_t j, double liste, double n, Cellules& c, bool etroit = false,
                  unsigned fils = 0) {
    // The table's top: the sums of items[0..j) up to T.
    const u128 P = d.w.prefixe[j];
    const bool longue = d.pb.m - j > kQueueMax;
    BesoinTable b;
    b.n = static_cast<std::size_t>(P < d.pb.T ? P : d.pb.T) + 1;
    b.limite = d.cellules_max;
    b.table = d.w.cout_prefixe[j];
    b.fin = couts::kFeuille * n + (longue ? liste : 0.0);
    b.partage = !longue;
    if (etroit) b.etroites = true;
    b.fils = longue ? 1 : fils;
    return (longue ? 0.0 : liste) + choisit_cellules(d, b, c);
}

// Grows the lists of queue sums, largest item first, pricing each length k
// (j = m - k, for j <= jmax) and keeping the best list. Stops when the lists
// alone cost more than the best plan, when the cost rises past its minimum,
// when a list would pass kCapaciteListe, or when lists that keep doubling
// cannot reach a usable split.
std::unique_ptr<Plan> cherche(Demande& d, std::size_t jmax) {
    Atelier& w = d.w;
    const Probleme& pb = d.pb;
    const Progres pr(d.ctx.suivi());
    auto plan = std::make_unique<PlanListes>(d);
    Listes* l = &plan->listes;
    if (!l->pret()) return nullptr;
    std::optional<Coupe> best;
    double cout_best = d.plafond;
    const std::size_t m = pb.m;
    l->commence(-1);
    double liste = 0;  // cost of the lists so far
    double cout_prec = kInfini;
    int hausses = 0;
    double taille[4] = {1, 1, 1, 1};  // the last four list sizes
    u64 bits = 0;                     // the multiplicities so far, ORed
    for (std::size_t k = 1; k <= m; ++k) {
        const std::size_t j = m - k;
        const u64 seuil = seuil_de(w, pb, j);
        // The sums of the current list that the next one keeps bound its
        // size from below: a merge that would surely end the search is not
        // made.
        {
            const int c = l->courante();
            const u64* s = l->sommes(c);
            const std::size_t n = l->taille(c);
            const double garde = static_cast<double>(s + n - std::lower_bound(s, s + n, seuil));
            const double liste2 = liste + garde * couts::kListe + couts::kFusion;
            if (liste2 >= cout_best || liste2 >= couts::kPartListes * d.plafond) break;
            if (hausses == 1 && j <= jmax) {
                Cellules x;
                const double c2 = cout_coupe(d, j, liste2, garde, x);
                if (c2 > cout_prec && c2 > cout_best) break;
            }
        }
        if (l->ajoute(d.ctx, w.items[j], seuil, pb.T, 0, best ? best->case_ : -1) != Listes::Fusion::faite) break;
        pr.point();
        const int cur = l->courante();
        const std::size_t n = l->taille(cur);
        // Past kQueueMax items the multiplicities may wrap: watched.
        if (k > kQueueMax)
            for (std::size_t i = 0; i < n; ++i) bits |= l->mults(cur)[i];
        liste += static_cast<double>(n) * couts::kListe + couts::kFusion;
        if (liste >= cout_best || liste >= couts::kPartListes * d.plafond) break;
        taille[k % 4] = static_cast<double>(n);
        if (j > jmax && n >= (std::size_t{1} << 16)) {
            // No usable split yet (the table over items[0..j) does not fit).
            // Lists that still nearly double at each item once they are long
            // (sums with few coincidences; the lists of divisor sets double
            // at first, then level off) are projected up to the first usable
            // split.
            const double rho = std::pow(static_cast<double>(n) / std::max(1.0, taille[(k + 1) % 4]), 1.0 / 3);
            const double reste = static_cast<double>(m - jmax - k);
            if (rho > 1.8) {
                const double fin = static_cast<double>(n) * std::pow(rho, reste);
                const double somme = static_cast<double>(n) * rho * (std::pow(rho, reste) - 1) / (rho - 1);
                if (fin > static_cast<double>(kCapaciteListe) || liste + somme * couts::kListe >= cout_best) break;
            }
        }
        if (n == 0) {
            // No useful queue sum: the count is 0, whatever the table says.
            best = Coupe{j, 0, 0, 0, cur, 0, liste};
            break;
        }
        if (j > jmax) continue;  // the table over items[0..j) does not fit
        Cellules x;
        const double c = cout_coupe(d, j, liste, static_cast<double>(n), x);
        // Past the balance of table and lists the cost only rises.
        hausses = c > cout_prec ? hausses + 1 : 0;
        cout_prec = c;
        if (hausses >= 2 && c > cout_best) break;
        if (c < cout_best) {
            std::size_t lo, hi;
            fenetre_apres(w, pb, j, lo, hi);
            best = Coupe{j, lo, hi, n, cur, bits, c, x};
            cout_best = c;
        }
    }
    if (!best) return nullptr;
    plan->retient(*best);
    return plan;
}

}  // namespace

std::unique_ptr<Plan> plan_listes(Demande& d, std::size_t j, bool etroit, unsigned fils) {
    Atelier& w = d.w;
    const Probleme& pb = d.pb;
    j = std::min(j, pb.m);
    auto plan = std::make_unique<PlanListes>(d);
    Listes* l = &plan->listes;
    if (!l->pret()) return nullptr;
    l->commence(-1);
    double liste = 0;
    u64 bits = 0;
    const Progres pr(d.ctx.suivi());
    for (std::size_t i = pb.m; i-- > j;) {
        if (l->ajoute(d.ctx, w.items[i], seuil_de(w, pb, i), pb.T, 0, -1) != Listes::Fusion::faite) return nullptr;
        pr.point();
        const int cur = l->courante();
        const std::size_t n = l->taille(cur);
        if (pb.m - i > kQueueMax)
            for (std::size_t x = 0; x < n; ++x) bits |= l->mults(cur)[x];
        liste += static_cast<double>(n) * couts::kListe + couts::kFusion;
        if (n == 0) break;
    }
    const int cur = l->courante();
    const std::size_t n = l->taille(cur);
    Coupe c{j, 0, 0, n, cur, bits};
    c.cout = cout_coupe(d, j, liste, static_cast<double>(n), c.cellules, etroit, fils);
    if (n) fenetre_apres(w, pb, j, c.lo, c.hi);
    plan->retient(c);
    return plan;
}

// On 32-bit cells the table holds twice the sums.
std::unique_ptr<Plan> planifie_listes(Demande& d) { return cherche(d, j_max(d.w, d.pb, 2 * d.cellules_max)); }
