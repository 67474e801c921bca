// SPDX-License-Identifier: GPL-3.0-or-later
// When nothing else fits: the largest table that fits over the smallest
// items, and a depth-first walk over the subsets of the largest items (the
// queue), pruned on the window of the table, once per modulus. Memory is
// O(t) for the walk whatever the number of leaves, which may be
// astronomically large: its cost is not estimated (infinite), and it is
// chosen only when no other plan exists. It may never end.
#include <algorithm>

#include "methode.hpp"
#include "prefixe.hpp"

namespace {

// The walk keeps only its stack beside the table: t + 1 slots.
class PlanParcours : public PlanTableQueue {
public:
    using PlanTableQueue::PlanTableQueue;
    Methode methode() const override { return Methode::parcours; }

    Issue execute(Demande& d, mpz_class& resultat) override {
        const Probleme& pb = d.pb;
        const bool queue = j_ < pb.m;  // else the whole table
        Emprunt table(d.w.tampons, hi_ + 1);
        u64* F = prepare_table(d, table);
        if (!F) return Issue::memoire;
        Atelier& w = d.w;
        Progres pr(d.ctx.suivi());
        const u64 unites = unites_table(w.etapes.data(), w.etapes.size()) + (queue ? kUnitesParcours : 0);
        pr.prevoit(unites * pb.modules);
        const Queue q = queue_.prepare(w, pb, j_, lo_, hi_);
        std::vector<u64> pile_x(q.t + 1);
        std::vector<std::size_t> pile_k(q.t + 1);
        resultat = par_modules(w, pb, w.etapes, F, pr, unites, [&](u64 p, bool& exact) {
            exact = !queue;
            if (!queue) return F[pb.T];
            u64 r = 0;
            parcours(q, PileParcours{pile_x.data(), pile_k.data()}, pr,
                     [&r, F, T = pb.T, p](u64 x) { r = ajoute_mod(r, F[T - x], p); });
            return r;
        });
        return Issue::fait;
    }
};

}  // namespace

std::unique_ptr<Plan> plan_parcours(Demande& d, std::size_t j) {
    auto plan = std::make_unique<PlanParcours>(d, j);
    plan->octets = plan->cellules_table() * sizeof(u64);
    return plan;
}

std::unique_ptr<Plan> planifie_parcours(Demande& d) {
    // Offered only when no other plan was found.
    if (d.plafond < kInfini) return nullptr;
    return plan_parcours(d, j_max(d.w, d.pb, d.cellules_max));
}
