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
        Atelier& w = d.w;
        etapes_croissantes(w, pb, j_);
        Progres pr(d.ctx.suivi());
        const u64 unites = unites_table(w.etapes.data(), w.etapes.size()) + (queue ? kUnitesParcours : 0);
        const Queue q = queue_.prepare(w, pb, j_, lo_, hi_);
        std::vector<u64> pile_x(q.t + 1);
        std::vector<std::size_t> pile_k(q.t + 1);
        // One thread: the walk's stack is shared.
        return par_modules(
            d, cellules_, w.etapes, hi_ + 1, pr, unites,
            [&](const auto* F, u64 p, bool& exact, Progres& suivi) {
                exact = !queue;
                if (!queue) return static_cast<u64>(F[pb.T]);
                u64 r = 0;
                parcours(q, PileParcours{pile_x.data(), pile_k.data()}, suivi,
                         [&r, F, T = pb.T, p](u64 x) { r = ajoute_mod(r, F[T - x], p); });
                return r;
            },
            resultat);
    }
};

}  // namespace

std::unique_ptr<Plan> plan_parcours(Demande& d, std::size_t j, bool etroit) {
    auto plan = std::make_unique<PlanParcours>(d, j);
    BesoinTable b;
    b.n = plan->cellules_table();
    b.limite = d.cellules_max;
    b.partage = false;
    if (etroit) b.etroites = true;
    b.fils = 1;
    choisit_cellules(d, b, plan->cellules_);
    plan->cout = kInfini;  // not estimated
    plan->octets = plan->cellules_.octets(b.n);
    return plan;
}

std::unique_ptr<Plan> planifie_parcours(Demande& d) {
    // Offered only when no other plan was found; on 32-bit cells when they
    // take more items into the table.
    if (d.plafond < kInfini) return nullptr;
    const std::size_t j = j_max(d.w, d.pb, d.cellules_max), j2 = j_max(d.w, d.pb, 2 * d.cellules_max);
    return plan_parcours(d, j2, j2 > j);
}
