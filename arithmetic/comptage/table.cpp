// SPDX-License-Identifier: GPL-3.0-or-later
// The whole counting table over every item, in one of two orders: ascending,
// or the zigzag of doubling chains. Estimated cost: the cells of each step's
// window, times the moduli. Wins whenever the table over all the useful sums
// fits and is cheap: most N below 10^9.
//
// Zigzag: the doubling chains e, 2e, 4e, ... of the (distinct) items, sorted
// by weight and laid every other one going up, the rest coming back down, so
// that both the sums taken and the sums left grow slowly from the two ends;
// the wide windows are left to the few heavy chains in the middle. Each
// chain is one bounded step or its single items, whichever is cheaper.
#include <algorithm>

#include "cellules.hpp"
#include "couts.hpp"
#include "methode.hpp"
#include "prefixe.hpp"

namespace {

// A doubling chain of the zigzag table: e, 2e, ..., 2^(k-1) e.
struct Unite {
    u64 e;
    unsigned k;
    u64 poids;  // their sum
};

// The zigzag steps into etapes; returns their cost.
double plan_zigzag(const Atelier& w, const Probleme& pb, std::vector<Etape>& etapes) {
    const std::vector<u64>& a = w.items;
    const std::size_t m = pb.m;
    std::vector<Unite> unites, ordre;
    if (pb.distincts) {
        // Chains from the items whose half is not an item, doubled while the
        // double is one; the half and the double are found by two cursors
        // moving up with i.
        std::size_t moitie = 0, double_ = 0;
        for (std::size_t i = 0; i < m; ++i) {
            const u64 e = a[i];
            if ((e & 1) == 0) {
                while (moitie < i && a[moitie] < e / 2) ++moitie;
                if (moitie < i && a[moitie] == e / 2) continue;  // inside a chain
            }
            unsigned k = 1;
            u64 x = e;
            std::size_t d = std::max(double_, i + 1);
            for (;;) {  // x <= T < 2^63
                while (d < m && a[d] < 2 * x) ++d;
                if (d == m || a[d] != 2 * x) break;
                x *= 2;
                ++k;
            }
            while (double_ < m && a[double_] < 2 * e) ++double_;
            unites.push_back({e, k, 2 * x - e});
        }
    } else {
        for (std::size_t i = 0; i < m; ++i) unites.push_back({a[i], 1, a[i]});
    }
    // By weight, the smaller first item first among equal weights.
    std::sort(unites.begin(), unites.end(),
              [](const Unite& x, const Unite& y) { return x.poids < y.poids || (x.poids == y.poids && x.e < y.e); });
    ordre.clear();
    for (std::size_t i = 0; i < unites.size(); i += 2) ordre.push_back(unites[i]);
    for (std::size_t i = unites.size(); i-- > 0;)
        if (i % 2 == 1) ordre.push_back(unites[i]);

    etapes.clear();
    const double ccell = couts::cellule(static_cast<std::size_t>(pb.T) + 1);
    Fenetre f{pb.T, 0, pb.total};
    double cout = 0;
    for (const Unite& u : ordre) {
        Fenetre g = f;
        double c_items = 0;
        u64 x = u.e;
        for (unsigned t = 0; t < u.k; ++t, x *= 2) {
            const std::size_t lo = g.lo;
            g.avance(x);
            c_items += cellules_item(lo, x, g) * ccell + couts::kEtape;
        }
        double c_chaine = kInfini;
        if (u.k >= 3) {
            // Running sums from the old lo up, differences over the new window.
            Fenetre h = f;
            h.avance(u.poids);
            const double montee = static_cast<double>(h.hi - f.lo + 1);
            const double descente = static_cast<double>(h.hi - h.lo + 1);
            c_chaine = montee * (u.e < 8 ? couts::kCelluleScalaire : ccell) + descente * ccell + 2 * couts::kEtape;
        }
        if (c_chaine < c_items) {
            f.avance(u.poids);
            cout += c_chaine;
            etapes.push_back({u.e, u.e << u.k, f.lo, f.hi});
        } else {
            x = u.e;
            for (unsigned t = 0; t < u.k; ++t, x *= 2) {
                f.avance(x);
                etapes.push_back({x, 0, f.lo, f.hi});
            }
            cout += c_items;
        }
    }
    return cout;
}

// The ascending table builds its steps when it runs; the zigzag keeps those
// its pricing built.
class PlanTable : public Plan {
public:
    explicit PlanTable(bool zigzag) : zigzag_(zigzag) {}
    Methode methode() const override { return zigzag_ ? Methode::zigzag : Methode::table; }
    // Its size is the target's: a smaller bound leaves it out.
    bool reductible() const override { return false; }

    Issue execute(Demande& d, mpz_class& resultat) override {
        Atelier& w = d.w;
        if (!zigzag_) etapes_croissantes(w, d.pb, d.pb.m);
        const std::vector<Etape>& etapes = zigzag_ ? etapes_ : w.etapes;
        const std::size_t cellules = static_cast<std::size_t>(d.pb.T) + 1;
        Progres pr(d.ctx.suivi());
        const u64 unites = unites_table(etapes.data(), etapes.size());
        const Issue issue = par_modules(
            d, cellules_, etapes, cellules, pr, unites,
            [T = d.pb.T](const auto* F, u64, bool& exact, Progres&) {
                exact = true;
                return static_cast<u64>(F[T]);
            },
            resultat);
        pr.solde();
        return issue;
    }

    std::vector<Etape> etapes_;  // of the zigzag
    Cellules cellules_;

private:
    bool zigzag_;
};

}  // namespace

namespace {

// What the whole table asks of its cells, its steps costing table a modulus.
BesoinTable besoin(const Demande& d, double table, bool etroit = false, unsigned fils = 0) {
    BesoinTable b;
    b.n = static_cast<std::size_t>(std::min<u64>(d.pb.T, kCellulesMax * 4)) + 1;
    b.limite = d.cellules_max;
    b.table = table;
    if (etroit) b.etroites = true;
    b.fils = fils;
    return b;
}

// The ascending table's cost, and its cells into c.
double croissante(const Demande& d, Cellules& c) { return choisit_cellules(d, besoin(d, d.w.cout_prefixe[d.pb.m]), c); }

}  // namespace

std::unique_ptr<Plan> plan_table(Demande& d, bool zigzag, bool etroit, unsigned fils) {
    auto plan = std::make_unique<PlanTable>(zigzag);
    const BesoinTable b =
        besoin(d, zigzag ? plan_zigzag(d.w, d.pb, plan->etapes_) : d.w.cout_prefixe[d.pb.m], etroit, fils);
    plan->cout = choisit_cellules(d, b, plan->cellules_);
    plan->octets = plan->cellules_.octets(b.n);
    return plan;
}

std::unique_ptr<Plan> planifie_table(Demande& d) {
    // On 32-bit cells the table holds twice the sums.
    if (static_cast<u128>(d.pb.T) + 1 > 2 * static_cast<u128>(d.cellules_max)) return nullptr;
    Cellules c;
    const double cout = croissante(d, c);
    if (cout >= d.plafond) return nullptr;
    auto plan = std::make_unique<PlanTable>(false);
    plan->cout = cout;
    plan->cellules_ = c;
    plan->octets = c.octets(static_cast<std::size_t>(d.pb.T) + 1);
    return plan;
}

std::unique_ptr<Plan> planifie_zigzag(Demande& d) {
    if (static_cast<u128>(d.pb.T) + 1 > 2 * static_cast<u128>(d.cellules_max)) return nullptr;
    // Asked after the other methods: built only when it may still beat them.
    Cellules c;
    const double croissant = croissante(d, c);
    if (croissant <= couts::kZigzagMin || couts::kZigzagGain * croissant >= d.plafond) return nullptr;
    auto zz = plan_table(d, true);
    if (zz->cout >= std::min(croissant, d.plafond)) return nullptr;
    return zz;
}
